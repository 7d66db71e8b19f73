// Helpers for widget tests.
#include "tests/support/ui_support.h"

namespace vardel::test {

MessageRecorder::MessageRecorder() : previous_(ui::Application::instance().messageHook()) {
  ui::Application::instance().setMessageHook([this](const ui::MessageRequest& r) { texts_ << r.text; });
}

MessageRecorder::~MessageRecorder() { ui::Application::instance().setMessageHook(previous_); }

}  // namespace vardel::test

// Helpers for widget tests.
#include "tests/support/ui_support.h"

namespace vardel::test {

MessageRecorder::MessageRecorder() {
  ui::Application::instance().setMessageHook([this](const ui::MessageRequest& r) { texts_ << r.text; });
}

MessageRecorder::~MessageRecorder() { ui::Application::instance().setMessageHook({}); }

}  // namespace vardel::test

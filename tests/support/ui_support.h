// Helpers for widget tests.
#pragma once

#include "tests/support/test_support.h"
#include "ui/application.h"

#include <QStringList>

#include <functional>

class QWidget;

namespace vardel::test {

// Records the program's message boxes instead of showing them, for as long as it lives.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  const QStringList& texts() const { return texts_; }
  void clear() { texts_.clear(); }

 private:
  QStringList texts_;
  ui::Application::MessageHook previous_;
};

// Runs `act` on the next modal dialog as soon as it is up (from inside its event loop), once.
void whenModalShows(std::function<void(QWidget* dialog)> act);

}  // namespace vardel::test

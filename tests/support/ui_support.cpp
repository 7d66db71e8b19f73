// Helpers for widget tests.
#include "tests/support/ui_support.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace vardel::test {

MessageRecorder::MessageRecorder() : previous_(ui::Application::instance().messageHook()) {
  ui::Application::instance().setMessageHook([this](const ui::MessageRequest& r) { texts_ << r.text; });
}

MessageRecorder::~MessageRecorder() { ui::Application::instance().setMessageHook(previous_); }

void whenModalShows(std::function<void(QWidget* dialog)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(dialog);
  });
  poll->start(5);
}

}  // namespace vardel::test

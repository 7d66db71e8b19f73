// Timer over QBasicTimer with precise (millisecond) scheduling.
#include "ui/timer.h"

#include <QTimerEvent>

namespace vardel::ui {

Timer::Timer(QObject* owner) : QObject(owner) {}

void Timer::setInterval(int milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  update();
}

void Timer::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  update();
}

void Timer::setOnTimer(NotifyEvent handler) {
  onTimer_ = std::move(handler);
  update();
}

void Timer::update() {
  timer_.stop();
  if (enabled_ && interval_ > 0 && onTimer_) timer_.start(interval_, Qt::PreciseTimer, this);
}

void Timer::timerEvent(QTimerEvent* event) {
  if (event->timerId() != timer_.timerId()) {
    QObject::timerEvent(event);
    return;
  }
  // Keep the handler alive while it runs: it may replace itself or free this timer's owner.
  const NotifyEvent handler = onTimer_;
  fire(handler, this);
}

}  // namespace vardel::ui

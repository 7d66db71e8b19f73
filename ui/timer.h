// A timer with the behaviour the program's handlers rely on.
#pragma once

#include "ui/events.h"

#include <QBasicTimer>
#include <QObject>

namespace vardel::ui {

// Ticks every `interval` milliseconds while enabled, through the event loop. Setting a new
// interval, enabling, or assigning the handler starts the count afresh from that moment (so a
// handler that changes the interval sets the time to its own next tick). An interval of 0 or
// an unassigned handler means no ticks. New timers are enabled with an interval of 1000 ms.
class Timer : public QObject {
  Q_OBJECT
 public:
  explicit Timer(QObject* owner = nullptr);

  int interval() const { return interval_; }
  void setInterval(int milliseconds);
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  // A free integer for the owner's use.
  int tag = 0;

  void setOnTimer(NotifyEvent handler);
  const NotifyEvent& onTimer() const { return onTimer_; }

  // True when a tick is scheduled.
  bool isActive() const { return timer_.isActive(); }

 protected:
  void timerEvent(QTimerEvent* event) override;

 private:
  void update();

  int interval_ = 1000;
  bool enabled_ = true;
  NotifyEvent onTimer_;
  QBasicTimer timer_;
};

}  // namespace vardel::ui

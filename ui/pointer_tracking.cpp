// The idle-time search for the control under the pointer.
#include "ui/pointer_tracking.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

namespace vardel::ui {
namespace {

PointerTracker* gTracker = nullptr;

void notifyLeft(QWidget* w) {
  if (auto* target = dynamic_cast<PointerTarget*>(w)) target->pointerLeft();
}

void notifyEntered(QWidget* w) {
  if (auto* target = dynamic_cast<PointerTarget*>(w)) target->pointerEntered();
}

}  // namespace

PointerTracker::PointerTracker() = default;

void PointerTracker::install() {
  if (gTracker || !QApplication::instance()) return;
  gTracker = new PointerTracker();
  gTracker->setParent(QApplication::instance());
  QApplication::instance()->installEventFilter(gTracker);
}

PointerTracker* PointerTracker::instance() { return gTracker; }

void PointerTracker::schedule() {
  if (scheduled_) return;
  scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    scheduled_ = false;
    check();
  });
}

bool PointerTracker::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (!w) break;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      globalPos_ = mouse->globalPosition().toPoint();
      pointerWindow_ = w->window();
      if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        if (!capture_) capture_ = w;  // the first receiver is the control under the pointer
      } else if (event->type() == QEvent::MouseButtonRelease && mouse->buttons() == Qt::NoButton) {
        capture_ = nullptr;
      }
      schedule();
      break;
    }
    case QEvent::Enter: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (w && w->isWindow()) {
        pointerWindow_ = w;
        if (const auto* enter = static_cast<QEnterEvent*>(event)) globalPos_ = enter->globalPosition().toPoint();
        schedule();
      }
      break;
    }
    case QEvent::Leave: {
      auto* w = qobject_cast<QWidget*>(watched);
      if (w && w->isWindow() && pointerWindow_ == w) {
        pointerWindow_ = nullptr;
        schedule();
      }
      break;
    }
    case QEvent::WindowBlocked:
      // A modal window opened while a button was held (a message from a press handler): the
      // release goes to that window or nowhere, and the press no longer holds the pointer.
      capture_ = nullptr;
      schedule();
      break;
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ZOrderChange:
      if (watched->isWidgetType()) schedule();
      break;
    default:
      break;
  }
  return false;
}

void PointerTracker::check() {
  QWidget* target = nullptr;
  if (pointerWindow_ && pointerWindow_->isVisible()) {
    target = QApplication::widgetAt(globalPos_);
  }
  if (target == current_) return;
  QWidget* capture = capture_;
  QPointer<QWidget> old = current_;
  current_ = target;
  if (old && (!capture || old == capture)) notifyLeft(old);
  if (target && current_ == target && (!capture || target == capture)) notifyEntered(target);
}

}  // namespace vardel::ui

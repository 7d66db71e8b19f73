// The keyboard navigator of a window of hotspots, and the mark it draws round the current one.
#include "ui/keyboard_navigation.h"

#include "ui/form.h"
#include "ui/hotspot_access.h"
#include "ui/pointer_tracking.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QVariant>

namespace vardel::ui {

namespace {

// The property the accessible button reads to say it has the keyboard's attention.
constexpr const char* kKeyboardFocus = "vardelKeyboardFocus";
// How far the mark stands out of the stop's rectangle, in pixels.
constexpr int kMarkMargin = 2;

// A dotted rectangle in black over white, seen on any picture; the mouse passes through it.
class FocusMark : public QWidget {
 public:
  explicit FocusMark(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("marcaTeclado"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    painter.drawRect(frame.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(frame);
    painter.drawRect(frame.adjusted(1, 1, -1, -1));
  }
};

// The widget inside `stop` that takes the keyboard focus, or null for a plain hotspot.
QWidget* focusTaker(QWidget* stop) {
  if (stop->focusPolicy() & Qt::TabFocus) return stop;
  const QList<QWidget*> inside = stop->findChildren<QWidget*>();
  for (QWidget* w : inside) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) return w;
  }
  return nullptr;
}

// Whether the keys go into a field the person types in (the navigator leaves them alone there).
bool typingInto(const QWidget* focus) {
  if (!focus) return false;
  if (focus->inherits("QLineEdit") || focus->inherits("QAbstractSpinBox")) return true;
  if (focus->inherits("QTextEdit") || focus->inherits("QPlainTextEdit")) return !focus->property("readOnly").toBool();
  return false;
}

}  // namespace

HotspotNavigator::HotspotNavigator(Form* form, std::function<QList<QWidget*>()> stops)
    : QObject(form), form_(form), stops_(std::move(stops)) {
  qApp->installEventFilter(this);
}

HotspotNavigator::~HotspotNavigator() {
  qApp->removeEventFilter(this);
  if (current_) current_->setProperty(kKeyboardFocus, QVariant());
}

bool HotspotNavigator::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::MouseButtonRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != form_) return false;
  if (type == QEvent::MouseButtonRelease) {
    // A click may have hidden or covered the current stop; the mark follows once it is done.
    if (mark_) QTimer::singleShot(0, this, [this] { refreshMark(); });
    return false;
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (typingInto(QApplication::focusWidget())) return false;
  return handleKey(key->key(), key->modifiers());
}

bool HotspotNavigator::handleKey(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers others = modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier);
  if (others) return false;
  switch (key) {
    case Qt::Key_Tab:
      step((modifiers & Qt::ShiftModifier) ? -1 : +1);
      return true;
    case Qt::Key_Backtab:
      step(-1);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!current_ || focusTaker(current_)) return false;
      activate();
      return true;
    case Qt::Key_Escape:
      return onEscape && onEscape();
    default:
      return false;
  }
}

QWidget* HotspotNavigator::step(int direction) {
  const QList<QWidget*> stops = stops_();
  const auto count = static_cast<int>(stops.size());
  int from = current_ ? static_cast<int>(stops.indexOf(current_.data())) : -1;
  if (from < 0) from = (lastIndex_ >= 0 && lastIndex_ < count) ? lastIndex_ : (direction > 0 ? -1 : count);
  for (int n = 1; n <= count; ++n) {
    const int i = ((from + direction * n) % count + count) % count;
    if (stops[i] && clickablePoint(stops[i])) {
      lastIndex_ = i;
      setCurrent(stops[i]);
      return stops[i];
    }
  }
  setCurrent(nullptr);
  return nullptr;
}

bool HotspotNavigator::activate() {
  if (!current_) return false;
  const bool clicked = clickWhereReachable(current_);
  if (mark_) refreshMark();
  return clicked;
}

void HotspotNavigator::setCurrent(QWidget* stop) {
  if (current_ == stop) {
    refreshMark();
    return;
  }
  if (current_) {
    current_->setProperty(kKeyboardFocus, QVariant());
    if (auto* target = dynamic_cast<PointerTarget*>(current_.data())) target->pointerLeft();
  }
  current_ = stop;
  if (stop) {
    stop->setProperty(kKeyboardFocus, true);
    if (QWidget* taker = focusTaker(stop)) {
      // Not as a Tab: a page given the focus by Tab jumps to its first link and scrolls there.
      taker->setFocus(Qt::OtherFocusReason);
    } else {
      // Enter belongs to the hotspot now, not to an article that had the focus before.
      if (QWidget* focus = QApplication::focusWidget(); focus && form_->isAncestorOf(focus)) focus->clearFocus();
      // What the pointer shows on a hotspot (the map's hint line) the keyboard shows too.
      if (auto* target = dynamic_cast<PointerTarget*>(stop)) target->pointerEntered();
      QAccessibleEvent focused(stop, QAccessible::Focus);
      QAccessible::updateAccessibility(&focused);
    }
  }
  if (!mark_) mark_ = new FocusMark(form_);
  refreshMark();
}

void HotspotNavigator::refreshMark() {
  if (!mark_) return;
  if (!current_ || !clickablePoint(current_)) {
    mark_->hide();
    return;
  }
  const QRect area(current_->mapTo(form_, QPoint(0, 0)), current_->size());
  mark_->setGeometry(area.adjusted(-kMarkMargin, -kMarkMargin, kMarkMargin, kMarkMargin) & form_->rect());
  mark_->raise();
  mark_->show();
  mark_->update();
}

}  // namespace vardel::ui

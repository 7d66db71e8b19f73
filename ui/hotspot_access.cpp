// The accessible push button over a hotspot, and the click that the keyboard and the screen
// reader share with the mouse.
#include "ui/hotspot_access.h"

#include "ui/controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <mutex>

namespace vardel::ui {

namespace {

// Set on the controls markAsButton has made buttons.
constexpr const char* kButtonProperty = "vardelAccessibleButton";

class HotspotAccessible : public QAccessibleWidget {
 public:
  explicit HotspotAccessible(QWidget* control) : QAccessibleWidget(control, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    const QString own = widget()->accessibleName();
    if (!own.isEmpty()) return own;
    return widget()->property("Hint").toString().trimmed();
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    s.focused = widget()->property("vardelKeyboardFocus").toBool();
    return s;
  }

  QStringList actionNames() const override { return {pressAction()}; }

  void doAction(const QString& action) override {
    if (action == pressAction()) clickWhereReachable(widget());
  }

  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// A label reads as the text it shows (the map's hint line, the clock, a player's times).
class LabelAccessible : public QAccessibleWidget {
 public:
  explicit LabelAccessible(Label* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !widget()->accessibleName().isEmpty()) return QAccessibleWidget::text(t);
    return static_cast<const Label*>(widget())->caption().trimmed();
  }
};

QAccessibleInterface* hotspotFactory(const QString&, QObject* object) {
  if (auto* label = qobject_cast<Label*>(object)) return new LabelAccessible(label);
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget && widget->property(kButtonProperty).toBool()) return new HotspotAccessible(widget);
  return nullptr;
}

bool reachesControl(const QWidget* control, QPoint local) {
  const QWidget* window = control->window();
  const QWidget* hit = window->childAt(control->mapTo(window, local));
  return hit == control || (hit && control->isAncestorOf(hit));
}

}  // namespace

void installAccessibleControls() {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(hotspotFactory); });
}

void markAsButton(QWidget* control, const QString& name) {
  installAccessibleControls();
  control->setProperty(kButtonProperty, true);
  if (!name.isEmpty()) control->setAccessibleName(name);
  // A reader may have asked about the control before: its plain interface is replaced.
  QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(control);
  if (seen && seen->role() != QAccessible::Button) QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(seen));
}

std::optional<QPoint> clickablePoint(const QWidget* control) {
  if (!control || !control->isVisible() || !control->isEnabled() || control->width() <= 0 || control->height() <= 0) {
    return std::nullopt;
  }
  const QPoint centre = control->rect().center();
  if (reachesControl(control, centre)) return centre;
  // A control partly covered by another is still clicked where it shows.
  constexpr int kSteps = 6;
  for (int row = 0; row < kSteps; ++row) {
    for (int column = 0; column < kSteps; ++column) {
      const QPoint p((2 * column + 1) * control->width() / (2 * kSteps),
                     (2 * row + 1) * control->height() / (2 * kSteps));
      if (reachesControl(control, p)) return p;
    }
  }
  return std::nullopt;
}

void clickControl(QWidget* control, QPoint at) {
  QPointer<QWidget> target(control);
  const QPointF local(at);
  const QPointF global(control->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  if (!target) return;
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &release);
}

bool clickWhereReachable(QWidget* control) {
  const std::optional<QPoint> at = clickablePoint(control);
  if (!at) return false;
  clickControl(control, *at);
  return true;
}

}  // namespace vardel::ui

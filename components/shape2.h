// TShape2: the invisible hotspot over a picture, with a free text and pointer events.
#pragma once

#include "ui/controls.h"
#include "ui/pointer_tracking.h"

namespace vardel {

// A shape with a clear pen and a clear brush: it draws nothing, so the picture beneath shows
// through, yet it takes the mouse over its whole rectangle. OnEnter and OnExit report the
// pointer moving onto and off it (pointer events, not keyboard focus). Hint is kept for the
// owner to show; it is never shown as a tooltip. A screen reader sees a push button named by its
// Hint, unless the owner gives it an accessible name of its own.
class TShape2 : public ui::Shape, public ui::PointerTarget {
  Q_OBJECT
  Q_PROPERTY(QString Hint MEMBER Hint)

 public:
  explicit TShape2(QWidget* owner);

  ui::NotifyEvent OnEnter;
  ui::NotifyEvent OnExit;
  QString Cadena;
  QString Hint;

  // The control's name (the map's cities are "c1" to "c15").
  QString Name() const { return objectName(); }
  void setName(const QString& name) { setObjectName(name); }

  void pointerEntered() override;
  void pointerLeft() override;
};

}  // namespace vardel

// Conversions from Qt's input events to the framework's shift states and buttons.
#include "ui/events.h"

#include <QMouseEvent>

namespace vardel::ui {

ShiftState shiftStateOf(const QMouseEvent* event) {
  ShiftState state = 0;
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (mods & Qt::ShiftModifier) state |= ssShift;
  if (mods & Qt::AltModifier) state |= ssAlt;
  if (mods & Qt::ControlModifier) state |= ssCtrl;
  const Qt::MouseButtons buttons = event->buttons();
  if (buttons & Qt::LeftButton) state |= ssLeft;
  if (buttons & Qt::RightButton) state |= ssRight;
  if (buttons & Qt::MiddleButton) state |= ssMiddle;
  if (event->type() == QEvent::MouseButtonDblClick) state |= ssDouble;
  return state;
}

MouseButton buttonOf(const QMouseEvent* event) {
  switch (event->button()) {
    case Qt::RightButton:
      return MouseButton::mbRight;
    case Qt::MiddleButton:
      return MouseButton::mbMiddle;
    default:
      return MouseButton::mbLeft;
  }
}

}  // namespace vardel::ui

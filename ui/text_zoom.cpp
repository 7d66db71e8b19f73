// Which text size the reading keys and Ctrl+wheel ask for.
#include "ui/text_zoom.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include <algorithm>

namespace vardel::ui {

namespace {
int within(int step) { return std::clamp(step, 0, kTextZoomSteps - 1); }
}  // namespace

int textZoomForKey(const QKeyEvent& key, int step) {
  const Qt::KeyboardModifiers held =
      key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  // "+" is a shifted key on many keyboards; the keypad's keys count too.
  const bool control = held == Qt::ControlModifier || held == (Qt::ControlModifier | Qt::ShiftModifier);
  if (!control) return -1;
  switch (key.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      return within(step + 1);
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      return within(step - 1);
    case Qt::Key_0:
      return held == Qt::ControlModifier ? kNormalTextZoom : -1;
    default:
      return -1;
  }
}

int textZoomForWheel(const QWheelEvent& wheel, int step) {
  if (!(wheel.modifiers() & Qt::ControlModifier)) return -1;
  const int delta = wheel.angleDelta().y();
  if (delta == 0) return -1;
  return within(step + (delta > 0 ? 1 : -1));
}

}  // namespace vardel::ui

// TShape2.
#include "components/shape2.h"

#include "ui/hotspot_access.h"

namespace vardel {

TShape2::TShape2(QWidget* owner) : ui::Shape(owner) {
  setBrushStyle(ui::BrushStyle::bsClear);
  setPenStyle(ui::PenStyle::psClear);
  ui::markAsButton(this);
}

void TShape2::pointerEntered() { ui::fire(OnEnter, this); }

void TShape2::pointerLeft() { ui::fire(OnExit, this); }

}  // namespace vardel

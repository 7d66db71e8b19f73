// TSlider and TSliderThumb.
#include "components/slider.h"

#include "components/slider_images.h"
#include "components/transparent_draw.h"
#include "ui/cursors.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>
#include <limits>

namespace vardel {
namespace {

// Program start-up: the hand cursor becomes cursor number 14000.
const bool kHandCursorRegistered = [] {
  ui::registerCursor(kHandCursor, loadHandCursor);
  return true;
}();

constexpr int kRepeatMs = 400;

const char* const kImageNames[4] = {"W95_HTB", "W95_HRL", "W95_VTB", "W95_VRL"};
}  // namespace

// ---- thumb ----

TSliderThumb::TSliderThumb(QWidget* owner) : ui::MouseControl(owner), transparentColor_(kSliderTransparentColor) {
  // The see-through pixels show the thumb's own background: the slider's colour.
  setAutoFillBackground(true);
}

void TSliderThumb::SetImage(const QImage& bitmap) {
  bitmap_ = bitmap;
  AdjustSize();
}

void TSliderThumb::AdjustSize() { resize(bitmap_.width() / std::max(1, numStates_), bitmap_.height()); }

void TSliderThumb::setDown(bool down) {
  if (down == down_) return;
  down_ = down;
  update();
}

void TSliderThumb::setNumStates(int states) {
  if (states == numStates_ || states < 1 || states > 2) return;
  numStates_ = states;
  AdjustSize();
}

void TSliderThumb::paintEvent(QPaintEvent*) {
  if (bitmap_.isNull()) return;
  QRect source = bitmap_.rect();
  if (numStates_ > 1) {
    const int w = bitmap_.width() / numStates_;
    source = QRect(down_ ? w : 0, 0, w, bitmap_.height());
  }
  QPainter painter(this);
  StretchBitmapRectTransparent(painter, 0, 0, 0, 0, source, bitmap_, transparentColor_);
}

// ---- slider ----

TSlider::TSlider(QWidget* owner) : ui::MouseControl(owner) {
  controlState_ |= csCreating;
  componentState_ = inheritedDesignState(owner);
  resize(140, 40);
  setTabStop(true);
  applyColor();
  CreateElements();
  controlState_ &= ~csCreating;
}

TSlider::~TSlider() {
  componentState_ |= csDestroying;
  repeatTimer_.stop();
}

void TSlider::CreateElements() {
  rulerCache_ = QImage();
  thumb_ = new TSliderThumb(this);
  thumb_->setCursor(ui::screenCursor(kHandCursor));
  thumb_->setNumStates(2);
  thumb_->onMouseDown = [this](QObject* s, ui::MouseButton b, ui::ShiftState sh, int x, int y) {
    ThumbMouseDown(s, b, sh, x, y);
  };
  thumb_->onMouseMove = [this](QObject* s, ui::ShiftState sh, int x, int y) { ThumbMouseMove(s, sh, x, y); };
  thumb_->onMouseUp = [this](QObject* s, ui::MouseButton b, ui::ShiftState sh, int x, int y) {
    ThumbMouseUp(s, b, sh, x, y);
  };
  for (int i = 0; i < 4; ++i) setImage(i, QImage());
  UpdateLayout();
}

void TSlider::setImage(int index, const QImage& bitmap) {
  if (index < 0 || index > 3) return;
  if (!bitmap.isNull()) {
    images_[size_t(index)] = bitmap;
    userImageMask_ |= std::uint8_t(1u << index);
  } else {
    images_[size_t(index)] = loadResourceBitmap(QString::fromLatin1(kImageNames[index]));
    userImageMask_ &= std::uint8_t(~(1u << index));
  }
  if (index == thumbImageIndex()) thumb_->SetImage(images_[size_t(index)]);
  if (!(controlState_ & csCreating)) Relayout();
}

void TSlider::setEdgeSize(int edge) {
  const int length = orientation_ == soVertical ? images_[kVRuler].height() : images_[kHRuler].width();
  if (edge < 0 || 2 * edge >= length || edge == edgeSize_) return;
  edgeSize_ = edge;
  Relayout();
}

int TSlider::NumThumbStates() const { return thumb_->NumStates(); }

void TSlider::setNumThumbStates(int states) { thumb_->setNumStates(states); }

void TSlider::setOrientation(TSliderOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  thumb_->SetImage(images_[size_t(thumbImageIndex())]);
  Relayout();
}

void TSlider::setOptions(TSliderOptions options) {
  if (options == options_) return;
  options_ = options;
  update();
}

void TSlider::setMinValue(int value) {
  if (value == minValue_ || std::int64_t(value) > std::int64_t(maxValue_) - increment_) return;
  minValue_ = value;
  if (options_ & soShowPoints) update();
}

void TSlider::setMaxValue(int value) {
  if (value == maxValue_ || std::int64_t(value) < std::int64_t(minValue_) + increment_) return;
  maxValue_ = value;
  if (options_ & soShowPoints) update();
}

void TSlider::setIncrement(int increment) {
  if (increment <= 0 || increment == increment_) return;
  increment_ = increment;
  setValue(value_);
  update();
}

void TSlider::setValue(int value) {
  syncLayout();
  value = std::max(std::min(value, maxValue_), minValue_);
  const bool changed = value != value_;
  value_ = value;
  SetThumbPosition(ValueToPos(value));
  if (changed) Change();
}

void TSlider::Change() { ui::fire(OnChange, this); }

void TSlider::setColor(ui::Color color) {
  color_ = color;
  parentColor_ = false;
  applyColor();
}

void TSlider::setParentColor(bool parentColor) {
  parentColor_ = parentColor;
  applyColor();
}

void TSlider::applyColor() {
  if (parentColor_) {
    setPalette(QPalette());  // inherit the parent's
    setAutoFillBackground(false);
  } else {
    QPalette p = palette();
    p.setColor(QPalette::Window, ui::toQColor(color_));
    setPalette(p);
    setAutoFillBackground(true);
  }
}

void TSlider::setTabStop(bool tabStop) {
  tabStop_ = tabStop;
  setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TSlider::setBounds(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
  syncLayout();
}

int TSlider::RangeLength() const {
  const int length =
      orientation_ == soVertical ? rulerCache_.height() - thumb_->height() : rulerCache_.width() - thumb_->width();
  return std::max(0, length);
}

SliderScale TSlider::scale() const {
  SliderScale s;
  s.minValue = minValue_;
  s.maxValue = maxValue_;
  s.increment = increment_;
  s.rangeLength = RangeLength();
  s.vertical = orientation_ == soVertical;
  s.clientHeight = height();
  s.thumbHeight = thumb_->height();
  s.smooth = options_ & soSmooth;
  return s;
}

void TSlider::BuildRuler() {
  const QImage& pattern = rulerImage();
  const bool vertical = orientation_ == soVertical;
  const QSize size = layoutSlider(vertical, this->size(), thumb_->size(), pattern.size()).cache;
  QImage cache(size, QImage::Format_RGB32);
  if (!cache.isNull()) {
    // Parts no piece reaches stay see-through.
    const ui::Color olive = kSliderTransparentColor;
    cache.fill(QColor(ui::redOf(olive), ui::greenOf(olive), ui::blueOf(olive)));
    const int length = vertical ? pattern.height() : pattern.width();
    QPainter painter(&cache);
    for (const RulerPiece& piece : rulerPieces(vertical ? size.height() : size.width(), length, edgeSize_)) {
      if (vertical) {
        painter.drawImage(QRect(0, piece.destination, pattern.width(), piece.length), pattern,
                          QRect(0, piece.source, pattern.width(), piece.length));
      } else {
        painter.drawImage(QRect(piece.destination, 0, piece.length, pattern.height()), pattern,
                          QRect(piece.source, 0, piece.length, pattern.height()));
      }
    }
  }
  rulerCache_ = cache;
}

void TSlider::UpdateLayout() {
  layingOut_ = true;
  laidOutSize_ = size();
  const int remembered = value_;
  BuildRuler();
  const SliderLayout layout = layoutSlider(orientation_ == soVertical, size(), thumb_->size(), rulerImage().size());
  thumb_->move(layout.thumb);
  rulerOrigin_ = layout.rulerOrigin;
  pointsRect_ = layout.pointsRect;
  setValue(remembered);
  layingOut_ = false;
}

void TSlider::Relayout() {
  UpdateLayout();
  update();
}

// A size change is laid out at once when it comes as an event; a hidden control gets no resize
// events, so every entry point that depends on the layout catches up first.
void TSlider::syncLayout() {
  if (layingOut_ || (componentState_ & csReading) || size() == laidOutSize_) return;
  Relayout();
}

void TSlider::resizeEvent(QResizeEvent* event) {
  ui::MouseControl::resizeEvent(event);
  syncLayout();
}

void TSlider::SetThumbPosition(int pos) {
  pos = clampThumbPosition(scale(), pos);
  if (orientation_ == soVertical) {
    thumb_->move(thumb_->x(), pos);
  } else {
    thumb_->move(pos, thumb_->y());
  }
  if (tracking_) {
    const int value = PosToValue(pos);
    if (value != value_) {
      value_ = value;
      Change();
    }
  }
}

void TSlider::StepValue(SliderStep step) {
  if (step == SliderStep::None) return;
  const std::int64_t target = std::clamp<std::int64_t>(stepTarget(step, value_, scale()), minValue_, maxValue_);
  setValue(int(target));
}

SliderStep TSlider::ThumbSideAt(int x, int y) const {
  if (orientation_ == soVertical) {
    if (y < thumb_->y()) return SliderStep::OneUp;
    if (y > thumb_->y() + thumb_->height()) return SliderStep::OneDown;
  } else {
    if (x < thumb_->x()) return SliderStep::OneDown;
    if (x > thumb_->x() + thumb_->width()) return SliderStep::OneUp;
  }
  return SliderStep::None;
}

void TSlider::RepeatStep() {
  if (ThumbSideAt(mousePos_.x(), mousePos_.y()) != clickSide_) return;
  StepValue(clickSide_);
  if (!timerActive_) {
    repeatTimer_.start(kRepeatMs, Qt::PreciseTimer, this);
    timerActive_ = true;
  }
}

void TSlider::timerEvent(QTimerEvent* event) {
  if (event->timerId() != repeatTimer_.timerId()) {
    ui::MouseControl::timerEvent(event);
    return;
  }
  ui::guarded([this] { RepeatStep(); });
}

void TSlider::mousePressEvent(QMouseEvent* event) {
  syncLayout();
  ui::MouseControl::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || (ui::shiftStateOf(event) & ui::ssDouble)) return;
  ui::guarded([&] {
    setFocus(Qt::MouseFocusReason);
    pressed_ = true;
    mousePos_ = event->position().toPoint();
    clickSide_ = ThumbSideAt(mousePos_.x(), mousePos_.y());
    RepeatStep();
  });
}

void TSlider::mouseMoveEvent(QMouseEvent* event) {
  ui::MouseControl::mouseMoveEvent(event);
  if (pressed_) mousePos_ = event->position().toPoint();
}

void TSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (pressed_) {
    if (timerActive_) repeatTimer_.stop();
    pressed_ = false;
    timerActive_ = false;
  }
  ui::MouseControl::mouseReleaseEvent(event);
}

void TSlider::ThumbMouseDown(QObject*, ui::MouseButton button, ui::ShiftState, int x, int y) {
  setFocus(Qt::MouseFocusReason);
  if (button != ui::MouseButton::mbLeft) return;
  hitOffset_ = orientation_ == soVertical ? y : x;
  tracking_ = true;
  thumb_->setDown(true);
}

void TSlider::ThumbMouseMove(QObject*, ui::ShiftState shift, int x, int y) {
  const QPoint p = thumb_->mapToParent(QPoint(x, y));
  if (shift & ui::ssLeft) SetThumbPosition((orientation_ == soVertical ? p.y() : p.x()) - hitOffset_);
}

void TSlider::ThumbMouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  tracking_ = false;
  thumb_->setDown(false);
  ui::fire(OnStopTracking, this);
}

void TSlider::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  const Qt::KeyboardModifiers mods = event->modifiers();
  ui::ShiftState shift = 0;
  if (mods & Qt::ShiftModifier) shift |= ui::ssShift;
  if (mods & Qt::AltModifier) shift |= ui::ssAlt;
  if (mods & Qt::ControlModifier) shift |= ui::ssCtrl;
  if (shift == 0) {
    SliderStep step = SliderStep::None;
    const bool vertical = orientation_ == soVertical;
    switch (key) {
      case Qt::Key_Home:
        step = SliderStep::ToMinimum;
        break;
      case Qt::Key_End:
        step = SliderStep::ToMaximum;
        break;
      case Qt::Key_Left:
        if (!vertical) step = SliderStep::OneDown;
        break;
      case Qt::Key_Right:
        if (!vertical) step = SliderStep::OneUp;
        break;
      case Qt::Key_Up:
        if (vertical) step = SliderStep::OneUp;
        break;
      case Qt::Key_Down:
        if (vertical) step = SliderStep::OneDown;
        break;
      default:
        break;
    }
    if (step != SliderStep::None) {
      ui::guarded([&] { StepValue(step); });
      key = 0;
    }
  }
  if (onKeyDown) ui::guarded([&] { onKeyDown(this, key, shift); });
  if (key == 0) {
    event->accept();
  } else {
    ui::MouseControl::keyPressEvent(event);
  }
}

bool TSlider::event(QEvent* event) {
  // Arrow keys belong to the slider: no shortcut of the window takes them while it has the focus.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool arrow = key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Up ||
                       key->key() == Qt::Key_Down;
    if (arrow && !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
      event->accept();
      return true;
    }
  }
  return ui::MouseControl::event(event);
}

void TSlider::focusInEvent(QFocusEvent* event) {
  ui::MouseControl::focusInEvent(event);
  focusChanged();
  ui::fire(onEnter, this);
}

void TSlider::focusOutEvent(QFocusEvent* event) {
  ui::MouseControl::focusOutEvent(event);
  focusChanged();
  ui::fire(onExit, this);
}

void TSlider::focusChanged() {
  const bool now = hasFocus();
  if (now == focused_) return;
  focused_ = now;
  if (options_ & soShowFocus) update();
}

void TSlider::paintEvent(QPaintEvent*) {
  syncLayout();
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::black);
  canvas_ = &painter;
  if (rulerCache_.width() > 0) {
    StretchBitmapRectTransparent(painter, rulerOrigin_.x(), rulerOrigin_.y(), 0, 0, QRect(), rulerCache_,
                                 kSliderTransparentColor);
  }
  if ((options_ & soShowFocus) && focused_ && !(componentState_ & csDesigning)) {
    drawFocusRect(painter, rect().adjusted(2, 2, -2, -2));
  }
  if (options_ & soShowPoints) {
    if (OnDrawPoints) {
      ui::fire(OnDrawPoints, this);
    } else {
      DrawPoints(increment_, 3, 4);
    }
  }
  canvas_ = nullptr;
}

// The dotted focus rectangle: every other pixel of the outline inverted.
void TSlider::drawFocusRect(QPainter& painter, const QRect& r) {
  if (r.width() <= 0 || r.height() <= 0) return;
  painter.save();
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(Qt::white);
  for (int x = r.left(); x <= r.right(); x += 2) {
    painter.drawPoint(x, r.top());
    if (r.bottom() != r.top()) painter.drawPoint(x, r.bottom());
  }
  for (int y = r.top() + 2; y < r.bottom(); y += 2) {
    painter.drawPoint(r.left(), y);
    if (r.right() != r.left()) painter.drawPoint(r.right(), y);
  }
  painter.restore();
}

void TSlider::DrawPoints(int step, int size, int endSize) {
  if (!canvas_) return;
  const std::int64_t stride = tickStride(minValue_, maxValue_, step, RangeLength());
  if (stride <= 0) return;
  const QColor color = canvas_->pen().color();
  const bool vertical = orientation_ == soVertical;
  for (std::int64_t v = minValue_; v <= maxValue_; v += stride) {
    const int length = (v == minValue_ || v == maxValue_) ? endSize : size;
    const int p = ValueToPos(int(v));
    if (vertical) {
      canvas_->fillRect(pointsRect_.left(), p + thumb_->height() / 2, length, 1, color);
    } else {
      canvas_->fillRect(p + thumb_->width() / 2, pointsRect_.top(), 1, length, color);
    }
  }
}

}  // namespace vardel

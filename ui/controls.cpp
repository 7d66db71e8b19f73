// Pictures, labels and panels.
#include "ui/controls.h"

#include "platform/jpeg.h"
#include "ui/hotspot_access.h"
#include "ui/probe.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace vardel::ui {

MouseControl::MouseControl(QWidget* parent) : QWidget(parent) {}

void MouseControl::mousePressEvent(QMouseEvent* event) {
  pressedInside_ = event->button() == Qt::LeftButton;
  const QPoint p = event->position().toPoint();
  fire(onMouseDown, this, buttonOf(event), shiftStateOf(event), p.x(), p.y());
}

void MouseControl::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  // A click is a left press and release on the same control.
  const bool click = pressedInside_ && event->button() == Qt::LeftButton && rect().contains(p);
  if (event->button() == Qt::LeftButton) pressedInside_ = false;
  // The click comes first, then the release, as the window framework orders them.
  QPointer<MouseControl> self(this);
  if (click) fire(onClick, this);
  if (self) fire(onMouseUp, this, buttonOf(event), shiftStateOf(event), p.x(), p.y());
}

void MouseControl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  fire(onMouseMove, this, shiftStateOf(event), p.x(), p.y());
}

void MouseControl::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

Image::Image(QWidget* parent) : MouseControl(parent) {}

void Image::loadPicture(const QString& path) {
  QString error;
  QImage picture = platform::loadJpegFile(path, &error);
  if (picture.isNull()) throw Error(QStringLiteral("%1: %2").arg(path, error));
  setPicture(picture);
  recordEvent(this, "picture", path);
}

void Image::setPicture(const QImage& picture) {
  picture_ = picture;
  if (autoSize_ && !picture_.isNull()) resize(picture_.size());
  update();
}

void Image::clearPicture() {
  picture_ = QImage();
  update();
}

void Image::setAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_ && !picture_.isNull()) resize(picture_.size());
}

void Image::setCenter(bool center) {
  center_ = center;
  update();
}

void Image::paintEvent(QPaintEvent* event) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  QPoint at(0, 0);
  if (center_) at = QPoint((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
  if (painter.deviceTransform().type() <= QTransform::TxTranslate || event->region().rectCount() == 1) {
    painter.drawImage(at, picture_);
    return;
  }
  // On a scaled screen the painter stretches a picture quickly only inside a rectangle: a
  // picture partly covered by other windows is drawn a piece at a time.
  for (const QRect& piece : event->region()) {
    painter.setClipRect(piece);
    painter.drawImage(at, picture_);
  }
}

Label::Label(QWidget* parent) : MouseControl(parent) {
  installAccessibleControls();
  adjustSize();
}

void Label::setCaption(const QString& text) {
  caption_ = text;
  recordEvent(this, "text", text);
  if (QAccessible::isActive()) {
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
  }
  adjustSize();
  update();
}

void Label::setLabelFont(const QFont& font) {
  setFont(font);
  adjustSize();
  update();
}

void Label::setFontColor(Color color) {
  fontColor_ = color;
  update();
}

void Label::setColor(Color color) {
  color_ = color;
  update();
}

void Label::setTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void Label::setAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  adjustSize();
}

void Label::setWordWrap(bool wrap) {
  wordWrap_ = wrap;
  adjustSize();
  update();
}

void Label::setAlignment(Alignment alignment) {
  alignment_ = alignment;
  update();
}

int Label::textFlags() const {
  int flags = Qt::AlignTop;
  switch (alignment_) {
    case Alignment::taLeftJustify:
      flags |= Qt::AlignLeft;
      break;
    case Alignment::taRightJustify:
      flags |= Qt::AlignRight;
      break;
    case Alignment::taCenter:
      flags |= Qt::AlignHCenter;
      break;
  }
  flags |= wordWrap_ ? Qt::TextWordWrap : Qt::TextSingleLine;
  return flags;
}

QRect Label::textRect() const {
  const QFontMetrics metrics(font());
  return metrics.boundingRect(rect(), textFlags(), caption_);
}

void Label::adjustSize() {
  if (!autoSize_) return;
  const QFontMetrics metrics(font());
  // An empty caption still takes the height of a line, as a label does.
  const QString text = caption_.isEmpty() ? QStringLiteral(" ") : caption_;
  if (wordWrap_) {
    const QRect bounds = metrics.boundingRect(QRect(0, 0, std::max(1, width()), 100000), textFlags(), text);
    resize(width(), bounds.height());
  } else {
    const int w = caption_.isEmpty() ? 0 : metrics.horizontalAdvance(caption_);
    resize(w, metrics.height());
  }
}

void Label::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!transparent_) painter.fillRect(rect(), toQColor(color_));
  painter.setPen(toQColor(fontColor_));
  painter.setFont(font());
  painter.drawText(rect(), textFlags(), caption_);
}

Panel::Panel(QWidget* parent) : MouseControl(parent) {
  setAutoFillBackground(true);
  setColor(color_);
}

void Panel::setColor(Color color) {
  color_ = color;
  QPalette p = palette();
  p.setColor(QPalette::Window, toQColor(color));
  setPalette(p);
}

}  // namespace vardel::ui

namespace vardel::ui {

Shape::Shape(QWidget* parent) : MouseControl(parent) { resize(65, 65); }

void Shape::setPenStyle(PenStyle style) {
  penStyle_ = style;
  update();
}

void Shape::setPenColor(Color color) {
  penColor_ = color;
  update();
}

void Shape::setBrushStyle(BrushStyle style) {
  brushStyle_ = style;
  update();
}

void Shape::setBrushColor(Color color) {
  brushColor_ = color;
  update();
}

void Shape::paintEvent(QPaintEvent*) {
  if (penStyle_ == PenStyle::psClear && brushStyle_ == BrushStyle::bsClear) return;
  QPainter painter(this);
  if (brushStyle_ == BrushStyle::bsSolid) painter.fillRect(rect(), toQColor(brushColor_));
  if (penStyle_ == PenStyle::psSolid) {
    painter.setPen(toQColor(penColor_));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

}  // namespace vardel::ui

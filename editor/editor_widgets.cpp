// Panels, bevels, the tool bar strip, the status bar, the spinner and the ruler markers.
#include "editor/editor_widgets.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextOption>

#include <cmath>
#include <utility>

namespace vardel {
namespace {

// Frame3D: `width` rings of a top-left colour and a bottom-right colour; shrinks `rect`.
void frame3D(QPainter& p, QRect& rect, ui::Color topLeft, ui::Color bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    p.setPen(ui::toQColor(topLeft));
    p.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    p.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    p.setPen(ui::toQColor(bottomRight));
    p.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    p.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    rect.adjust(1, 1, -1, -1);
  }
}

void bevel(QPainter& p, QRect& rect, BevelCut cut) {
  if (cut == BevelCut::bvNone) return;
  const bool raised = cut == BevelCut::bvRaised;
  frame3D(p, rect, raised ? ui::clBtnHighlight : ui::clBtnShadow, raised ? ui::clBtnShadow : ui::clBtnHighlight, 1);
}

}  // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent) {}

void TPanel::setCaption(const QString& text) {
  caption_ = text;
  update();
}

void TPanel::setColor(ui::Color color) {
  color_ = color;
  update();
}

void TPanel::setFontColor(ui::Color color) {
  fontColor_ = color;
  update();
}

void TPanel::setBevels(BevelCut outer, BevelCut inner, int borderWidth) {
  outer_ = outer;
  inner_ = inner;
  borderWidth_ = std::max(0, borderWidth);
  update();
}

void TPanel::setCaptionAlignment(Qt::Alignment horizontal) {
  alignment_ = horizontal & Qt::AlignHorizontal_Mask;
  update();
}

QRect TPanel::captionRect() const {
  const int inset = (outer_ != BevelCut::bvNone ? 1 : 0) + borderWidth_ + (inner_ != BevelCut::bvNone ? 1 : 0);
  return rect().adjusted(inset, inset, -inset, -inset);
}

// The average character width as the desktop defines it for its tab stops: the widths of the
// lower-case letters and the blank, weighted by how often they occur in text. (A font's own
// figure often averages every glyph it has, which comes out far wider.)
qreal TPanel::tabStop() const {
  static constexpr std::pair<char, int> kWeights[] = {
      {'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42}, {'i', 63},
      {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20}, {'n', 56},  {'o', 56}, {'p', 17}, {'q', 4},  {'r', 49},
      {'s', 56}, {'t', 71}, {'u', 31}, {'v', 10}, {'w', 18},  {'x', 3},  {'y', 18}, {'z', 2},  {' ', 166}};
  const QFontMetricsF metrics(font());
  qreal sum = 0;
  for (const auto& [c, weight] : kWeights) sum += weight * metrics.horizontalAdvance(QChar::fromLatin1(c));
  return 8 * std::round(sum / 1000);
}

void TPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  bevel(p, r, outer_);
  frame3D(p, r, color_, color_, borderWidth_);
  bevel(p, r, inner_);
  p.fillRect(r, ui::toQColor(color_));
  if (caption_.isEmpty()) return;
  QTextOption option(alignment_ | Qt::AlignVCenter);
  option.setWrapMode(QTextOption::NoWrap);
  option.setTabStopDistance(tabStop());
  p.setPen(ui::toQColor(fontColor_));
  p.setFont(font());
  p.setClipRect(r);
  p.drawText(QRectF(r), caption_, option);
}

TBevelLine::TBevelLine(QWidget* parent) : QWidget(parent) {}

void TBevelLine::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setPen(ui::toQColor(ui::clBtnShadow));
  p.drawLine(0, 0, width() - 1, 0);
  p.setPen(ui::toQColor(ui::clBtnHighlight));
  p.drawLine(0, 1, width() - 1, 1);
}

TToolBar::TToolBar(QWidget* parent, ui::Color color, int borderWidth)
    : QWidget(parent), color_(color), borderWidth_(borderWidth) {}

void TToolBar::addDivider(int x, int width) {
  dividers_.append({x, width});
  update();
}

void TToolBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ui::toQColor(color_));
  // The etched top edge.
  p.setPen(ui::toQColor(ui::clBtnShadow));
  p.drawLine(0, 0, width() - 1, 0);
  p.setPen(ui::toQColor(ui::clBtnHighlight));
  p.drawLine(0, 1, width() - 1, 1);
  const QPoint origin = innerOrigin();
  for (const auto& [x, w] : dividers_) {
    const int cx = origin.x() + x + w / 2 - 1;
    p.setPen(ui::toQColor(ui::clBtnShadow));
    p.drawLine(cx, origin.y(), cx, origin.y() + 21);
    p.setPen(ui::toQColor(ui::clBtnHighlight));
    p.drawLine(cx + 1, origin.y(), cx + 1, origin.y() + 21);
  }
}

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {}

void TStatusBar::addPanel(int width, Qt::Alignment alignment) {
  panels_.append({width, alignment & Qt::AlignHorizontal_Mask, QString()});
  update();
}

QString TStatusBar::panelText(int index) const {
  return index >= 0 && index < panels_.size() ? panels_[index].text : QString();
}

void TStatusBar::setPanelText(int index, const QString& text) {
  if (index < 0 || index >= panels_.size() || panels_[index].text == text) return;
  panels_[index].text = text;
  update(panelRect(index));
}

QRect TStatusBar::panelRect(int index) const {
  // Panels stand 2 pixels below the top, 2 apart, each as wide as given; the last one runs on
  // to the right end.
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_[i].width + 2;
  const int width =
      index == panels_.size() - 1 ? std::max(panels_[index].width, this->width() - left) : panels_[index].width;
  return QRect(left, 2, width, height() - 2);
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ui::toQColor(ui::clBtnFace));
  p.setFont(font());
  for (int i = 0; i < panels_.size(); ++i) {
    QRect r = panelRect(i);
    frame3D(p, r, ui::clBtnShadow, ui::clBtnHighlight, 1);
    p.setPen(ui::toQColor(ui::clBtnText));
    p.drawText(r.adjusted(2, 0, -2, 0), int(panels_[i].alignment | Qt::AlignVCenter | Qt::TextSingleLine),
               panels_[i].text);
  }
}

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {}

void TUpDown::setBuddy(QLineEdit* buddy) {
  if (buddy_) buddy_->removeEventFilter(this);
  buddy_ = buddy;
  if (buddy_) buddy_->installEventFilter(this);
}

void TUpDown::setRange(int min, int max) {
  min_ = std::min(min, max);
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
}

void TUpDown::setPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  if (buddy_) buddy_->setText(QString::number(position_));
}

void TUpDown::step(int direction) {
  int from = position_;
  if (buddy_) {
    bool ok = false;
    const int shown = buddy_->text().trimmed().toInt(&ok);
    if (ok) from = shown;
  }
  const long long wanted = (long long)from + (long long)direction * increment_;
  const int next = int(std::clamp<long long>(wanted, min_, max_));
  // At a bound the box keeps what it shows; the spinner never wraps around.
  if (next == from) {
    position_ = std::clamp(from, min_, max_);
    return;
  }
  setPosition(next);
}

void TUpDown::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int half = height() / 2;
  for (int i = 0; i < 2; ++i) {
    QRect r(0, i * half, width(), i == 0 ? half : height() - half);
    const bool down = held_ == (i == 0 ? 1 : -1);
    p.fillRect(r, ui::toQColor(ui::clBtnFace));
    QRect edge = r;
    frame3D(p, edge, down ? ui::clBtnShadow : ui::clBtnHighlight, down ? ui::clBtnHighlight : ui::clBtnShadow, 1);
    // A small solid triangle.
    const QPointF c = QRectF(r).center();
    QPainterPath arrow;
    if (i == 0) {
      arrow.moveTo(c.x() - 3, c.y() + 1.5);
      arrow.lineTo(c.x() + 3, c.y() + 1.5);
      arrow.lineTo(c.x(), c.y() - 1.5);
    } else {
      arrow.moveTo(c.x() - 3, c.y() - 1.5);
      arrow.lineTo(c.x() + 3, c.y() - 1.5);
      arrow.lineTo(c.x(), c.y() + 1.5);
    }
    p.fillPath(arrow, ui::toQColor(isEnabled() ? ui::clBtnText : ui::clBtnShadow));
  }
}

void TUpDown::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  held_ = event->position().y() < height() / 2 ? 1 : -1;
  update();
  step(held_);
  repeat_.start(400, this);
}

void TUpDown::mouseReleaseEvent(QMouseEvent*) {
  held_ = 0;
  repeat_.stop();
  update();
}

void TUpDown::timerEvent(QTimerEvent* event) {
  if (event->timerId() != repeat_.timerId()) return QWidget::timerEvent(event);
  if (held_ == 0) return repeat_.stop();
  repeat_.start(60, this);
  step(held_);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

TRulerMarker::TRulerMarker(QWidget* parent, Shape shape) : ui::MouseControl(parent), shape_(shape) {
  setCursor(Qt::ArrowCursor);
}

void TRulerMarker::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor ink = ui::toQColor(ui::clBlack);
  // Arrows centred on the middle column (x 6), as the glyphs of the markers' font stand.
  const int c = 6;
  QPolygon poly;
  switch (shape_) {
    case Shape::DownArrow:  // stem from the top, head pointing down at the ruler line
      poly << QPoint(c - 1, 1) << QPoint(c + 1, 1) << QPoint(c + 1, 5) << QPoint(c + 4, 5) << QPoint(c, 10)
           << QPoint(c - 4, 5) << QPoint(c - 1, 5);
      break;
    case Shape::UpArrow:  // head pointing up at the ruler line, stem below
      poly << QPoint(c, 2) << QPoint(c + 4, 7) << QPoint(c + 1, 7) << QPoint(c + 1, 11) << QPoint(c - 1, 11)
           << QPoint(c - 1, 7) << QPoint(c - 4, 7);
      break;
    case Shape::HollowUpArrow:
      poly << QPoint(c, 1) << QPoint(c + 4, 6) << QPoint(c + 2, 6) << QPoint(c + 2, 11) << QPoint(c - 2, 11)
           << QPoint(c - 2, 6) << QPoint(c - 4, 6);
      break;
  }
  p.setPen(ink);
  p.setBrush(shape_ == Shape::HollowUpArrow ? QBrush(ui::toQColor(ui::clWhite)) : QBrush(ink));
  p.drawPolygon(poly);
}

}  // namespace vardel

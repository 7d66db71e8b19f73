// Drawing helpers: fonts, paper, haloed text, painted buttons.
#include "content/generator/draw.h"

#include "content/generator/noise.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vardel::content {

QFont serifFont(int pixelSize, bool bold, bool italic) {
  QFont font(QStringLiteral("Liberation Serif"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setItalic(italic);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QFont sansFont(int pixelSize, bool bold) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QColor mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                          float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

void fillPaper(QImage& image, const QRect& rect, const QColor& base, double strength, unsigned seed) {
  const QRect area = rect.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      const double n = fractalNoise(x / 60.0, y / 60.0, 4, seed) + 0.35 * (unit2(x, y, seed + 5) - 0.5);
      const double f = 1 + n * 0.18 * strength;
      row[x] = qRgb(std::clamp(int(base.red() * f), 0, 255), std::clamp(int(base.green() * f), 0, 255),
                    std::clamp(int(base.blue() * (f - 0.02 * strength)), 0, 255));
    }
  }
}

void drawHaloText(QPainter& p, const QRect& rect, int flags, const QString& text, const QColor& ink, const QColor& halo,
                  int haloWidth) {
  p.save();
  QColor soft = halo;
  soft.setAlpha(halo.alpha() * 3 / 4);
  p.setPen(soft);
  for (int dy = -haloWidth; dy <= haloWidth; ++dy) {
    for (int dx = -haloWidth; dx <= haloWidth; ++dx) {
      if (dx * dx + dy * dy > haloWidth * haloWidth + 1 || (dx == 0 && dy == 0)) continue;
      p.drawText(rect.translated(dx, dy), flags, text);
    }
  }
  p.setPen(ink);
  p.drawText(rect, flags, text);
  p.restore();
}

QRect paintButton(QPainter& p, const QRect& rect, const ButtonStyle& style, const QString& text, const QFont& font) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF outer = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  shape.addRoundedRect(outer, style.radius, style.radius);
  QLinearGradient face(outer.topLeft(), outer.bottomLeft());
  face.setColorAt(0, style.face.lighter(135));
  face.setColorAt(0.45, style.face);
  face.setColorAt(1, style.face.darker(130));
  p.fillPath(shape, face);
  // Bevel: light on the upper left, shade on the lower right.
  const QRectF inner = outer.adjusted(1.5, 1.5, -1.5, -1.5);
  QPainterPath bevel;
  bevel.addRoundedRect(inner, std::max(1, style.radius - 1), std::max(1, style.radius - 1));
  QLinearGradient lit(inner.topLeft(), inner.bottomRight());
  lit.setColorAt(0, QColor(255, 255, 255, 170));
  lit.setColorAt(0.5, QColor(255, 255, 255, 0));
  lit.setColorAt(0.51, QColor(0, 0, 0, 0));
  lit.setColorAt(1, QColor(0, 0, 0, 110));
  p.setPen(QPen(QBrush(lit), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(bevel);
  p.setPen(QPen(style.rim, 1));
  p.drawPath(shape);
  if (!text.isEmpty()) {
    p.setFont(font);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(rect.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(style.ink);
    p.drawText(rect, Qt::AlignCenter, text);
  }
  p.restore();
  return inner.toAlignedRect().adjusted(1, 1, -1, -1);
}

void drawDoubleFrame(QPainter& p, const QRectF& rect, const QColor& color, double gap) {
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(color, 1.6));
  p.drawRect(rect);
  p.setPen(QPen(color, 0.7));
  p.drawRect(rect.adjusted(gap, gap, -gap, -gap));
  p.restore();
}

}  // namespace vardel::content

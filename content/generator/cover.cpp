// The cover's illustration: Vardel at sunset seen from the sea, with the harbour's boats.
#include "content/generator/cover.h"

#include "content/generator/draw.h"
#include "content/generator/noise.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace vardel::content {
namespace {

void skyAndSun(QPainter& p, const QRectF& a, QPointF sun, double horizon) {
  QLinearGradient sky(a.topLeft(), QPointF(a.left(), horizon));
  sky.setColorAt(0, QColor(86, 70, 140));
  sky.setColorAt(0.45, QColor(232, 120, 110));
  sky.setColorAt(0.8, QColor(252, 186, 110));
  sky.setColorAt(1, QColor(255, 222, 150));
  p.fillRect(QRectF(a.left(), a.top(), a.width(), horizon - a.top()), sky);
  QRadialGradient glow(sun, 180);
  glow.setColorAt(0, QColor(255, 246, 200, 230));
  glow.setColorAt(0.2, QColor(255, 230, 160, 140));
  glow.setColorAt(1, QColor(255, 200, 140, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(sun, 180, 180);
  p.setBrush(QColor(255, 244, 210));
  p.drawEllipse(sun, 38, 38);
  // Long thin clouds across the sun.
  Random rnd(311);
  for (int i = 0; i < 9; ++i) {
    const double y = a.top() + rnd.uniform(30, horizon - a.top() - 60);
    const double x = a.left() + rnd.uniform(-100, a.width());
    p.setBrush(QColor(255, 210, 190, 90 + rnd.below(60)));
    p.drawRoundedRect(QRectF(x, y, rnd.uniform(120, 320), rnd.uniform(4, 9)), 4, 4);
  }
}

void farHills(QPainter& p, const QRectF& a, double horizon) {
  QPainterPath hills(QPointF(a.left(), horizon));
  for (int i = 0; i <= 80; ++i) {
    const double x = a.left() + a.width() * i / 80.0;
    hills.lineTo(x, horizon - 70 - 60 * (0.5 + fractalNoise(i / 14.0, 2.5, 3, 321)) * std::sin(M_PI * i / 80.0));
  }
  hills.lineTo(a.right(), horizon);
  hills.closeSubpath();
  p.fillPath(hills, QColor(150, 96, 130));
}

// The town: houses in rows up the hill, the cathedral with its two towers, the castle above.
void town(QPainter& p, const QRectF& a, double horizon) {
  Random rnd(331);
  const QColor walls[] = {QColor(124, 66, 84), QColor(110, 58, 78), QColor(138, 76, 90), QColor(98, 52, 74)};
  // Castle on the hilltop.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(104, 60, 86));
  p.drawRect(QRectF(a.left() + 130, horizon - 150, 110, 60));
  for (int i = 0; i < 6; ++i) p.drawRect(QRectF(a.left() + 130 + i * 20, horizon - 160, 10, 12));
  p.drawRect(QRectF(a.left() + 200, horizon - 190, 30, 50));
  for (int row = 0; row < 3; ++row) {
    double x = a.left() - 10 + row * 14;
    const double base = horizon - row * 34;
    while (x < a.right()) {
      const double w = rnd.uniform(22, 46), h = rnd.uniform(26, 54) + (2 - row) * 6;
      const QColor wall = walls[rnd.below(4)].darker(100 + row * 12);
      p.setBrush(wall);
      p.drawRect(QRectF(x, base - h, w, h));
      p.setBrush(wall.darker(125));
      p.drawPolygon(
          QPolygonF({QPointF(x - 2, base - h), QPointF(x + w / 2, base - h - w * 0.35), QPointF(x + w + 2, base - h)}));
      // Lit windows.
      for (double wy = base - h + 8; wy < base - 8; wy += 12) {
        for (double wx = x + 5; wx < x + w - 7; wx += 10) {
          if (rnd.below(3) == 0) p.fillRect(QRectF(wx, wy, 4, 6), QColor(255, 220, 120));
        }
      }
      x += w + rnd.uniform(-4, 3);
    }
  }
  // Cathedral: nave, two towers and a dome.
  const double cx = a.left() + a.width() * 0.47;
  p.setBrush(QColor(92, 50, 74));
  p.drawRect(QRectF(cx - 60, horizon - 120, 120, 80));
  p.drawRect(QRectF(cx - 78, horizon - 190, 26, 150));
  p.drawRect(QRectF(cx + 52, horizon - 190, 26, 150));
  p.drawPolygon(
      QPolygonF({QPointF(cx - 80, horizon - 190), QPointF(cx - 65, horizon - 230), QPointF(cx - 50, horizon - 190)}));
  p.drawPolygon(
      QPolygonF({QPointF(cx + 50, horizon - 190), QPointF(cx + 65, horizon - 230), QPointF(cx + 80, horizon - 190)}));
  p.drawChord(QRectF(cx - 36, horizon - 160, 72, 80), 0, 180 * 16);
  p.setBrush(QColor(255, 214, 120));
  p.drawEllipse(QPointF(cx, horizon - 92), 10, 10);
  // The harbour wall.
  p.setBrush(QColor(70, 40, 60));
  p.drawRect(QRectF(a.left(), horizon - 6, a.width(), 8));
}

void seaWithReflection(QPainter& p, const QRectF& a, double horizon, double sunX) {
  QLinearGradient water(QPointF(a.left(), horizon), a.bottomLeft());
  water.setColorAt(0, QColor(200, 130, 130));
  water.setColorAt(0.25, QColor(110, 90, 140));
  water.setColorAt(1, QColor(40, 50, 100));
  p.fillRect(QRectF(a.left(), horizon, a.width(), a.bottom() - horizon), water);
  Random rnd(341);
  for (int i = 0; i < 120; ++i) {
    const double y = horizon + 4 + std::pow(rnd.uniform(0, 1), 1.4) * (a.bottom() - horizon - 6);
    const double spread = 20 + (y - horizon) * 0.9;
    const double x = sunX + rnd.uniform(-spread, spread);
    const double len = rnd.uniform(10, 40) * (0.6 + (y - horizon) / (a.bottom() - horizon));
    p.setPen(QPen(QColor(255, 226, 160, 90 + rnd.below(120)), 1.6));
    p.drawLine(QPointF(x - len / 2, y), QPointF(x + len / 2, y));
  }
  p.setPen(QPen(QColor(255, 255, 255, 50), 1));
  for (int i = 0; i < 60; ++i) {
    const double y = rnd.uniform(horizon + 10, a.bottom() - 4);
    const double x = a.left() + rnd.uniform(0, a.width());
    p.drawLine(QPointF(x, y), QPointF(x + rnd.uniform(8, 24), y));
  }
}

void boat(QPainter& p, QPointF base, double size, const QColor& sail) {
  p.setPen(QPen(QColor(30, 20, 30), 1.2));
  p.setBrush(QColor(40, 30, 50));
  p.drawPolygon(QPolygonF({base + QPointF(-size * 0.55, 0), base + QPointF(size * 0.55, 0),
                           base + QPointF(size * 0.4, size * 0.16), base + QPointF(-size * 0.42, size * 0.16)}));
  p.drawLine(base, base + QPointF(0, -size));
  p.setBrush(sail);
  p.drawPolygon(QPolygonF(
      {base + QPointF(3, -size * 0.95), base + QPointF(size * 0.5, -size * 0.08), base + QPointF(3, -size * 0.08)}));
  p.drawPolygon(QPolygonF(
      {base + QPointF(-3, -size * 0.8), base + QPointF(-3, -size * 0.1), base + QPointF(-size * 0.36, -size * 0.1)}));
  // Its shadow on the water.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 50, 90));
  p.drawEllipse(base + QPointF(0, size * 0.22), size * 0.5, size * 0.05);
}

void gulls(QPainter& p, const QRectF& a) {
  p.setPen(QPen(QColor(60, 40, 60), 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  const QPointF birds[] = {{0.42, 0.12}, {0.47, 0.18}, {0.36, 0.2}, {0.52, 0.09}};
  for (const QPointF& b : birds) {
    const QPointF c(a.left() + b.x() * a.width(), a.top() + b.y() * a.height());
    QPainterPath wing(c + QPointF(-12, -3));
    wing.quadTo(c + QPointF(-6, -9), c);
    wing.quadTo(c + QPointF(6, -9), c + QPointF(12, -3));
    p.drawPath(wing);
  }
}

}  // namespace

void drawCoverScene(QPainter& p, const QRectF& area) {
  p.save();
  p.setClipRect(area);
  p.setRenderHint(QPainter::Antialiasing);
  const double horizon = area.top() + area.height() * 0.7;
  const QPointF sun(area.left() + area.width() * 0.63, horizon - 150);
  skyAndSun(p, area, sun, horizon);
  farHills(p, area, horizon);
  town(p, area, horizon);
  seaWithReflection(p, area, horizon, sun.x());
  boat(p, QPointF(area.left() + area.width() * 0.86, horizon + 60), 70, QColor(200, 60, 50));
  boat(p, QPointF(area.left() + area.width() * 0.46, horizon + 30), 40, QColor(240, 230, 200));
  boat(p, QPointF(area.left() + area.width() * 0.6, horizon + 18), 28, QColor(240, 230, 200));
  gulls(p, area);
  p.restore();
}

}  // namespace vardel::content

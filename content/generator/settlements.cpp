// Town drawings for the map.
#include "content/generator/settlements.h"

#include "content/generator/draw.h"
#include "content/generator/noise.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace vardel::content {
namespace {

struct Ink {
  QColor wall, roof, outline, window;
};

Ink inks(bool night) {
  if (night) return {QColor(120, 116, 110), QColor(88, 46, 40), QColor(20, 16, 20), QColor(255, 214, 100)};
  return {QColor(248, 242, 228), QColor(190, 70, 46), QColor(70, 40, 30), QColor(80, 60, 50)};
}

// A house whose ground line is centred at `base`; `w` wide, walls `h` high.
void house(QPainter& p, QPointF base, double w, double h, const Ink& ink) {
  const QRectF wall(base.x() - w / 2, base.y() - h, w, h);
  p.setPen(QPen(ink.outline, 0.8));
  p.setBrush(ink.wall);
  p.drawRect(wall);
  p.setBrush(ink.roof);
  p.drawPolygon(QPolygonF(
      {wall.topLeft() + QPointF(-1.5, 0), QPointF(base.x(), wall.top() - h * 0.6), wall.topRight() + QPointF(1.5, 0)}));
  p.fillRect(QRectF(base.x() - 1, base.y() - h * 0.55, 2, h * 0.35), ink.window);
}

void tower(QPainter& p, QPointF base, double w, double h, const Ink& ink, bool pointed) {
  const QRectF body(base.x() - w / 2, base.y() - h, w, h);
  p.setPen(QPen(ink.outline, 0.8));
  p.setBrush(ink.wall.darker(108));
  p.drawRect(body);
  p.setBrush(ink.roof);
  if (pointed) {
    p.drawPolygon(QPolygonF(
        {body.topLeft() + QPointF(-1, 0), QPointF(base.x(), body.top() - w * 1.3), body.topRight() + QPointF(1, 0)}));
  } else {
    for (int i = 0; i < 3; ++i) p.drawRect(QRectF(body.left() + i * w / 2.5, body.top() - 2.5, w / 5, 2.5));
  }
  p.fillRect(QRectF(base.x() - 1, body.top() + 3, 2, 3), ink.window);
}

void drawCapital(QPainter& p, QPointF c, const Ink& ink) {
  p.setPen(QPen(ink.outline, 1));
  p.setBrush(ink.wall.darker(112));
  p.drawEllipse(c + QPointF(0, 4), 30, 12);  // the walls seen from above
  house(p, c + QPointF(-18, 10), 9, 7, ink);
  house(p, c + QPointF(18, 10), 9, 7, ink);
  house(p, c + QPointF(-8, 13), 8, 6, ink);
  house(p, c + QPointF(9, 13), 8, 6, ink);
  tower(p, c + QPointF(-6, 6), 7, 16, ink, false);
  tower(p, c + QPointF(6, 6), 7, 20, ink, true);
  p.setPen(QPen(ink.outline, 0.8));
  p.drawLine(c + QPointF(6, -23), c + QPointF(6, -30));
  p.setBrush(QColor(200, 30, 40));
  p.drawPolygon(QPolygonF({c + QPointF(6, -30), c + QPointF(13, -28), c + QPointF(6, -26)}));
}

void drawLighthouse(QPainter& p, QPointF c, const Ink& ink, bool night) {
  if (night) {
    QRadialGradient glow(c + QPointF(0, -12), 26);
    glow.setColorAt(0, QColor(255, 240, 160, 200));
    glow.setColorAt(1, QColor(255, 240, 160, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c + QPointF(0, -12), 26, 26);
  }
  QPolygonF body({c + QPointF(-5, 12), c + QPointF(-3, -10), c + QPointF(3, -10), c + QPointF(5, 12)});
  p.setPen(QPen(ink.outline, 0.8));
  p.setBrush(night ? QColor(150, 146, 140) : Qt::white);
  p.drawPolygon(body);
  p.setBrush(QColor(200, 40, 40));
  for (int i = 0; i < 2; ++i) {
    const double y0 = -4 + i * 9;
    p.drawPolygon(QPolygonF({c + QPointF(-3.8 - i * 0.6, y0 + 4), c + QPointF(-3.2 - i * 0.6, y0),
                             c + QPointF(3.2 + i * 0.6, y0), c + QPointF(3.8 + i * 0.6, y0 + 4)}));
  }
  p.setBrush(night ? QColor(255, 230, 120) : QColor(250, 220, 120));
  p.drawRect(QRectF(c.x() - 3, c.y() - 15, 6, 5));
  p.setBrush(ink.outline);
  p.drawPolygon(QPolygonF({c + QPointF(-4, -15), c + QPointF(0, -19), c + QPointF(4, -15)}));
  house(p, c + QPointF(12, 12), 9, 6, ink);
}

void drawObservatory(QPainter& p, QPointF c, const Ink& ink) {
  p.setPen(QPen(ink.outline, 0.8));
  p.setBrush(ink.wall);
  p.drawRect(QRectF(c.x() - 9, c.y() - 2, 18, 12));
  p.setBrush(ink.wall.darker(115));
  p.drawChord(QRectF(c.x() - 9, c.y() - 11, 18, 18), 0, 180 * 16);
  p.setPen(QPen(ink.outline, 2));
  p.drawLine(c + QPointF(1, -6), c + QPointF(7, -12));
  house(p, c + QPointF(-16, 10), 8, 6, ink);
  house(p, c + QPointF(16, 10), 8, 6, ink);
}

void drawMonastery(QPainter& p, QPointF c, const Ink& ink) {
  house(p, c + QPointF(-4, 10), 18, 9, ink);
  tower(p, c + QPointF(9, 10), 6, 18, ink, true);
  house(p, c + QPointF(-18, 12), 8, 6, ink);
}

void drawTown(QPainter& p, const City& city, QPointF c, const Ink& ink) {
  Random rnd(city.number * 131U);
  const int houses = city.kind == Settlement::Village ? 3 : 5;
  for (int i = 0; i < houses; ++i) {
    const double x = (i - (houses - 1) / 2.0) * 8.5 + rnd.uniform(-1.5, 1.5);
    const double y = 9 + ((i % 2) ? 3 : 0);
    house(p, c + QPointF(x, y), 8 + rnd.uniform(0, 2), 6 + rnd.uniform(0, 2), ink);
  }
  if (city.kind != Settlement::Village) tower(p, c + QPointF(2, 7), 6, 16, ink, city.number % 2 == 1);
  if (city.kind == Settlement::Port) {
    // An anchor beside the houses says "harbour".
    p.setPen(QPen(ink.outline, 1.3));
    p.setBrush(Qt::NoBrush);
    const QPointF a = c + QPointF(-26, -2);
    p.drawEllipse(a + QPointF(0, -6), 2, 2);
    p.drawLine(a + QPointF(0, -4), a + QPointF(0, 7));
    p.drawLine(a + QPointF(-3, -1), a + QPointF(3, -1));
    p.drawArc(QRectF(a.x() - 5, a.y() - 1, 10, 10), 180 * 16, 180 * 16);
  }
}

}  // namespace

void drawSettlement(QPainter& p, const City& city, bool night) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const Ink ink = inks(night);
  const QPointF c(city.hotspot.center().x() + 0.5, city.hotspot.top() + 17);
  if (night) {
    // Lamplight spilling from the windows.
    QRadialGradient lamps(c + QPointF(0, 6), 26);
    lamps.setColorAt(0, QColor(255, 200, 90, 90));
    lamps.setColorAt(1, QColor(255, 200, 90, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(lamps);
    p.drawEllipse(c + QPointF(0, 6), 26, 20);
  }
  // A soft shadow grounds the drawing.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, night ? 70 : 45));
  p.drawEllipse(c + QPointF(2, 12), city.kind == Settlement::Capital ? 32 : 20, 5);
  switch (city.kind) {
    case Settlement::Capital:
      drawCapital(p, c, ink);
      break;
    case Settlement::Lighthouse:
      drawLighthouse(p, c, ink, night);
      break;
    case Settlement::Observatory:
      drawObservatory(p, c, ink);
      break;
    case Settlement::Monastery:
      drawMonastery(p, c, ink);
      break;
    default:
      drawTown(p, city, c, ink);
      break;
  }
  const QRect label(city.hotspot.left() - 10, city.hotspot.bottom() - 15, city.hotspot.width() + 20, 15);
  p.setFont(serifFont(city.kind == Settlement::Capital ? 14 : 12, true));
  if (night) {
    drawHaloText(p, label, Qt::AlignHCenter | Qt::AlignBottom, city.name, QColor(250, 232, 170),
                 QColor(24, 20, 14, 200));
  } else {
    drawHaloText(p, label, Qt::AlignHCenter | Qt::AlignBottom, city.name, QColor(70, 30, 14),
                 QColor(250, 242, 216, 210));
  }
  p.restore();
}

}  // namespace vardel::content

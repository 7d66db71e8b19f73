// The fifteen section scenes, drawn in coordinates relative to their rectangle.
#include "content/generator/vignettes.h"

#include "content/generator/cities.h"
#include "content/generator/draw.h"
#include "content/generator/noise.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace vardel::content {
namespace {

// Maps relative coordinates (0..1 across the area) to pixels; `s` is the scale of details.
struct Frame {
  QRectF area;
  QPointF at(double fx, double fy) const { return {area.left() + fx * area.width(), area.top() + fy * area.height()}; }
  double s() const { return std::min(area.width(), area.height()); }
  QRectF box(double fx, double fy, double fw, double fh) const {
    return {at(fx, fy), QSizeF(fw * area.width(), fh * area.height())};
  }
};

void sky(QPainter& p, const Frame& f, const QColor& top, const QColor& bottom) {
  QLinearGradient g(f.at(0, 0), f.at(0, 1));
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.fillRect(f.area, g);
}

void hills(QPainter& p, const Frame& f, double level, const QColor& color, unsigned seed) {
  QPainterPath path(f.at(0, 1));
  for (int i = 0; i <= 40; ++i) {
    const double x = i / 40.0;
    path.lineTo(f.at(x, level + 0.08 * fractalNoise(x * 3, seed, 3, seed)));
  }
  path.lineTo(f.at(1, 1));
  path.closeSubpath();
  p.fillPath(path, color);
}

void sea(QPainter& p, const Frame& f, double level, const QColor& color) {
  QLinearGradient g(f.at(0, level), f.at(0, 1));
  g.setColorAt(0, color.lighter(120));
  g.setColorAt(1, color.darker(120));
  p.fillRect(QRectF(f.at(0, level), f.at(1, 1)), g);
  p.setPen(QPen(QColor(255, 255, 255, 110), std::max(1.0, f.s() / 120)));
  Random rnd(7);
  for (int i = 0; i < 14; ++i) {
    const QPointF a = f.at(rnd.uniform(0.02, 0.9), rnd.uniform(level + 0.03, 0.98));
    p.drawLine(a, a + QPointF(f.s() * 0.06, 0));
  }
}

void sun(QPainter& p, QPointF c, double r, const QColor& color) {
  QRadialGradient g(c, r * 2.2);
  g.setColorAt(0, color);
  g.setColorAt(0.45, QColor(color.red(), color.green(), color.blue(), 120));
  g.setColorAt(1, QColor(color.red(), color.green(), color.blue(), 0));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(c, r * 2.2, r * 2.2);
  p.setBrush(color);
  p.drawEllipse(c, r, r);
}

void house(QPainter& p, QPointF base, double w, double h, const QColor& wall, const QColor& roof) {
  p.setPen(QPen(QColor(60, 40, 30), 1));
  p.setBrush(wall);
  p.drawRect(QRectF(base.x() - w / 2, base.y() - h, w, h));
  p.setBrush(roof);
  p.drawPolygon(QPolygonF({QPointF(base.x() - w / 2 - 2, base.y() - h), QPointF(base.x(), base.y() - h * 1.6),
                           QPointF(base.x() + w / 2 + 2, base.y() - h)}));
  p.fillRect(QRectF(base.x() - w * 0.12, base.y() - h * 0.5, w * 0.24, h * 0.5), QColor(90, 60, 40));
}

void sailboat(QPainter& p, QPointF base, double size, const QColor& hull, const QColor& sail) {
  p.setPen(QPen(QColor(40, 30, 30), 1));
  p.setBrush(hull);
  p.drawPolygon(QPolygonF({base + QPointF(-size * 0.5, 0), base + QPointF(size * 0.5, 0),
                           base + QPointF(size * 0.36, size * 0.16), base + QPointF(-size * 0.38, size * 0.16)}));
  p.drawLine(base + QPointF(0, 0), base + QPointF(0, -size));
  p.setBrush(sail);
  p.drawPolygon(QPolygonF(
      {base + QPointF(2, -size), base + QPointF(size * 0.42, -size * 0.08), base + QPointF(2, -size * 0.08)}));
  p.drawPolygon(QPolygonF(
      {base + QPointF(-2, -size * 0.8), base + QPointF(-2, -size * 0.1), base + QPointF(-size * 0.32, -size * 0.1)}));
}

void lighthouse(QPainter& p, QPointF base, double h) {
  const double w = h * 0.22;
  p.setPen(QPen(QColor(50, 40, 40), 1));
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({base + QPointF(-w / 2, 0), base + QPointF(-w * 0.32, -h), base + QPointF(w * 0.32, -h),
                           base + QPointF(w / 2, 0)}));
  p.setBrush(QColor(200, 40, 40));
  for (int i = 0; i < 3; ++i) {
    const double y0 = -h * (0.15 + i * 0.3), y1 = y0 - h * 0.14;
    const double k0 = 0.5 - 0.18 * (-y0 / h), k1 = 0.5 - 0.18 * (-y1 / h);
    p.drawPolygon(QPolygonF({base + QPointF(-w * k0, y0), base + QPointF(-w * k1, y1), base + QPointF(w * k1, y1),
                             base + QPointF(w * k0, y0)}));
  }
  p.setBrush(QColor(255, 226, 120));
  p.drawRect(QRectF(base.x() - w * 0.3, base.y() - h - w * 0.5, w * 0.6, w * 0.5));
  p.setBrush(QColor(50, 40, 40));
  p.drawPolygon(QPolygonF(
      {base + QPointF(-w * 0.4, -h - w * 0.5), base + QPointF(0, -h - w), base + QPointF(w * 0.4, -h - w * 0.5)}));
}

// One scene per section, numbered as the cities.
void scene(QPainter& p, const Frame& f, int n) {
  const double s = f.s();
  switch (n) {
    case 1: {  // Editorial: the capital's skyline at sunset
      sky(p, f, QColor(250, 190, 120), QColor(250, 234, 200));
      sun(p, f.at(0.7, 0.45), s * 0.1, QColor(255, 240, 170));
      sea(p, f, 0.72, QColor(70, 110, 150));
      const QColor stone(120, 70, 70);
      p.setPen(Qt::NoPen);
      p.setBrush(stone);
      QPainterPath town(f.at(0, 0.74));
      const double xs[] = {0, 0.08, 0.14, 0.2, 0.28, 0.3, 0.38, 0.42, 0.5, 0.55, 0.6, 0.7, 0.78, 0.85, 1};
      const double ys[] = {0.62, 0.62, 0.5, 0.5, 0.58, 0.3, 0.3, 0.56, 0.56, 0.4, 0.6, 0.6, 0.52, 0.64, 0.64};
      for (int i = 0; i < 15; ++i) {
        town.lineTo(f.at(xs[i], ys[i]));
        if (i + 1 < 15) town.lineTo(f.at(xs[i + 1], ys[i]));
      }
      town.lineTo(f.at(1, 0.74));
      p.drawPath(town);
      p.setBrush(QColor(255, 220, 120));
      for (int i = 0; i < 9; ++i)
        p.drawRect(QRectF(f.at(0.05 + i * 0.1, 0.66 - (i % 3) * 0.03), QSizeF(s * 0.025, s * 0.03)));
      break;
    }
    case 2: {  // Geography: mountains and a river
      sky(p, f, QColor(140, 190, 230), QColor(225, 240, 250));
      hills(p, f, 0.35, QColor(150, 140, 130), 3);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygonF({f.at(0.42, 0.3), f.at(0.52, 0.18), f.at(0.6, 0.3), f.at(0.55, 0.28), f.at(0.5, 0.32)}));
      hills(p, f, 0.55, QColor(110, 150, 80), 5);
      hills(p, f, 0.72, QColor(90, 130, 64), 9);
      QPainterPath river(f.at(0.5, 0.58));
      river.cubicTo(f.at(0.3, 0.7), f.at(0.7, 0.85), f.at(0.45, 1.0));
      p.setPen(QPen(QColor(80, 140, 200), s * 0.05, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      p.drawPath(river);
      break;
    }
    case 3: {  // History: the walls of Santa Oria
      sky(p, f, QColor(170, 200, 230), QColor(240, 236, 220));
      hills(p, f, 0.7, QColor(120, 150, 90), 4);
      const QColor stone(196, 178, 140);
      p.setPen(QPen(QColor(90, 70, 50), 1));
      p.setBrush(stone);
      p.drawRect(f.box(0.1, 0.5, 0.8, 0.25));
      for (int i = 0; i < 8; ++i) p.drawRect(f.box(0.1 + i * 0.1, 0.46, 0.06, 0.04));
      p.drawRect(f.box(0.38, 0.24, 0.24, 0.51));
      for (int i = 0; i < 3; ++i) p.drawRect(f.box(0.38 + i * 0.09, 0.2, 0.06, 0.04));
      p.setBrush(QColor(80, 60, 50));
      p.drawChord(f.box(0.44, 0.58, 0.12, 0.3), 0, 180 * 16);
      p.drawLine(f.at(0.5, 0.2), f.at(0.5, 0.08));
      p.setBrush(QColor(190, 30, 40));
      p.drawPolygon(QPolygonF({f.at(0.5, 0.08), f.at(0.64, 0.11), f.at(0.5, 0.14)}));
      break;
    }
    case 4: {  // Music: the island's bandurria and notes
      sky(p, f, QColor(60, 80, 150), QColor(140, 160, 210));
      p.setPen(QPen(QColor(60, 30, 10), 1));
      p.setBrush(QColor(200, 130, 60));
      const QPointF c = f.at(0.5, 0.62);
      p.drawEllipse(c, s * 0.24, s * 0.22);
      p.setBrush(QColor(60, 30, 10));
      p.drawEllipse(c, s * 0.06, s * 0.06);
      p.setBrush(QColor(130, 80, 40));
      p.drawRect(QRectF(c.x() - s * 0.03, f.at(0, 0.12).y(), s * 0.06, c.y() - f.at(0, 0.12).y() - s * 0.18));
      p.setPen(QPen(QColor(240, 230, 200), 0.7));
      for (int i = -1; i <= 1; ++i)
        p.drawLine(QPointF(c.x() + i * s * 0.012, f.at(0, 0.13).y()), QPointF(c.x() + i * s * 0.012, c.y() + s * 0.12));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 240, 180));
      for (int i = 0; i < 3; ++i) {
        const QPointF nt = f.at(0.15 + i * 0.35, 0.18 + (i % 2) * 0.12);
        p.drawEllipse(nt, s * 0.035, s * 0.028);
        p.drawRect(QRectF(nt.x() + s * 0.027, nt.y() - s * 0.14, s * 0.012, s * 0.14));
      }
      break;
    }
    case 5: {  // Games: falling blocks
      sky(p, f, QColor(30, 30, 60), QColor(70, 50, 110));
      const QColor colors[] = {QColor(60, 170, 230), QColor(250, 210, 40), QColor(120, 200, 80), QColor(230, 80, 60),
                               QColor(170, 80, 200)};
      const double c = s * 0.12;
      const int shapes[][4][2] = {{{0, 0}, {1, 0}, {2, 0}, {1, 1}},
                                  {{0, 0}, {0, 1}, {1, 1}, {2, 1}},
                                  {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
                                  {{0, 0}, {1, 0}, {1, 1}, {2, 1}},
                                  {{0, 0}, {0, 1}, {0, 2}, {0, 3}}};
      const double ox[] = {0.08, 0.5, 0.12, 0.55, 0.82}, oy[] = {0.72, 0.78, 0.2, 0.35, 0.45};
      for (int k = 0; k < 5; ++k) {
        for (const auto& cell : shapes[k]) {
          const QRectF r(f.at(ox[k], oy[k]) + QPointF(cell[0] * c, cell[1] * c), QSizeF(c, c));
          p.fillRect(r, colors[k]);
          p.setPen(QPen(colors[k].lighter(150), 1));
          p.drawLine(r.topLeft(), r.topRight());
          p.setPen(QPen(colors[k].darker(160), 1));
          p.drawLine(r.bottomLeft(), r.bottomRight());
        }
      }
      break;
    }
    case 6: {  // Interview: a sail fishing boat coming home
      sky(p, f, QColor(120, 170, 220), QColor(230, 240, 245));
      sea(p, f, 0.6, QColor(40, 100, 150));
      sailboat(p, f.at(0.5, 0.7), s * 0.55, QColor(40, 70, 120), QColor(236, 214, 170));
      p.setPen(QPen(QColor(60, 60, 60), 1));
      for (int i = 0; i < 3; ++i) {
        const QPointF g = f.at(0.2 + i * 0.22, 0.15 + (i % 2) * 0.08);
        p.drawLine(g, g + QPointF(s * 0.04, s * 0.02));
        p.drawLine(g, g + QPointF(-s * 0.04, s * 0.02));
      }
      break;
    }
    case 7: {  // Cooking: the caldereta pot
      sky(p, f, QColor(250, 230, 190), QColor(230, 200, 160));
      p.fillRect(QRectF(f.at(0, 0.75), f.at(1, 1)), QColor(150, 90, 50));
      p.setPen(QPen(QColor(40, 30, 20), 1.2));
      p.setBrush(QColor(170, 80, 40));
      p.drawChord(f.box(0.2, 0.35, 0.6, 0.6), 180 * 16, 180 * 16);
      p.drawRect(f.box(0.18, 0.62, 0.64, 0.04));
      p.setPen(QPen(QColor(255, 255, 255, 160), s * 0.025, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      for (int i = 0; i < 3; ++i) {
        QPainterPath steam(f.at(0.35 + i * 0.15, 0.55));
        steam.cubicTo(f.at(0.3 + i * 0.15, 0.45), f.at(0.42 + i * 0.15, 0.38), f.at(0.36 + i * 0.15, 0.25));
        p.drawPath(steam);
      }
      break;
    }
    case 8: {  // Letters: an envelope with the island's stamp
      sky(p, f, QColor(230, 220, 250), QColor(210, 200, 235));
      const QRectF env = f.box(0.1, 0.3, 0.8, 0.45);
      p.setPen(QPen(QColor(90, 70, 60), 1));
      p.setBrush(QColor(250, 244, 226));
      p.drawRect(env);
      p.drawLine(env.topLeft(), env.center());
      p.drawLine(env.topRight(), env.center());
      p.setBrush(QColor(190, 40, 50));
      p.drawRect(QRectF(env.right() - s * 0.2, env.top() + s * 0.04, s * 0.15, s * 0.17));
      p.setPen(QPen(QColor(90, 70, 60), 0.8));
      for (int i = 0; i < 3; ++i)
        p.drawLine(env.left() + s * 0.1, env.bottom() - s * (0.06 + i * 0.05), env.center().x(),
                   env.bottom() - s * (0.06 + i * 0.05));
      break;
    }
    case 9: {  // Almanac: moon phases over a night sea
      sky(p, f, QColor(10, 16, 50), QColor(40, 50, 100));
      Random rnd(9);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 230));
      for (int i = 0; i < 40; ++i) p.drawEllipse(f.at(rnd.uniform(0, 1), rnd.uniform(0, 0.6)), 0.7, 0.7);
      for (int i = 0; i < 5; ++i) {
        const QPointF c = f.at(0.12 + i * 0.19, 0.35);
        const double r = s * 0.07;
        p.setBrush(QColor(250, 246, 210));
        p.drawEllipse(c, r, r);
        p.setBrush(QColor(20, 28, 70));
        const double shift = (i - 2) * r * 0.9;
        if (i != 2) p.drawEllipse(c + QPointF(shift, 0), r, r);
      }
      sea(p, f, 0.68, QColor(20, 40, 90));
      break;
    }
    case 10: {  // Nature: pines, flowers and a gull
      sky(p, f, QColor(150, 200, 240), QColor(230, 245, 250));
      hills(p, f, 0.65, QColor(120, 170, 80), 10);
      p.setPen(Qt::NoPen);
      for (int i = 0; i < 4; ++i) {
        const QPointF b = f.at(0.12 + i * 0.25, 0.72 + (i % 2) * 0.05);
        p.setBrush(QColor(90, 60, 40));
        p.drawRect(QRectF(b.x() - s * 0.015, b.y() - s * 0.08, s * 0.03, s * 0.08));
        p.setBrush(QColor(40, 100, 60));
        p.drawPolygon(QPolygonF(
            {b + QPointF(-s * 0.09, -s * 0.07), b + QPointF(0, -s * 0.32), b + QPointF(s * 0.09, -s * 0.07)}));
      }
      Random rnd(10);
      for (int i = 0; i < 12; ++i) {
        p.setBrush(i % 2 ? QColor(230, 90, 140) : QColor(250, 220, 60));
        p.drawEllipse(f.at(rnd.uniform(0.02, 0.98), rnd.uniform(0.82, 0.97)), s * 0.018, s * 0.018);
      }
      p.setPen(QPen(QColor(60, 60, 60), 1.5));
      const QPointF g = f.at(0.6, 0.18);
      p.drawLine(g, g + QPointF(s * 0.07, -s * 0.03));
      p.drawLine(g, g + QPointF(-s * 0.07, -s * 0.03));
      break;
    }
    case 11: {  // Legends: the misty lake under the moon
      sky(p, f, QColor(40, 40, 70), QColor(110, 110, 140));
      sun(p, f.at(0.72, 0.2), s * 0.08, QColor(240, 240, 220));
      hills(p, f, 0.55, QColor(50, 55, 70), 11);
      sea(p, f, 0.7, QColor(60, 70, 100));
      p.setPen(Qt::NoPen);
      for (int i = 0; i < 4; ++i) {
        p.setBrush(QColor(230, 230, 240, 60));
        p.drawEllipse(f.at(0.2 + i * 0.2, 0.68 + (i % 2) * 0.05), s * 0.3, s * 0.04);
      }
      p.setBrush(QColor(255, 220, 120));
      p.drawEllipse(f.at(0.3, 0.62), s * 0.02, s * 0.02);
      break;
    }
    case 12: {  // Sports: the autumn regatta
      sky(p, f, QColor(110, 170, 230), QColor(220, 236, 248));
      sea(p, f, 0.55, QColor(30, 110, 160));
      sailboat(p, f.at(0.25, 0.72), s * 0.34, Qt::white, QColor(220, 60, 50));
      sailboat(p, f.at(0.6, 0.66), s * 0.28, Qt::white, QColor(250, 210, 60));
      sailboat(p, f.at(0.82, 0.85), s * 0.4, Qt::white, QColor(40, 120, 200));
      break;
    }
    case 13: {  // Computing: a computer of the day with its disc
      sky(p, f, QColor(200, 210, 220), QColor(160, 170, 185));
      p.fillRect(QRectF(f.at(0, 0.78), f.at(1, 1)), QColor(120, 100, 80));
      p.setPen(QPen(QColor(60, 60, 60), 1));
      p.setBrush(QColor(225, 220, 205));
      p.drawRoundedRect(f.box(0.2, 0.18, 0.6, 0.5), 4, 4);
      p.drawRect(f.box(0.15, 0.7, 0.7, 0.09));
      QLinearGradient screen(f.at(0.25, 0.23), f.at(0.75, 0.6));
      screen.setColorAt(0, QColor(40, 110, 120));
      screen.setColorAt(1, QColor(10, 50, 80));
      p.setBrush(screen);
      p.drawRect(f.box(0.26, 0.24, 0.48, 0.36));
      p.setPen(QPen(QColor(180, 255, 200), 1));
      for (int i = 0; i < 3; ++i) p.drawLine(f.at(0.3, 0.32 + i * 0.07), f.at(0.55 + (i % 2) * 0.12, 0.32 + i * 0.07));
      p.setPen(QPen(QColor(60, 60, 60), 0.8));
      p.setBrush(QColor(200, 220, 240));
      p.drawEllipse(f.at(0.78, 0.88), s * 0.08, s * 0.04);
      break;
    }
    case 14: {  // Crafts: an amphora on the potter's bench
      sky(p, f, QColor(240, 220, 190), QColor(220, 190, 150));
      p.fillRect(QRectF(f.at(0, 0.8), f.at(1, 1)), QColor(130, 90, 60));
      QPainterPath pot(f.at(0.42, 0.2));
      pot.lineTo(f.at(0.58, 0.2));
      pot.cubicTo(f.at(0.56, 0.3), f.at(0.8, 0.4), f.at(0.74, 0.6));
      pot.cubicTo(f.at(0.7, 0.74), f.at(0.58, 0.8), f.at(0.5, 0.8));
      pot.cubicTo(f.at(0.42, 0.8), f.at(0.3, 0.74), f.at(0.26, 0.6));
      pot.cubicTo(f.at(0.2, 0.4), f.at(0.44, 0.3), f.at(0.42, 0.2));
      p.setPen(QPen(QColor(80, 40, 20), 1.2));
      p.setBrush(QColor(190, 100, 60));
      p.drawPath(pot);
      p.setPen(QPen(QColor(250, 230, 200), s * 0.02));
      p.drawLine(f.at(0.3, 0.5), f.at(0.7, 0.5));
      p.drawLine(f.at(0.32, 0.58), f.at(0.68, 0.58));
      break;
    }
    default: {  // Routes and feasts: the lighthouse, a path and fireworks
      sky(p, f, QColor(30, 40, 90), QColor(120, 100, 150));
      p.setPen(QPen(QColor(255, 210, 90), 1));
      for (int k = 0; k < 2; ++k) {
        const QPointF c = f.at(0.25 + k * 0.35, 0.18 + k * 0.06);
        for (int i = 0; i < 12; ++i) {
          const double a = i * M_PI / 6;
          p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * s * 0.03, c + QPointF(std::cos(a), std::sin(a)) * s * 0.1);
        }
      }
      hills(p, f, 0.7, QColor(70, 90, 70), 15);
      lighthouse(p, f.at(0.78, 0.74), s * 0.45);
      QPainterPath path(f.at(0.1, 1));
      path.cubicTo(f.at(0.3, 0.85), f.at(0.5, 0.9), f.at(0.72, 0.76));
      p.setPen(QPen(QColor(220, 200, 150), s * 0.03, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
      house(p, f.at(0.3, 0.86), s * 0.08, s * 0.06, QColor(240, 235, 220), QColor(180, 70, 50));
      break;
    }
  }
}

}  // namespace

void drawVignette(QPainter& p, const QRectF& area, int number) {
  p.save();
  p.setClipRect(area);
  p.setRenderHint(QPainter::Antialiasing);
  scene(p, Frame{area}, number);
  p.restore();
}

QImage renderSectionPicture(int number) {
  const City& city = cities()[size_t(number - 1)];
  QImage image(132, 300, QImage::Format_RGB32);
  fillPaper(image, image.rect(), QColor(244, 234, 206), 0.6, 100 + number);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Title band in the section's colour.
  p.fillRect(QRect(0, 0, 132, 44), city.accent);
  p.setPen(QColor(255, 255, 255, 200));
  p.setFont(serifFont(10, false, true));
  p.drawText(QRect(0, 2, 132, 14), Qt::AlignCenter, QStringLiteral("ONDRAVIA  ·  Nº 1"));
  QFont title = serifFont(city.section.size() > 11 ? 16 : 19, true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 15, 132, 27), Qt::AlignCenter, city.section);
  // The scene, framed.
  const QRectF scene(8, 54, 116, 170);
  drawVignette(p, scene, number);
  p.setPen(QPen(QColor(70, 40, 20), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(scene.adjusted(-0.5, -0.5, 0.5, 0.5));
  p.setPen(city.accent.darker(130));
  p.setFont(serifFont(15, true));
  p.drawText(QRect(0, 230, 132, 22), Qt::AlignCenter, city.name);
  p.setFont(serifFont(11, false, true));
  p.setPen(QColor(90, 60, 40));
  p.drawText(QRect(6, 252, 120, 40), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
             QStringLiteral("Pulsa el mapa pequeño para volver a la isla"));
  drawDoubleFrame(p, QRectF(0.5, 0.5, 131, 299), city.accent.darker(140), 2);
  p.end();
  return image;
}

QImage renderArticlePicture(int number, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  drawVignette(p, QRectF(0, 0, width, height), number);
  p.setPen(QPen(QColor(40, 30, 20), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, width - 1, height - 1));
  p.end();
  return image;
}

}  // namespace vardel::content

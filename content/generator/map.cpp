// Relief, decorations, cities and buttons of the map pictures.
#include "content/generator/map.h"

#include "content/generator/cities.h"
#include "content/generator/draw.h"
#include "content/generator/noise.h"
#include "content/generator/settlements.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace vardel::content {
namespace {

struct Stop {
  double at;
  QColor color;
};

QColor ramp(const std::vector<Stop>& stops, double t) {
  if (t <= stops.front().at) return stops.front().color;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].at) {
      return mix(stops[i - 1].color, stops[i].color, (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    }
  }
  return stops.back().color;
}

struct Palette {
  std::vector<Stop> land;
  QColor seaShallow, seaDeep, forest, contour;
  double shadeStrength;
};

Palette palette(Mood mood) {
  if (mood == Mood::Day) {
    return {{{0.0, QColor(228, 212, 160)},
             {0.035, QColor(176, 194, 112)},
             {0.22, QColor(126, 164, 84)},
             {0.42, QColor(104, 140, 72)},
             {0.56, QColor(166, 150, 100)},
             {0.72, QColor(146, 116, 84)},
             {0.88, QColor(206, 198, 186)},
             {1.0, QColor(244, 242, 236)}},
            QColor(126, 184, 210),
            QColor(46, 98, 156),
            QColor(78, 120, 62),
            QColor(40, 90, 140),
            1.0};
  }
  return {{{0.0, QColor(92, 92, 80)},
           {0.035, QColor(58, 74, 60)},
           {0.22, QColor(48, 66, 54)},
           {0.42, QColor(42, 58, 50)},
           {0.56, QColor(66, 66, 62)},
           {0.72, QColor(76, 72, 70)},
           {0.88, QColor(120, 124, 134)},
           {1.0, QColor(168, 172, 184)}},
          QColor(30, 58, 100),
          QColor(8, 20, 54),
          QColor(34, 50, 42),
          QColor(60, 90, 140),
          1.3};
}

QColor reliefColor(const Terrain& t, const Palette& pal, int x, int y, Mood mood) {
  if (!t.land(x, y)) {
    const double d = t.coastDistance(x, y);
    double depth = std::min(1.0, d / 70.0);
    depth = std::clamp(depth + 0.25 * fractalNoise(x / 90.0, y / 90.0, 3, 41), 0.0, 1.0);
    QColor c = mix(pal.seaShallow, pal.seaDeep, std::sqrt(depth));
    if (d >= 7 && d < 8.2) c = mix(c, pal.contour, 0.35);                             // the shallows' edge
    if (d < 2.5) c = mix(c, QColor(240, 240, 220), mood == Mood::Day ? 0.45 : 0.15);  // surf
    return c;
  }
  const double h = t.height(x, y);
  QColor c = ramp(pal.land, h);
  const double forest = fractalNoise(x / 26.0, y / 26.0, 4, 51);
  if (forest > 0.07 && h > 0.12 && h < 0.55) c = mix(c, pal.forest, std::min(0.65, (forest - 0.07) * 6));
  // Light from the north-west.
  const double dx = (t.height(x + 1, y) - t.height(x - 1, y)) * 90;
  const double dy = (t.height(x, y + 1) - t.height(x, y - 1)) * 90;
  const double shade =
      std::clamp(1 + pal.shadeStrength * 0.55 * (-dx - dy) / std::sqrt(1 + dx * dx + dy * dy), 0.62, 1.3);
  const double grain = 1 + 0.05 * (unit2(x, y, 61) - 0.5);
  return QColor(std::clamp(int(c.red() * shade * grain), 0, 255), std::clamp(int(c.green() * shade * grain), 0, 255),
                std::clamp(int(c.blue() * shade * grain), 0, 255));
}

// Little wave marks over the open sea, away from the coast and the left column.
void drawWaves(QPainter& p, const Terrain& t, Mood mood) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(mood == Mood::Day ? QColor(220, 236, 246, 150) : QColor(120, 150, 200, 110), 1.1));
  Random rnd(71);
  for (int i = 0; i < 220; ++i) {
    const int x = int(rnd.uniform(150, 790)), y = int(rnd.uniform(8, 594));
    if (t.land(x, y) || t.coastDistance(x, y) < 14) continue;
    QPainterPath wave(QPointF(x - 6, y));
    wave.quadTo(QPointF(x - 3, y - 3), QPointF(x, y));
    wave.quadTo(QPointF(x + 3, y - 3), QPointF(x + 6, y));
    p.drawPath(wave);
  }
  p.restore();
}

void drawWater(QPainter& p, const Terrain& t, Mood mood) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QColor water = mood == Mood::Day ? QColor(60, 120, 180) : QColor(40, 70, 120);
  for (const QPainterPath& river : t.rivers()) {
    p.setPen(QPen(water, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(river);
  }
  p.setPen(QPen(water.darker(130), 1));
  p.setBrush(mood == Mood::Day ? QColor(110, 168, 206) : QColor(30, 56, 96));
  p.drawPath(t.lake());
  p.setPen(QPen(mood == Mood::Day ? QColor(88, 62, 36) : QColor(150, 150, 170), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(t.outline());
  p.restore();
}

const City& cityNumber(int n) { return cities()[size_t(n - 1)]; }

QPointF iconCentre(const City& c) { return QPointF(c.hotspot.center().x() + 0.5, c.hotspot.top() + 17); }

void drawRoads(QPainter& p, Mood mood) {
  static const int kRoads[][2] = {{1, 12}, {1, 8},  {8, 2},  {2, 13}, {13, 9}, {13, 5}, {5, 15},
                                  {15, 4}, {4, 10}, {10, 6}, {6, 3},  {3, 2},  {3, 14}, {14, 11},
                                  {11, 7}, {7, 8},  {7, 12}, {9, 1},  {2, 4}};
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(mood == Mood::Day ? QColor(150, 74, 48, 200) : QColor(170, 150, 110, 150), 1.4, Qt::DashLine, Qt::RoundCap);
  pen.setDashPattern({3, 2.5});
  p.setPen(pen);
  Random rnd(81);
  for (const auto& road : kRoads) {
    const QPointF a = iconCentre(cityNumber(road[0])), b = iconCentre(cityNumber(road[1]));
    const QPointF mid = (a + b) / 2 + QPointF(rnd.uniform(-18, 18), rnd.uniform(-18, 18));
    QPainterPath path(a);
    path.quadTo(mid, b);
    p.drawPath(path);
  }
  p.restore();
}

void drawCompass(QPainter& p, QPointF c, double r, Mood mood) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = mood == Mood::Day ? QColor(90, 50, 30) : QColor(200, 190, 150);
  const QColor fill = mood == Mood::Day ? QColor(240, 228, 196) : QColor(60, 70, 90);
  p.setPen(QPen(ink, 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, r * 0.72, r * 0.72);
  for (int i = 0; i < 8; ++i) {
    const double a = i * M_PI / 4;
    const double len = (i % 2 == 0) ? r : r * 0.58;
    const QPointF tip = c + QPointF(std::sin(a) * len, -std::cos(a) * len);
    const QPointF l = c + QPointF(std::sin(a - 0.5) * r * 0.16, -std::cos(a - 0.5) * r * 0.16);
    const QPointF rr = c + QPointF(std::sin(a + 0.5) * r * 0.16, -std::cos(a + 0.5) * r * 0.16);
    p.setBrush(fill);
    p.drawPolygon(QPolygonF({c, l, tip}));
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({c, tip, rr}));
  }
  p.setFont(serifFont(11, true));
  p.setPen(ink);
  p.drawText(QRectF(c.x() - 8, c.y() - r - 14, 16, 13), Qt::AlignCenter, QStringLiteral("N"));
  p.restore();
}

void drawSeaNames(QPainter& p, Mood mood) {
  const QColor ink = mood == Mood::Day ? QColor(30, 60, 110) : QColor(150, 170, 210);
  const QColor halo = mood == Mood::Day ? QColor(200, 225, 240, 160) : QColor(10, 20, 50, 160);
  p.setFont(serifFont(22, true, true));
  drawHaloText(p, QRect(500, 8, 220, 30), Qt::AlignCenter, QStringLiteral("Isla de Ondravia"), ink, halo);
  QFont sea = serifFont(13, false, true);
  sea.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  p.setFont(sea);
  drawHaloText(p, QRect(160, 18, 240, 20), Qt::AlignCenter, QStringLiteral("Océano Septentrional"), ink, halo, 1);
  drawHaloText(p, QRect(340, 581, 240, 18), Qt::AlignCenter, QStringLiteral("Mar de las Brumas"), ink, halo, 1);
}

// The program's column at the left: the credits plaque, the hint area, the clock plate and the
// buttons of the editor, the game and the two players.
void drawColumn(QImage& image, QPainter& p, Mood mood) {
  const bool day = mood == Mood::Day;
  const QColor paper = day ? QColor(238, 226, 192) : QColor(64, 62, 74);
  const QColor ink = day ? QColor(92, 52, 28) : QColor(214, 204, 170);
  p.end();
  fillPaper(image, QRect(0, 0, 137, 600), paper, 0.8, 91);
  fillPaper(image, kHintLabelRect.adjusted(-3, -3, 3, 3), day ? QColor(250, 245, 228) : QColor(78, 76, 90), 0.15, 92);
  fillPaper(image, kClockRect, day ? QColor(250, 245, 228) : QColor(78, 76, 90), 0.15, 93);
  p.begin(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Right edge: a border with a shadow falling on the sea.
  QLinearGradient shadow(137, 0, 147, 0);
  shadow.setColorAt(0, QColor(0, 0, 0, day ? 90 : 140));
  shadow.setColorAt(1, QColor(0, 0, 0, 0));
  p.fillRect(QRect(137, 0, 10, 600), shadow);
  p.fillRect(QRect(134, 0, 3, 600), ink);
  p.fillRect(QRect(131, 0, 1, 600), ink);

  drawDoubleFrame(p, QRectF(kHintLabelRect.adjusted(-3, -3, 3, 3)), ink, 2);
  drawDoubleFrame(p, QRectF(kClockRect), ink, 2);

  // Issue line under the plaque (the small map covers it at the document level).
  p.setPen(ink);
  p.setFont(serifFont(12, false, true));
  p.drawText(QRect(2, 44, 128, 16), Qt::AlignCenter, QStringLiteral("Revista electrónica"));
  p.setFont(serifFont(13, true));
  p.drawText(QRect(2, 62, 128, 18), Qt::AlignCenter, QStringLiteral("Número 1"));
  p.setFont(serifFont(12, false, true));
  p.drawText(QRect(2, 80, 128, 16), Qt::AlignCenter, QStringLiteral("Otoño de 1999"));
  p.drawLine(QPointF(30, 104), QPointF(100, 104));
  p.drawEllipse(QPointF(65, 104), 2.5, 2.5);
  p.setFont(serifFont(11, false, true));
  p.drawText(QRect(4, 362, 124, 60), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
             QStringLiteral("Señala una ciudad y pulsa sobre ella para leer su sección"));

  const MapButton* buttons = mapButtons();
  const QFont label = sansFont(12, true);
  for (int i = 0; i < kMapButtonCount; ++i) {
    const QString id = QString::fromLatin1(buttons[i].id);
    const QRect r = buttons[i].rect;
    if (id == QLatin1String("credits")) {
      const QRect face = paintButton(
          p, r, {day ? QColor(128, 26, 38) : QColor(96, 24, 40), QColor(250, 214, 120), QColor(60, 10, 14), 3},
          QString(), label);
      p.setPen(QColor(236, 196, 104));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(face).adjusted(1.5, 0.5, -1.5, -0.5));
      QFont title = serifFont(17, true);
      title.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
      p.setFont(title);
      p.setPen(QColor(252, 220, 130));
      p.drawText(QRect(r.left(), r.top() + 1, r.width(), 22), Qt::AlignCenter, QStringLiteral("ONDRAVIA"));
      p.setFont(serifFont(10, false, true));
      p.drawText(QRect(r.left(), r.top() + 20, r.width(), 13), Qt::AlignCenter, QStringLiteral("·  VARDEL  ·"));
    } else if (id == QLatin1String("game")) {
      paintButton(p, r, {QColor(214, 78, 30), QColor(255, 236, 120), QColor(90, 30, 10), 7}, QString(), label);
      const QColor blocks[] = {QColor(60, 170, 230), QColor(250, 210, 40), QColor(120, 200, 80), QColor(170, 80, 200)};
      for (int b = 0; b < 4; ++b) {
        const QRect cell(r.left() + 6 + (b % 2) * 7, r.top() + 8 + (b / 2) * 7 + (b == 3 ? 7 : 0), 6, 6);
        p.fillRect(cell, blocks[b]);
        p.setPen(QColor(0, 0, 0, 120));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(cell).adjusted(0.5, 0.5, -0.5, -0.5));
      }
      p.setFont(sansFont(16, true));
      p.setPen(QColor(90, 20, 0));
      p.drawText(r.adjusted(20, 1, 0, 1), Qt::AlignCenter, QStringLiteral("¡TUMBLO!"));
      p.setPen(QColor(255, 236, 120));
      p.drawText(r.adjusted(19, 0, 0, 0), Qt::AlignCenter, QStringLiteral("¡TUMBLO!"));
    } else if (id == QLatin1String("editor")) {
      paintButton(p, r, {QColor(38, 96, 150), Qt::white, QColor(12, 40, 70), 5}, QStringLiteral("EDITOR"), label);
    } else if (id == QLatin1String("cd")) {
      const QRect face = paintButton(p, r, {QColor(24, 112, 132), Qt::white, QColor(6, 40, 50), 5}, QString(), label);
      QRadialGradient disc(QPointF(face.left() + 9, face.center().y() + 0.5), 8);
      disc.setColorAt(0, QColor(250, 250, 255));
      disc.setColorAt(0.25, QColor(24, 112, 132));
      disc.setColorAt(0.35, QColor(230, 200, 250));
      disc.setColorAt(1, QColor(150, 210, 230));
      p.setBrush(disc);
      p.setPen(QColor(20, 20, 30));
      p.drawEllipse(QPointF(face.left() + 9, face.center().y() + 0.5), 7.5, 7.5);
      p.setFont(label);
      p.setPen(Qt::white);
      p.drawText(r.adjusted(16, 0, 0, 0), Qt::AlignCenter, QStringLiteral("CD"));
    } else if (id == QLatin1String("mp3")) {
      const QRect face = paintButton(p, r, {QColor(122, 58, 140), Qt::white, QColor(40, 10, 50), 5}, QString(), label);
      p.setPen(QPen(QColor(250, 210, 90), 1.6));
      p.setBrush(QColor(250, 210, 90));
      const QPointF head(face.left() + 6, face.bottom() - 4);
      p.drawEllipse(head, 3, 2.4);
      p.drawLine(head + QPointF(2.6, 0), head + QPointF(2.6, -11));
      p.drawLine(head + QPointF(2.6, -11), head + QPointF(7, -8));
      p.setFont(label);
      p.setPen(Qt::white);
      p.drawText(r.adjusted(12, 0, 0, 0), Qt::AlignCenter, QStringLiteral("MP3"));
    } else if (id == QLatin1String("minimise") || id == QLatin1String("close")) {
      const bool close = id == QLatin1String("close");
      const QRect face = paintButton(
          p, r, {close ? QColor(190, 40, 40) : QColor(54, 60, 78), Qt::white, QColor(30, 10, 10), 4}, QString(), label);
      p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
      const QPointF c = QRectF(face).center();
      if (close) {
        p.drawLine(c + QPointF(-5, -5), c + QPointF(5, 5));
        p.drawLine(c + QPointF(5, -5), c + QPointF(-5, 5));
      } else {
        p.drawLine(c + QPointF(-5, 5), c + QPointF(5, 5));
      }
    }
  }
}

}  // namespace

QImage renderRelief(const Terrain& terrain, Mood mood) {
  const Palette pal = palette(mood);
  QImage image(kMapWidth, kMapHeight, QImage::Format_RGB32);
  for (int y = 0; y < kMapHeight; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kMapWidth; ++x) row[x] = reliefColor(terrain, pal, x, y, mood).rgb();
  }
  return image;
}

QImage renderMap(const Terrain& terrain, Mood mood) {
  QImage image = renderRelief(terrain, mood);
  QPainter p(&image);
  drawWaves(p, terrain, mood);
  drawWater(p, terrain, mood);
  drawRoads(p, mood);
  drawCompass(p, QPointF(186, 560), 24, mood);
  drawSeaNames(p, mood);
  for (const City& city : cities()) drawSettlement(p, city, mood == Mood::Night);
  drawColumn(image, p, mood);
  p.end();
  return image;
}

QImage renderSmallMap(const Terrain& terrain) {
  // The island spans about x 160..780, y 10..590 of the map; a 136x116 frame shows it whole.
  const QImage relief = renderRelief(terrain, Mood::Day);
  const QRect source(150, 0, 640, 600);
  QImage small(136, 116, QImage::Format_RGB32);
  small.fill(QColor(238, 226, 192));
  QPainter p(&small);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.setRenderHint(QPainter::Antialiasing);
  const QRect target(18, 4, 100, 94);
  p.drawImage(target, relief.copy(source).scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  for (const City& city : cities()) {
    const QPointF c = iconCentre(city) - QPointF(source.left(), source.top());
    const QPointF pt(target.left() + c.x() * target.width() / source.width(),
                     target.top() + c.y() * target.height() / source.height());
    p.setPen(QPen(QColor(60, 20, 10), 0.8));
    p.setBrush(city.kind == Settlement::Capital ? QColor(200, 30, 30) : QColor(250, 240, 220));
    p.drawEllipse(pt, city.kind == Settlement::Capital ? 2.4 : 1.7, city.kind == Settlement::Capital ? 2.4 : 1.7);
  }
  p.setPen(QPen(QColor(92, 52, 28), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(target).adjusted(-0.5, -0.5, 0.5, 0.5));
  p.setFont(serifFont(11, true));
  p.setPen(QColor(120, 24, 30));
  p.drawText(QRect(0, 99, 136, 15), Qt::AlignCenter, QStringLiteral("« Volver al mapa"));
  drawDoubleFrame(p, QRectF(0.5, 0.5, 135, 115), QColor(92, 52, 28), 2);
  p.end();
  return small;
}

}  // namespace vardel::content

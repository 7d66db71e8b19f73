// The CD and MP3 player panels: brushed-metal fronts with their buttons painted where the
// program's hotspots lie, and light windows where it writes its labels.
#include "content/generator/draw.h"
#include "content/generator/noise.h"
#include "content/generator/pictures.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace vardel::content {
namespace {

// Hotspots are given in window client pixels; the picture starts at `offset` in the client.
QRect inPicture(const QRect& client, QPoint offset) { return client.translated(-offset); }

// A brushed-metal front.
QImage metalFront(const QColor& base, unsigned seed) {
  QImage image(kPanelSize, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double streak = 0.06 * (valueNoise(0.5, y / 1.7, seed) - 0.5) + 0.03 * (unit2(0, y, seed) - 0.5);
    for (int x = 0; x < image.width(); ++x) {
      const double light = 1.08 - 0.18 * (double(y) / image.height()) + streak + 0.02 * (unit2(x, y, seed + 1) - 0.5);
      row[x] = qRgb(std::clamp(int(base.red() * light), 0, 255), std::clamp(int(base.green() * light), 0, 255),
                    std::clamp(int(base.blue() * light), 0, 255));
    }
  }
  return image;
}

// A recessed light window where the program writes text.
void screenWindow(QPainter& p, const QRect& r, const QColor& fill) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 70));
  p.drawRoundedRect(QRectF(r).adjusted(-2, -2, 2, 2), 4, 4);
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(r), 3, 3);
  p.setPen(QPen(QColor(255, 255, 255, 160), 1));
  p.drawLine(QPointF(r.left() + 2, r.bottom() + 1.5), QPointF(r.right() - 2, r.bottom() + 1.5));
  p.restore();
}

enum class Glyph { Previous, Play, Stop, Next, Pause, Eject, Open };

void glyph(QPainter& p, const QRect& r, Glyph g, const QColor& ink) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  const QPointF c = QRectF(r).center();
  const double u = std::min(r.width(), r.height()) / 5.0;
  switch (g) {
    case Glyph::Play:
      p.drawPolygon(QPolygonF({c + QPointF(-u, -u * 1.2), c + QPointF(u * 1.3, 0), c + QPointF(-u, u * 1.2)}));
      break;
    case Glyph::Stop:
      p.drawRect(QRectF(c.x() - u, c.y() - u, 2 * u, 2 * u));
      break;
    case Glyph::Pause:
      p.drawRect(QRectF(c.x() - u * 1.1, c.y() - u * 1.1, u * 0.75, u * 2.2));
      p.drawRect(QRectF(c.x() + u * 0.35, c.y() - u * 1.1, u * 0.75, u * 2.2));
      break;
    case Glyph::Next:
      p.drawPolygon(QPolygonF({c + QPointF(-u * 1.2, -u), c + QPointF(u * 0.4, 0), c + QPointF(-u * 1.2, u)}));
      p.drawRect(QRectF(c.x() + u * 0.5, c.y() - u, u * 0.5, 2 * u));
      break;
    case Glyph::Previous:
      p.drawPolygon(QPolygonF({c + QPointF(u * 1.2, -u), c + QPointF(-u * 0.4, 0), c + QPointF(u * 1.2, u)}));
      p.drawRect(QRectF(c.x() - u, c.y() - u, u * 0.5, 2 * u));
      break;
    case Glyph::Eject:
      p.drawPolygon(
          QPolygonF({c + QPointF(-u * 1.2, u * 0.2), c + QPointF(0, -u * 1.2), c + QPointF(u * 1.2, u * 0.2)}));
      p.drawRect(QRectF(c.x() - u * 1.2, c.y() + u * 0.5, u * 2.4, u * 0.5));
      break;
    case Glyph::Open: {
      p.drawRect(QRectF(c.x() - u * 1.3, c.y() - u * 0.6, u * 2.6, u * 1.7));
      p.drawRect(QRectF(c.x() - u * 1.3, c.y() - u * 1.1, u * 1.1, u * 0.6));
      break;
    }
  }
  p.restore();
}

// A transport key: a dark rounded key with a light glyph, filling `r` exactly.
void key(QPainter& p, const QRect& r, Glyph g, const QColor& face) {
  paintButton(p, r, {face, Qt::white, QColor(10, 10, 14), 3}, QString(), sansFont(10));
  glyph(p, r, g, QColor(250, 240, 200));
}

void bar(QPainter& p, const QRect& r, const QString& text) {
  paintButton(p, r, {QColor(128, 26, 38), QColor(252, 224, 140), QColor(40, 6, 10), 6}, text, sansFont(11, true));
}

void compactDisc(QPainter& p, QPointF c, double r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QConicalGradient rainbow(c, 30);
  rainbow.setColorAt(0.0, QColor(230, 230, 240));
  rainbow.setColorAt(0.12, QColor(250, 200, 230));
  rainbow.setColorAt(0.25, QColor(180, 230, 250));
  rainbow.setColorAt(0.4, QColor(240, 244, 250));
  rainbow.setColorAt(0.55, QColor(250, 230, 170));
  rainbow.setColorAt(0.7, QColor(190, 250, 210));
  rainbow.setColorAt(0.85, QColor(210, 200, 250));
  rainbow.setColorAt(1.0, QColor(230, 230, 240));
  p.setPen(QPen(QColor(90, 90, 110), 1));
  p.setBrush(rainbow);
  p.drawEllipse(c, r, r);
  p.setBrush(QColor(200, 204, 214));
  p.drawEllipse(c, r * 0.3, r * 0.3);
  p.setBrush(QColor(60, 60, 70));
  p.drawEllipse(c, r * 0.1, r * 0.1);
  p.restore();
}

void title(QPainter& p, const QRect& r, const QString& text) {
  p.setFont(serifFont(15, true));
  drawHaloText(p, r, Qt::AlignCenter, text, QColor(40, 40, 50), QColor(255, 255, 255, 120), 1);
}

}  // namespace

QImage renderCdPanel() {
  QImage image = metalFront(QColor(196, 200, 210), 601);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPoint o = kCdPanelOffset;
  // Plain light strip at the top left for "CD AUDIO" and the disc counts.
  screenWindow(p, QRect(2, 2, 128, 38), QColor(252, 252, 248));
  // Display of the current track.
  screenWindow(p, QRect(180, 62, 104, 58), QColor(206, 224, 192));
  // Window for the hints of the buttons.
  screenWindow(p, QRect(151, 153, 132, 92), QColor(246, 244, 236));
  // The disc in its tray.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 42, 50));
  p.drawRoundedRect(QRectF(6, 56, 140, 190), 10, 10);
  compactDisc(p, QPointF(76, 140), 60);
  p.setPen(QColor(60, 60, 80));
  p.setFont(serifFont(12, true, true));
  p.drawText(QRect(16, 204, 120, 16), Qt::AlignCenter, QStringLiteral("Ondravia VARDEL"));
  title(p, QRect(6, 250, 150, 20), QStringLiteral("Lector de CD"));
  p.setFont(sansFont(10));
  p.setPen(QColor(70, 70, 80));
  p.drawText(QRect(6, 268, 150, 16), Qt::AlignCenter, QStringLiteral("audio digital · 44,1 kHz"));
  // Buttons, under the hotspots. The close bar goes first: the tray key overlaps its corner.
  bar(p, inPicture(kCdClose, o), QStringLiteral("CERRAR"));
  key(p, inPicture(kCdTray, o), Glyph::Eject, QColor(60, 64, 80));
  key(p, inPicture(kCdPrevious, o), Glyph::Previous, QColor(50, 54, 70));
  key(p, inPicture(kCdPlay, o), Glyph::Play, QColor(30, 110, 60));
  key(p, inPicture(kCdStop, o), Glyph::Stop, QColor(150, 30, 30));
  key(p, inPicture(kCdNext, o), Glyph::Next, QColor(50, 54, 70));
  p.end();
  return image;
}

QImage renderMp3Panel() {
  QImage image = metalFront(QColor(60, 66, 84), 602);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPoint o = kMp3PanelOffset;
  // "MP3 AUDIO" sits at (9, 6) on its own white ground; a white strip frames it.
  screenWindow(p, QRect(4, 2, 120, 22), QColor(252, 252, 248));
  // Frame around the program's time panel (170, 91, 106x31 in the picture).
  screenWindow(p, QRect(166, 87, 114, 39), QColor(224, 192, 143));
  // Window for the hints.
  screenWindow(p, QRect(116, 196, 169, 66), QColor(246, 244, 236));
  // Equaliser bars and the big letters.
  const int heights[] = {30, 52, 70, 44, 80, 60, 36, 66, 50, 28, 42, 58};
  for (int i = 0; i < 12; ++i) {
    for (int k = 0; k * 6 < heights[i]; ++k) {
      const double t = k * 6.0 / 80;
      p.fillRect(QRectF(12 + i * 12, 176 - k * 6, 9, 4), mix(QColor(60, 220, 120), QColor(250, 70, 50), t));
    }
  }
  QFont big = sansFont(58, true);
  big.setLetterSpacing(QFont::AbsoluteSpacing, 2);
  p.setFont(big);
  p.setPen(QColor(20, 22, 30));
  p.drawText(QRect(12, 30, 150, 70), Qt::AlignCenter, QStringLiteral("MP3"));
  p.setPen(QColor(250, 210, 90));
  p.drawText(QRect(10, 28, 150, 70), Qt::AlignCenter, QStringLiteral("MP3"));
  p.setFont(serifFont(13, true, true));
  p.setPen(QColor(220, 224, 236));
  p.drawText(QRect(10, 186, 150, 18), Qt::AlignCenter, QStringLiteral("Ondravia VARDEL"));
  p.setFont(sansFont(10));
  p.drawText(QRect(10, 204, 104, 30), Qt::AlignCenter | Qt::TextWordWrap,
             QStringLiteral("música comprimida\nsin perder el compás"));
  // Headphones.
  p.setPen(QPen(QColor(200, 204, 220), 4, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(26, 232, 70, 70), 20 * 16, 140 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 204, 220));
  p.drawRoundedRect(QRectF(24, 256, 12, 22), 4, 4);
  p.drawRoundedRect(QRectF(86, 256, 12, 22), 4, 4);
  // Buttons, under the hotspots.
  key(p, inPicture(kMp3Stop, o), Glyph::Stop, QColor(150, 30, 30));
  key(p, inPicture(kMp3Play, o), Glyph::Play, QColor(30, 110, 60));
  key(p, inPicture(kMp3Pause, o), Glyph::Pause, QColor(170, 120, 20));
  key(p, inPicture(kMp3Open, o), Glyph::Open, QColor(40, 80, 150));
  bar(p, inPicture(kMp3Close, o), QStringLiteral("CERRAR"));
  p.end();
  return image;
}

}  // namespace vardel::content

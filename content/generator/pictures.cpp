// The publisher's logo, the cover and the credits background.
#include "content/generator/pictures.h"

#include "content/generator/cover.h"
#include "content/generator/draw.h"
#include "content/generator/noise.h"
#include "content/generator/vignettes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace vardel::content {
namespace {

const QColor kWine(128, 26, 38);
const QColor kGold(236, 196, 104);
const QColor kNavy(24, 40, 86);

// The publisher's emblem: a sail over waves inside a ring, centred at `c` with radius `r`.
void drawEmblem(QPainter& p, QPointF c, double r) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient disc(c - QPointF(r * 0.3, r * 0.3), r * 1.4);
  disc.setColorAt(0, QColor(60, 90, 160));
  disc.setColorAt(1, kNavy);
  p.setPen(QPen(kGold, r * 0.06));
  p.setBrush(disc);
  p.drawEllipse(c, r, r);
  p.setPen(QPen(kGold, r * 0.015));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, r * 0.88, r * 0.88);
  // Sail.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 244, 226));
  QPainterPath sail(c + QPointF(-r * 0.05, -r * 0.62));
  sail.cubicTo(c + QPointF(r * 0.35, -r * 0.4), c + QPointF(r * 0.45, -r * 0.05), c + QPointF(r * 0.42, r * 0.12));
  sail.lineTo(c + QPointF(-r * 0.05, r * 0.12));
  sail.closeSubpath();
  p.drawPath(sail);
  QPainterPath jib(c + QPointF(-r * 0.12, -r * 0.5));
  jib.lineTo(c + QPointF(-r * 0.12, r * 0.12));
  jib.lineTo(c + QPointF(-r * 0.45, r * 0.12));
  jib.closeSubpath();
  p.setBrush(kGold);
  p.drawPath(jib);
  p.setBrush(QColor(200, 50, 50));
  p.drawPolygon(QPolygonF({c + QPointF(-r * 0.5, r * 0.18), c + QPointF(r * 0.5, r * 0.18),
                           c + QPointF(r * 0.36, r * 0.32), c + QPointF(-r * 0.36, r * 0.32)}));
  // Waves.
  p.setPen(QPen(QColor(150, 200, 240), r * 0.05, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  for (int row = 0; row < 2; ++row) {
    QPainterPath wave(c + QPointF(-r * 0.62, r * (0.45 + row * 0.17)));
    for (int i = 0; i < 4; ++i) {
      const double x0 = -r * 0.62 + i * r * 0.31;
      wave.quadTo(c + QPointF(x0 + r * 0.08, r * (0.36 + row * 0.17)),
                  c + QPointF(x0 + r * 0.155, r * (0.45 + row * 0.17)));
      wave.quadTo(c + QPointF(x0 + r * 0.23, r * (0.54 + row * 0.17)),
                  c + QPointF(x0 + r * 0.31, r * (0.45 + row * 0.17)));
    }
    p.drawPath(wave);
  }
  p.restore();
}

}  // namespace

QImage renderPublisherLogo() {
  QImage image(800, 600, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  drawEmblem(p, QPointF(400, 150), 96);
  QFont word = serifFont(44, true);
  word.setLetterSpacing(QFont::AbsoluteSpacing, 8);
  p.setFont(word);
  p.setPen(kNavy);
  p.drawText(QRect(0, 256, 800, 52), Qt::AlignCenter, QStringLiteral("RALVEK'S"));
  QFont line = sansFont(13);
  line.setLetterSpacing(QFont::AbsoluteSpacing, 5);
  p.setFont(line);
  p.setPen(QColor(120, 120, 130));
  p.drawText(QRect(0, 306, 800, 20), Qt::AlignCenter, QStringLiteral("EDICIONES  MULTIMEDIA"));
  // Thin rules frame the words that the presentation writes below, leaving them on white.
  p.setPen(QPen(kGold, 1.5));
  p.drawLine(QPointF(250, 332), QPointF(550, 332));
  p.drawLine(QPointF(180, 520), QPointF(620, 520));
  p.setPen(QPen(kGold, 0.8));
  p.drawLine(QPointF(200, 524), QPointF(600, 524));
  p.end();
  return image;
}

QImage renderCover() {
  QImage image(800, 600, QImage::Format_RGB32);
  fillPaper(image, image.rect(), QColor(250, 246, 236), 0.3, 201);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Cover art: the capital at sunset, full width under the masthead.
  drawCoverScene(p, QRectF(0, 118, 800, 436));
  // Masthead.
  p.fillRect(QRect(0, 0, 800, 118), kWine);
  QFont mast = serifFont(86, true);
  mast.setLetterSpacing(QFont::AbsoluteSpacing, 10);
  p.setFont(mast);
  p.setPen(QColor(60, 8, 16));
  p.drawText(QRect(3, 3, 800, 96), Qt::AlignCenter, QStringLiteral("ONDRAVIA"));
  p.setPen(kGold);
  p.drawText(QRect(0, 0, 800, 96), Qt::AlignCenter, QStringLiteral("ONDRAVIA"));
  QFont sub = sansFont(13, true);
  sub.setLetterSpacing(QFont::AbsoluteSpacing, 4);
  p.setFont(sub);
  p.setPen(QColor(250, 230, 200));
  p.drawText(QRect(0, 92, 800, 20), Qt::AlignCenter,
             QStringLiteral("VARDEL  ·  REVISTA ELECTRÓNICA DE LA ISLA  ·  Nº 1  ·  OTOÑO 1999"));
  // Cover lines on translucent cards at the left.
  const QString lines[][2] = {
      {QStringLiteral("ENTREVISTA"), QStringLiteral("Rosalía Ferreiro, patrona")},
      {QStringLiteral("ESPECIAL"), QStringLiteral("La gran regata de otoño")},
      {QStringLiteral("COCINA"), QStringLiteral("La caldereta de Olivares")},
      {QStringLiteral("ALMANAQUE"), QStringLiteral("Soles, lunas y mareas de 1999")},
  };
  for (int i = 0; i < 4; ++i) {
    const QRectF card(24, 146 + i * 74, 300, 60);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 240, 215));
    p.drawRoundedRect(card, 4, 4);
    p.fillRect(QRectF(card.left(), card.top(), 6, card.height()), kWine);
    p.setFont(sansFont(12, true));
    p.setPen(kWine);
    p.drawText(card.adjusted(16, 8, -6, -32), Qt::AlignLeft | Qt::AlignVCenter, lines[i][0]);
    p.setFont(serifFont(18, true));
    p.setPen(QColor(30, 30, 40));
    p.drawText(card.adjusted(16, 26, -6, -6), Qt::AlignLeft | Qt::AlignVCenter, lines[i][1]);
  }
  // The starburst that every disc cover of the day carried.
  const QPointF star(672, 206);
  QPolygonF burst;
  for (int i = 0; i < 32; ++i) {
    const double a = i * M_PI / 16, r = (i % 2) ? 70 : 86;
    burst << star + QPointF(std::cos(a) * r, std::sin(a) * r);
  }
  p.setPen(QPen(QColor(150, 40, 0), 2));
  p.setBrush(QColor(252, 210, 40));
  p.drawPolygon(burst);
  p.setPen(QColor(160, 30, 0));
  p.setFont(sansFont(15, true));
  p.drawText(QRectF(star.x() - 66, star.y() - 44, 132, 24), Qt::AlignCenter, QStringLiteral("¡INCLUYE"));
  p.setFont(sansFont(26, true));
  p.drawText(QRectF(star.x() - 70, star.y() - 20, 140, 34), Qt::AlignCenter, QStringLiteral("TUMBLO!"));
  p.setFont(sansFont(12, true));
  p.drawText(QRectF(star.x() - 66, star.y() + 14, 132, 20), Qt::AlignCenter, QStringLiteral("el juego de la isla"));
  // Plain band for the status line, with a hint of where to click.
  p.fillRect(QRect(0, 554, 800, 46), Qt::white);
  p.fillRect(QRect(0, 554, 800, 3), kGold);
  p.setFont(serifFont(12, false, true));
  p.setPen(QColor(120, 110, 100));
  p.drawText(QRect(610, 558, 184, 14), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("Pulsa la portada para entrar"));
  p.end();
  return image;
}

QImage renderCreditsBackground() {
  QImage image(800, 600, QImage::Format_RGB32);
  // Night-blue surround with stars, a paper sheet in the middle.
  QPainter p(&image);
  QLinearGradient night(0, 0, 0, 600);
  night.setColorAt(0, QColor(14, 20, 60));
  night.setColorAt(1, QColor(50, 40, 90));
  p.fillRect(image.rect(), night);
  Random rnd(401);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 260; ++i) {
    const int a = 120 + rnd.below(135);
    p.setBrush(QColor(255, 250, 220, a));
    const double r = rnd.uniform(0.4, 1.4);
    p.drawEllipse(QPointF(rnd.uniform(0, 800), rnd.uniform(0, 600)), r, r);
  }
  p.end();
  const QRect sheet(190, 170, 400, 350);
  fillPaper(image, sheet, QColor(248, 238, 212), 0.5, 402);
  p.begin(&image);
  p.setRenderHint(QPainter::Antialiasing);
  drawDoubleFrame(p, QRectF(sheet).adjusted(6, 6, -6, -6), QColor(128, 26, 38), 3);
  // Masthead above the sheet.
  drawEmblem(p, QPointF(400, 84), 52);
  QFont mast = serifFont(34, true);
  mast.setLetterSpacing(QFont::AbsoluteSpacing, 6);
  p.setFont(mast);
  p.setPen(kGold);
  p.drawText(QRect(0, 132, 800, 36), Qt::AlignCenter, QStringLiteral("ONDRAVIA VARDEL"));
  // Scenes at the sides: the lighthouse and the music of the island.
  drawVignette(p, QRectF(26, 200, 136, 250), 15);
  drawVignette(p, QRectF(638, 200, 136, 250), 4);
  p.setPen(QPen(kGold, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(26, 200, 136, 250));
  p.drawRect(QRectF(638, 200, 136, 250));
  p.setFont(serifFont(12, false, true));
  p.setPen(QColor(240, 220, 170));
  p.drawText(QRect(0, 540, 800, 20), Qt::AlignCenter,
             QStringLiteral("Hecho en la isla, con cariño, para quien quiera visitarla"));
  p.setPen(QColor(128, 26, 38));
  p.drawLine(QPointF(230, 246), QPointF(550, 246));
  // The button that leads back; the program writes "VOLVER" on it.
  paintButton(p, kCreditsBack, {QColor(236, 190, 96), QColor(180, 0, 0), QColor(110, 60, 10), 6}, QString(),
              sansFont(12, true));
  p.end();
  return image;
}

}  // namespace vardel::content

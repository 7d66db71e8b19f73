// The CD player's built-in picture: a plain grey panel, a disc, light windows under the
// labels and a key under each hotspot, drawn here rather than stored as pixels.
#include "cdplayer/lector_form.h"
#include "cdplayer/lector_hotspots.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vardel {
namespace {

// Hotspots are given in the client's pixels; the picture lies at kCdPanelOffset.
QRectF underHotspot(const QRect& hotspot) { return QRectF(hotspot.translated(-kCdPanelOffset)); }

void window(QPainter& p, const QRectF& r, const QColor& fill) {
  p.setPen(QPen(QColor(120, 124, 132), 1));
  p.setBrush(fill);
  p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
}

enum class Mark { Eject, Next, Stop, Play, Previous };

void keyWithMark(QPainter& p, const QRectF& r, Mark mark, const QColor& face) {
  p.setPen(QPen(QColor(30, 30, 36), 1));
  p.setBrush(face);
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(245, 245, 235));
  const QPointF c = r.center();
  const double u = std::min(r.width(), r.height()) / 5.5;
  QPainterPath path;
  switch (mark) {
    case Mark::Play:
      path.addPolygon(QPolygonF({c + QPointF(-u, -1.3 * u), c + QPointF(1.4 * u, 0), c + QPointF(-u, 1.3 * u)}));
      break;
    case Mark::Stop:
      path.addRect(QRectF(c.x() - u, c.y() - u, 2 * u, 2 * u));
      break;
    case Mark::Next:
      path.addPolygon(QPolygonF({c + QPointF(-1.3 * u, -u), c + QPointF(0.5 * u, 0), c + QPointF(-1.3 * u, u)}));
      path.addRect(QRectF(c.x() + 0.6 * u, c.y() - u, 0.6 * u, 2 * u));
      break;
    case Mark::Previous:
      path.addPolygon(QPolygonF({c + QPointF(1.3 * u, -u), c + QPointF(-0.5 * u, 0), c + QPointF(1.3 * u, u)}));
      path.addRect(QRectF(c.x() - 1.2 * u, c.y() - u, 0.6 * u, 2 * u));
      break;
    case Mark::Eject:
      path.addPolygon(
          QPolygonF({c + QPointF(-1.3 * u, 0.3 * u), c + QPointF(0, -1.2 * u), c + QPointF(1.3 * u, 0.3 * u)}));
      path.addRect(QRectF(c.x() - 1.3 * u, c.y() + 0.6 * u, 2.6 * u, 0.6 * u));
      break;
  }
  p.fillPath(path, QColor(245, 245, 235));
}

}  // namespace

QImage builtInPanelPicture() {
  QImage image(289, 292, QImage::Format_RGB888);  // 24 bits a pixel
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient face(0, 0, 0, 292);
  face.setColorAt(0, QColor(214, 216, 222));
  face.setColorAt(1, QColor(170, 173, 182));
  p.fillRect(image.rect(), face);

  // Under "CD AUDIO" and the disc's counts, the track display, and the hotspot text.
  window(p, QRectF(1, 1, 126, 36), QColor(255, 255, 255));
  window(p, QRectF(180, 62, 104, 58), QColor(214, 228, 200));
  window(p, QRectF(151, 153, 132, 92), QColor(250, 250, 244));

  // The disc in its drawer.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(52, 54, 62));
  p.drawRoundedRect(QRectF(8, 52, 136, 196), 8, 8);
  QRadialGradient sheen(QPointF(64, 130), 62);
  sheen.setColorAt(0, QColor(236, 240, 248));
  sheen.setColorAt(0.6, QColor(196, 206, 226));
  sheen.setColorAt(1, QColor(150, 160, 190));
  p.setPen(QPen(QColor(90, 94, 110), 1));
  p.setBrush(sheen);
  p.drawEllipse(QPointF(76, 150), 58, 58);
  p.setBrush(QColor(52, 54, 62));
  p.drawEllipse(QPointF(76, 150), 8, 8);

  p.setPen(QColor(40, 42, 50));
  p.setFont(QFont(QStringLiteral("Liberation Sans"), 11, QFont::Bold));
  p.drawText(QRectF(8, 252, 150, 20), Qt::AlignCenter, QStringLiteral("Lector de CD"));

  // Keys under the hotspots; the close bar first, the tray key overlaps its corner.
  const QRectF close = underHotspot(kCdClose);
  p.setPen(QPen(QColor(30, 30, 36), 1));
  p.setBrush(QColor(112, 30, 40));
  p.drawRoundedRect(close.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  p.setPen(QColor(250, 230, 160));
  p.setFont(QFont(QStringLiteral("Liberation Sans"), 9, QFont::Bold));
  p.drawText(close.adjusted(16, 0, 0, 0), Qt::AlignCenter, QStringLiteral("CERRAR"));
  keyWithMark(p, underHotspot(kCdTray), Mark::Eject, QColor(64, 68, 84));
  keyWithMark(p, underHotspot(kCdNext), Mark::Next, QColor(64, 68, 84));
  keyWithMark(p, underHotspot(kCdStop), Mark::Stop, QColor(150, 36, 36));
  keyWithMark(p, underHotspot(kCdPlay), Mark::Play, QColor(36, 116, 64));
  keyWithMark(p, underHotspot(kCdPrevious), Mark::Previous, QColor(64, 68, 84));
  p.end();
  return image;
}

}  // namespace vardel

// Masked bitmap drawing.
#include "components/transparent_draw.h"

#include <QPainter>

namespace vardel {

QImage maskedBitmap(const QImage& bitmap, QRect source, ui::Color transparent) {
  if (bitmap.isNull()) return {};
  if (source.isEmpty()) source = bitmap.rect();
  QImage part = bitmap.copy(source).convertToFormat(QImage::Format_ARGB32);
  if (transparent == kNoTransparentColor) return part;
  QRgb key;
  if (transparent == kBottomLeftTransparentColor) {
    key = bitmap.pixel(0, bitmap.height() - 1);
  } else {
    const ui::Color c = ui::colorToRgb(transparent);
    key = qRgb(ui::redOf(c), ui::greenOf(c), ui::blueOf(c));
  }
  key |= 0xFF000000u;
  for (int y = 0; y < part.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
    for (int x = 0; x < part.width(); ++x) {
      if ((line[x] | 0xFF000000u) == key) line[x] = 0;
    }
  }
  return part;
}

void StretchBitmapRectTransparent(QPainter& destination, int x, int y, int width, int height, QRect source,
                                  const QImage& bitmap, ui::Color transparent) {
  if (bitmap.isNull()) return;
  if (source.isEmpty()) source = bitmap.rect();
  if (width == 0) width = source.width();
  if (height == 0) height = source.height();
  const QRect target(x, y, width, height);
  destination.save();
  destination.setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (transparent == kNoTransparentColor) {
    destination.drawImage(target, bitmap, source);
  } else {
    destination.drawImage(target, maskedBitmap(bitmap, source, transparent));
  }
  destination.restore();
}

}  // namespace vardel

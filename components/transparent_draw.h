// Drawing a part of a bitmap with one colour left out (see-through), stretched if asked.
#pragma once

#include "ui/colors.h"

#include <QImage>
#include <QRect>

class QPainter;

namespace vardel {

// Transparent colour values with a special meaning.
inline constexpr ui::Color kNoTransparentColor = 0x1FFFFFFF;          // draw every pixel
inline constexpr ui::Color kBottomLeftTransparentColor = 0x20000000;  // the bitmap's bottom-left pixel

// Draws `source` of `bitmap` (the whole bitmap when `source` is empty) at (x, y), stretched to
// width x height (0 means the source's own size), leaving out the pixels of `transparent`
// (a plain or system colour, or one of the values above) so that the destination shows through.
// Stretching repeats pixels; it never blends. A null bitmap draws nothing.
void StretchBitmapRectTransparent(QPainter& destination, int x, int y, int width, int height, QRect source,
                                  const QImage& bitmap, ui::Color transparent);

// The source part with the see-through pixels made fully transparent (what the mask drawing
// puts on the destination).
QImage maskedBitmap(const QImage& bitmap, QRect source, ui::Color transparent);

}  // namespace vardel

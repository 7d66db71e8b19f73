// Helpers for the tests that read the generated content folder: pictures, colours, areas.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

namespace vardel::test {

// The generated program folder, with a trailing '/'.
QString programDir();

// Decodes a picture of Graficos (name without extension, "p3") with the program's own JPEG
// decoder; fails the calling test through a null image when it is missing or broken.
QImage picture(const QString& name);

// Open sea or fresh water on the map pictures: clearly bluer than red and green.
bool isWater(QRgb pixel);

struct ColorStats {
  double red = 0, green = 0, blue = 0;
  double luminanceStdDev = 0;
  double meanLuminance = 0;
  int count = 0;
};

// Statistics over the pixels of `area` (clipped to the image).
ColorStats stats(const QImage& image, const QRect& area);

// The mean colour of the band `width` pixels wide around `rect`, leaving out pixels inside
// any rectangle of `exclude` (neighbouring buttons) and outside the image.
ColorStats ringStats(const QImage& image, const QRect& rect, int width, const std::vector<QRect>& exclude);

// Euclidean distance between two mean colours, in 0..255 units.
double colorDistance(const ColorStats& a, const ColorStats& b);

// Fraction of the pixels of `rect` whose colour lies farther than `threshold` from `reference`.
double fractionDifferent(const QImage& image, const QRect& rect, const ColorStats& reference, double threshold);

}  // namespace vardel::test

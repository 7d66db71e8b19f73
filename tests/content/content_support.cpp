// Picture helpers for the content tests.
#include "tests/content/content_support.h"

#include "platform/jpeg.h"

#include <cmath>
#include <vector>

namespace vardel::test {
namespace {

double luminance(QRgb p) { return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p); }

ColorStats collect(const QImage& image, const std::vector<QPoint>& points) {
  ColorStats s;
  double sumL = 0, sumL2 = 0;
  for (const QPoint& pt : points) {
    const QRgb p = image.pixel(pt);
    s.red += qRed(p);
    s.green += qGreen(p);
    s.blue += qBlue(p);
    const double l = luminance(p);
    sumL += l;
    sumL2 += l * l;
    ++s.count;
  }
  if (s.count > 0) {
    s.red /= s.count;
    s.green /= s.count;
    s.blue /= s.count;
    s.meanLuminance = sumL / s.count;
    s.luminanceStdDev = std::sqrt(std::max(0.0, sumL2 / s.count - s.meanLuminance * s.meanLuminance));
  }
  return s;
}

}  // namespace

QString programDir() { return QStringLiteral(VARDEL_PROGRAM_DIR); }

QImage picture(const QString& name) {
  return platform::loadJpegFile(programDir() + QStringLiteral("Graficos/") + name);
}

bool isWater(QRgb p) { return qBlue(p) > qRed(p) + 25 && qBlue(p) > qGreen(p); }

ColorStats stats(const QImage& image, const QRect& area) {
  std::vector<QPoint> points;
  const QRect clipped = area.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) points.emplace_back(x, y);
  }
  return collect(image, points);
}

ColorStats ringStats(const QImage& image, const QRect& rect, int width, const std::vector<QRect>& exclude) {
  std::vector<QPoint> points;
  const QRect outer = rect.adjusted(-width, -width, width, width);
  for (int y = outer.top(); y <= outer.bottom(); ++y) {
    for (int x = outer.left(); x <= outer.right(); ++x) {
      const QPoint pt(x, y);
      if (rect.contains(pt) || !image.rect().contains(pt)) continue;
      bool excluded = false;
      for (const QRect& other : exclude) excluded = excluded || other.contains(pt);
      if (!excluded) points.push_back(pt);
    }
  }
  return collect(image, points);
}

double colorDistance(const ColorStats& a, const ColorStats& b) {
  return std::sqrt((a.red - b.red) * (a.red - b.red) + (a.green - b.green) * (a.green - b.green) +
                   (a.blue - b.blue) * (a.blue - b.blue));
}

double fractionDifferent(const QImage& image, const QRect& rect, const ColorStats& reference, double threshold) {
  int different = 0, total = 0;
  const QRect clipped = rect.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      const double d = std::sqrt(std::pow(qRed(p) - reference.red, 2) + std::pow(qGreen(p) - reference.green, 2) +
                                 std::pow(qBlue(p) - reference.blue, 2));
      different += d > threshold;
      ++total;
    }
  }
  return total ? double(different) / total : 0;
}

}  // namespace vardel::test

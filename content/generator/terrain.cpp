// Island outline, land mask, coast distance and relief.
#include "content/generator/terrain.h"

#include "content/generator/noise.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vardel::content {
namespace {

// The main island, clockwise from the north-west cape. The left 140 pixels of the map stay
// sea under the program's own column of labels and buttons.
const std::vector<QPointF> kMainIsland = {
    {184, 118}, {228, 80},  {300, 64},  {362, 82},  {420, 60},  {490, 72},  {548, 50},  {604, 52},  {650, 60},
    {700, 90},  {748, 128}, {742, 190}, {768, 240}, {752, 300}, {772, 352}, {752, 410}, {762, 458}, {714, 500},
    {656, 512}, {612, 548}, {548, 562}, {490, 540}, {430, 560}, {362, 556}, {302, 572}, {250, 542}, {206, 502},
    {190, 440}, {208, 392}, {178, 340}, {170, 280}, {188, 228}, {172, 176}};
const std::vector<QPointF> kIsletEast = {{706, 548}, {736, 538}, {758, 556}, {744, 580}, {710, 578}};
const std::vector<QPointF> kIsletNorth = {{420, 22}, {446, 16}, {462, 30}, {440, 40}, {418, 36}};

struct Peak {
  double x, y, sigma, amplitude;
};
// Monteluz and its ridge, the northern hills, the Lunaria heights and the southern downs.
const Peak kPeaks[] = {{456, 262, 40, 0.75}, {404, 290, 34, 0.55}, {520, 300, 36, 0.55}, {500, 210, 30, 0.45},
                       {360, 200, 38, 0.35}, {300, 280, 40, 0.30}, {690, 260, 34, 0.40}, {620, 400, 42, 0.30},
                       {420, 400, 46, 0.28}, {300, 500, 30, 0.18}, {690, 130, 26, 0.25}};

QPointF catmullRom(const QPointF& p0, const QPointF& p1, const QPointF& p2, const QPointF& p3, double t) {
  const double t2 = t * t, t3 = t2 * t;
  return 0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 + (-p0 + 3 * p1 - 3 * p2 + p3) * t3);
}

// Two-pass chamfer distance (steps 1 and sqrt 2) from every cell to the nearest cell where
// `target` holds.
std::vector<float> chamferDistance(const std::vector<unsigned char>& target, int w, int h) {
  constexpr float kFar = 1e6f;
  constexpr float kDiag = 1.41421356f;
  std::vector<float> d(target.size());
  for (size_t i = 0; i < d.size(); ++i) d[i] = target[i] ? 0.f : kFar;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float& v = d[y * w + x];
      if (x > 0) v = std::min(v, d[y * w + x - 1] + 1);
      if (y > 0) {
        v = std::min(v, d[(y - 1) * w + x] + 1);
        if (x > 0) v = std::min(v, d[(y - 1) * w + x - 1] + kDiag);
        if (x + 1 < w) v = std::min(v, d[(y - 1) * w + x + 1] + kDiag);
      }
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    for (int x = w - 1; x >= 0; --x) {
      float& v = d[y * w + x];
      if (x + 1 < w) v = std::min(v, d[y * w + x + 1] + 1);
      if (y + 1 < h) {
        v = std::min(v, d[(y + 1) * w + x] + 1);
        if (x + 1 < w) v = std::min(v, d[(y + 1) * w + x + 1] + kDiag);
        if (x > 0) v = std::min(v, d[(y + 1) * w + x - 1] + kDiag);
      }
    }
  }
  return d;
}

double smoothstep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// A river as a gently wandering line through its control points, from source to mouth.
QPainterPath river(const std::vector<QPointF>& points, unsigned seed) {
  QPainterPath path(points.front());
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const QPointF& p0 = points[i == 0 ? 0 : i - 1];
    const QPointF& p3 = points[std::min(i + 2, points.size() - 1)];
    for (int s = 1; s <= 12; ++s) {
      const double t = s / 12.0;
      QPointF p = catmullRom(p0, points[i], points[i + 1], p3, t);
      p += QPointF(fractalNoise(i * 3 + t * 3, seed, 3, seed) * 5, fractalNoise(seed, i * 3 + t * 3, 3, seed) * 5);
      path.lineTo(p);
    }
  }
  return path;
}

}  // namespace

QPainterPath roughClosedCurve(const std::vector<QPointF>& points, double amplitude, unsigned seed) {
  const size_t n = points.size();
  std::vector<QPointF> dense;
  for (size_t i = 0; i < n; ++i) {
    const QPointF& p0 = points[(i + n - 1) % n];
    const QPointF& p1 = points[i];
    const QPointF& p2 = points[(i + 1) % n];
    const QPointF& p3 = points[(i + 2) % n];
    const double length = std::hypot(p2.x() - p1.x(), p2.y() - p1.y());
    const int steps = std::max(4, static_cast<int>(length / 2.5));
    for (int s = 0; s < steps; ++s) dense.push_back(catmullRom(p0, p1, p2, p3, double(s) / steps));
  }
  QPainterPath path;
  double arc = 0;
  for (size_t i = 0; i < dense.size(); ++i) {
    const QPointF& prev = dense[(i + dense.size() - 1) % dense.size()];
    const QPointF& next = dense[(i + 1) % dense.size()];
    const QPointF tangent = next - prev;
    const double len = std::hypot(tangent.x(), tangent.y());
    const QPointF normal = len > 0 ? QPointF(tangent.y() / len, -tangent.x() / len) : QPointF();
    if (i > 0) arc += std::hypot(dense[i].x() - dense[i - 1].x(), dense[i].y() - dense[i - 1].y());
    const double offset = fractalNoise(arc / 28.0, 0.5, 4, seed) * 2 * amplitude;
    const QPointF p = dense[i] + normal * offset;
    if (i == 0)
      path.moveTo(p);
    else
      path.lineTo(p);
  }
  path.closeSubpath();
  return path;
}

Terrain::Terrain() {
  outline_ = roughClosedCurve(kMainIsland, 7, 11);
  outline_.addPath(roughClosedCurve(kIsletEast, 3, 12));
  outline_.addPath(roughClosedCurve(kIsletNorth, 2, 13));
  outline_.setFillRule(Qt::WindingFill);

  QPainterPath lake = roughClosedCurve({{282, 404}, {306, 398}, {326, 408}, {318, 424}, {292, 426}}, 2, 14);
  lake_ = lake;
  rivers_ = {
      river({{448, 300}, {430, 350}, {446, 400}, {470, 450}, {478, 500}, {492, 540}}, 21),
      river({{520, 246}, {560, 208}, {604, 188}, {636, 160}, {690, 146}, {740, 150}}, 22),
      river({{390, 300}, {340, 330}, {318, 370}, {306, 400}}, 23),
      river({{286, 420}, {250, 428}, {222, 434}, {196, 440}}, 24),
      river({{620, 360}, {660, 390}, {700, 420}, {756, 432}}, 25),
  };

  QImage maskImage(kMapWidth, kMapHeight, QImage::Format_Grayscale8);
  maskImage.fill(0);
  {
    QPainter p(&maskImage);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillPath(outline_, Qt::white);
  }
  mask_.resize(size_t(kMapWidth) * kMapHeight);
  std::vector<unsigned char> sea(mask_.size());
  for (int y = 0; y < kMapHeight; ++y) {
    const uchar* row = maskImage.constScanLine(y);
    for (int x = 0; x < kMapWidth; ++x) {
      mask_[index(x, y)] = row[x] > 127;
      sea[index(x, y)] = !mask_[index(x, y)];
    }
  }
  const std::vector<float> toSea = chamferDistance(sea, kMapWidth, kMapHeight);
  const std::vector<float> toLand = chamferDistance(mask_, kMapWidth, kMapHeight);
  distance_.resize(mask_.size());
  height_.assign(mask_.size(), 0.f);
  for (int y = 0; y < kMapHeight; ++y) {
    for (int x = 0; x < kMapWidth; ++x) {
      const int i = index(x, y);
      if (!mask_[i]) {
        distance_[i] = toLand[i];
        continue;
      }
      const double d = toSea[i];
      distance_[i] = float(d);
      double mountains = 0;
      for (const Peak& peak : kPeaks) {
        const double r2 = (x - peak.x) * (x - peak.x) + (y - peak.y) * (y - peak.y);
        mountains += peak.amplitude * std::exp(-r2 / (2 * peak.sigma * peak.sigma));
      }
      // Ridged noise carves valleys and crests into the high ground only.
      const double ridge = 1 - std::abs(2 * fractalNoise(x / 30.0, y / 30.0, 4, 33));
      double h = 0.2 * (1 - std::exp(-d / 40.0)) + mountains * (0.55 + 0.45 * ridge);
      h += 0.14 * fractalNoise(x / 38.0, y / 38.0, 5, 31) * smoothstep(0, 30, d);
      h *= smoothstep(0, 14, d) * 0.85 + 0.15;
      // Soft ceiling: the peaks stay few and small instead of a plateau of snow.
      h = 1 - std::exp(-1.25 * std::max(0.0, h));
      height_[i] = float(std::clamp(h, 0.0, 1.0));
    }
  }
}

bool Terrain::rectOnLand(const QRect& rect, int margin) const {
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      if (!land(x, y) || coastDistance(x, y) < margin) return false;
    }
  }
  return true;
}

}  // namespace vardel::content

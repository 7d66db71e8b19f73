// The island's shape and relief over the 800x600 map: outline, land mask, distance to the
// coast and a height field, shared by the big maps, the small map and the checks on cities.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QRect>

#include <vector>

namespace vardel::content {

inline constexpr int kMapWidth = 800;
inline constexpr int kMapHeight = 600;

class Terrain {
 public:
  // Builds everything once; takes a few tens of milliseconds.
  Terrain();

  // Main island and islets, closed, in map pixels.
  const QPainterPath& outline() const { return outline_; }

  bool land(int x, int y) const { return inside(x, y) && mask_[index(x, y)] != 0; }
  // Distance in pixels to the nearest pixel of the other kind (land to sea or sea to land).
  float coastDistance(int x, int y) const { return distance_[index(clampX(x), clampY(y))]; }
  // 0 at the shore, about 1 on the highest peak; 0 at sea.
  float height(int x, int y) const { return height_[index(clampX(x), clampY(y))]; }

  // True when every pixel of `rect` is land at least `margin` pixels from the sea.
  bool rectOnLand(const QRect& rect, int margin) const;

  // The lake near Nieblas and the rivers, in map pixels (drawn over the relief).
  const QPainterPath& lake() const { return lake_; }
  const std::vector<QPainterPath>& rivers() const { return rivers_; }

 private:
  static bool inside(int x, int y) { return x >= 0 && y >= 0 && x < kMapWidth && y < kMapHeight; }
  static int clampX(int x) { return x < 0 ? 0 : (x >= kMapWidth ? kMapWidth - 1 : x); }
  static int clampY(int y) { return y < 0 ? 0 : (y >= kMapHeight ? kMapHeight - 1 : y); }
  static int index(int x, int y) { return y * kMapWidth + x; }

  QPainterPath outline_;
  QPainterPath lake_;
  std::vector<QPainterPath> rivers_;
  std::vector<unsigned char> mask_;
  std::vector<float> distance_;
  std::vector<float> height_;
};

// A closed Catmull-Rom curve through `points`, its edge roughened by noise of `amplitude`
// pixels along the normal; `seed` picks the noise.
QPainterPath roughClosedCurve(const std::vector<QPointF>& points, double amplitude, unsigned seed);

}  // namespace vardel::content

// Ruler pieces, layout and scale of the slider.
#include "components/slider_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vardel {
namespace {

// A rectangle from its edges, right and bottom exclusive.
QRect fromEdges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

int clampToInt(std::int64_t v) {
  return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

std::vector<RulerPiece> rulerPieces(int cacheLength, int imageLength, int edge) {
  std::vector<RulerPiece> pieces;
  const int middle = imageLength - 2 * edge;
  if (middle <= 0 || edge < 0) return pieces;
  const int available = cacheLength - 2 * edge;
  const int whole = available / middle;  // truncated: a cache just short of the edges still gets piece 0
  const int rest = available % middle;
  if (whole < 0) return pieces;
  pieces.push_back({0, 0, imageLength - edge});
  for (int i = 1; i < whole; ++i) pieces.push_back({edge + i * middle, edge, middle});
  if (whole >= 1) pieces.push_back({edge + whole * middle, edge + middle - rest, edge + rest});
  return pieces;
}

SliderLayout layoutSlider(bool vertical, QSize control, QSize thumb, QSize ruler) {
  constexpr int m = kSliderMargin;
  SliderLayout l;
  const int tw = thumb.width();
  const int th = thumb.height();
  if (!vertical) {
    l.cache = QSize(std::max(0, control.width() - 2 * m), ruler.height());
    const int rw = l.cache.width();
    const int rh = l.cache.height();
    if (rh < th) {
      l.thumb = QPoint(m, m);
      l.rulerOrigin = QPoint(m, m + (th - rh) / 2);
      l.pointsRect = fromEdges(m, m + th + 1, m + rw, control.height() - 1);
    } else {
      l.thumb = QPoint(m, m + (rh - th) / 2);
      l.rulerOrigin = QPoint(m, m);
      l.pointsRect = fromEdges(m, m + rh + 1, m + rw, control.height() - 1);
    }
  } else {
    l.cache = QSize(ruler.width(), std::max(0, control.height() - 2 * m));
    const int rw = l.cache.width();
    const int rh = l.cache.height();
    if (rw < tw) {
      l.thumb = QPoint(m, m);
      l.rulerOrigin = QPoint(m + (tw - rw) / 2, m);
      l.pointsRect = fromEdges(m + tw + 1, l.rulerOrigin.y(), control.width() - 1, l.rulerOrigin.y() + rh);
    } else {
      l.thumb = QPoint(m + (rw - tw) / 2, m);
      l.rulerOrigin = QPoint(m, m);
      l.pointsRect = fromEdges(m + rw + 1, m, control.width() - 1, m + rh);
    }
  }
  return l;
}

namespace {

// Values are rounded in 64 bits: a quotient may exceed 32 bits before the minimum is added.
std::int64_t roundHalfEven64(double value) {
  const double r = std::nearbyint(value);  // the default rounding mode: to nearest, ties to even
  constexpr double kLimit = 9.0e18;
  if (!(r > -kLimit)) return std::int64_t(-kLimit);
  if (r > kLimit) return std::int64_t(kLimit);
  return std::int64_t(r);
}

}  // namespace

int roundHalfEven(double value) { return clampToInt(roundHalfEven64(value)); }

int valueToPos(const SliderScale& s, int value) {
  const std::int64_t span = std::int64_t(s.maxValue) - s.minValue;
  int c = 0;
  if (span > 0)
    c = roundHalfEven(double(std::int64_t(s.rangeLength) * (std::int64_t(value) - s.minValue)) / double(span));
  if (s.vertical) return s.clientHeight - c - s.thumbHeight - kSliderMargin;
  return c + kSliderMargin;
}

int posToValue(const SliderScale& s, int pos) {
  if (s.vertical) pos = s.clientHeight - pos - s.thumbHeight;
  std::int64_t v = 0;
  if (s.rangeLength > 0) {
    const std::int64_t span = std::int64_t(s.maxValue) - s.minValue;
    v = roundHalfEven64(double((std::int64_t(pos) - kSliderMargin) * span) / double(s.rangeLength));
  }
  if (!s.smooth && s.increment > 0) v = s.increment * (v / s.increment);
  return clampToInt(v + s.minValue);
}

int clampThumbPosition(const SliderScale& s, int pos) {
  pos = pos < kSliderMargin ? kSliderMargin : std::min(pos, s.rangeLength + kSliderMargin);
  if (!s.smooth) pos = valueToPos(s, posToValue(s, pos));
  return pos;
}

std::int64_t stepTarget(SliderStep step, int value, const SliderScale& s) {
  const std::int64_t inc = s.increment > 0 ? s.increment : 1;
  switch (step) {
    case SliderStep::ToMinimum:
      return s.minValue;
    case SliderStep::ToMaximum:
      return s.maxValue;
    case SliderStep::OneUp:
      return inc * (value / inc + 1);
    case SliderStep::OneDown:
      return inc * (value / inc - 1);
    case SliderStep::None:
      break;
  }
  return value;
}

std::int64_t tickStride(int minValue, int maxValue, int step, int rangeLength) {
  if (step <= 0) return 0;
  const std::int64_t span = std::int64_t(maxValue) - minValue;
  if (span <= 0) return step;
  // The gap (L - (n + 1)) div n is at least 3 exactly when n <= (L - 1) div 4; the first k
  // whose interval count n = span div (k * step) gets there is found directly, not by trying
  // every k (a wide range on a short ruler would take billions of tries).
  const std::int64_t most = rangeLength >= 1 ? (std::int64_t(rangeLength) - 1) / 4 : 0;
  const std::int64_t k = span / ((most + 1) * step) + 1;
  return k * step;
}

}  // namespace vardel

// The ruler's arithmetic: indent markers placed from paragraph indents and indents read back
// from where a marker was dropped. Indents are whole points, positions are pixels inside the
// ruler, at 4/3 pixel per point, with a gutter of 6 pixels on each side.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vardel::ruler {

inline constexpr int kGutter = 6;
// Marker sizes: the grab offset of a marker is half its width, truncated (6 for all three).
inline constexpr int kFirstIndWidth = 13;
inline constexpr int kLeftIndWidth = 13;
inline constexpr int kRightIndWidth = 12;

namespace detail {
inline int clampToInt(std::int64_t v) { return int(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); }
}  // namespace detail

// Exact 4v/3 and 3v/4, truncated towards zero (3 points are exactly 4 pixels; -2 points x 0.75
// is -1). Wide arithmetic: an absurd indent from a file must not overflow.
inline int pointsToPixels(std::int64_t points) { return detail::clampToInt(points * 4 / 3); }
inline int pixelsToPoints(std::int64_t pixels) { return detail::clampToInt(pixels * 3 / 4); }

// Left edges of the markers for a paragraph's first indent FI, left indent LI (counted from
// the first line) and right indent RI.
inline int firstIndLeft(int fi) { return detail::clampToInt(std::int64_t(pointsToPixels(fi)) - 4 + kGutter); }
inline int leftIndLeft(int fi, int li) {
  return detail::clampToInt(std::int64_t(pointsToPixels(std::int64_t(li) + fi)) - 4 + kGutter);
}
inline int rightIndLeft(int rulerWidth, int ri) {
  return detail::clampToInt(std::int64_t(rulerWidth) - kGutter - pointsToPixels(std::int64_t(ri) + 6));
}

// Indents read from dropped markers (`left` the marker's left edge, `grab` the grab offset).
inline int firstIndentAt(int left, int grab) { return pixelsToPoints(std::int64_t(left) + grab - kGutter); }
// The left indent against the paragraph's first indent `fi`, so the following lines stay
// where the marker shows them.
inline int leftIndentAt(int left, int grab, int fi) {
  return detail::clampToInt(std::int64_t(pixelsToPoints(std::int64_t(left) + grab - kGutter)) - fi);
}
inline int rightIndentAt(int rulerWidth, int left, int grab) {
  return detail::clampToInt(std::int64_t(pixelsToPoints(std::int64_t(rulerWidth) - left + grab - 2)) - 12);
}

// The ruler line runs as far short of the right end as it starts from the left.
inline int rulerLineWidth(int rulerWidth, int lineLeft) { return rulerWidth - 2 * lineLeft; }

}  // namespace vardel::ruler

// The slider's arithmetic: ruler pieces, layout, value/position conversion, steps, tick spacing.
// Pure functions, no screen needed.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

namespace vardel {

// The margin around the ruler and thumb, in pixels, on every side.
inline constexpr int kSliderMargin = 6;

// A step the keyboard or a press on the ruler asks for.
enum class SliderStep { None, ToMinimum, ToMaximum, OneUp, OneDown };

// One copy from the ruler pattern into the ruler cache, along the slider's axis: `length`
// pixels from `source` in the pattern to `destination` in the cache (across the axis each piece
// spans the whole cache).
struct RulerPiece {
  int destination = 0;
  int source = 0;
  int length = 0;
  bool operator==(const RulerPiece&) const = default;
};

// The pieces that stretch a pattern `imageLength` long, with fixed end parts `edge` long, to
// `cacheLength`: the start edge with one middle part, whole middle parts, and a last piece that
// ends with the pattern's end edge at the cache's end. No pieces when the pattern has no middle
// part (imageLength <= 2 * edge); pieces may reach past a very short cache (they are clipped).
std::vector<RulerPiece> rulerPieces(int cacheLength, int imageLength, int edge);

// Where the slider's parts go, for a control of `control` size, a thumb of `thumb` size and a
// ruler pattern of `ruler` size.
struct SliderLayout {
  QSize cache;         // the ruler built to the control's length
  QPoint thumb;        // the thumb's top-left corner
  QPoint rulerOrigin;  // where the cache is drawn
  QRect pointsRect;    // the area of the tick marks
  bool operator==(const SliderLayout&) const = default;
};
SliderLayout layoutSlider(bool vertical, QSize control, QSize thumb, QSize ruler);

// The scale that maps values to thumb positions (the thumb's left edge, or top edge when
// vertical) and back.
struct SliderScale {
  int minValue = 0;
  int maxValue = 100;
  int increment = 10;
  int rangeLength = 0;  // pixels the thumb can travel: ruler length less thumb length, >= 0
  bool vertical = false;
  int clientHeight = 0;  // the control's height (vertical sliders count from the bottom)
  int thumbHeight = 0;
  bool smooth = true;  // without it, values are whole increments counted from 0
};

// Round to nearest, halves to the even neighbour.
int roundHalfEven(double value);

// The thumb position of `value`. A scale without a range (minValue >= maxValue) puts every
// value at the start.
int valueToPos(const SliderScale& scale, int value);
// The value at thumb position `pos`. With a range length of 0 every position means minValue.
int posToValue(const SliderScale& scale, int pos);
// Where the thumb goes when asked to go to `pos`: kept on the ruler and, without smooth
// values, snapped to the position of an increment.
int clampThumbPosition(const SliderScale& scale, int pos);

// The value a step leads to (before the value's own clamping to the range). Steps up and down
// land on multiples of the increment counted from 0; SliderStep::None gives `value`.
std::int64_t stepTarget(SliderStep step, int value, const SliderScale& scale);

// The distance in values between tick marks: the smallest multiple k * step (k >= 1) that
// leaves at least 3 free pixels between marks, or that leaves fewer than one interval.
// A step of 0 or less has no marks (returns 0).
std::int64_t tickStride(int minValue, int maxValue, int step, int rangeLength);

}  // namespace vardel

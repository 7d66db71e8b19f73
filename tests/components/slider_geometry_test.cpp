// The slider's arithmetic: ruler pieces, layout, value/position conversion, steps, tick spacing.
#include "components/slider_geometry.h"

#include <gtest/gtest.h>

#include <limits>

namespace vardel {
namespace {

// The pieces must fill [0, cacheLength) in order and end with the pattern's end edge.
void expectFilledRuler(int cacheLength, int imageLength, int edge) {
  const auto pieces = rulerPieces(cacheLength, imageLength, edge);
  ASSERT_FALSE(pieces.empty()) << cacheLength << " " << imageLength << " " << edge;
  int next = 0;
  for (const RulerPiece& p : pieces) {
    EXPECT_EQ(p.destination, next) << "cache " << cacheLength << " edge " << edge;
    EXPECT_GE(p.source, 0);
    EXPECT_LE(p.source + p.length, imageLength);
    next = p.destination + p.length;
  }
  EXPECT_EQ(next, cacheLength) << "cache " << cacheLength << " edge " << edge;
  EXPECT_EQ(pieces.back().source + pieces.back().length, imageLength);
  EXPECT_EQ(pieces.front().source, 0);
}

TEST(RulerPieces, TheMp3SlidersRulerIsBuiltFromTwelvePieces) {
  const auto pieces = rulerPieces(96, 10, 1);
  ASSERT_EQ(pieces.size(), 12u);
  EXPECT_EQ(pieces[0], (RulerPiece{0, 0, 9}));  // start edge and one middle part
  for (int i = 1; i < 11; ++i) EXPECT_EQ(pieces[size_t(i)], (RulerPiece{1 + 8 * i, 1, 8}));
  EXPECT_EQ(pieces[11], (RulerPiece{89, 3, 7}));  // 6 left over: the end of the pattern
}

TEST(RulerPieces, EveryLengthIsFilledExactlyForAnyEdge) {
  for (int edge = 0; edge <= 4; ++edge) {
    for (int length = 10; length <= 300; ++length) expectFilledRuler(length, 10, edge);
  }
  expectFilledRuler(128, 10, 2);  // the default slider
}

TEST(RulerPieces, ShortCachesGetOnlyTheFirstPieceAndPatternsWithoutAMiddleNone) {
  EXPECT_EQ(rulerPieces(5, 10, 1), (std::vector<RulerPiece>{{0, 0, 9}}));
  EXPECT_EQ(rulerPieces(0, 10, 1), (std::vector<RulerPiece>{{0, 0, 9}}));
  EXPECT_TRUE(rulerPieces(0, 10, 4).empty());  // 2 * 4 of edges against a 2-pixel middle
  EXPECT_TRUE(rulerPieces(100, 10, 5).empty());
  EXPECT_TRUE(rulerPieces(100, 0, 0).empty());
  EXPECT_TRUE(rulerPieces(100, 10, -1).empty());
}

TEST(SliderLayoutTest, TheMp3SliderPutsTheThumbAtTopSixAndTheRulerAtSixNine) {
  const SliderLayout l = layoutSlider(false, QSize(108, 56), QSize(9, 17), QSize(10, 10));
  EXPECT_EQ(l.cache, QSize(96, 10));
  EXPECT_EQ(l.thumb, QPoint(6, 6));
  EXPECT_EQ(l.rulerOrigin, QPoint(6, 9));
  EXPECT_EQ(l.pointsRect, QRect(6, 24, 96, 31));  // right edge 6 + 96, bottom edge 56 - 1
}

TEST(SliderLayoutTest, ARulerTallerThanTheThumbCentresTheThumb) {
  const SliderLayout l = layoutSlider(false, QSize(140, 60), QSize(9, 17), QSize(10, 30));
  EXPECT_EQ(l.thumb, QPoint(6, 12));
  EXPECT_EQ(l.rulerOrigin, QPoint(6, 6));
  EXPECT_EQ(l.pointsRect.top(), 37);
}

TEST(SliderLayoutTest, VerticalSlidersStandTheRulerUpBesideTheTickArea) {
  SliderLayout l = layoutSlider(true, QSize(40, 140), QSize(17, 9), QSize(8, 10));
  EXPECT_EQ(l.cache, QSize(8, 128));
  EXPECT_EQ(l.thumb, QPoint(6, 6));
  EXPECT_EQ(l.rulerOrigin, QPoint(10, 6));
  EXPECT_EQ(l.pointsRect, QRect(24, 6, 39 - 24, 128));
  l = layoutSlider(true, QSize(60, 140), QSize(17, 9), QSize(30, 10));
  EXPECT_EQ(l.thumb, QPoint(12, 6));
  EXPECT_EQ(l.rulerOrigin, QPoint(6, 6));
  EXPECT_EQ(l.pointsRect.left(), 37);
  // Too small for a ruler: no cache, no negative sizes.
  EXPECT_EQ(layoutSlider(true, QSize(40, 8), QSize(17, 9), QSize(8, 10)).cache, QSize(8, 0));
  EXPECT_EQ(layoutSlider(false, QSize(8, 40), QSize(9, 17), QSize(10, 10)).cache, QSize(0, 10));
}

SliderScale mp3Scale() {
  SliderScale s;
  s.rangeLength = 87;
  return s;
}

TEST(SliderScaleTest, ValuesAndPositionsRoundTripOnTheMp3Slider) {
  const SliderScale s = mp3Scale();
  EXPECT_EQ(valueToPos(s, 0), 6);
  EXPECT_EQ(valueToPos(s, 100), 93);
  EXPECT_EQ(valueToPos(s, 30), 32);  // 26.1
  for (int p = 6; p <= 93; ++p) EXPECT_EQ(valueToPos(s, posToValue(s, p)), p) << p;
  for (int v = 0; v <= 100; ++v) EXPECT_LE(std::abs(posToValue(s, valueToPos(s, v)) - v), 1) << v;
}

TEST(SliderScaleTest, HalvesRoundToTheEvenNeighbour) {
  EXPECT_EQ(roundHalfEven(2.5), 2);
  EXPECT_EQ(roundHalfEven(3.5), 4);
  EXPECT_EQ(roundHalfEven(-2.5), -2);
  EXPECT_EQ(roundHalfEven(2.6), 3);
  SliderScale s;
  s.minValue = 0;
  s.maxValue = 2;
  s.rangeLength = 5;
  EXPECT_EQ(valueToPos(s, 1), 6 + 2);  // 2.5 -> 2
  s.rangeLength = 7;
  EXPECT_EQ(valueToPos(s, 1), 6 + 4);  // 3.5 -> 4
  s.rangeLength = 4;
  EXPECT_EQ(posToValue(s, 6 + 1), 0);  // 0.5 -> 0
  EXPECT_EQ(posToValue(s, 6 + 3), 2);  // 1.5 -> 2
}

TEST(SliderScaleTest, VerticalSlidersCountFromTheBottom) {
  SliderScale s;
  s.vertical = true;
  s.clientHeight = 140;
  s.thumbHeight = 9;
  s.rangeLength = 128 - 9;
  EXPECT_EQ(valueToPos(s, 0), 125);
  EXPECT_EQ(valueToPos(s, 100), 6);
  EXPECT_EQ(posToValue(s, 125), 0);
  EXPECT_EQ(posToValue(s, 6), 100);
  EXPECT_EQ(posToValue(s, valueToPos(s, 37)), 37);
}

TEST(SliderScaleTest, WithoutSmoothValuesAreWholeIncrementsAndTheThumbSnaps) {
  SliderScale s = mp3Scale();
  s.smooth = false;
  EXPECT_EQ(posToValue(s, 46), 40);  // 45.98 -> 46 -> 40
  EXPECT_EQ(clampThumbPosition(s, 46), valueToPos(s, 40));
  for (int p = 0; p <= 120; ++p) {
    const int snapped = clampThumbPosition(s, p);
    EXPECT_EQ(posToValue(s, snapped) % 10, 0) << p;
    EXPECT_EQ(snapped, valueToPos(s, posToValue(s, snapped))) << p;
  }
  // Counted from 0, not from the minimum.
  s.minValue = 5;
  s.maxValue = 105;
  EXPECT_EQ(posToValue(s, 46), 45);
}

TEST(SliderScaleTest, TheThumbStaysOnTheRuler) {
  const SliderScale s = mp3Scale();
  EXPECT_EQ(clampThumbPosition(s, -40), 6);
  EXPECT_EQ(clampThumbPosition(s, 5), 6);
  EXPECT_EQ(clampThumbPosition(s, 50), 50);
  EXPECT_EQ(clampThumbPosition(s, 94), 93);
}

TEST(SliderScaleTest, ARangeLengthOfZeroMapsEveryPositionToTheMinimum) {
  SliderScale s;
  s.minValue = -20;
  s.maxValue = 80;
  s.rangeLength = 0;
  EXPECT_EQ(posToValue(s, 6), -20);
  EXPECT_EQ(posToValue(s, 500), -20);
  EXPECT_EQ(valueToPos(s, 80), 6);
  EXPECT_EQ(clampThumbPosition(s, 40), 6);
  s.smooth = false;
  EXPECT_EQ(clampThumbPosition(s, 40), 6);
}

TEST(SliderScaleTest, WideRangesDoNotOverflowTheProduct) {
  SliderScale s = mp3Scale();
  s.maxValue = 2000000000;
  EXPECT_EQ(valueToPos(s, 2000000000), 93);
  EXPECT_EQ(valueToPos(s, 1000000000), 6 + 44);  // 43.5 -> 44
  EXPECT_EQ(posToValue(s, 93), 2000000000);
  s.minValue = -2000000000;
  EXPECT_EQ(posToValue(s, 93), 2000000000);
  EXPECT_EQ(valueToPos(s, 0), 6 + 44);
}

TEST(StepTarget, StepsLandOnMultiplesOfTheIncrementCountedFromZero) {
  SliderScale s;
  s.minValue = -50;
  s.maxValue = 100;
  EXPECT_EQ(stepTarget(SliderStep::ToMinimum, 37, s), -50);
  EXPECT_EQ(stepTarget(SliderStep::ToMaximum, 37, s), 100);
  EXPECT_EQ(stepTarget(SliderStep::OneUp, 37, s), 40);
  EXPECT_EQ(stepTarget(SliderStep::OneUp, 40, s), 50);
  EXPECT_EQ(stepTarget(SliderStep::OneDown, 37, s), 20);  // 10 * (3 - 1)
  EXPECT_EQ(stepTarget(SliderStep::OneDown, 40, s), 30);
  EXPECT_EQ(stepTarget(SliderStep::OneUp, -45, s), -30);  // -45 div 10 truncates to -4
  EXPECT_EQ(stepTarget(SliderStep::None, 37, s), 37);
  s.maxValue = std::numeric_limits<int>::max();
  EXPECT_GT(stepTarget(SliderStep::OneUp, std::numeric_limits<int>::max(), s),
            std::int64_t(std::numeric_limits<int>::max()));
}

// The search as stated: the smallest k with n <= 0 or (L - (n + 1)) div n >= 3.
std::int64_t searchedStride(int minValue, int maxValue, int step, int rangeLength) {
  for (std::int64_t k = 1;; ++k) {
    const std::int64_t n = (std::int64_t(maxValue) - minValue) / (k * step);
    if (n <= 0 || (rangeLength - (n + 1)) / n >= 3) return k * step;
  }
}

TEST(TickStride, MatchesTheSpacingSearchForManyRangesAndLengths) {
  for (int span : {1, 2, 7, 10, 99, 100, 101, 1000, 12345}) {
    for (int step : {1, 3, 10, 25}) {
      for (int length : {0, 1, 4, 5, 9, 30, 87, 119, 500}) {
        EXPECT_EQ(tickStride(-7, -7 + span, step, length), searchedStride(-7, -7 + span, step, length))
            << "span " << span << " step " << step << " length " << length;
      }
    }
  }
  EXPECT_EQ(tickStride(0, 100, 10, 119), 10);
  EXPECT_EQ(tickStride(0, 100, 10, 30), 20);
}

TEST(TickStride, HugeRangesOnShortRulersAreAnsweredAtOnceAndBadStepsHaveNoMarks) {
  EXPECT_EQ(tickStride(std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 1, 87),
            (std::int64_t(0xFFFFFFFF) / 22 + 1));
  EXPECT_EQ(tickStride(0, 100, 0, 87), 0);
  EXPECT_EQ(tickStride(0, 100, -10, 87), 0);
}

}  // namespace
}  // namespace vardel

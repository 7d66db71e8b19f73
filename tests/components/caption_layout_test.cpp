// The gradient caption bar's arithmetic: rounding, bands, caption rectangle, fitting.
#include "components/caption_layout.h"

#include <gtest/gtest.h>

namespace vardel {
namespace {

using ui::BorderStyle;

constexpr ui::Color kNavy = ui::clNavy;
const ui::Color kBlueCaption = ui::rgb(16, 132, 208);

TEST(MulDiv, RoundsHalvesAwayFromZeroWithA64BitProduct) {
  EXPECT_EQ(mulDiv(1, 1, 2), 1);
  EXPECT_EQ(mulDiv(3, 1, 2), 2);
  EXPECT_EQ(mulDiv(-1, 1, 2), -1);
  EXPECT_EQ(mulDiv(5, -1, 2), -3);
  EXPECT_EQ(mulDiv(5, 1, -2), -3);
  EXPECT_EQ(mulDiv(-5, -1, -2), -3);
  EXPECT_EQ(mulDiv(7, 1, 3), 2);  // 2.33
  EXPECT_EQ(mulDiv(8, 1, 3), 3);  // 2.67
  EXPECT_EQ(mulDiv(100000, 100000, 100000), 100000);
}

TEST(MulDiv, AZeroDivisorOrAnOverflowGivesMinusOne) {
  EXPECT_EQ(mulDiv(5, 5, 0), -1);
  EXPECT_EQ(mulDiv(0x7FFFFFFF, 4, 2), -1);
}

// Bands must tile [left, left + width) in order, without gaps, overlaps or negative widths.
void expectTiling(const std::vector<GradientBand>& bands, int left, int width) {
  ASSERT_FALSE(bands.empty());
  EXPECT_EQ(bands.front().left, left);
  EXPECT_EQ(bands.back().right, left + width);
  for (size_t i = 0; i < bands.size(); ++i) {
    EXPECT_LE(bands[i].left, bands[i].right) << "band " << i;
    if (i > 0) {
      EXPECT_EQ(bands[i].left, bands[i - 1].right) << "band " << i;
    }
  }
}

TEST(GradientBands, OneColourFillsTheWholeCaptionWithTheStartColour) {
  const auto bands = gradientBands(kNavy, kBlueCaption, 1, 3, 295);
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_EQ(bands[0], (GradientBand{3, 298, kNavy}));
}

TEST(GradientBands, TwoColoursSplitTheCaptionInHalves) {
  const auto bands = gradientBands(kNavy, kBlueCaption, 2, 3, 295);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0], (GradientBand{3, 151, kNavy}));  // 147.5 rounds up
  EXPECT_EQ(bands[1], (GradientBand{151, 298, kBlueCaption}));
}

TEST(GradientBands, SixtyFourColoursOnAWideCaptionRoundEdgesAndColours) {
  const auto bands = gradientBands(kNavy, kBlueCaption, 64, 0, 300);
  ASSERT_EQ(bands.size(), 64u);
  expectTiling(bands, 0, 300);
  EXPECT_EQ(bands[0].color, kNavy);
  EXPECT_EQ(bands[63].color, kBlueCaption);
  // 300/64 = 4.6875 and 9.375: edges at 5 and 9.
  EXPECT_EQ(bands[1].left, 5);
  EXPECT_EQ(bands[1].right, 9);
  // Red 16/63 = 0.25 -> 0, green 132/63 = 2.10 -> 2, blue 128 + 80/63 = 129.27 -> 129.
  EXPECT_EQ(bands[1].color, ui::rgb(0, 2, 129));
  for (const GradientBand& band : bands) EXPECT_GE(band.right - band.left, 4);
}

TEST(GradientBands, TwoHundredFiftySixColoursOnANarrowCaptionLeaveEmptyBands) {
  const auto bands = gradientBands(kNavy, kBlueCaption, 256, 10, 200);
  ASSERT_EQ(bands.size(), 256u);
  expectTiling(bands, 10, 200);
  const auto empty = std::count_if(bands.begin(), bands.end(), [](const GradientBand& b) { return b.left == b.right; });
  EXPECT_EQ(empty, 56);
  EXPECT_EQ(bands.front().color, kNavy);
  EXPECT_EQ(bands.back().color, kBlueCaption);
  // 128 of 255 steps: red 8.03 -> 8, green 66.26 -> 66, blue 128 + 40.16 -> 168.
  EXPECT_EQ(bands[128].color, ui::rgb(8, 66, 168));
}

TEST(GradientBands, TwoHundredFiftySixColoursOnAWideCaptionAreAllVisible) {
  const auto bands = gradientBands(kNavy, kBlueCaption, 256, 3, 295);
  expectTiling(bands, 3, 295);
  for (const GradientBand& band : bands) EXPECT_GE(band.right - band.left, 1);
}

TEST(GradientBands, FallingChannelsRoundHalvesAwayFromZero) {
  const auto bands = gradientBands(ui::clWhite, ui::clBlack, 3, 0, 30);
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(bands[1].color, ui::rgb(127, 127, 127));  // 255 - 127.5 -> 255 - 128
  EXPECT_EQ(bands[2].color, ui::clBlack);
}

TEST(GradientBands, NoBandsForLessThanOneColour) { EXPECT_TRUE(gradientBands(0, 0, 0, 0, 100).empty()); }

CaptionFrame frame(BorderStyle style, ui::BorderIcons icons, int width = 301, int height = 321) {
  CaptionFrame f;
  f.style = style;
  f.icons = icons;
  f.windowWidth = width;
  f.windowHeight = height;
  return f;
}

TEST(CaptionRect, ASingleBorderWithoutIconsSpansTheWindowInsideItsFrame) {
  const CaptionMetrics m;
  EXPECT_EQ(captionRect(frame(BorderStyle::bsSingle, 0), m), (WinRect{3, 3, 298, 21}));
  EXPECT_EQ(captionRect(frame(BorderStyle::bsDialog, 0), m), (WinRect{3, 3, 298, 21}));
  EXPECT_EQ(captionRect(frame(BorderStyle::bsSizeable, 0), m), (WinRect{4, 4, 297, 22}));
  EXPECT_TRUE(captionRect(frame(BorderStyle::bsNone, ui::biSystemMenu), m).isEmpty());
}

TEST(CaptionRect, CaptionButtonsTakeTheirRoomAtTheRight) {
  const CaptionMetrics m;
  const auto all = ui::biSystemMenu | ui::biMinimize | ui::biMaximize;
  EXPECT_EQ(captionRect(frame(BorderStyle::bsSingle, ui::biSystemMenu), m).right, 298 - 20);
  EXPECT_EQ(captionRect(frame(BorderStyle::bsSingle, all), m).right, 298 - 20 - 36);
  // Dialogs have a help button but never minimise or maximise buttons.
  EXPECT_EQ(captionRect(frame(BorderStyle::bsDialog, all | ui::biHelp), m).right, 298 - 20 - 20);
  // Tool windows always keep room for their small close button.
  const WinRect tool = captionRect(frame(BorderStyle::bsToolWindow, 0), m);
  EXPECT_EQ(tool, (WinRect{3, 3, 298 - 14, 18}));
  EXPECT_EQ(captionRect(frame(BorderStyle::bsSizeToolWin, 0), m), (WinRect{4, 4, 297 - 14, 19}));
}

TEST(CaptionRect, TheOldShellPutsTheSystemMenuBoxAtTheLeftAndHasNoCloseButton) {
  CaptionFrame f = frame(BorderStyle::bsSingle, ui::biSystemMenu);
  f.newShell = false;
  EXPECT_EQ(captionRect(f, CaptionMetrics{}), (WinRect{21, 3, 298, 21}));
  f.style = BorderStyle::bsDialog;
  EXPECT_EQ(captionRect(f, CaptionMetrics{}), (WinRect{3, 3, 298, 21}));
}

TEST(CaptionRect, MinimisedWindowsUseTheDialogFrameAndDesignedFormsCountAsSizeable) {
  CaptionFrame f = frame(BorderStyle::bsSizeable, 0, 160, 25);
  f.minimized = true;
  EXPECT_EQ(captionRect(f, CaptionMetrics{}), (WinRect{3, 3, 157, 21}));
  CaptionFrame designed = frame(BorderStyle::bsNone, 0);
  designed.designing = true;
  EXPECT_EQ(captionRect(designed, CaptionMetrics{}), (WinRect{4, 4, 297, 22}));
}

TEST(CaptionRect, ATooNarrowCaptionKeepsTwoPixels) {
  const auto all = ui::biSystemMenu | ui::biMinimize | ui::biMaximize;
  EXPECT_EQ(captionRect(frame(BorderStyle::bsSingle, all, 40, 40), CaptionMetrics{}), (WinRect{3, 3, 5, 21}));
}

TEST(CaptionIcon, OnlyTheNewShellWithASystemMenuOnSingleOrSizeableBordersOrInDesign) {
  EXPECT_TRUE(captionShowsIcon(frame(BorderStyle::bsSingle, ui::biSystemMenu)));
  EXPECT_TRUE(captionShowsIcon(frame(BorderStyle::bsSizeable, ui::biSystemMenu)));
  EXPECT_FALSE(captionShowsIcon(frame(BorderStyle::bsSingle, 0)));  // the player windows
  EXPECT_FALSE(captionShowsIcon(frame(BorderStyle::bsDialog, ui::biSystemMenu)));
  CaptionFrame designed = frame(BorderStyle::bsDialog, 0);
  designed.designing = true;
  EXPECT_TRUE(captionShowsIcon(designed));
  CaptionFrame old = frame(BorderStyle::bsSingle, ui::biSystemMenu);
  old.newShell = false;
  EXPECT_FALSE(captionShowsIcon(old));
}

TEST(FitCaption, AllPiecesShowWhenTheyFitStrictly) {
  EXPECT_EQ(fitCaption(50, 120, 6, 295, true), (CaptionFit{true, true, 176, 0}));
  // Exactly the width does not fit: the company goes first.
  EXPECT_EQ(fitCaption(50, 120, 6, 176, true), (CaptionFit{false, true, 126, 0}));
}

TEST(FitCaption, TheCompanyGoesFirstThenTheApplicationNameAndTheCaptionStays) {
  EXPECT_EQ(fitCaption(50, 120, 6, 150, true), (CaptionFit{false, true, 126, 0}));
  EXPECT_EQ(fitCaption(50, 120, 6, 126, true), (CaptionFit{false, false, 6, 0}));
  // A caption wider than the bar is still the one piece left (it is cut with an ellipsis).
  EXPECT_EQ(fitCaption(50, 120, 400, 295, true), (CaptionFit{false, false, 400, 0}));
}

TEST(FitCaption, AHiddenCompanyTextStillCountsInTheFirstTest) {
  // A long (hidden) company text fails the first test; the others are judged without it.
  EXPECT_EQ(fitCaption(200, 120, 6, 295, true), (CaptionFit{false, true, 126, 0}));
}

TEST(FitCaption, OnlyTheOldShellCentresTheTextBlock) {
  EXPECT_EQ(fitCaption(50, 120, 6, 295, false).indent, (295 - 176) / 2);
  EXPECT_EQ(fitCaption(50, 120, 6, 295, true).indent, 0);
  EXPECT_EQ(fitCaption(50, 120, 400, 295, false).indent, 0);
}

}  // namespace
}  // namespace vardel

// The arithmetic of the gradient caption bar: band edges and colours, the caption rectangle
// and the fitting of the text pieces. Pure functions, no screen needed.
#pragma once

#include "ui/colors.h"
#include "ui/form.h"

#include <QRect>

#include <vector>

namespace vardel {

// A rectangle as the window system gives it: right and bottom are exclusive.
struct WinRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool isEmpty() const { return right <= left || bottom <= top; }
  QRect toQRect() const { return isEmpty() ? QRect() : QRect(left, top, right - left, bottom - top); }
  bool operator==(const WinRect&) const = default;
};

// number * numerator / denominator with a 64-bit product, rounded to the nearest integer with
// halves away from zero. A zero denominator or a result beyond 32 bits gives -1.
int mulDiv(int number, int numerator, int denominator);

// One colour band of the gradient: columns [left, right) in one colour (0x00BBGGRR).
struct GradientBand {
  int left = 0;
  int right = 0;
  ui::Color color = 0;
  bool operator==(const GradientBand&) const = default;
};

// The `numColors` bands that run from `start` to `end` (plain colours) over columns
// [left, left + width). The first band has the start colour and the last the end colour; bands
// are empty when there are more colours than columns. numColors must be at least 1.
std::vector<GradientBand> gradientBands(ui::Color start, ui::Color end, int numColors, int left, int width);

// The classic metrics the caption rectangle depends on.
struct CaptionMetrics {
  int dlgFrameX = 3;
  int dlgFrameY = 3;
  int frameX = 4;
  int frameY = 4;
  int caption = 19;           // SM_CYCAPTION
  int smallCaption = 16;      // SM_CYSMCAPTION
  int buttonWidth = 18;       // SM_CXSIZE
  int smallButtonWidth = 12;  // SM_CXSMSIZE
  int smallIcon = 16;         // SM_CXSMICON

  // The values of the system metrics table.
  static CaptionMetrics current();
};

// What the caption rectangle depends on in a window.
struct CaptionFrame {
  ui::BorderStyle style = ui::BorderStyle::bsSingle;
  ui::BorderIcons icons = 0;
  int windowWidth = 0;
  int windowHeight = 0;
  bool minimized = false;
  bool newShell = true;
  bool designing = false;  // a designed form is treated as sizeable
};

// The part of the caption bar the gradient covers, in window coordinates (origin at the window's
// top-left corner): the window inside its frame, one caption high, less the room of the caption
// buttons (and of the system-menu box at the left on the old shell). Empty for bsNone; at least
// 2 pixels wide otherwise.
WinRect captionRect(const CaptionFrame& frame, const CaptionMetrics& metrics);

// Whether the bar starts with the window's small icon: on the new shell, for single and
// sizeable borders with a system menu, and always in design mode.
bool captionShowsIcon(const CaptionFrame& frame);

// Which text pieces fit into a caption `width` pixels wide, given the measured widths of the
// company, application-name and caption texts (each measured whether shown or not).
struct CaptionFit {
  bool showCompany = false;
  bool showAppName = false;
  int total = 0;   // width of the pieces that fit
  int indent = 0;  // added to the left edge: centring on the old shell, else 0
  bool operator==(const CaptionFit&) const = default;
};
CaptionFit fitCaption(int company, int appName, int caption, int width, bool newShell);

}  // namespace vardel

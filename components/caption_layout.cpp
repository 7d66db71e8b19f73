// Band edges and colours, caption rectangle and text fitting of the gradient caption bar.
#include "components/caption_layout.h"

#include "ui/metrics.h"

#include <cstdint>
#include <limits>

namespace vardel {

int mulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  std::int64_t product = std::int64_t(number) * numerator;
  std::int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Round half away from zero, then truncate.
  const std::int64_t half = divisor / 2;
  const std::int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
  return int(result);
}

std::vector<GradientBand> gradientBands(ui::Color start, ui::Color end, int numColors, int left, int width) {
  std::vector<GradientBand> bands;
  if (numColors < 1) return bands;
  bands.reserve(size_t(numColors));
  const auto channel = [&](int s, int e, int i) { return (s + mulDiv(i, e - s, numColors - 1)) & 0xFF; };
  for (int i = 0; i < numColors; ++i) {
    GradientBand band;
    band.left = left + mulDiv(i, width, numColors);
    band.right = left + mulDiv(i + 1, width, numColors);
    if (numColors >= 2) {
      band.color =
          ui::rgb(channel(ui::redOf(start), ui::redOf(end), i), channel(ui::greenOf(start), ui::greenOf(end), i),
                  channel(ui::blueOf(start), ui::blueOf(end), i));
    } else {
      band.color = start & 0x00FFFFFF;
    }
    bands.push_back(band);
  }
  return bands;
}

CaptionMetrics CaptionMetrics::current() {
  using namespace ui;
  CaptionMetrics m;
  m.dlgFrameX = systemMetric(SM_CXDLGFRAME);
  m.dlgFrameY = systemMetric(SM_CYDLGFRAME);
  m.frameX = systemMetric(SM_CXFRAME);
  m.frameY = systemMetric(SM_CYFRAME);
  m.caption = systemMetric(SM_CYCAPTION);
  m.smallCaption = systemMetric(SM_CYSMCAPTION);
  m.buttonWidth = systemMetric(SM_CXSIZE);
  m.smallButtonWidth = systemMetric(SM_CXSMSIZE);
  m.smallIcon = systemMetric(SM_CXSMICON);
  return m;
}

WinRect captionRect(const CaptionFrame& frame, const CaptionMetrics& metrics) {
  using ui::BorderStyle;
  const BorderStyle b = frame.designing ? BorderStyle::bsSizeable : frame.style;
  if (b == BorderStyle::bsNone) return {};
  const bool tool = b == BorderStyle::bsToolWindow || b == BorderStyle::bsSizeToolWin;
  const bool sizeable = b == BorderStyle::bsSizeable || b == BorderStyle::bsSizeToolWin;

  WinRect r{0, 0, frame.windowWidth, frame.windowHeight};
  int dx = metrics.dlgFrameX;
  int dy = metrics.dlgFrameY;
  if (!frame.minimized && sizeable) {
    dx = metrics.frameX;
    dy = metrics.frameY;
  }
  r.left += dx;
  r.top += dy;
  r.right -= dx;
  r.bottom -= dy;
  r.bottom = r.top + (tool ? metrics.smallCaption : metrics.caption) - 1;

  if (tool) {
    r.right -= metrics.smallButtonWidth + 2;
  } else {
    const int w = metrics.buttonWidth;
    const ui::BorderIcons icons = frame.icons;
    if ((icons & ui::biSystemMenu) && frame.newShell) r.right -= w + 2;  // close button
    if (b == BorderStyle::bsDialog && (icons & ui::biHelp)) r.right -= w + 2;
    if (b != BorderStyle::bsDialog && (icons & (ui::biMinimize | ui::biMaximize))) r.right -= 2 * w;
    if ((icons & ui::biSystemMenu) && !frame.newShell && (b == BorderStyle::bsSingle || b == BorderStyle::bsSizeable)) {
      r.left += w;  // the old shell's system-menu box
    }
  }
  if (r.left >= r.right) r.right = r.left + 2;
  return r;
}

bool captionShowsIcon(const CaptionFrame& frame) {
  using ui::BorderStyle;
  if (!frame.newShell) return false;
  if (frame.designing) return true;
  return (frame.icons & ui::biSystemMenu) &&
         (frame.style == BorderStyle::bsSingle || frame.style == BorderStyle::bsSizeable);
}

CaptionFit fitCaption(int company, int appName, int caption, int width, bool newShell) {
  CaptionFit fit;
  fit.total = company + appName + caption;
  fit.showCompany = fit.total < width;
  if (fit.showCompany) {
    fit.showAppName = true;
  } else {
    fit.total = appName + caption;
    fit.showAppName = fit.total < width;
  }
  if (!fit.showAppName) fit.total = caption;
  if (!newShell && fit.total < width) fit.indent = (width - fit.total) / 2;
  return fit;
}

}  // namespace vardel

// The metrics table and the desktop's caption font.
#include "ui/metrics.h"

#include "ui/stage.h"
#include "ui/system_settings.h"

#include <QGuiApplication>
#include <QScreen>

#include <array>
#include <utility>

namespace vardel::ui {
namespace {

// Windows 95/98 with the standard scheme and small fonts.
constexpr std::array<std::pair<int, int>, 16> kClassicMetrics{{
    {SM_CYCAPTION, 19},  // 18 of caption plus the line under it
    {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 3},
    {SM_CYDLGFRAME, 3},
    {SM_CXICON, 32},
    {SM_CYICON, 32},
    {SM_CXFRAME, 4},
    {SM_CYFRAME, 4},
    {SM_CXSIZE, 18},  // caption button width
    {SM_CYSIZE, 18},
    {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},
    {SM_CYSMCAPTION, 16},  // tool window caption
    {SM_CXSMSIZE, 12},
    {SM_CYSMSIZE, 12},
}};

std::optional<LogFont>& captionFontSetting() {
  static std::optional<LogFont> font = classicCaptionLogFont();
  return font;
}

}  // namespace

int systemMetric(int metric) {
  if (metric == SM_CXSCREEN || metric == SM_CYSCREEN) {
    // On the stage the program's screen is the stage's.
    if (const Stage* stage = Stage::instance())
      return metric == SM_CXSCREEN ? stage->desktop()->width() : stage->desktop()->height();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 0;
    const QSize size = screen->size();
    return metric == SM_CXSCREEN ? size.width() : size.height();
  }
  for (const auto& [id, value] : kClassicMetrics) {
    if (id == metric) return value;
  }
  return 0;
}

LogFont classicCaptionLogFont() { return LogFont{QStringLiteral("MS Sans Serif"), -11, 700, false}; }

std::optional<LogFont> captionLogFont() { return captionFontSetting(); }

void setCaptionLogFont(std::optional<LogFont> font) {
  captionFontSetting() = std::move(font);
  SystemSettings::instance().notifyChanged();
}

}  // namespace vardel::ui

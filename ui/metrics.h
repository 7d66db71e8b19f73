// System metrics and the caption font of the classic Windows desktop the layouts were made for.
#pragma once

#include <QString>

#include <optional>

namespace vardel::ui {

enum SystemMetric : int {
  SM_CXSCREEN = 0,
  SM_CYSCREEN = 1,
  SM_CYCAPTION = 4,
  SM_CXBORDER = 5,
  SM_CYBORDER = 6,
  SM_CXDLGFRAME = 7,
  SM_CYDLGFRAME = 8,
  SM_CXICON = 11,
  SM_CYICON = 12,
  SM_CXFRAME = 32,
  SM_CYFRAME = 33,
  SM_CXSIZE = 30,
  SM_CYSIZE = 31,
  SM_CXSMICON = 49,
  SM_CYSMICON = 50,
  SM_CYSMCAPTION = 51,
  SM_CXSMSIZE = 52,
  SM_CYSMSIZE = 53,
};

// The metric's value in pixels. SM_CXSCREEN/SM_CYSCREEN answer the primary screen's size;
// the others come from the classic desktop's table. Unknown metrics answer 0.
int systemMetric(int metric);

// A font as the desktop settings describe it: a face name, a Windows height (negative: the
// character height in pixels; positive: the cell height in pixels; 0: the default size), a
// weight (400 normal, 700 bold) and an italic flag.
struct LogFont {
  QString faceName;
  int height = 0;
  int weight = 400;
  bool italic = false;
  bool operator==(const LogFont&) const = default;
};

// The caption font of the non-client metrics (bold "MS Sans Serif" of height -11 on the classic
// desktop). Empty when the settings cannot be read.
std::optional<LogFont> captionLogFont();

// Replaces the caption font (as a desktop settings change would) and announces the change to
// every form. std::nullopt makes the settings unreadable from then on.
void setCaptionLogFont(std::optional<LogFont> font);
// The classic desktop's caption font.
LogFont classicCaptionLogFont();

}  // namespace vardel::ui

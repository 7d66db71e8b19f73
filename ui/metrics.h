// System metrics of the classic Windows desktop the layouts were made for, in one table.
#pragma once

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
// the others are the classic desktop's fixed values. Unknown metrics answer 0.
int systemMetric(int metric);

}  // namespace vardel::ui

// The metrics table.
#include "ui/metrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace vardel::ui {

int systemMetric(int metric) {
  switch (metric) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      const QScreen* screen = QGuiApplication::primaryScreen();
      if (!screen) return 0;
      const QSize size = screen->size();
      return metric == SM_CXSCREEN ? size.width() : size.height();
    }
    case SM_CYCAPTION:
      return 19;  // 18 of caption plus the line under it
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CXSIZE:
    case SM_CYSIZE:
      return 18;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CYSMCAPTION:
      return 16;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE:
      return 12;
    default:
      return 0;
  }
}

}  // namespace vardel::ui

// The system colour table (the classic Windows scheme with its caption gradient partners).
#include "ui/colors.h"

#include "ui/system_settings.h"

#include <array>

namespace vardel::ui {
namespace {

std::array<Color, kSystemColorCount>& table() {
  static std::array<Color, kSystemColorCount> colors = [] {
    std::array<Color, kSystemColorCount> c{};
    c[COLOR_SCROLLBAR] = rgb(192, 192, 192);
    c[COLOR_BACKGROUND] = rgb(0, 128, 128);
    c[COLOR_ACTIVECAPTION] = rgb(16, 132, 208);
    c[COLOR_INACTIVECAPTION] = rgb(128, 128, 128);
    c[COLOR_MENU] = rgb(192, 192, 192);
    c[COLOR_WINDOW] = rgb(255, 255, 255);
    c[COLOR_WINDOWFRAME] = rgb(0, 0, 0);
    c[COLOR_MENUTEXT] = rgb(0, 0, 0);
    c[COLOR_WINDOWTEXT] = rgb(0, 0, 0);
    c[COLOR_CAPTIONTEXT] = rgb(255, 255, 255);
    c[COLOR_ACTIVEBORDER] = rgb(192, 192, 192);
    c[COLOR_INACTIVEBORDER] = rgb(192, 192, 192);
    c[COLOR_APPWORKSPACE] = rgb(128, 128, 128);
    c[COLOR_HIGHLIGHT] = rgb(0, 0, 128);
    c[COLOR_HIGHLIGHTTEXT] = rgb(255, 255, 255);
    c[COLOR_BTNFACE] = rgb(192, 192, 192);
    c[COLOR_BTNSHADOW] = rgb(128, 128, 128);
    c[COLOR_GRAYTEXT] = rgb(128, 128, 128);
    c[COLOR_BTNTEXT] = rgb(0, 0, 0);
    c[COLOR_INACTIVECAPTIONTEXT] = rgb(192, 192, 192);
    c[COLOR_BTNHIGHLIGHT] = rgb(255, 255, 255);
    c[COLOR_3DDKSHADOW] = rgb(0, 0, 0);
    c[COLOR_3DLIGHT] = rgb(223, 223, 223);
    c[COLOR_INFOTEXT] = rgb(0, 0, 0);
    c[COLOR_INFOBK] = rgb(255, 255, 225);
    c[25] = rgb(192, 192, 192);
    c[COLOR_HOTLIGHT] = rgb(0, 0, 255);
    c[COLOR_GRADIENTACTIVECAPTION] = rgb(166, 202, 240);
    c[COLOR_GRADIENTINACTIVECAPTION] = rgb(192, 192, 192);
    return c;
  }();
  return colors;
}

}  // namespace

Color sysColor(int index) {
  if (index < 0 || index >= kSystemColorCount) return 0;
  return table()[size_t(index)];
}

void setSysColor(int index, Color value) {
  if (index < 0 || index >= kSystemColorCount) return;
  table()[size_t(index)] = value & 0x00FFFFFF;
  SystemSettings::instance().notifyChanged();
}

Color colorToRgb(Color value) {
  if (value & kSystemColorFlag) return sysColor(int(value & 0xFF));
  return value & 0x00FFFFFF;
}

QColor toQColor(Color value) {
  const Color c = colorToRgb(value);
  return QColor(redOf(c), greenOf(c), blueOf(c));
}

Color fromQColor(const QColor& color) { return rgb(color.red(), color.green(), color.blue()); }

}  // namespace vardel::ui

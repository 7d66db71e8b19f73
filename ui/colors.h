// Colour values as the window definitions store them: 0x00BBGGRR, or 0x80000000 + n for the
// system colour with index n.
#pragma once

#include <QColor>

#include <cstdint>

namespace vardel::ui {

using Color = std::uint32_t;

inline constexpr Color kSystemColorFlag = 0x80000000u;

// System colour indexes (the classic Windows numbering).
enum SystemColorIndex : int {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10,
  COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
  COLOR_HOTLIGHT = 26,
  COLOR_GRADIENTACTIVECAPTION = 27,
  COLOR_GRADIENTINACTIVECAPTION = 28,
  kSystemColorCount = 29
};

// Named colours of the window framework.
inline constexpr Color clBlack = 0x000000;
inline constexpr Color clMaroon = 0x000080;
inline constexpr Color clGreen = 0x008000;
inline constexpr Color clOlive = 0x008080;
inline constexpr Color clNavy = 0x800000;
inline constexpr Color clPurple = 0x800080;
inline constexpr Color clTeal = 0x808000;
inline constexpr Color clGray = 0x808080;
inline constexpr Color clSilver = 0xC0C0C0;
inline constexpr Color clRed = 0x0000FF;
inline constexpr Color clLime = 0x00FF00;
inline constexpr Color clYellow = 0x00FFFF;
inline constexpr Color clBlue = 0xFF0000;
inline constexpr Color clFuchsia = 0xFF00FF;
inline constexpr Color clAqua = 0xFFFF00;
inline constexpr Color clWhite = 0xFFFFFF;
inline constexpr Color clActiveCaption = kSystemColorFlag | COLOR_ACTIVECAPTION;
inline constexpr Color clInactiveCaption = kSystemColorFlag | COLOR_INACTIVECAPTION;
inline constexpr Color clWindow = kSystemColorFlag | COLOR_WINDOW;
inline constexpr Color clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
inline constexpr Color clCaptionText = kSystemColorFlag | COLOR_CAPTIONTEXT;
inline constexpr Color clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
inline constexpr Color clBtnShadow = kSystemColorFlag | COLOR_BTNSHADOW;
inline constexpr Color clBtnText = kSystemColorFlag | COLOR_BTNTEXT;
inline constexpr Color clInactiveCaptionText = kSystemColorFlag | COLOR_INACTIVECAPTIONTEXT;
inline constexpr Color clBtnHighlight = kSystemColorFlag | COLOR_BTNHIGHLIGHT;
inline constexpr Color clGradientActiveCaption = kSystemColorFlag | COLOR_GRADIENTACTIVECAPTION;
inline constexpr Color clGradientInactiveCaption = kSystemColorFlag | COLOR_GRADIENTINACTIVECAPTION;

// The plain 0x00BBGGRR value of a system colour index (0 for an unknown index).
Color sysColor(int index);

// Replaces one system colour (as a desktop settings change would) and announces the change to
// every form (SystemSettings::changed), which passes it to its non-client hook.
void setSysColor(int index, Color value);

// A colour value resolved to a plain 0x00BBGGRR colour (system colours looked up).
Color colorToRgb(Color value);

QColor toQColor(Color value);
Color fromQColor(const QColor& color);

inline constexpr Color rgb(int red, int green, int blue) {
  return Color(red & 0xFF) | (Color(green & 0xFF) << 8) | (Color(blue & 0xFF) << 16);
}
inline constexpr int redOf(Color c) { return int(c & 0xFF); }
inline constexpr int greenOf(Color c) { return int((c >> 8) & 0xFF); }
inline constexpr int blueOf(Color c) { return int((c >> 16) & 0xFF); }

}  // namespace vardel::ui

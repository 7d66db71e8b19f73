// Fonts as the window definitions give them: a Windows face name, a height in pixels and a
// style, mapped onto the fonts this system has.
#pragma once

#include <QFont>
#include <QString>

namespace vardel::ui {

enum FontStyle : unsigned {
  fsNone = 0,
  fsBold = 1u << 0,
  fsItalic = 1u << 1,
  fsUnderline = 1u << 2,
  fsStrikeOut = 1u << 3,
};
using FontStyles = unsigned;

// Registers the substitution table (Arial, MS Sans Serif, System -> Liberation Sans; Times New
// Roman -> Liberation Serif; Courier New -> Liberation Mono; Wingdings -> DejaVu Sans) with Qt.
// Idempotent; the application object calls it at start.
void installFontSubstitutions();

// The font of `family` with a Windows font height: negative is the character height in
// pixels (what a window definition stores as Height), positive the cell height including
// internal leading. Layouts are in pixels, so the result never depends on the screen's DPI.
QFont makeFont(const QString& family, int height, FontStyles styles = fsNone);

// The same font with `pixels` as its character height (the "12-pixel" of a definition).
inline QFont pixelFont(const QString& family, int pixels, FontStyles styles = fsNone) {
  return makeFont(family, -pixels, styles);
}

// A point size at the 96 dots per inch the layouts were made for, as a pixel font.
QFont pointFont(const QString& family, double points, FontStyles styles = fsNone);

// The face of most of the windows' labels.
inline const QString kSansSerif = QStringLiteral("MS Sans Serif");

// A font object as components hold it: face name, Windows height (see makeFont) and style.
struct FontData {
  QString name = kSansSerif;
  int height = -11;
  FontStyles style = fsNone;

  QFont toQFont() const { return makeFont(name, height, style); }
  bool operator==(const FontData&) const = default;
};

// The stock system font (the bold "System" face with a 16-pixel cell).
FontData stockSystemFont();

// The character height in pixels of a font as it is drawn (cell height minus internal
// leading, i.e. the em height).
int characterHeight(const QFont& font);

}  // namespace vardel::ui

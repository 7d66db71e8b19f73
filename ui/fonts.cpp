// Font substitution and Windows-style font heights.
#include "ui/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <cmath>

namespace vardel::ui {
namespace {

constexpr int kSansSerifStretch = 92;  // percent of the stand-in's own width

}  // namespace

void installFontSubstitutions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("System"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  QFont::insertSubstitution(QStringLiteral("Wingdings"), QStringLiteral("DejaVu Sans"));
}

QFont makeFont(const QString& family, int height, FontStyles styles) {
  installFontSubstitutions();
  QFont font(family);
  // Liberation Sans at MS Sans Serif's cell height sets text about an eighth wider than the
  // screens were laid out for, and labels wrapped in a fixed width then run into the next one.
  // Narrowed to 92 % it keeps to those widths (and stays the same face everywhere else).
  if (family.compare(kSansSerif, Qt::CaseInsensitive) == 0) font.setStretch(kSansSerifStretch);
  font.setStyleStrategy(QFont::PreferAntialias);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setBold(styles & fsBold);
  font.setItalic(styles & fsItalic);
  font.setUnderline(styles & fsUnderline);
  font.setStrikeOut(styles & fsStrikeOut);
  if (height < 0) {
    font.setPixelSize(-height);
  } else if (height > 0) {
    // A cell height: scale the em size so that ascent plus descent comes to `height`.
    font.setPixelSize(height);
    const int cell = QFontMetrics(font).height();
    font.setPixelSize(std::max(1, int(std::lround(double(height) * height / std::max(1, cell)))));
  } else {
    font.setPixelSize(13);
  }
  return font;
}

QFont pointFont(const QString& family, double points, FontStyles styles) {
  return makeFont(family, -int(std::lround(points * 96.0 / 72.0)), styles);
}

FontData stockSystemFont() { return FontData{QStringLiteral("System"), 16, fsBold}; }

int characterHeight(const QFont& font) {
  // Fonts are always made with a pixel size, and Qt's pixel size is the em height.
  return QFontInfo(font).pixelSize();
}

}  // namespace vardel::ui

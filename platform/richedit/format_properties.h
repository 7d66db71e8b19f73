// The rich-edit model kept inside QTextDocument formats: indents in twips, character set and
// pitch, bullets as disc lists; and the on-screen geometry Qt derives from them.
#pragma once

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextListFormat>

class QTextBlock;
class QTextDocument;
class QFont;

namespace vardel::platform::richtext {

// Properties of our own in the Qt formats. Indents are twips (1/20 point) so nothing is lost
// by rounding to pixels; the Qt margins are derived from them.
enum Property : int {
  kFirstIndentTwips = QTextFormat::UserProperty + 1,  // block: first line, from the left margin
  kLeftIndentTwips,                                   // block: following lines, from the first line
  kRightIndentTwips,                                  // block: from the right margin
  kCharset,                                           // char: Windows character set number
  kPitch,                                             // char: 0 default, 1 fixed, 2 variable (RTF \fprq)
  kPictureWords,                                      // image: the \pict control words it was read with
  kPictureData,                                       // image: its bytes, as read
};

// The program works at 96 dpi: one point is 4/3 pixel, so one pixel is 15 twips.
constexpr double kTwipsPerPixel = 15.0;
// The largest indent and the largest font size we accept from anyone (22 inches; 1638 points,
// the limit of a 16-bit half-point count).
constexpr int kMaxIndentTwips = 31680;
constexpr int kMaxFontHalfPoints = 3276;

struct Indents {
  int first = 0;  // twips, absolute
  int left = 0;   // twips, relative to `first`
  int right = 0;  // twips
  bool operator==(const Indents&) const = default;
};

int clampIndent(long long twips);

// The indents a block format holds: our twips when present, else derived from Qt's margins
// (paragraphs that came from HTML or from Qt itself).
Indents indentsOf(const QTextBlockFormat& format);

// Stores the indents and sets Qt's margins from them. A bulleted paragraph starts all its lines
// at first + left; its bullet hangs in front of the first line.
void applyIndents(QTextBlockFormat& format, const Indents& indents, bool bullets);

// The list format every bullet paragraph uses: a disc, no indentation of its own.
QTextListFormat bulletListFormat();
bool isBulleted(const QTextBlock& block);

// Puts the block into a bullet list (joining the previous block's when it has one) or takes it
// out, and derives its margins again. The block's indents are not otherwise changed.
void setBulleted(QTextDocument* document, const QTextBlock& block, bool on);

// The family of a font name without the foundry Qt adds where several foundries offer one
// family ("C059 [UKWN]" is "C059"): other programs know fonts by family only.
QString familyName(const QString& name);

// Point size of a font as the control keeps it: its point size, or for a font given in pixels
// the whole points it comes to at 96 dpi, rounded half away from zero (14 px is 11 points).
double pointSizeOf(const QFont& font);

}  // namespace vardel::platform::richtext

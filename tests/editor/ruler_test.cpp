// The ruler's formulas, the import's lines and address, and the dialogs' filters: pure logic.
#include "editor/editor_dialogs.h"
#include "editor/import_text.h"
#include "editor/ruler_geometry.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

#include <climits>

namespace vardel {
namespace {

using namespace ruler;

TEST(RulerGeometry, MarkersStandAtFourThirdsOfAPixelPerPointTruncatedTowardsZero) {
  // A paragraph without indents.
  EXPECT_EQ(firstIndLeft(0), 2);
  EXPECT_EQ(leftIndLeft(0, 0), 2);
  EXPECT_EQ(rightIndLeft(800, 0), 786);
  // Positive: 3 points are exactly 4 pixels, 10 points 13.33 pixels.
  EXPECT_EQ(firstIndLeft(3), 6);
  EXPECT_EQ(firstIndLeft(10), 15);
  EXPECT_EQ(leftIndLeft(10, 20), 42);
  EXPECT_EQ(rightIndLeft(800, 9), 774);
  // Negative values truncate towards zero too.
  EXPECT_EQ(firstIndLeft(-1), 1);
  EXPECT_EQ(firstIndLeft(-2), 0);
  EXPECT_EQ(leftIndLeft(30, -40), -11);
  EXPECT_EQ(rightIndLeft(800, -10), 800 - 6 + 5);
  // Absurd indents from a file give absurd places, not overflow.
  EXPECT_GT(firstIndLeft(INT_MAX), 1000000);
  EXPECT_LT(leftIndLeft(INT_MIN, INT_MIN), -1000000);
  EXPECT_EQ(rulerLineWidth(800, 5), 790);
}

TEST(RulerGeometry, DroppedMarkersGiveIndentsWithTheirOnePointDrift) {
  // Pressed and released in the middle of markers of a paragraph without indents.
  EXPECT_EQ(firstIndentAt(2, 6), 1);
  EXPECT_EQ(leftIndentAt(2, 6, 1), 0);
  EXPECT_EQ(rightIndentAt(800, 786, 6), 1);
  EXPECT_EQ(firstIndLeft(firstIndentAt(2, 6)), 3);
  // The drift grows each click: clicking again moves on.
  EXPECT_EQ(firstIndentAt(3, 6), 2);
  // The following lines against a new first indent keep their place on the ruler.
  EXPECT_EQ(leftIndentAt(42, 6, 31), 0);
  EXPECT_EQ(leftIndentAt(42, 6, 10), 21);
  // Left of the ruler's start: negative, truncated towards zero (-2 x 0.75 is -1).
  EXPECT_EQ(firstIndentAt(-2, 6), -1);
  EXPECT_EQ(firstIndentAt(-10, 6), -7);
  // Beyond the right end: a negative right indent.
  EXPECT_EQ(rightIndentAt(800, 820, 6), -24);
}

TEST(ImportText, LinesBreakAtCrLfAndCrLfAndEndAtAZero) {
  const QStringList abc{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
  EXPECT_EQ(splitImportedLines(QStringLiteral("a\nb\nc")), abc);
  EXPECT_EQ(splitImportedLines(QStringLiteral("a\r\nb\r\nc\r\n")), abc);
  EXPECT_EQ(splitImportedLines(QStringLiteral("a\rb\rc\r")), abc);
  EXPECT_EQ(splitImportedLines(QStringLiteral("a\n\nb")), (QStringList{"a", "", "b"}));
  // LF CR is two breaks, CR LF one.
  EXPECT_EQ(splitImportedLines(QStringLiteral("a\n\rb")), (QStringList{"a", "", "b"}));
  EXPECT_EQ(splitImportedLines(QString()), QStringList());
  EXPECT_EQ(splitImportedLines(QStringLiteral("\n")), QStringList{QString()});
  EXPECT_EQ(splitImportedLines(QStringLiteral("antes") + QChar(0) + QStringLiteral("\ndespués")), QStringList{"antes"});
  EXPECT_EQ(splitImportedLines(QStringLiteral("sin salto")), QStringList{"sin salto"});
}

TEST(ImportText, LinesStopWhereTheControlWouldOverflow) {
  const QStringList lines{QStringLiteral("abc"), QStringLiteral("de"), QStringLiteral("f")};
  // An empty text holds 1 character; "abc" makes 4, "de" in a new paragraph 7, "f" 9.
  EXPECT_EQ(linesThatFit(lines, 1, 9), 3);
  EXPECT_EQ(linesThatFit(lines, 1, 8), 2);
  EXPECT_EQ(linesThatFit(lines, 1, 5), 1);
  EXPECT_EQ(linesThatFit(lines, 1, 4), 0);
  EXPECT_EQ(linesThatFit({}, 1, 1), 0);
}

TEST(ImportText, TheRequestLosesTheFirstAuthorityAndDotsAndKeepsTheMapsOwnForm) {
  EXPECT_EQ(importRequestAddress(QStringLiteral("file:///C:/Revista/Ficheros/art1.htm")),
            QStringLiteral("file:/C:/Revista/Ficheros/art1.htm"));
  EXPECT_EQ(importRequestAddress(QStringLiteral("file:///home/x/Ondravia/Ficheros/geo.html")),
            QStringLiteral("file:/home/x/Ondravia/Ficheros/geo.html"));
  EXPECT_EQ(importRequestAddress(QStringLiteral("file:///home/x/Revista.../Ficheros/a...b.html")),
            QStringLiteral("file:/home/x/Revista/Ficheros/a...b.html"));
  // "file:" and a path, as the map forms it: one scheme, not two.
  EXPECT_EQ(importRequestAddress(QStringLiteral("file:/home/x/Ondravia/Ficheros\\geo.html")),
            QStringLiteral("file:/home/x/Ondravia/Ficheros\\geo.html"));
  EXPECT_EQ(importRequestAddress(QStringLiteral("FILE:///home/x/a.html")), QStringLiteral("FILE:///home/x/a.html"));
}

TEST(EditorDialogs, FilterPairsBecomeQtEntries) {
  EXPECT_EQ(qtNameFilters(QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT")),
            (QStringList{"Rich Text Files (*.RTF)", "Text Files (*.TXT)"}));
  EXPECT_EQ(qtNameFilters(QStringLiteral("Documentos|*.rtf;*.doc|Todo|*.*|sin patrones|")),
            (QStringList{"Documentos (*.rtf *.doc)", "Todo (*.*)"}));
  EXPECT_EQ(qtNameFilters(QString()), QStringList());
}

}  // namespace
}  // namespace vardel

// Finding words without regard to case or accents, with positions in the original text.
#include "platform/text_fold.h"

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

QList<TextMatch> find(const QString& text, const QString& needle) { return findFolded(foldForSearch(text), needle); }

TEST(TextFold, CaseAndAccentsAreIgnoredBothWays) {
  const QString text = QStringLiteral("La CANCIÓN del mar, una canción; otra Cancion.");
  const QList<TextMatch> expected{{3, 7}, {24, 7}, {38, 7}};
  EXPECT_EQ(find(text, QStringLiteral("cancion")), expected);
  EXPECT_EQ(find(text, QStringLiteral("Canción")), expected);
  // Spanish letters beyond the vowels: ñ is n with a mark, ü too.
  EXPECT_EQ(find(QStringLiteral("El Niño y la pingüina"), QStringLiteral("nino")), (QList<TextMatch>{{3, 4}}));
  EXPECT_EQ(find(QStringLiteral("El Niño y la pingüina"), QStringLiteral("PINGUINA")), (QList<TextMatch>{{13, 8}}));
}

TEST(TextFold, MatchesMapBackOverDecomposedAndWideCharacters) {
  // "cancio" + "n" + a combining acute: the match takes the mark along.
  const QString decomposed = QStringLiteral("x cancio") + QStringLiteral("n\u0301 y");
  EXPECT_EQ(find(decomposed, QStringLiteral("canción")), (QList<TextMatch>{{2, 8}}));
  // A character outside the basic plane counts two positions before the match.
  const QString wide = QString::fromUcs4(U"\U0001F3B5 canción");
  EXPECT_EQ(find(wide, QStringLiteral("cancion")), (QList<TextMatch>{{3, 7}}));
  // A no-break space between the words is a space.
  EXPECT_EQ(find(QStringLiteral("mar\u00A0azul"), QStringLiteral("mar azul")), (QList<TextMatch>{{0, 8}}));
}

TEST(TextFold, CompatibilityFormsMatchTheirPlainLetters) {
  // A ligature and a double letter fold to two; the match covers the one source character.
  EXPECT_EQ(find(QStringLiteral("el \uFB01n"), QStringLiteral("fin")), (QList<TextMatch>{{3, 2}}));
  EXPECT_EQ(find(QStringLiteral("\u01C4ar"), QStringLiteral("dzar")), (QList<TextMatch>{{0, 3}}));
  EXPECT_EQ(foldedText(QStringLiteral("Ǆ ﬁn ÁRBOL")), QStringLiteral("dz fin arbol"));
  EXPECT_EQ(foldedText(QStringLiteral("Ǆ ﬁn ÁRBOL")), foldForSearch(QStringLiteral("Ǆ ﬁn ÁRBOL")).text);
}

TEST(TextFold, NothingMatchesAnEmptyOrAbsentWordAndMatchesDoNotOverlap) {
  EXPECT_TRUE(find(QStringLiteral("canción"), QString()).isEmpty());
  EXPECT_TRUE(find(QStringLiteral("canción"), QStringLiteral("\u0301")).isEmpty());  // a lone mark folds to nothing
  EXPECT_TRUE(find(QStringLiteral("canción"), QStringLiteral("canciones")).isEmpty());
  EXPECT_TRUE(find(QString(), QStringLiteral("a")).isEmpty());
  EXPECT_EQ(find(QStringLiteral("aaaa"), QStringLiteral("aa")), (QList<TextMatch>{{0, 2}, {2, 2}}));
}

}  // namespace
}  // namespace vardel::platform

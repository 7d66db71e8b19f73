// Finding words as a reader types them: without regard to case or accents.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace vardel::platform {

// A text with its case, accents and other marks taken away, in compatibility form ("Canción"
// and "CANCION" both become "cancion", "ñ" becomes "n", "ﬁ" becomes "fi", a no-break space a
// space), and where each of its characters came from: origin[i] is the index in the source of
// character i, and one entry more holds the source's size.
struct FoldedText {
  QString text;
  QList<qsizetype> origin;
};

FoldedText foldForSearch(QStringView source);
// The folded text alone, as foldForSearch gives it.
QString foldedText(QStringView source);

// A match in the source: its first character and how many there are.
struct TextMatch {
  qsizetype start = 0;
  qsizetype length = 0;
  bool operator==(const TextMatch&) const = default;
};

// Every match of `needle` in the text `haystack` was folded from, in order, none overlapping the
// one before; none for a needle that folds to nothing.
QList<TextMatch> findFolded(const FoldedText& haystack, QStringView needle);

}  // namespace vardel::platform

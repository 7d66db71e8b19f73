// Case and accent folding for finding text, with the way back to the source's positions.
#include "controls/html/text_fold.h"

namespace vardel::controls {
namespace {

// Appends the folded form of `c`: its canonical decomposition without the combining marks,
// case-folded. A no-break space is a space to the reader.
void appendFolded(char32_t c, QString& out) {
  if (c < 0x80) {
    out += QChar(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    return;
  }
  if (c == 0xA0) {
    out += QLatin1Char(' ');
    return;
  }
  if (QChar::category(c) == QChar::Mark_NonSpacing) return;
  if (QChar::decompositionTag(c) == QChar::Canonical) {
    for (const QChar part : QChar::decomposition(c)) appendFolded(part.unicode(), out);
    return;
  }
  const char32_t folded = QChar::toCaseFolded(c);
  if (QChar::requiresSurrogates(folded)) {
    out += QChar(QChar::highSurrogate(folded));
    out += QChar(QChar::lowSurrogate(folded));
  } else {
    out += QChar(folded);
  }
}

}  // namespace

FoldedText foldForSearch(QStringView source) {
  FoldedText folded;
  folded.text.reserve(source.size());
  folded.origin.reserve(source.size() + 1);
  for (qsizetype i = 0; i < source.size();) {
    char32_t c = source[i].unicode();
    qsizetype width = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < source.size() && source[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(source[i], source[i + 1]);
      width = 2;
    }
    const qsizetype before = folded.text.size();
    appendFolded(c, folded.text);
    for (qsizetype k = before; k < folded.text.size(); ++k) folded.origin.append(i);
    i += width;
  }
  folded.origin.append(source.size());
  return folded;
}

QList<TextMatch> findFolded(const FoldedText& haystack, QStringView needle) {
  const QString folded = foldForSearch(needle).text;
  QList<TextMatch> matches;
  if (folded.isEmpty()) return matches;
  for (qsizetype at = haystack.text.indexOf(folded); at >= 0; at = haystack.text.indexOf(folded, at + folded.size())) {
    const qsizetype start = haystack.origin[at];
    // The match ends after the source character of its last folded one (a decomposed letter
    // folds to several).
    qsizetype end = haystack.origin[at + folded.size()];
    if (const qsizetype last = haystack.origin[at + folded.size() - 1]; end <= last) end = last + 1;
    matches.append({start, end - start});
  }
  return matches;
}

}  // namespace vardel::controls

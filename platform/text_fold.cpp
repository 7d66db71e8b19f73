// Case and accent folding for finding text, with the way back to the source's positions.
#include "platform/text_fold.h"

#include <array>

namespace vardel::platform {
namespace {

// The compatibility decomposition of `code` without its marks, case-folded.
QString foldOne(char32_t code) {
  QString out;
  const QString decomposed = QString::fromUcs4(&code, 1).normalized(QString::NormalizationForm_KD);
  for (const char32_t part : decomposed.toUcs4()) {
    if (QChar::isMark(part)) continue;
    const char32_t folded = QChar::toCaseFolded(part);
    out += QString::fromUcs4(&folded, 1);
  }
  return out;
}

// The Latin letters, folded once: most of an article's characters.
constexpr char32_t kTableSize = 0x250;
const std::array<QString, kTableSize>& latinFolds() {
  static const std::array<QString, kTableSize> table = [] {
    std::array<QString, kTableSize> t;
    for (char32_t c = 0; c < kTableSize; ++c) t[c] = foldOne(c);
    return t;
  }();
  return table;
}

// Folds `source` into `out`, and when `origin` is given appends for each folded character the
// index of the source character it came from.
void fold(QStringView source, QString& out, QList<qsizetype>* origin) {
  out.reserve(source.size());
  if (origin) origin->reserve(source.size() + 1);
  for (qsizetype i = 0; i < source.size(); ++i) {
    char32_t code = source[i].unicode();
    const qsizetype from = i;
    if (source[i].isHighSurrogate() && i + 1 < source.size() && source[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(source[i], source[i + 1]);
      ++i;
    }
    if (code < 0x80) {
      out += QChar(char16_t(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code));
      if (origin) origin->append(from);
      continue;
    }
    const QString folded = code < kTableSize ? latinFolds()[code] : foldOne(code);
    out += folded;
    if (origin) origin->insert(origin->size(), folded.size(), from);
  }
}

}  // namespace

FoldedText foldForSearch(QStringView source) {
  FoldedText folded;
  fold(source, folded.text, &folded.origin);
  folded.origin.append(source.size());
  return folded;
}

QString foldedText(QStringView source) {
  QString out;
  fold(source, out, nullptr);
  return out;
}

QList<TextMatch> findFolded(const FoldedText& haystack, QStringView needle) {
  const QString folded = foldedText(needle);
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

}  // namespace vardel::platform

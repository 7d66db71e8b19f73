// The magazine search's index: reading the pages, folding their text, finding the words.
#include "shell/busqueda_indice.h"

#include "platform/content_folder.h"
#include "platform/file_limits.h"
#include "platform/file_url.h"
#include "platform/paths.h"
#include "platform/regular_file.h"
#include "shell/busqueda_texto.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <array>
#include <deque>

namespace vardel {

namespace {

// The longest context line shown, in characters, around the word found.
constexpr qsizetype kContextChars = 110;

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

void appendFolded(char32_t code, qsizetype from, QString& out, QList<qsizetype>* origin) {
  if (code < 0x80) {
    out += QChar(char16_t(code >= 'A' && code <= 'Z' ? code + 32 : code));
    if (origin) origin->append(from);
    return;
  }
  const QString folded = code < kTableSize ? latinFolds()[code] : foldOne(code);
  out += folded;
  if (origin) origin->insert(origin->size(), folded.size(), from);
}

bool isHtmlName(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("html") || suffix == QLatin1String("htm");
}

// The file a link of a page in `folder` names; empty for links that lead to no local page
// (anchors in the page, other schemes, addresses of the disc's own system).
QString linkedFile(const QString& link, const QString& folder) {
  static const QRegularExpression scheme(QStringLiteral("^[a-z][a-z0-9+.-]*:"),
                                         QRegularExpression::CaseInsensitiveOption);
  const QString target = link.trimmed();
  if (target.isEmpty() || target.startsWith(QLatin1Char('#'))) return {};
  if (platform::isFileUrl(target)) return platform::resolveFileUrl(target, folder).path;
  if (scheme.match(target).hasMatch()) return {};
  static const QRegularExpression tail(QStringLiteral("[#?]"));
  QString relative = target.left(target.indexOf(tail));
  relative = QUrl::fromPercentEncoding(relative.toUtf8()).replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (relative.isEmpty()) return {};
  return platform::nativePath(relative.startsWith(QLatin1Char('/')) ? relative : folder + QLatin1Char('/') + relative);
}

QString contextLine(const QString& text, qsizetype at) {
  qsizetype start = text.lastIndexOf(QLatin1Char('\n'), at) + 1;
  qsizetype end = text.indexOf(QLatin1Char('\n'), at);
  if (end < 0) end = text.size();
  QString line = text.mid(start, end - start);
  at -= start;
  if (line.size() <= kContextChars) return line;
  const qsizetype from = std::clamp<qsizetype>(at - kContextChars / 3, 0, line.size() - kContextChars);
  return (from > 0 ? QStringLiteral("…") : QString()) + line.mid(from, kContextChars).trimmed() +
         (from + kContextChars < line.size() ? QStringLiteral("…") : QString());
}

}  // namespace

QString foldForSearch(QStringView text, QList<qsizetype>* origin) {
  QString out;
  out.reserve(text.size());
  if (origin) {
    origin->clear();
    origin->reserve(text.size());
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t code = text[i].unicode();
    const qsizetype from = i;
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    appendFolded(code, from, out, origin);
  }
  return out;
}

QStringList searchWords(const QString& typed) {
  QStringList words =
      foldForSearch(typed).split(QRegularExpression(QStringLiteral("[\\s\\x{00A0}]+")), Qt::SkipEmptyParts);
  words.removeDuplicates();
  return words;
}

SearchIndex SearchIndex::build(const QString& contentFolder, const QList<SearchCity>& cities, const Limits& limits,
                               const std::atomic<bool>* cancel) {
  SearchIndex index;
  index.cities_ = cities;
  const QString root = platform::realPath(platform::nativePath(contentFolder));
  const QString documents = platform::realPath(platform::nativePath(contentFolder + QStringLiteral("Ficheros")));
  const std::int64_t pageLimit = std::min(limits.pageBytes, platform::kMaxArticleBytes);
  struct Pending {
    QString path;
    int city;
    QString name;  // as the city names it; empty for a linked page
  };
  std::deque<Pending> queue;
  for (const SearchCity& city : cities) {
    queue.push_back(
        {platform::nativePath(contentFolder + QStringLiteral("Ficheros\\") + city.file), city.number, city.file});
  }
  QSet<QString> seen;
  while (!queue.empty() && index.pages_.size() < limits.pages && !(cancel && cancel->load())) {
    const Pending next = queue.front();
    queue.pop_front();
    const QString real = platform::realPath(next.path);
    if (real.isEmpty() || root.isEmpty() || seen.contains(real)) continue;
    seen.insert(real);
    if (!platform::insideFolder(real, root) || (next.name.isEmpty() && !isHtmlName(real))) continue;
    const std::optional<QByteArray> bytes = platform::readRegularFile(real, pageLimit);
    if (!bytes) continue;
    if (index.bytes_ + bytes->size() > limits.totalBytes) break;
    index.bytes_ += bytes->size();
    std::optional<PageWords> read = readPageWords(*bytes);
    if (!read) continue;
    PageWords& words = *read;
    const QString folder = QFileInfo(real).path();
    for (const QString& link : std::as_const(words.links)) {
      const QString file = linkedFile(link, folder);
      if (!file.isEmpty()) queue.push_back({file, next.city, QString()});
    }
    Page page;
    page.city = next.city;
    page.page = next.name.isEmpty() ? QDir(documents).relativeFilePath(real) : next.name;
    page.text = std::move(words.text);
    page.folded = foldForSearch(page.text, &page.origin);
    index.pages_.push_back(std::move(page));
  }
  return index;
}

QList<SearchHit> SearchIndex::find(const QString& typed) const {
  const QStringList words = searchWords(typed);
  QList<SearchHit> hits;
  if (words.isEmpty()) return hits;
  for (const SearchCity& city : cities_) {
    for (const Page& page : pages_) {
      if (page.city != city.number) continue;
      qsizetype first = -1;
      bool all = true;
      for (const QString& word : words) {
        const qsizetype at = page.folded.indexOf(word);
        if (at < 0) {
          all = false;
          break;
        }
        if (first < 0 || at < first) first = at;
      }
      if (all) hits.push_back({city.number, city.hint, page.page, contextLine(page.text, page.origin.value(first))});
    }
  }
  return hits;
}

}  // namespace vardel

// The magazine search's index: reading the pages, folding their text, finding the words.
#include "shell/busqueda_indice.h"

#include "platform/content_folder.h"
#include "platform/file_limits.h"
#include "platform/file_url.h"
#include "platform/html/html_nesting.h"
#include "platform/html/html_source.h"
#include "platform/html/html_text.h"
#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/text_fold.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <deque>
#include <optional>

namespace vardel {

namespace {

// The longest context line shown, in characters, around the word found.
constexpr qsizetype kContextChars = 110;

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

// The text of a page as the search shows it, one line per line a reader sees, blank lines left
// out and blanks collapsed, with the targets of its links in `links`. Nothing for a page beyond
// the limits the viewers keep to (the parser would take minutes over it).
std::optional<QString> pageText(QByteArrayView bytes, QStringList& links) {
  const QString html = platform::html::decodeHtml(bytes).text;
  if (!platform::html::withinParseLimits(html)) return std::nullopt;
  const QString readable = platform::html::htmlToText(QByteArrayView(html.toUtf8()), &links);
  QString text;
  text.reserve(readable.size());
  for (const QStringView line : QStringView(readable).split(QStringLiteral("\r\n"))) {
    const QString words = line.toString().simplified();
    if (words.isEmpty()) continue;
    if (!text.isEmpty()) text += QLatin1Char('\n');
    text += words;
  }
  return text;
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
  if (!origin) return platform::foldedText(text);
  platform::FoldedText folded = platform::foldForSearch(text);
  folded.origin.removeLast();  // the source's end: the index has no use for it
  *origin = std::move(folded.origin);
  return std::move(folded.text);
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
    QStringList links;
    std::optional<QString> text = pageText(*bytes, links);
    if (!text) continue;
    const QString folder = QFileInfo(real).path();
    for (const QString& link : std::as_const(links)) {
      const QString file = linkedFile(link, folder);
      if (!file.isEmpty()) queue.push_back({file, next.city, QString()});
    }
    Page page;
    page.city = next.city;
    page.page = next.name.isEmpty() ? QDir(documents).relativeFilePath(real) : next.name;
    page.text = std::move(*text);
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

// The magazine search: every article the map's cities open and the pages they lead to inside
// the content folder, searched for all the words typed, without regard to case or accents.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>

namespace vardel {

// A city of the map, as the search needs it.
struct SearchCity {
  int number = 0;
  QString hint;  // the section's name in the results
  QString file;  // its article, relative to the documents folder
};

// One page found by a search.
struct SearchHit {
  int city = 0;     // the city whose article leads to the page
  QString hint;     // that city's hint
  QString page;     // the page, relative to the documents folder (as the map opens a city's file)
  QString context;  // the line around the first word found
};

// Folds text for searching, as platform::foldForSearch does ("Canción" and "CANCION" both give
// "cancion"). When `origin` is given, it receives for each character of the result the index of
// the character of `text` it came from.
QString foldForSearch(QStringView text, QList<qsizetype>* origin = nullptr);
// The folded words of what a person typed; empty when nothing is left to look for.
QStringList searchWords(const QString& typed);

// What one build of the index reads at most, so a hostile folder cannot hold the program.
struct SearchLimits {
  int pages = 2000;                                   // pages indexed
  std::int64_t pageBytes = std::int64_t(16) << 20;    // one page (the viewer's article limit)
  std::int64_t totalBytes = std::int64_t(256) << 20;  // all pages together
};

class SearchIndex {
 public:
  using Limits = SearchLimits;

  // Reads the articles of `cities` under `contentFolder` + "Ficheros/", then the pages they
  // link to, breadth first. Pages outside the content folder, missing, not regular files,
  // over the limits or not HTML are left out. Slow: meant for a worker thread, which stops
  // early, with the pages read so far, once `cancel` turns true.
  static SearchIndex build(const QString& contentFolder, const QList<SearchCity>& cities,
                           const Limits& limits = Limits(), const std::atomic<bool>* cancel = nullptr);

  // The pages holding every word of `typed` (see searchWords), each once, in the order of the
  // cities and, within a city, its article first.
  QList<SearchHit> find(const QString& typed) const;

  int pageCount() const { return int(pages_.size()); }
  std::int64_t bytesRead() const { return bytes_; }

 private:
  struct Page {
    int city = 0;
    QString page;
    QString text;
    QString folded;
    QList<qsizetype> origin;
  };
  QList<SearchCity> cities_;
  QList<Page> pages_;
  std::int64_t bytes_ = 0;
};

}  // namespace vardel

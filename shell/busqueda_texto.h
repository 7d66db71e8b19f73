// What the magazine search reads of a page: its words and the pages it leads to.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace vardel {

struct PageWords {
  // The text a reader sees, one line per block (paragraph, heading, list item, table row);
  // no markup, scripts or styles, entities decoded, blanks collapsed.
  QString text;
  // The targets of the page's links and frames, as written (fragment and query included).
  QStringList links;
};

// The most elements a page may hold, and open one inside another, for the search to read it:
// the parser slows down with the square of the depth (ten thousand nested elements cost it a
// second, a hundred thousand hold it for minutes), while articles nest a few dozen deep and
// hold a few thousand elements. The viewers refuse such pages too.
inline constexpr int kMaxSearchDepth = 512;
inline constexpr int kMaxSearchElements = 100000;

// Decodes the bytes of a page as a browser would (byte order mark, then the declared
// character set, then UTF-8 when valid, else Windows-1252, the discs' code page) and reads
// its words. Malformed markup gives what a browser would show; nothing for a page beyond the
// limits above, estimated tag by tag before it is parsed.
std::optional<PageWords> readPageWords(QByteArrayView bytes);

}  // namespace vardel

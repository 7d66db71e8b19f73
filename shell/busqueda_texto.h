// What the magazine search reads of a page: its words and the pages it leads to.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace vardel {

struct PageWords {
  // The text a reader sees, one line per block (paragraph, heading, list item, table row);
  // no markup, scripts or styles, entities decoded, blanks collapsed.
  QString text;
  // The targets of the page's links and frames, as written (fragment and query included).
  QStringList links;
};

// Decodes the bytes of a page as a browser would (byte order mark, then the declared
// character set, then UTF-8 when valid, else Windows-1252, the discs' code page) and reads
// its words. Never fails: malformed markup gives what a browser would show.
PageWords readPageWords(QByteArrayView bytes);

// The text of the bytes of a page, decoded as readPageWords decodes them.
QString decodePage(QByteArrayView bytes);

}  // namespace vardel

// Generated magazine articles of any size, in the style of the disc's pages, for measurements.
#pragma once

#include <QByteArray>

namespace vardel::bench {

// An HTML article in Windows-1252 of about `bytes` bytes (never less): a layout table with a
// menu column, headings, paragraphs with fonts, entities and links, data tables with colours,
// nested lists, preformatted blocks and pictures, repeated in numbered sections.
QByteArray generateArticle(qsizetype bytes);

}  // namespace vardel::bench

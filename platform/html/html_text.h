// The readable text of an HTML document: what a person keeps when copying an article.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace vardel::platform::html {

// Turns an HTML document (already decoded, see decodeHtml) into plain text:
//  - no markup, no script, style, head, form lists or hidden elements; entities decoded;
//  - runs of blanks collapse to one; lines carry no leading or trailing blanks;
//  - headings, paragraphs, block quotes, tables and preformatted blocks stand on their own,
//    separated by one empty line; other blocks (div, center...) start a new line;
//  - <br> ends a line; two in a row leave one empty line, never more;
//  - list items each on their own line behind "• " or their number ("1. ", "a. ", "i. "),
//    nested lists indented by four blanks per level, with no empty lines inside a list; an
//    item without text of its own (empty, or holding only a nested list) keeps its marker on
//    a line alone, so every item keeps its number;
//  - a table row whose cells hold only inline text is one line with its cells separated by a
//    tab (empty cells keep their tab so columns stay aligned); rows of layout tables, whose
//    cells hold blocks, give each cell's content as blocks of its own;
//  - preformatted text is kept exactly, blanks and line breaks included;
//  - an image's alt text stands in for the image where no text shares its line, and on a
//    line of its own for a picture floated to a side (align="left|right", float);
//  - lines end with "\r\n"; the text neither starts nor ends with a line break.
// Never fails: malformed markup gives the text a browser would show.
QString htmlToText(const QString& html);
// The same from UTF-8 bytes. When `links` is given, it also receives the targets of the
// document's links (<a>, <area>) and frames (<frame>, <iframe>) as written, in document order,
// wherever they stand (a frameset or a hidden element included).
QString htmlToText(QByteArrayView utf8, QStringList* links = nullptr);

}  // namespace vardel::platform::html

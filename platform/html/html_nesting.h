// How deeply a document nests its elements, estimated in one pass before any parser sees it.
#pragma once

#include <QString>
#include <QStringView>

namespace vardel::platform::html {

// The deepest nesting of elements the viewer takes. Both of its parsers (the display's and the
// text's) slow down with the square of the depth or worse: 100,000 nested elements cost them
// minutes, while articles nest a few dozen deep. Deeper documents are refused instead.
inline constexpr int kMaxNestingDepth = 512;

// The greatest number of elements open at once, inside <body>, while the document is parsed,
// estimated tag by tag (see HtmlTokenizer) the way gumbo builds its tree: an end tag closes its
// element and what is open inside it, unless a table, cell, button or object lies between;
// blocks close an open paragraph; <li>, <dd>/<dt> and the rows, cells and sections of a table
// close an open one of their kind; formatting elements (<b>, <font>, <a>...) that a closing
// block cuts off open again before the next text, three alike at most; a table counts with the
// body it implies; inside SVG and MathML elements simply nest, "/>" closes, and HTML leaves
// them; inside a select list only options count; names gumbo does not know all match each
// other's end tags, as they do in gumbo. Where Qt's parser, which lays the document out, keeps
// open what gumbo closes (<a> in <a>, headings, options, forms, buttons) the estimate keeps it
// open too. On tag soup the parsed tree is at most about twice as deep as estimated.
// Counting stops as soon as the depth passes `limit`: the result is then limit + 1.
int nestingDepth(QStringView html, int limit = kMaxNestingDepth);

// The most elements a document may open for the viewers to take it. Qt's import and layout of
// 100,000 sibling spans take 1.8 s on a busy two-core machine (under the hourglass), and the
// browser engine holds a million for minutes; articles hold a few thousand.
inline constexpr qsizetype kMaxElements = 100000;

// The start tags of a document, the content of script, style and the like skipped (see
// HtmlTokenizer), in one linear pass. Counting stops past `limit`: the result is then limit + 1.
qsizetype elementCount(QStringView html, qsizetype limit = kMaxElements);

// Whether a document stays within kMaxNestingDepth and kMaxElements: what the viewers show and
// the magazine search reads.
bool withinParseLimits(QStringView html);

// Why neither viewer shows the document `html` read from `path` (nesting deeper than
// kMaxNestingDepth, or more than kMaxElements elements), in words for the person; empty when it
// can be shown.
QString refusalOf(QStringView html, const QString& path);

}  // namespace vardel::platform::html

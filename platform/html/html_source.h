// Decoding of HTML files: which character set their bytes are in.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace vardel::platform::html {

struct DecodedHtml {
  QString text;
  QByteArray encoding;  // the name of the character set used, e.g. "windows-1252"
};

// Decodes the bytes of an HTML file, choosing the character set the way browsers do:
//  1. a byte order mark (UTF-8, UTF-16 LE or BE) wins;
//  2. else a <meta charset="..."> or <meta http-equiv="Content-Type" content="...; charset=...">
//     within the first 4096 bytes (comments skipped); "iso-8859-1", "latin1" and "us-ascii"
//     mean Windows-1252, as in every browser; an unknown name is ignored;
//  3. else UTF-8 when the bytes are valid UTF-8 (plain ASCII included);
//  4. else Windows-1252, the code page the magazine's discs were written in.
// A byte order mark is not part of the text. Never fails.
DecodedHtml decodeHtml(QByteArrayView bytes);

// The character set a <meta> element declares within the first 4096 bytes, lower-case;
// empty when none does.
QByteArray declaredCharset(QByteArrayView bytes);

// The attributes of the document's first <body> start tag (names lower-case, values as
// written, entities not decoded); empty when there is none. Used for the colours old pages
// give there ("text", "link", "vlink", "bgcolor").
QHash<QString, QString> bodyAttributes(QStringView html);

// Where a long document may be cut so that its start, imported alone, is set out exactly as the
// whole document sets out that part: the start of the first block element (one whose start
// tag closes a paragraph, or a table) at or after character `from` that stands in the body
// outside every table. A paragraph's lines depend on all its words and a table's columns on
// all its rows, so neither is ever cut. -1 when there is no such place, or when the document
// brings a style sheet (its rules are applied to the whole, and could reach back over a cut).
qsizetype blockBoundaryAfter(QStringView html, qsizetype from);

}  // namespace vardel::platform::html

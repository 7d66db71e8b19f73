// Our own RTF reader and writer over QTextDocument. No C or C++ RTF library is packaged for
// Debian, and what the editor needs (the rich-edit model: fonts, sizes, styles, colours,
// character sets, indents, alignment, bullets) is a small, well-known part of the format.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QTextCharFormat>

class QTextCursor;
class QTextDocument;

namespace vardel::platform::rtf {

// True when the bytes begin as rich text: "{\rtf" after an optional UTF-8 byte-order mark and
// blanks.
bool looksLikeRtf(QByteArrayView bytes);

// Reads rich text into the document at the cursor, inside one edit block. Never fails on bad
// data: what can be understood is read, the rest is skipped; groups nested deeper than
// kMaxDepth are read as if flat, numbers are clamped, and reading always ends. Bytes that do not
// begin as rich text are read as RTF body text all the same (callers test looksLikeRtf first).
constexpr int kMaxDepth = 200;
void read(QByteArrayView bytes, QTextCursor& cursor);

// What text without a format of its own looks like in the control.
struct Defaults {
  QColor color = Qt::black;
  int charset = 1;
  int pitch = 0;  // 0 default, 1 fixed, 2 variable
};

// Writes the document, or the characters [from, to) of it, as rich text: ASCII only, with
// Windows-1252 as \'hh and everything beyond as \uN?.
QByteArray write(const QTextDocument& document, const Defaults& defaults);
QByteArray write(const QTextDocument& document, const Defaults& defaults, int from, int to);

}  // namespace vardel::platform::rtf

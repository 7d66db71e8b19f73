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

namespace vardel::platform::richtext {
class LayoutBudget;
}

namespace vardel::platform::rtf {

// True when the bytes begin as rich text: "{\rtf" after an optional UTF-8 byte-order mark and
// blanks.
bool looksLikeRtf(QByteArrayView bytes);

// What reading found beside the text.
struct ReadResult {
  // Something was left out that writing the document cannot bring back: an embedded object,
  // a drawing, a picture of no kind we know.
  bool unkeptElements = false;
  // Reading stopped when the text went over the layout budget it was given.
  bool tooLong = false;
};

// Reads rich text into the document at the cursor, inside one edit block. Never fails on bad
// data: what can be understood is read, the rest is skipped; groups nested deeper than
// kMaxDepth are read as if flat, numbers are clamped, and reading always ends. Bytes that do not
// begin as rich text are read as RTF body text all the same (callers test looksLikeRtf first).
// Pictures (\pict) become images of the document that keep their bytes (see rtf_picture.h);
// decoded pictures take at most kMaxPictureBytes of memory, the others show a placeholder.
constexpr int kMaxDepth = 200;
// With a `budget`, every paragraph is added to it, and reading stops (tooLong) as soon as the
// budget is exceeded.
constexpr qint64 kMaxPictureBytes = 512LL * 1024 * 1024;
ReadResult read(QByteArrayView bytes, QTextCursor& cursor, richtext::LayoutBudget* budget = nullptr);

// What text without a format of its own looks like in the control.
struct Defaults {
  QColor color = Qt::black;
  int charset = 1;
  int pitch = 0;  // 0 default, 1 fixed, 2 variable
};

// Writes the document, or the characters [from, to) of it, as rich text: ASCII only, with
// Windows-1252 as \'hh and everything beyond as \uN followed by the closest Windows-1252
// character as \'hh (\'3f, a question mark, where there is none), for readers without Unicode.
// Images are written as pictures (rtf_picture.h).
QByteArray write(const QTextDocument& document, const Defaults& defaults);
QByteArray write(const QTextDocument& document, const Defaults& defaults, int from, int to);

}  // namespace vardel::platform::rtf

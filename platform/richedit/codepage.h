// Windows code pages of rich text: the code page of a font's character set, and decoding.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace vardel::platform::rtf {

// The Windows code page of a character set number (\fcharset), or 0 when the character set
// does not decide one (ANSI, default, symbol: the document's code page applies).
int codePageOfCharset(int charset);

// Appends `bytes` in Windows code page `codePage` to `out`. Sequences the code page does not
// define become U+FFFD; unknown code pages read as Windows-1252. Thread-safe.
void appendDecoded(QString& out, QByteArrayView bytes, int codePage);

}  // namespace vardel::platform::rtf

// Windows code pages of rich text: the code page of a font's character set, and decoding.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace vardel::platform::rtf {

// The Windows code page of a character set number (\fcharset), or 0 when the character set
// does not decide one (default, symbol: the document's code page applies). ANSI (0) is
// Windows-1252 wherever a font declares it, also in a document of another \ansicpg.
int codePageOfCharset(int charset);

// The Windows-1252 byte of the character, or of the closest character the code page has: the
// letter without its accents (ő is o), a stand-in for a few letters and signs (ł is l, the
// minus sign is '-'), the compatibility form (a full-width A is A); '?' where there is none.
// With `asciiOnly`, the closest ASCII character (é is e).
char closestWindows1252(QChar ch, bool asciiOnly = false);

// Appends `bytes` in Windows code page `codePage` to `out`. Sequences the code page does not
// define become U+FFFD; unknown code pages read as Windows-1252. Thread-safe.
void appendDecoded(QString& out, QByteArrayView bytes, int codePage);

}  // namespace vardel::platform::rtf

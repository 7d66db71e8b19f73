// Windows-1252 text, the code page of the discs, beside UTF-8.
#pragma once

#include <QByteArray>
#include <QString>

namespace vardel::platform {

// Decodes Windows-1252 bytes; the five bytes the code page leaves undefined map to the C1
// control characters of the same value, as Windows itself does.
QString decodeWindows1252(QByteArrayView bytes);

// Encodes text in Windows-1252; characters the code page lacks become '?'.
QByteArray encodeWindows1252(QStringView text);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(QByteArrayView bytes);

// Valid UTF-8 decodes as UTF-8, anything else as Windows-1252. Plain ASCII is both.
QString decodeWindowsText(QByteArrayView bytes);

}  // namespace vardel::platform

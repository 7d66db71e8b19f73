// How a control library's factory hands its failure text to the host.
#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vardel::controls {

// Writes `text` as zero-terminated UTF-8 into `error` (of `size` bytes), cut on a character
// boundary when it does not fit.
inline void writeFactoryError(char* error, std::size_t size, const QString& text) {
  if (!error || size == 0) return;
  const QByteArray bytes = text.toUtf8();
  std::size_t n = std::min(static_cast<std::size_t>(bytes.size()), size - 1);
  while (n > 0 && n < static_cast<std::size_t>(bytes.size()) && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80)
    --n;
  std::memcpy(error, bytes.constData(), n);
  error[n] = '\0';
}

}  // namespace vardel::controls

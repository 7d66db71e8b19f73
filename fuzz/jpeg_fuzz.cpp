// Fuzz target: JPEG decoding of arbitrary bytes.
#include "platform/jpeg.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QString error;
  const QImage image =
      vardel::platform::decodeJpeg(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
  if (!image.isNull() && image.format() != QImage::Format_RGB32) __builtin_trap();
  return 0;
}

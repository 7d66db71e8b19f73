// Fuzz target: addresses and names from content mapped to local files ("file:" URLs in every
// form met, the program's Windows-style names).
#include "platform/file_url.h"
#include "platform/paths.h"

#include <QDir>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

// Qt warns about every name holding a zero byte; the warnings are expected here and only slow
// the run down.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vardel::platform;
  // The first byte picks how the rest is read: an address as the viewer and the browser
  // report it (UTF-8), or as a Windows program wrote it (Latin-1 bytes).
  if (size == 0) return 0;
  const char* text = reinterpret_cast<const char*>(data + 1);
  const qsizetype length = qsizetype(size - 1);
  const QString input = data[0] & 1 ? QString::fromLatin1(text, length) : QString::fromUtf8(text, length);
  const QString base = data[0] & 2 ? QDir::tempPath() : QString();
  (void)isFileUrl(input);
  const FileUrl resolved = resolveFileUrl(input, base);
  if (!resolved.path.isEmpty()) (void)fileUrlOf(resolved.path);
  (void)resolveFileUrl(QStringLiteral("file:") + input, base);
  (void)nativePath(input);
  return 0;
}

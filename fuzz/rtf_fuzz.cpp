// Fuzz target: RTF bytes through our reader into a document, written back with our writer and
// read again. The second reading must give what the first one held: everything the reader
// keeps, the writer can say.
#include "platform/richedit/rtf.h"

#include <QByteArrayView>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vardel::platform;
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QTextDocument first;
  first.setUndoRedoEnabled(false);
  QTextCursor at(&first);
  rtf::read(bytes, at);
  const QByteArray written = rtf::write(first, rtf::Defaults{});
  for (const char c : written)
    if (static_cast<unsigned char>(c) >= 0x80) __builtin_trap();  // the writer emits ASCII only
  QTextDocument second;
  second.setUndoRedoEnabled(false);
  QTextCursor again(&second);
  rtf::read(written, again);
  if (second.toPlainText() != first.toPlainText()) __builtin_trap();
  if (rtf::write(second, rtf::Defaults{}) != written) __builtin_trap();
  return 0;
}

// Fuzz target: text that is not rich text, as the editor takes it: a file opened (plain
// paragraphs, UTF-8 or Windows-1252), and the article's text imported into lines that must fit
// the control.
#include "editor/import_text.h"
#include "platform/richedit/richedit.h"

#include <QApplication>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (bytes.startsWith("{\\rtf")) return 0;  // the rich-text target's input
  const QString text = QString::fromUtf8(bytes);

  const QStringList lines = vardel::splitImportedLines(text);
  for (const QString& line : lines) {
    if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')) || line.contains(QChar(0)))
      __builtin_trap();
  }
  const qsizetype limit = text.size() / 2;
  const qsizetype fit = vardel::linesThatFit(lines, 1, limit);  // into an empty control: its final mark
  if (fit < 0 || fit > lines.size()) __builtin_trap();
  qsizetype used = 0;  // the lines that fit and a paragraph mark after each
  for (qsizetype i = 0; i < fit; ++i) used += lines.at(i).size() + 1;
  if (used > limit) __builtin_trap();
  if (!vardel::importRequestAddress(text).startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) __builtin_trap();

  vardel::platform::TRichEdit edit;
  try {
    edit.loadFromBytes(bytes);
  } catch (const std::runtime_error&) {
    return 0;  // refused: too long for the control
  }
  if (edit.toPlainText().contains(QChar(0))) __builtin_trap();
  return 0;
}

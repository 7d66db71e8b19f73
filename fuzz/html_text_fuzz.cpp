// Fuzz target: HTML bytes to readable text, the way the viewer reads a document (character set
// detection, decoding, the nesting estimate, parsing, text), plus the <body> attribute scan of
// the display.
#include "controls/html/html_nesting.h"
#include "controls/html/html_source.h"
#include "controls/html/html_text.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const vardel::controls::DecodedHtml decoded = vardel::controls::decodeHtml(bytes);
  // Counting stops at the limit and nowhere else.
  const int depth = vardel::controls::nestingDepth(decoded.text, 1 << 20);
  if (vardel::controls::nestingDepth(decoded.text, 8) != std::min(depth, 9)) __builtin_trap();
  (void)vardel::controls::bodyAttributes(decoded.text);
  // The viewer parses only what the estimate lets through; that must parse quickly (a slow
  // input is a finding, see -timeout).
  if (depth <= vardel::controls::kMaxNestingDepth) {
    const QString text = vardel::controls::htmlToText(decoded.text);
    // The text never carries a NUL, which would cut the editor's copy short.
    if (text.contains(QChar(0))) __builtin_trap();
  }
  // The raw bytes as UTF-8, invalid sequences included, straight into the parser.
  if (vardel::controls::nestingDepth(QString::fromUtf8(bytes)) <= vardel::controls::kMaxNestingDepth)
    (void)vardel::controls::htmlToText(bytes);
  return 0;
}

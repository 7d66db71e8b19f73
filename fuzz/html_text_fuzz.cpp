// Fuzz target: HTML bytes to readable text, the way the viewer reads a document (character set
// detection, decoding, the nesting estimate, parsing, text), plus the <body> attribute scan of
// the display.
#include "platform/html/html_nesting.h"
#include "platform/html/html_source.h"
#include "platform/html/html_text.h"

#include <QByteArrayView>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const vardel::platform::html::DecodedHtml decoded = vardel::platform::html::decodeHtml(bytes);
  // Counting stops at the limit and nowhere else.
  const int depth = vardel::platform::html::nestingDepth(decoded.text, 1 << 20);
  if (vardel::platform::html::nestingDepth(decoded.text, 8) != std::min(depth, 9)) __builtin_trap();
  (void)vardel::platform::html::bodyAttributes(decoded.text);
  // The viewer parses only what the estimate lets through; that must parse quickly (a slow
  // input is a finding, see -timeout).
  if (depth <= vardel::platform::html::kMaxNestingDepth) {
    const QString text = vardel::platform::html::htmlToText(decoded.text);
    // The text never carries a NUL, which would cut the editor's copy short.
    if (text.contains(QChar(0))) __builtin_trap();
  }
  // The raw bytes as UTF-8, invalid sequences included, straight into the parser.
  if (vardel::platform::html::nestingDepth(QString::fromUtf8(bytes)) <= vardel::platform::html::kMaxNestingDepth)
    (void)vardel::platform::html::htmlToText(bytes);
  return 0;
}

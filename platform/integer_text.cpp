// The two sets of rules for whole numbers in text, in one reader.
#include "platform/integer_text.h"

#include <limits>

namespace vardel::platform {
namespace {

int hexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

// Takes a leading "0x"/"0X" off `text`.
bool take0x(QStringView& text) {
  if (text.size() < 2 || text[0] != u'0' || (text[1] != u'x' && text[1] != u'X')) return false;
  text = text.sliced(2);
  return true;
}

}  // namespace

std::optional<std::int32_t> parseInteger(QStringView text, IntegerRules rules) {
  const bool typed = rules == IntegerRules::Typed;
  if (typed) {
    while (!text.isEmpty() && (text[0] == u' ' || text[0] == u'\t')) text = text.sliced(1);
  }
  bool negative = false;
  bool hex = !typed && take0x(text);
  if (!hex) {
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
      negative = text[0] == u'-';
      text = text.sliced(1);
    }
    if (!text.isEmpty() && text[0] == u'$') {
      hex = true;
      text = text.sliced(1);
    } else {
      hex = typed && take0x(text);
    }
  }
  if (text.isEmpty()) return std::nullopt;

  const bool wraps = hex && !typed;
  const std::uint64_t limit =
      wraps ? std::uint64_t{0xFFFFFFFFu} : std::uint64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::uint64_t magnitude = 0;
  for (const QChar c : text) {
    const int digit = hexDigit(c);
    if (digit < 0 || (!hex && digit > 9)) return std::nullopt;
    magnitude = magnitude * (hex ? 16 : 10) + unsigned(digit);
    if (magnitude > limit) return std::nullopt;
  }
  if (wraps) {
    const auto bits = std::uint32_t(magnitude);
    return std::int32_t(negative ? 0u - bits : bits);
  }
  const std::int64_t value = negative ? -std::int64_t(magnitude) : std::int64_t(magnitude);
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return std::int32_t(value);
}

}  // namespace vardel::platform

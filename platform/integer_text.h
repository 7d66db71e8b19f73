// Whole numbers written as text, read by the rules of where the text comes from.
#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace vardel::platform {

enum class IntegerRules {
  // A number a person types (the runtime's conversion): leading blanks, an optional sign, then
  // decimal digits, or "$" or "0x"/"0X" and hexadecimal digits. The magnitude must fit the
  // signed 32-bit range, hexadecimal too ("$80000000" fails, "-$80000000" is the minimum).
  Typed,
  // An INI value: no blanks; "0x"/"0X" and hexadecimal digits (never after a sign), else an
  // optional sign and decimal digits or "$" and hexadecimal digits. Hexadecimal values of up to
  // eight digits wrap into the signed range ("$FFFFFFFF" is -1); decimal ones must fit.
  Ini,
};

// The number when the whole text is one by `rules`, else nothing.
std::optional<std::int32_t> parseInteger(QStringView text, IntegerRules rules);

}  // namespace vardel::platform

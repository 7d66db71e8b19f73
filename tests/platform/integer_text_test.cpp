// Whole numbers in text: where the typed and the INI rules part, and what neither takes.
#include "platform/integer_text.h"

#include <QString>

#include <gtest/gtest.h>

#include <limits>

namespace vardel::platform {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct Case {
  const char16_t* text;
  std::optional<std::int32_t> typed, ini;
};

TEST(IntegerText, TypedAndIniRulesPartOnBlanksPrefixesAndWrapping) {
  const Case cases[] = {
      {u"12", 12, 12},
      {u"-12", -12, -12},
      {u"+7", 7, 7},
      {u"  12", 12, std::nullopt},  // blanks are typed, never stored
      {u"\t-3", -3, std::nullopt},
      {u"0x1f", 31, 31},
      {u"0X1F", 31, 31},
      {u"-0x10", -16, std::nullopt},  // an INI "0x" comes before any sign
      {u"$10", 16, 16},
      {u"-$10", -16, -16},
      {u"$FFFFFFFF", std::nullopt, -1},  // INI hexadecimal wraps, typed must fit
      {u"$80000000", std::nullopt, kMin},
      {u"-$80000000", kMin, kMin},
      {u"2147483647", kMax, kMax},
      {u"-2147483648", kMin, kMin},
      {u"2147483648", std::nullopt, std::nullopt},
      {u"$100000000", std::nullopt, std::nullopt},
      {u"", std::nullopt, std::nullopt},
      {u"-", std::nullopt, std::nullopt},
      {u"0x", std::nullopt, std::nullopt},
      {u"$", std::nullopt, std::nullopt},
      {u"12 ", std::nullopt, std::nullopt},
      {u"1a", std::nullopt, std::nullopt},
      {u"$1g", std::nullopt, std::nullopt},
      {u"\uff11", std::nullopt, std::nullopt},  // a full-width digit is no digit here
      {u"99999999999999999999", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const QStringView text(c.text);
    EXPECT_EQ(parseInteger(text, IntegerRules::Typed), c.typed) << text.toString().toStdString();
    EXPECT_EQ(parseInteger(text, IntegerRules::Ini), c.ini) << text.toString().toStdString();
  }
}

}  // namespace
}  // namespace vardel::platform

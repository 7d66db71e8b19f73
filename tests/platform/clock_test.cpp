// The clock's time format comes from the locale, not from Qt.
#include "platform/clock.h"

#include <QRegularExpression>

#include <clocale>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

TEST(Clock, UsesTheLocalesOwnTimeFormat) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(longTimeFormat(), QStringLiteral("%H:%M:%S"));
  std::tm tm{};
  tm.tm_year = 126;
  tm.tm_mon = 11;
  tm.tm_mday = 8;
  tm.tm_hour = 9;
  tm.tm_min = 5;
  tm.tm_sec = 7;
  tm.tm_isdst = -1;
  EXPECT_EQ(formatLongTime(std::mktime(&tm)), QStringLiteral("09:05:07"));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(currentLongTime()).hasMatch());
  // No time zone, unlike Qt's long format.
  EXPECT_FALSE(currentLongTime().contains(QLatin1Char(' ')));
}

TEST(Clock, FollowsATwelveHourLocaleWhenOneIsInstalled) {
  if (!std::setlocale(LC_TIME, "en_US.UTF-8")) GTEST_SKIP() << "en_US locale not installed";
  EXPECT_TRUE(longTimeFormat().contains(QStringLiteral("%p")) || longTimeFormat().contains(QStringLiteral("%r")));
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace vardel::platform

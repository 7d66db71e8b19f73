// Time formatting through the C library's locale data.
#include "platform/clock.h"

#include <langinfo.h>

#include <array>

namespace vardel::platform {

QString longTimeFormat() { return QString::fromLocal8Bit(::nl_langinfo(T_FMT)); }

QString formatLongTime(std::time_t when) {
  std::tm local{};
  ::localtime_r(&when, &local);
  const char* format = ::nl_langinfo(T_FMT);
  if (!format || !*format) format = "%H:%M:%S";
  std::array<char, 128> buffer{};
  const size_t n = std::strftime(buffer.data(), buffer.size(), format, &local);
  return QString::fromLocal8Bit(buffer.data(), qsizetype(n));
}

QString currentLongTime() { return formatLongTime(std::time(nullptr)); }

}  // namespace vardel::platform

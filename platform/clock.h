// The system's long time format, as the clock of the map shows it.
#pragma once

#include <QString>

#include <ctime>

namespace vardel::platform {

// The locale's own time format (nl_langinfo(T_FMT), such as "%H:%M:%S" or "%I:%M:%S %p").
QString longTimeFormat();

// `when` (local time) formatted with the locale's long time format.
QString formatLongTime(std::time_t when);

// The current local time in the locale's long time format.
QString currentLongTime();

}  // namespace vardel::platform

// The almanac's numbers for 1999 at Vardel: sunrise and sunset, the moon's phases and the
// high waters, computed (not copied from any table) so the long article is true to its sky.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

namespace vardel::content {

// Vardel, capital of the island, in degrees (north and east positive).
inline constexpr double kVardelLatitude = 39.62;
inline constexpr double kVardelLongitude = -13.18;

// Civil time of the island: UTC, one hour more in summer (from the last Sunday of March to
// the last Sunday of October, as in western Europe).
int utcOffsetHours(const QDate& date);

// Sunrise and sunset on `date`, in minutes after local midnight (standard refraction).
struct SunTimes {
  int rise;
  int set;
};
SunTimes sunTimes(const QDate& date, double latitude, double longitude);

// Principal moon phases, as Julian Ephemeris Days, for the lunation `k` counted from the new
// moon of 6 January 2000 (k = 0); quarter = 0 new, 1 first quarter, 2 full, 3 last quarter.
double moonPhaseJde(int k, int quarter);

// Converts a Julian Day to a UTC date and time.
QDateTime julianDayToUtc(double jd);

// Age of the moon in days since the last new moon, at local noon of `date`.
double moonAge(const QDate& date);

// The month table of the almanac (old-web HTML, one row per day), `month` 1..12 of 1999.
QString almanacMonthTable(int month);

}  // namespace vardel::content

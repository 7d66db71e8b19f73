// Sun, moon and tide computations for the almanac, and its month tables.
#include "content/generator/almanac.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <map>

namespace vardel::content {
namespace {

constexpr double kPi = 3.14159265358979323846;
double rad(double deg) { return deg * kPi / 180; }
double deg(double r) { return r * 180 / kPi; }

QDate lastSunday(int year, int month) {
  QDate d(year, month, QDate(year, month, 1).daysInMonth());
  while (d.dayOfWeek() != 7) d = d.addDays(-1);
  return d;
}

// Mean synodic month in days.
constexpr double kSynodicMonth = 29.530588861;

// The island's own feasts, by month and day, for the almanac's last column.
const std::map<std::pair<int, int>, const char*>& feasts() {
  static const std::map<std::pair<int, int>, const char*> table = {
      {{1, 1}, "Año Nuevo"},
      {{1, 6}, "Reyes: cabalgata en Vardel"},
      {{1, 20}, "San Sebastián, patrón de Tejares"},
      {{2, 2}, "Candelaria: hogueras en Nieblas"},
      {{2, 16}, "Martes de Carnaval"},
      {{3, 19}, "San José: feria del mueble en Calaverde"},
      {{4, 1}, "Jueves Santo"},
      {{4, 2}, "Viernes Santo: procesión del silencio en Santa Oria"},
      {{4, 23}, "Día del libro: mercado de libros en Las Postas"},
      {{5, 1}, "Fiesta del trabajo"},
      {{5, 15}, "San Isidro: romería a Monteluz"},
      {{6, 3}, "Corpus: alfombras de flores en Brezales"},
      {{6, 23}, "Noche de San Juan: hogueras en todas las playas"},
      {{6, 29}, "San Pedro: bendición de barcas en Puerto Saliña"},
      {{7, 16}, "Virgen del Carmen: procesión marinera"},
      {{7, 25}, "Santiago: feria de Torrenegra"},
      {{8, 7}, "Festival de la Canción de Cantalba (primer día)"},
      {{8, 8}, "Festival de la Canción de Cantalba (final)"},
      {{8, 15}, "La Asunción: fiesta mayor de Vardel"},
      {{8, 11}, "Eclipse parcial de sol a media mañana"},
      {{8, 12}, "Lluvia de estrellas: noche abierta en el observatorio"},
      {{9, 8}, "Día de Ondravia"},
      {{9, 25}, "Vendimia en Olivares"},
      {{10, 9}, "Gran Regata de Otoño (salida)"},
      {{10, 10}, "Gran Regata de Otoño (llegada a Calaverde)"},
      {{10, 12}, "Fiesta nacional"},
      {{11, 1}, "Todos los Santos: castañas en Campo Alto"},
      {{11, 11}, "San Martín: matanza y feria de Tejares"},
      {{12, 8}, "La Inmaculada"},
      {{12, 13}, "Santa Lucía: luminarias en el faro de Punta Brava"},
      {{12, 24}, "Nochebuena"},
      {{12, 25}, "Navidad"},
      {{12, 31}, "Nochevieja: campanadas en la plaza de Vardel"},
  };
  return table;
}

QString clock(int minutes) {
  minutes = ((minutes % 1440) + 1440) % 1440;
  return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

const char* const kWeekdays[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};

}  // namespace

int utcOffsetHours(const QDate& date) {
  const bool summer = date >= lastSunday(date.year(), 3) && date < lastSunday(date.year(), 10);
  return summer ? 1 : 0;
}

SunTimes sunTimes(const QDate& date, double latitude, double longitude) {
  // NOAA's simplified solar position: fractional year, equation of time, declination.
  const int n = date.dayOfYear();
  const double gamma = 2 * kPi / (QDate::isLeapYear(date.year()) ? 366 : 365) * (n - 1);
  const double eqTime = 229.18 * (0.000075 + 0.001868 * std::cos(gamma) - 0.032077 * std::sin(gamma) -
                                  0.014615 * std::cos(2 * gamma) - 0.040849 * std::sin(2 * gamma));
  const double decl = 0.006918 - 0.399912 * std::cos(gamma) + 0.070257 * std::sin(gamma) -
                      0.006758 * std::cos(2 * gamma) + 0.000907 * std::sin(2 * gamma) - 0.002697 * std::cos(3 * gamma) +
                      0.00148 * std::sin(3 * gamma);
  const double cosH =
      std::cos(rad(90.833)) / (std::cos(rad(latitude)) * std::cos(decl)) - std::tan(rad(latitude)) * std::tan(decl);
  const double h = deg(std::acos(std::clamp(cosH, -1.0, 1.0)));
  const double noonUtc = 720 - 4 * longitude - eqTime;
  const int offset = utcOffsetHours(date) * 60;
  return {int(std::lround(noonUtc - 4 * h + offset)), int(std::lround(noonUtc + 4 * h + offset))};
}

double moonPhaseJde(int k, int quarter) {
  // Meeus, Astronomical Algorithms, chapter 49, with the main periodic terms.
  const double kk = k + quarter * 0.25;
  const double t = kk / 1236.85;
  double jde = 2451550.09766 + kSynodicMonth * kk + 0.00015437 * t * t;
  const double e = 1 - 0.002516 * t;
  const double m = rad(2.5534 + 29.10535670 * kk);
  const double mp = rad(201.5643 + 385.81693528 * kk);
  const double f = rad(160.7108 + 390.67050284 * kk);
  const double om = rad(124.7746 - 1.56375588 * kk);
  if (quarter == 0 || quarter == 2) {
    const bool full = quarter == 2;
    jde += (full ? -0.40614 : -0.40720) * std::sin(mp) + (full ? 0.17302 : 0.17241) * e * std::sin(m) +
           (full ? 0.01614 : 0.01608) * std::sin(2 * mp) + (full ? 0.01043 : 0.01039) * std::sin(2 * f) +
           (full ? 0.00734 : 0.00739) * e * std::sin(mp - m) - (full ? 0.00515 : 0.00514) * e * std::sin(mp + m) +
           0.00209 * e * e * std::sin(2 * m) - 0.00111 * std::sin(mp - 2 * f) - 0.00057 * std::sin(mp + 2 * f) +
           0.00056 * e * std::sin(2 * mp + m) - 0.00042 * std::sin(3 * mp) + 0.00042 * e * std::sin(m + 2 * f) +
           0.00038 * e * std::sin(m - 2 * f) - 0.00024 * e * std::sin(2 * mp - m) - 0.00017 * std::sin(om);
  } else {
    jde += -0.62801 * std::sin(mp) + 0.17172 * e * std::sin(m) - 0.01183 * e * std::sin(mp + m) +
           0.00862 * std::sin(2 * mp) + 0.00804 * std::sin(2 * f) + 0.00454 * e * std::sin(mp - m) +
           0.00204 * e * e * std::sin(2 * m) - 0.0018 * std::sin(mp - 2 * f) - 0.0007 * std::sin(mp + 2 * f) -
           0.0004 * std::sin(3 * mp) - 0.00034 * e * std::sin(2 * mp - m);
    const double w = 0.00306 - 0.00038 * e * std::cos(m) + 0.00026 * std::cos(mp) - 0.00002 * std::cos(mp - m) +
                     0.00002 * std::cos(mp + m) + 0.00002 * std::cos(2 * f);
    jde += quarter == 1 ? w : -w;
  }
  return jde;
}

QDateTime julianDayToUtc(double jd) {
  // Julian Day 2440587.5 is 1970-01-01 00:00 UTC. Ephemeris time leads UTC by about a
  // minute in 1999, far below the almanac's precision.
  const double ms = (jd - 2440587.5) * 86400000.0;
  return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(ms)), QTimeZone::utc());
}

double moonAge(const QDate& date) {
  const QDateTime noon(date, QTime(12, 0), QTimeZone::utc());
  const double jd = 2440587.5 + noon.toMSecsSinceEpoch() / 86400000.0;
  int k = int(std::floor((jd - 2451550.09766) / kSynodicMonth));
  double newMoon = moonPhaseJde(k, 0);
  if (newMoon > jd) newMoon = moonPhaseJde(--k, 0);
  if (moonPhaseJde(k + 1, 0) <= jd) newMoon = moonPhaseJde(k + 1, 0);
  return jd - newMoon;
}

QString almanacMonthTable(int month) {
  // Phase events of this month, by local day.
  std::map<int, QString> phases;
  const char* const names[] = {"Luna nueva", "Cuarto creciente", "Luna llena", "Cuarto menguante"};
  for (int k = -14; k <= 0; ++k) {
    for (int q = 0; q < 4; ++q) {
      QDateTime when = julianDayToUtc(moonPhaseJde(k, q));
      when = when.addSecs(3600 * utcOffsetHours(when.date()));
      if (when.date().year() == 1999 && when.date().month() == month) {
        phases[when.date().day()] = QStringLiteral("%1 a las %2")
                                        .arg(QString::fromUtf8(names[q]), when.time().toString(QStringLiteral("H:mm")));
      }
    }
  }
  QString html;
  html += QStringLiteral(
      "<table width=\"100%\" border=\"1\" cellpadding=\"3\" cellspacing=\"0\" bordercolor=\"#C8B68A\">\n"
      "<tr bgcolor=\"#1E2864\">"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Día</font></th>"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Sale el sol</font></th>"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Se pone</font></th>"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Horas de luz</font></th>"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Edad de la luna</font></th>"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Pleamares en Vardel</font></th>"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Coef.</font></th>"
      "<th><font face=\"Arial\" size=\"2\" color=\"#FFFFFF\">Luna y fiestas</font></th></tr>\n");
  const int days = QDate(1999, month, 1).daysInMonth();
  for (int day = 1; day <= days; ++day) {
    const QDate date(1999, month, day);
    const SunTimes sun = sunTimes(date, kVardelLatitude, kVardelLongitude);
    const double age = moonAge(date);
    // High water follows the moon's passage by the port's interval of 1 h 35 min; the moon
    // passes about 50 minutes later each day, and the range swells at new and full moon.
    const int transit = int(std::lround(12 * 60 + age * (24 * 60 / kSynodicMonth))) % 1440;
    const int first = (transit + 95) % 720;
    const int coefficient = int(std::lround(70 + 35 * std::cos(4 * kPi * age / kSynodicMonth)));
    const int light = sun.set - sun.rise;
    QString notes;
    if (phases.count(day)) notes = QStringLiteral("<b>") + phases[day] + QStringLiteral("</b>");
    const auto feast = feasts().find({month, day});
    if (feast != feasts().end()) {
      if (!notes.isEmpty()) notes += QStringLiteral("<br>");
      notes += QString::fromUtf8(feast->second);
    }
    if (notes.isEmpty()) notes = QStringLiteral("&nbsp;");
    const bool sunday = date.dayOfWeek() == 7;
    html += QStringLiteral("<tr bgcolor=\"%1\">")
                .arg(sunday ? QStringLiteral("#F4E4C0")
                            : (day % 2 ? QStringLiteral("#FFFDF6") : QStringLiteral("#FAF4E6")));
    const auto cell = [&](const QString& text, bool left = false) {
      html += QStringLiteral("<td align=\"%1\"><font face=\"Arial\" size=\"2\"%2>%3</font></td>")
                  .arg(left ? QStringLiteral("left") : QStringLiteral("center"),
                       sunday ? QStringLiteral(" color=\"#801A26\"") : QString(), text);
    };
    cell(QStringLiteral("%1 %2").arg(QString::fromUtf8(kWeekdays[date.dayOfWeek() - 1])).arg(day), true);
    cell(clock(sun.rise));
    cell(clock(sun.set));
    cell(QStringLiteral("%1 h %2 min").arg(light / 60).arg(light % 60));
    cell(QStringLiteral("%1 días").arg(int(age)));
    cell(QStringLiteral("%1 y %2").arg(clock(first + utcOffsetHours(date) * 60),
                                       clock(first + 745 + utcOffsetHours(date) * 60)));
    cell(QString::number(coefficient));
    cell(notes, true);
    html += QStringLiteral("</tr>\n");
  }
  html += QStringLiteral("</table>\n");
  return html;
}

}  // namespace vardel::content

// The map's cities as the configuration file describes them.
#pragma once

#include "platform/inifile.h"

#include <QString>

#include <cstdint>

namespace vardel {

// The configuration file, in the program folder.
inline constexpr const char* kConfigFile = "Configuracion.ini";

// The number of cities of the map: the low eight bits of "NCiudades" in "Mapa" (default 1).
std::uint8_t readCityCount(const platform::IniFile& ini);

// Whether city `n` (1 to 15) exists for a count read by readCityCount: city 1 always,
// city n when the count is greater than n - 1.
bool cityExists(std::uint8_t count, int n);

// One city's settings, read in the map's order: width and height, hint, left and top, file.
struct CityConfig {
  int width = 50;
  int height = 50;
  QString hint = QStringLiteral(" ");
  int left = 0;
  int top = 0;
  QString file = QStringLiteral(" ");
};

// The settings of the city whose number text is `number` (the characters after the "c" of the
// hotspot's name, at most two).
CityConfig readCity(const platform::IniFile& ini, const QString& number);

}  // namespace vardel

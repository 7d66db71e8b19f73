// Reading the cities from the configuration file.
#include "shell/cities.h"

namespace vardel {

std::uint8_t readCityCount(const platform::IniFile& ini) {
  return static_cast<std::uint8_t>(ini.readInteger(QStringLiteral("Mapa"), QStringLiteral("NCiudades"), 1) & 0xFF);
}

bool cityExists(std::uint8_t count, int n) { return n == 1 || (n >= 2 && n <= 15 && count > n - 1); }

CityConfig readCity(const platform::IniFile& ini, const QString& number) {
  const QString key = QStringLiteral("Ciudad") + number;
  CityConfig c;
  c.width = ini.readInteger(QStringLiteral("Tamanios"), key + QStringLiteral("Ancho"), 50);
  c.height = ini.readInteger(QStringLiteral("Tamanios"), key + QStringLiteral("Alto"), 50);
  c.hint = ini.readString(QStringLiteral("Hints"), key, QStringLiteral(" "));
  c.left = ini.readInteger(QStringLiteral("Posiciones"), key + QStringLiteral("X"), 0);
  c.top = ini.readInteger(QStringLiteral("Posiciones"), key + QStringLiteral("Y"), 0);
  c.file = ini.readString(QStringLiteral("Ficheros"), key, QStringLiteral(" "));
  return c;
}

}  // namespace vardel

// Fuzz target: INI parsing and every kind of value read from it.
#include "platform/inifile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using vardel::platform::IniFile;
  const IniFile ini = IniFile::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  for (int n = 1; n <= 15; ++n) {
    const QString c = QStringLiteral("Ciudad") + QString::number(n);
    (void)ini.readInteger(QStringLiteral("Tamanios"), c + QStringLiteral("Ancho"), 50);
    (void)ini.readString(QStringLiteral("Hints"), c, QStringLiteral(" "));
    (void)ini.readString(QStringLiteral("Ficheros"), c, QStringLiteral(" "));
  }
  const int count = ini.readInteger(QStringLiteral("Mapa"), QStringLiteral("NCiudades"), 1);
  (void)count;
  // The value conversion on its own, with the raw bytes as text.
  (void)vardel::platform::parseIniInteger(QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size)), 7);
  return 0;
}

// Writer of Configuracion.ini.
#include "content/generator/ini.h"

#include "platform/textcodec.h"

#include <stdexcept>

namespace vardel::content {
namespace {

// Encodes one line; a character that the code page lacks would silently become '?', which
// would spoil a hint on every machine, so it stops the build instead.
QByteArray line(const QString& text) {
  const QByteArray bytes = platform::encodeWindows1252(text);
  if (platform::decodeWindows1252(bytes) != text) {
    throw std::runtime_error("Configuracion.ini: not representable in Windows-1252: " + text.toStdString());
  }
  return bytes + "\r\n";
}

}  // namespace

QByteArray configurationIni(const std::vector<City>& cities) {
  QByteArray out;
  out += line(QStringLiteral("[Mapa]"));
  out += line(QStringLiteral("NCiudades=%1").arg(cities.size()));
  out += line(QString());
  out += line(QStringLiteral("[Tamanios]"));
  for (const City& c : cities) {
    out += line(QStringLiteral("Ciudad%1Ancho=%2").arg(c.number).arg(c.hotspot.width()));
    out += line(QStringLiteral("Ciudad%1Alto=%2").arg(c.number).arg(c.hotspot.height()));
  }
  out += line(QString());
  out += line(QStringLiteral("[Hints]"));
  for (const City& c : cities) out += line(QStringLiteral("Ciudad%1=%2").arg(c.number).arg(c.hint));
  out += line(QString());
  out += line(QStringLiteral("[Posiciones]"));
  for (const City& c : cities) {
    out += line(QStringLiteral("Ciudad%1X=%2").arg(c.number).arg(c.hotspot.left()));
    out += line(QStringLiteral("Ciudad%1Y=%2").arg(c.number).arg(c.hotspot.top()));
  }
  out += line(QString());
  out += line(QStringLiteral("[Ficheros]"));
  for (const City& c : cities) out += line(QStringLiteral("Ciudad%1=%2").arg(c.number).arg(c.file));
  return out;
}

}  // namespace vardel::content

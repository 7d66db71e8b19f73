// Configuracion.ini as a Windows program writes it: CRLF line ends, Windows-1252 text.
#pragma once

#include "content/generator/cities.h"

#include <QByteArray>

#include <vector>

namespace vardel::content {

// The file's bytes for `cities` (sections Mapa, Tamanios, Hints, Posiciones, Ficheros).
// Throws std::runtime_error when a hint or file name has a character Windows-1252 lacks.
QByteArray configurationIni(const std::vector<City>& cities);

}  // namespace vardel::content

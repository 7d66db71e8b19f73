// The fifteen cities of the island: where the map draws them, their hotspot, hint, section and
// article. Configuracion.ini, the map pictures and the section pictures all come from this table.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

#include <vector>

namespace vardel::content {

// How a city is drawn on the map.
enum class Settlement { Capital, Port, Town, Village, Lighthouse, Observatory, Monastery };

struct City {
  int number;    // 1..15, the N of "CiudadN" and of picture sN
  QString name;  // the name painted on the map
  Settlement kind;
  QRect hotspot;    // map pixels; the drawing and its name lie inside it
  QString hint;     // shown by the map while the pointer is over the city
  QString section;  // section title, painted on the section picture
  QString file;     // article file name inside Ficheros
  QColor accent;    // the section's colour in its picture and article
};

// The cities in number order.
const std::vector<City>& cities();

// Fixed hotspots of the map window (map pixels), each over a button painted on p3 and p8.
struct MapButton {
  const char* id;
  QRect rect;
};
inline constexpr int kMapButtonCount = 7;
const MapButton* mapButtons();  // kMapButtonCount entries

// Areas of the map where the program puts text or pictures of its own.
inline const QRect kHintLabelRect{5, 132, 124, 221};
inline const QPoint kClockPos{43, 443};
inline const QRect kClockRect{38, 438, 80, 24};  // the clock label's own size, with room to spare
inline constexpr int kDisplayLeft = 140;         // the article display covers x >= 140 at level 2
inline const QPoint kSectionPicturePos{4, 121};

}  // namespace vardel::content

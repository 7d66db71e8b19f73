// The map pictures: the final map p3 (day), the presentation's map p8 (night) and the small
// map p5 that leads back from an article.
#pragma once

#include "content/generator/terrain.h"

#include <QImage>

namespace vardel::content {

enum class Mood { Day, Night };

// 800x600: relief, rivers, roads, the fifteen cities, the column of the program's labels and
// the map's buttons painted under their hotspots.
QImage renderMap(const Terrain& terrain, Mood mood);

// The island alone, about 136 pixels wide, framed, with the words that say it leads back.
QImage renderSmallMap(const Terrain& terrain);

// The relief and sea only (no overlays), at full map size.
QImage renderRelief(const Terrain& terrain, Mood mood);

}  // namespace vardel::content

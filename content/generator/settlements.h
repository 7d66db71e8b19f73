// The little town drawings of the map: houses, towers, the capital's walls, the lighthouse and
// the observatory, each with the city's name, all inside the city's hotspot.
#pragma once

#include "content/generator/cities.h"

#include <QPainter>

namespace vardel::content {

// Draws `city` inside its hotspot; at night the windows are lit and the name is pale.
void drawSettlement(QPainter& p, const City& city, bool night);

}  // namespace vardel::content

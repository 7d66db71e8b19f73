// A relative include of the map, one folder down.
#pragma once
  #  include <../../shell/map_buttons.h>

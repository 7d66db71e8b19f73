// A component reaching up to a window.
#include "components/slider.h"
#include "cdplayer/cd_form.h"

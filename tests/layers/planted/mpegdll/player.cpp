// The decoder library reaching into the media control interface.
#include "mpegdll/player.h"
#include "platform/sound/output.h"
#include "platform/mci/drive.h"

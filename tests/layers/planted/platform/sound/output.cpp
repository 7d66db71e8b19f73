// The sound output reaching up into the decoder library it serves.
#include "platform/sound/output.h"
#include "mpegdll/mpegdll.h"

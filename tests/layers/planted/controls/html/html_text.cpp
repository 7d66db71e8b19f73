// Look-alikes: a relative include that stays within what the row allows, a system header.
#include "../control_abi.h"
#include <sys/stat.h>
#include "platform/textcodec.h"

// The host reaching into the library it loads instead of its interface.
#include "controls/host/html_control.h"
#include "controls/control_abi.h"
#include "controls/html/html_viewer.h"

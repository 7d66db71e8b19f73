// The content generator reaching into the window framework.
#include "platform/inifile.h"
#include "ui/colors.h"

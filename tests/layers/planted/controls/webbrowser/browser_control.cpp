// One control library reaching into another.
#include "controls/webbrowser/browser_control.h"
#include "controls/html/html_tags.h"

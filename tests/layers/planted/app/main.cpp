// A program reaching into the browser control library instead of loading it.
#include "shell/startup.h"
#include "controls/webbrowser/browser_control.h"

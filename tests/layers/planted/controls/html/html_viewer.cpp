// The viewer library (a binary of its own) reaching into the window framework.
#include "controls/html/html_viewer.h"
#include "ui/form.h"

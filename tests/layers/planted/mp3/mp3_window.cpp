// One window reaching into another.
#include "mp3/mp3_form.h"
#include "editor/editor_form.h"

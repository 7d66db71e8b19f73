// A window that reaches into the map: the check must refuse it.
#include "editor/editor_form.h"
#include "shell/frm_mapa.h"

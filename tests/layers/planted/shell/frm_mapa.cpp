// The map reaching past the control host into the viewer library itself.
#include "shell/frm_mapa.h"
#include "editor/editor_form.h"
#include "controls/html/html_viewer.h"

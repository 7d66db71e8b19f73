// Names that only look alike are not includes of shell/.
#include "mp3/myshell/player.h"
// #include "shell/frm_mapa.h"
#include "platform/shell_folder.h"

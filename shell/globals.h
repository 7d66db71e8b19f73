// The program's window references, set at start-up and by the map's buttons.
#pragma once

#include <QPointer>

namespace vardel {

class TfrmMapa;
class TfrmPresenta;
class TfrmEditor;
class TfrmLector;
class TfrmMP3;

// The map window, the main window: the program lives as long as it does.
extern QPointer<TfrmMapa> frmMapa;
// The presentation window, created right after the map.
extern QPointer<TfrmPresenta> frmPresenta;
// The windows the map's buttons create, each owned by the map. A window that freed itself
// (a closed editor, a CD player without a drive) reads as empty, so nothing reaches it.
// The newest editor: every click on the editor button creates another one.
extern QPointer<TfrmEditor> frmEditor;
// The CD player and the MP3 player, created once and then shown and hidden.
extern QPointer<TfrmLector> frmLector;
extern QPointer<TfrmMP3> frmMP3;

}  // namespace vardel

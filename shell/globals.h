// The program's window references, set at start-up and by the map's buttons.
#pragma once

#include <QPointer>

namespace vardel {

class TfrmMapa;
class TfrmPresenta;

// The map window, the main window: the program lives as long as it does.
extern QPointer<TfrmMapa> frmMapa;
// The presentation window, created right after the map.
extern QPointer<TfrmPresenta> frmPresenta;

}  // namespace vardel

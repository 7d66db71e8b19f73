// A window-state probe for end-to-end tests.
#pragma once

#include <QString>

namespace vardel::ui {

// When the environment variable VARDEL_PROBE names a file, the signal SIGUSR1 makes the program
// write into it (replacing it) one line per widget of every top-level window:
//   <object path>\t<class>\t<visible 0|1>\t<x>,<y>,<width>,<height> (global)\t<text>\t<props>
// where <props> lists the properties the widget's class declares beyond QWidget's, as
// "name=value;...".
// then rename it to that name + ".done". A person never needs it; tests read back labels
// and positions through it without guessing from pixels.
void installTestProbe();

// The dump itself, as text (used by the probe and by widget tests).
QString describeWidgets();

}  // namespace vardel::ui

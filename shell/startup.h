// The program's entry: the screen check, the two first windows, the message loop, and the
// registration of the HTML viewer control when the map cannot be created without it.
#pragma once

#include "shell/variant.h"

namespace vardel {

// Runs the magazine until the map closes. Needs the QApplication and the ui::Application
// objects; returns the process's exit code.
int runMagazine(Variant variant);

// Everything before the message loop: the screen check, the title, the two windows and, when
// they cannot be made, the registration of html.ocx and a second attempt. Every failure is
// reported in its own message box. True when the loop is to run (it then returns at once if
// the screen check asked the program to end).
bool prepareMagazine(Variant variant);

// Creates the map, then the presentation (the order matters: the map becomes the main window
// and the presentation plays the map's music). Throws when a window cannot be created; a
// half-made pair is freed first.
void createWindows(Variant variant);

}  // namespace vardel

// A window-state probe for end-to-end tests.
#pragma once

#include <QString>

class QWidget;

namespace vardel::ui {

// When the environment variable VARDEL_PROBE names a file, the signal SIGUSR1 makes the program
// write into it (replacing it) one line per widget of every top-level window:
//   <object path>\t<class>\t<visible 0|1>\t<x>,<y>,<width>,<height> (global)\t<text>\t<props>\t<focus 0|1>
// where <props> lists the properties the widget's class declares beyond QWidget's, as
// "name=value;...".
// then rename it to that name + ".done". A person never needs it; tests read back labels
// and positions through it without guessing from pixels.
void installTestProbe();

// The dump itself, as text (used by the probe and by widget tests).
QString describeWidgets();

// The timeline. While the probe is on, the moments the tests judge are kept in order with the
// time they happened, and the dump ends with them, one a line:
//   #event\t<ns since the epoch>\t<what>\t<object path>\t<detail>
// what: "paint" (the first paint of a window), "show" and "hide" (of a named widget, asked by
// the program), "text" (a label's caption set; detail: the text), "picture" (a picture loaded;
// detail: its file), "navigate" (the browser is about to show a document; detail: its URL),
// "newwindow" (a document asked for a new window; detail: where the map shows it instead, or
// "refused"), "press" (a mouse button pressed on a named widget, which sees it before any
// parent it goes on to; detail: x,y in the widget). Tests measure a sequence from the events
// themselves, never from when they looked. At most kTimelineLimit events are kept; later ones
// are dropped.
inline constexpr int kTimelineLimit = 20000;
void recordEvent(const QWidget* widget, const char* what, const QString& detail = QString());
bool timelineRecording();

}  // namespace vardel::ui

// Top-level windows of the X display: found by caption or by process, and brought up.
#pragma once

#include <QRect>
#include <QString>

#include <optional>

#include <cstdint>

namespace vardel::platform {

// An X window; 0 names none.
using WindowId = std::uint32_t;

// The top-level window whose caption (_NET_WM_NAME, else WM_NAME) is exactly `caption`, or 0
// when there is none or no display. Windows that are shown or minimised count; hidden
// (withdrawn) windows do not, nor windows that bypass the window manager (menus, tooltips).
WindowId findTopLevelWindow(const QString& caption);

// Whether the process `pid` has a top-level window on the screen (mapped), as told by the
// window's _NET_WM_PID. False without a display.
bool processShowsWindow(std::int64_t pid);

// Shows `window` restored, as SW_SHOWNORMAL does: out of the minimised state, no longer
// maximised, on top of the others and active. The person asked for it, so it is brought up
// the way a task bar brings a window up. False when the window is gone or there is no display.
bool showWindowNormal(WindowId window);

// Makes `owner` the window that `window` belongs to (ICCCM WM_TRANSIENT_FOR; 0 removes it), as
// an owned window is on Windows: the window manager keeps it above its owner, in the owner's
// stacking layer, and minimises it with the owner. Set it before the window is mapped. False
// without a display.
bool setOwnerWindow(WindowId window, WindowId owner);

// The screen of the display named by DISPLAY (the root window's size) and the part of it
// applications may cover: the window manager's _NET_WORKAREA for the current desktop when one
// publishes it (panels and docks left out), else the whole screen. Nothing without a display.
struct DesktopArea {
  QSize screen;
  QRect usable;
};
std::optional<DesktopArea> desktopArea();

}  // namespace vardel::platform

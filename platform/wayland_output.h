// The outputs (monitors) of a Wayland compositor, asked before the toolkit connects.
#pragma once

#include <QSize>

#include <optional>
#include <vector>

namespace vardel::platform {

// One output as the compositor announces it: its current mode in pixels, the integer scale
// its clients draw at, and its turn (wl_output's transform: 0 none, 1 to 3 quarter turns,
// 4 to 7 the same flipped).
struct WaylandOutput {
  QSize mode;
  int scale = 1;
  int transform = 0;
};

// The size a client window may take on `output`, in the client's own (logical) pixels: the
// mode turned as the output is, divided by its scale.
QSize logicalOutputSize(const WaylandOutput& output);

// The smallest logical size among `outputs` (by area; outputs without a mode left out): the
// compositor places a new window on an output of its choosing, so a window of this size fits
// on any of them. Nothing when none has a size.
std::optional<QSize> smallestOutput(const std::vector<WaylandOutput>& outputs);

// The smallest output of the compositor named by WAYLAND_DISPLAY, asked over a connection of
// its own that is closed again. Nothing when WAYLAND_DISPLAY is unset, no compositor answers
// within a second or it announces no output. A compositor does not tell the area its panels
// leave to windows.
std::optional<QSize> waylandOutputSize();

}  // namespace vardel::platform

// Where the CD player window puts its hotspots, in its client pixels. The panel picture (the
// content folder's, the generated demo's or the built-in one) draws a key under each.
#pragma once

#include <QPoint>
#include <QRect>

namespace vardel {

// The panel picture's place in the window's client area.
inline constexpr QPoint kCdPanelOffset{2, 2};
inline constexpr QRect kCdTray{173, 252, 24, 22}, kCdNext{252, 128, 22, 22}, kCdStop{231, 128, 22, 21},
    kCdPlay{211, 128, 21, 20}, kCdPrevious{192, 129, 20, 19}, kCdClose{183, 265, 107, 27};

}  // namespace vardel

// The presentation's pictures (publisher's logo p1, the cover p2), the credits
// background p4 and the two player panels p6 (CD) and p9 (MP3).
#pragma once

#include "cdplayer/lector_hotspots.h"

#include <QImage>
#include <QRect>

namespace vardel::content {

// 800x600; "PRESENTA" (330, 341) and the title (220, 451) land on plain white.
QImage renderPublisherLogo();
// 800x600; the status line (178, 569, 431x16) lands on a plain white band.
QImage renderCover();
// 800x600; a light panel for the credits labels and the "VOLVER" button under its hotspot.
QImage renderCreditsBackground();

// Where the program puts its hotspots over the player panels, in window client pixels; the
// panel pictures are shown at kCdPanelOffset (cdplayer/lector_hotspots.h) / kMp3PanelOffset
// inside the window.
inline const QPoint kMp3PanelOffset{3, 2};
inline constexpr QSize kPanelSize{289, 292};
inline const QRect kMp3Stop{172, 162, 19, 20}, kMp3Play{194, 163, 20, 20}, kMp3Pause{215, 162, 18, 19},
    kMp3Open{236, 162, 19, 21}, kMp3Close{187, 265, 102, 26};
inline const QRect kCreditsBack{448, 461, 85, 28};

QImage renderCdPanel();
QImage renderMp3Panel();

}  // namespace vardel::content

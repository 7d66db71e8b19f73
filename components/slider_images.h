// The slider's built-in pictures: the four default bitmaps and the hand cursor.
#pragma once

#include "ui/colors.h"

#include <QCursor>
#include <QImage>
#include <QString>

namespace vardel {

// The see-through colour of the four default bitmaps (olive).
inline constexpr ui::Color kSliderTransparentColor = 0x00008080;

// The number under which the hand cursor is registered at program start-up.
inline constexpr int kHandCursor = 14000;

// A default bitmap by its resource name: "W95_HTB" (horizontal thumb, 18 x 17: normal state at
// the left, pressed at the right), "W95_HRL" (horizontal ruler pattern, 10 x 10), "W95_VTB"
// (vertical thumb, 34 x 9) or "W95_VRL" (vertical ruler pattern, 8 x 10). They use the sixteen
// colours of the standard palette only. An unknown name gives a null image.
QImage loadResourceBitmap(const QString& name);

// The hand cursor "AD_HAND" (hot spot at the finger tip).
QCursor loadHandCursor();

}  // namespace vardel

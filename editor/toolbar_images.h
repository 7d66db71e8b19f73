// The fourteen 16x16 images of the editor's tool bar, in the order the buttons refer to them:
// 0 open, 1 save, 2 print, 3 undo, 4 cut, 5 copy, 6 paste, 7 bold, 8 italic, 9 underline,
// 10 align left, 11 centre, 12 align right, 13 bullets.
#pragma once

class QPixmap;

namespace vardel {

inline constexpr int kToolbarImageCount = 14;

// Image `index` (a null pixmap outside 0..13). Needs a running Qt GUI application.
QPixmap toolbarImage(int index);

// The XPM text of image `index` (nullptr outside 0..13).
const char* const* toolbarImageXpm(int index);

}  // namespace vardel

// The steps of text size the reading keys go through, the same over articles and in the editor.
#pragma once

#include <iterator>

class QKeyEvent;
class QWheelEvent;

namespace vardel::ui {

// Two steps up make the text 1.2 times taller; kNormalTextZoom is the text's own size.
inline constexpr double kTextZooms[] = {0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2, 1.35, 1.5, 1.7, 2.0, 2.4, 3.0};
inline constexpr int kNormalTextZoom = 5;
inline constexpr int kTextZoomSteps = int(std::size(kTextZooms));

// The step a key asks for from `step`: Ctrl++ (or Ctrl+=) one up, Ctrl+- one down, Ctrl+0 the
// normal size; -1 for any other key. Steps stay within the list.
int textZoomForKey(const QKeyEvent& key, int step);
// The same for a turn of the wheel with Ctrl held; -1 without Ctrl or without a turn.
int textZoomForWheel(const QWheelEvent& wheel, int step);

}  // namespace vardel::ui

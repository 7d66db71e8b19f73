// Hotspots as a screen reader and the keyboard see them: push buttons with a name, pressed as a click.
#pragma once

#include <QPoint>
#include <QString>

#include <optional>

class QWidget;

namespace vardel::ui {

// Lets screen readers see the program's labels as their text and its hotspots as buttons (once).
void installAccessibleControls();

// Makes `control` a push button for assistive technology. Its name is `name`, or, when that is
// empty, the control's "Hint" property (read each time, so a hint set later is what is read).
// Its press action clicks it as clickControl does.
void markAsButton(QWidget* control, const QString& name = QString());

// A point of `control` (in its own coordinates) where a mouse click would reach it: the control
// is visible there and nothing lies above it. The centre first, then a grid over the rest.
std::optional<QPoint> clickablePoint(const QWidget* control);

// Clicks `control` with the left button at `at` (its coordinates), press then release, through
// the same events a mouse click sends, so it does just what the click does (whichever of the two
// its handler acts on). The release is skipped when the press destroyed the control.
void clickControl(QWidget* control, QPoint at);

// Clicks `control` where the mouse could; false (and nothing done) when nowhere.
bool clickWhereReachable(QWidget* control);

}  // namespace vardel::ui

// The application's numbered cursors: components register their own cursors under a number
// and controls refer to them by that number.
#pragma once

#include <QCursor>

#include <functional>

namespace vardel::ui {

// Makes a cursor on first use (a cursor needs the running application; registration may
// happen earlier, at program start-up).
using CursorFactory = std::function<QCursor()>;

// Registers (or replaces) cursor number `id`. Safe to call before the application exists.
void registerCursor(int id, CursorFactory factory);
// True when `id` has been registered.
bool hasCursor(int id);
// Cursor number `id`; an unknown number gives the default arrow.
QCursor screenCursor(int id);

}  // namespace vardel::ui

// Event types of the window framework and the one guard every handler runs through.
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <stdexcept>

class QObject;
class QMouseEvent;
class QKeyEvent;

namespace vardel::ui {

// An error with a message for the person in front of the screen (UTF-8 inside).
class Error : public std::runtime_error {
 public:
  explicit Error(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString text() const { return QString::fromUtf8(what()); }
};

enum class MouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and mouse buttons held during an input event.
enum ShiftFlag : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};
using ShiftState = unsigned;

using NotifyEvent = std::function<void(QObject* sender)>;
using MouseEvent = std::function<void(QObject* sender, MouseButton button, ShiftState shift, int x, int y)>;
using MouseMoveEvent = std::function<void(QObject* sender, ShiftState shift, int x, int y)>;

// The shift state of a mouse event: keyboard modifiers plus every button held (for a press
// that includes the pressed button, for a release it no longer does).
ShiftState shiftStateOf(const QMouseEvent* event);
// The button that caused a press or release (left for anything unusual).
MouseButton buttonOf(const QMouseEvent* event);

// Shows an exception that escaped a handler in the application's error box. Defined by the
// application object; the loop carries on afterwards.
void reportException(const std::exception& error);
void reportUnknownException();

// Runs `f` so that an escaped exception is reported and swallowed, never crossing the event
// loop. Every event handler of the program is called through this.
template <typename F, typename... Args>
void guarded(F&& f, Args&&... args) {
  try {
    std::invoke(std::forward<F>(f), std::forward<Args>(args)...);
  } catch (const std::exception& error) {
    reportException(error);
  } catch (...) {
    reportUnknownException();
  }
}

// Calls an event if it is assigned, through the guard.
template <typename Event, typename... Args>
void fire(const Event& event, Args&&... args) {
  if (event) guarded(event, std::forward<Args>(args)...);
}

}  // namespace vardel::ui

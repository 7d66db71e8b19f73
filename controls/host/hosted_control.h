// Creating a hosted control: registry look-up, library loading, the factory call.
#pragma once

#include "controls/control_abi.h"
#include "platform/library.h"
#include "ui/events.h"

#include <QString>

class QWidget;

namespace vardel {

// Thrown when a hosted control cannot be created (not registered, library missing or not
// loadable, no factory, the factory refuses). Its text says which, in the program's language.
class ControlError : public ui::Error {
 public:
  using ui::Error::Error;
};

namespace controls {

// One created control and the library it came from. The library stays loaded for as long as
// this lives; the control is deleted before the library is released.
class HostedControl {
 public:
  // Looks `classId` up (platform::lookupControl), loads its library, calls its factory and
  // creates the control as a child of `parent`, raising its events on `events`.
  // Throws ControlError with the reason.
  HostedControl(const char* classId, QWidget* parent, ControlEvents* events);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  Control* control() const { return control_; }
  QString libraryPath() const { return library_.fileName(); }

 private:
  platform::Library library_;
  Control* control_ = nullptr;
};

}  // namespace controls
}  // namespace vardel

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
  // Only the look-up and the check of the library's file; create() does the rest, later.
  // Throws ControlError with the reason.
  explicit HostedControl(const char* classId);
  ~HostedControl();
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  // Loads the library and creates the control (once). Throws ControlError with the reason.
  void create(QWidget* parent, ControlEvents* events);

  // Null until created.
  Control* control() const { return control_; }
  QString libraryPath() const { return library_.fileName(); }

 private:
  QByteArray classId_;
  QString path_;
  platform::Library library_;
  Control* control_ = nullptr;
};

}  // namespace controls
}  // namespace vardel

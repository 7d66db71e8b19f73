// Component and control state flags of the window framework, and the design-mode test.
#pragma once

#include "ui/form.h"

#include <QObject>
#include <QWidget>

namespace vardel {

// Component state: what the component is going through right now.
enum ComponentStateFlag : unsigned {
  csLoading = 1u << 0,     // its properties are being loaded; Loaded() ends it
  csReading = 1u << 1,     // a property stream is being read into it
  csDesigning = 1u << 2,   // it sits on a form that a designer edits
  csDestroying = 1u << 3,  // it is being destroyed
};
using ComponentState = unsigned;

// Control state: what a control is going through while it is being built.
enum ControlStateFlag : unsigned {
  csCreating = 1u << 0,  // its constructor is still placing its parts
};
using ControlState = unsigned;

// The nearest form that holds `owner` (itself when it is a form), or null.
inline ui::Form* ownerForm(QObject* owner) {
  for (QObject* o = owner; o; o = o->parent()) {
    if (auto* form = qobject_cast<ui::Form*>(o)) return form;
  }
  return nullptr;
}

// A component takes design mode from the form it is placed on, at construction.
inline ComponentState inheritedDesignState(QObject* owner) {
  const ui::Form* form = ownerForm(owner);
  return form && form->designing() ? csDesigning : 0u;
}

}  // namespace vardel

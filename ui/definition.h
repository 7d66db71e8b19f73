// Window definitions: a window's controls created from one table that reads like the window's
// stored definition — name, kind, place, texts, fonts, bindings — one line per control.
#pragma once

#include "ui/application.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/timer.h"

#include <QCursor>
#include <QWidget>

#include <type_traits>

namespace vardel::ui {

// The settings of one control, applied as they are chained. Settings that a control kind lacks
// do not compile for it.
// A control is shown when its line ends, unless the line hides it: added to a window already on
// the screen, it never flashes up first.
template <class Owner, class T>
class ControlDef {
 public:
  ControlDef(Owner* owner, T* control) : owner_(owner), control_(control) {}
  ControlDef(const ControlDef&) = default;
  ~ControlDef() {
    if (visible_) control_->show();
  }
  T* control() const { return control_; }

  ControlDef& visible(bool visible) {
    visible_ = visible;
    control_->setVisible(visible);
    return *this;
  }
  ControlDef& cursor(Cursor cursor) {
    if (cursor == Cursor::crHandPoint)
      control_->setCursor(Qt::PointingHandCursor);
    else if (cursor == Cursor::crHourGlass)
      control_->setCursor(Qt::WaitCursor);
    else
      control_->unsetCursor();
    return *this;
  }
  ControlDef& tag(int value) requires std::is_base_of_v<MouseControl, T> {
    control_->tag = value;
    return *this;
  }
  ControlDef& hint(const QString& text) requires requires(T t) { t.Hint; }
  {
    control_->Hint = text;
    return *this;
  }

  // Pictures.
  ControlDef& center(bool center = true) requires std::is_base_of_v<Image, T> {
    control_->setCenter(center);
    return *this;
  }
  ControlDef& autoSize(bool autoSize = true) requires(std::is_base_of_v<Image, T> || std::is_base_of_v<Label, T>) {
    control_->setAutoSize(autoSize);
    return *this;
  }

  // Labels.
  ControlDef& caption(const QString& text) requires std::is_base_of_v<Label, T> {
    control_->setCaption(text);
    return *this;
  }
  // A font by Windows face name with its character height in pixels.
  ControlDef& font(const QString& family, int pixels, FontStyles styles = fsNone,
                   bool fixedPitch = false) requires std::is_base_of_v<Label, T> {
    QFont f = pixelFont(family, pixels, styles);
    if (fixedPitch) f.setFixedPitch(true);
    control_->setLabelFont(f);
    return *this;
  }
  ControlDef& fontColor(Color color) requires std::is_base_of_v<Label, T> {
    control_->setFontColor(color);
    return *this;
  }
  ControlDef& transparent(bool transparent = true) requires std::is_base_of_v<Label, T> {
    control_->setTransparent(transparent);
    return *this;
  }
  ControlDef& wordWrap(bool wrap = true) requires std::is_base_of_v<Label, T> {
    control_->setWordWrap(wrap);
    return *this;
  }
  ControlDef& alignment(Alignment alignment) requires std::is_base_of_v<Label, T> {
    control_->setAlignment(alignment);
    return *this;
  }
  ControlDef& color(Color color) requires requires(T t) { t.setColor(Color{}); }
  {
    control_->setColor(color);
    return *this;
  }

  // Bindings to the owner's handlers.
  ControlDef& onClick(void (Owner::*handler)(QObject*)) requires std::is_base_of_v<MouseControl, T> {
    control_->onClick = bind(handler);
    return *this;
  }
  ControlDef& onMouseDown(void (Owner::*handler)(QObject*, MouseButton, ShiftState, int,
                                                 int)) requires std::is_base_of_v<MouseControl, T> {
    control_->onMouseDown = bind(handler);
    return *this;
  }
  ControlDef& onMouseUp(void (Owner::*handler)(QObject*, MouseButton, ShiftState, int,
                                               int)) requires std::is_base_of_v<MouseControl, T> {
    control_->onMouseUp = bind(handler);
    return *this;
  }
  ControlDef& onEnter(void (Owner::*handler)(QObject*)) requires requires(T t) { t.OnEnter; }
  {
    control_->OnEnter = bind(handler);
    return *this;
  }
  ControlDef& onExit(void (Owner::*handler)(QObject*)) requires requires(T t) { t.OnExit; }
  {
    control_->OnExit = bind(handler);
    return *this;
  }

 private:
  template <class... Args>
  auto bind(void (Owner::*handler)(Args...)) {
    return [owner = owner_, handler](Args... args) { (owner->*handler)(args...); };
  }

  Owner* owner_;
  T* control_;
  bool visible_ = true;
};

// The settings of one timer.
template <class Owner>
class TimerDef {
 public:
  TimerDef(Owner* owner, Timer* timer) : owner_(owner), timer_(timer) {}
  TimerDef& interval(int milliseconds) {
    timer_->setInterval(milliseconds);
    return *this;
  }
  TimerDef& enabled(bool enabled) {
    timer_->setEnabled(enabled);
    return *this;
  }
  TimerDef& onTimer(void (Owner::*handler)(QObject*)) {
    timer_->setOnTimer([owner = owner_, handler](QObject* sender) { (owner->*handler)(sender); });
    return *this;
  }

 private:
  Owner* owner_;
  Timer* timer_;
};

// Creates the controls of a window in the order of its definition; among siblings that order
// is also the stacking order, later controls on top.
template <class Owner>
class Definition {
 public:
  Definition(Owner* owner, QWidget* parent) : owner_(owner), parent_(parent) {}

  template <class T>
  ControlDef<Owner, T> add(T*& field, const char* name, int left, int top, int width, int height) {
    field = new T(parent_);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(left, top, width, height);
    return ControlDef<Owner, T>(owner_, field);
  }
  // A control that sizes itself (an auto-sized label or picture): only its place is given.
  template <class T>
  ControlDef<Owner, T> add(T*& field, const char* name, int left, int top) {
    field = new T(parent_);
    field->setObjectName(QString::fromLatin1(name));
    field->move(left, top);
    return ControlDef<Owner, T>(owner_, field);
  }
  TimerDef<Owner> timer(Timer*& field, const char* name) {
    field = new Timer(owner_);
    field->setObjectName(QString::fromLatin1(name));
    return TimerDef<Owner>(owner_, field);
  }

 private:
  Owner* owner_;
  QWidget* parent_;
};

}  // namespace vardel::ui

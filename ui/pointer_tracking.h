// Pointer tracking: tells controls that the mouse pointer moved onto them or off them.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace vardel::ui {

// Implemented by controls that want to know when the pointer is over them.
class PointerTarget {
 public:
  virtual ~PointerTarget() = default;
  virtual void pointerEntered() = 0;
  virtual void pointerLeft() = 0;
};

// Whenever the program becomes idle after input (or after a window or control appeared,
// vanished or moved), the tracker finds the topmost visible control under the pointer. When it
// differs from the one found last time, the old control is told that the pointer left, then
// the new one that it entered. While a control holds the mouse capture (a button pressed on it
// and still held), only that control is told anything.
class PointerTracker : public QObject {
  Q_OBJECT
 public:
  static void install();
  static PointerTracker* instance();

  // The control found at the last check (may be any widget).
  QWidget* current() const { return current_; }
  // Runs the check now (tests call it instead of waiting for the idle moment).
  void check();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  PointerTracker();
  void schedule();

  QPointer<QWidget> current_;
  QPointer<QWidget> capture_;
  QPointer<QWidget> pointerWindow_;
  QPoint globalPos_;
  bool scheduled_ = false;
};

}  // namespace vardel::ui

// Tab, Enter and Escape over a window whose buttons are hotspots on a picture.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace vardel::ui {

class Form;

// Watches the keys that reach `form` (whichever of its controls has the focus):
// - Tab and Shift+Tab move to the next or previous stop, in the order `stops` gives, passing
//   over those the mouse could not click now (hidden, or covered by something else);
// - Enter clicks the current stop where the mouse could (see clickControl);
// - Escape calls onEscape, when set.
// A stop that takes the keyboard focus itself (an article area) is given the focus instead, and
// Enter is left to it. The focus mark is drawn only from the first Tab on; until then the window
// looks and behaves as if the navigator were not there. Keys typed into a text field pass by.
class HotspotNavigator : public QObject {
  Q_OBJECT
 public:
  HotspotNavigator(Form* form, std::function<QList<QWidget*>()> stops);
  ~HotspotNavigator() override;

  // Escape, while the form is active; returns whether it used the key.
  std::function<bool()> onEscape;

  // The stop the keys act on, or null (before the first Tab, or when it vanished).
  QWidget* current() const { return current_; }
  // Moves to the next (+1) or previous (-1) reachable stop; null when there is none.
  QWidget* step(int direction);
  // Clicks the current stop; false when there is none or it cannot be reached now.
  bool activate();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool handleKey(int key, Qt::KeyboardModifiers modifiers);
  void setCurrent(QWidget* stop);
  void refreshMark();

  Form* form_;
  std::function<QList<QWidget*>()> stops_;
  QPointer<QWidget> current_;
  int lastIndex_ = -1;  // where the last stop stood in the list, for a stop that vanished
  QPointer<QWidget> mark_;
};

}  // namespace vardel::ui

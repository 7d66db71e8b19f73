// The form base: a top-level window with a border style, an owner, a client area, close
// actions, and a frame and caption drawn by the program itself.
#pragma once

#include "ui/colors.h"
#include "ui/events.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <functional>

namespace vardel::ui {

enum class BorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum BorderIcon : unsigned { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2, biHelp = 1u << 3 };
using BorderIcons = unsigned;
enum class CloseAction { caNone, caHide, caFree, caMinimize };

class Form;

// The non-client handling of a form (its frame and caption). A component that takes over the
// caption installs its own hook with Form::setNonClientHook, keeps the previous one and passes
// on what it does not handle itself, as a window-procedure hook does.
class NonClientHook {
 public:
  virtual ~NonClientHook() = default;
  // Paints the non-client area inside `region` (window coordinates, origin at the window's
  // top-left corner).
  virtual void paintNonClient(QPainter& painter, const QRegion& region) = 0;
  // The window became active or inactive; `allowed` is the part of the non-client area the
  // handler may redraw for it.
  virtual void activate(bool active, const QRegion& allowed) = 0;
  // System colours, settings or the display changed.
  virtual void systemSettingsChanged() = 0;
};

class Form : public QWidget {
  Q_OBJECT
 public:
  // A new top-level window, hidden; on the stage (ui/stage.h), a window of the stage's screen.
  // An owned form is freed with its owner; a stay-on-top one also stays above it and is
  // minimised with it.
  explicit Form(Form* owner = nullptr);
  ~Form() override;

  // Where the form's controls go: the window minus the frame and caption.
  QWidget* client() const { return client_; }

  BorderStyle borderStyle() const { return borderStyle_; }
  void setBorderStyle(BorderStyle style);
  BorderIcons borderIcons() const { return borderIcons_; }
  void setBorderIcons(BorderIcons icons);
  void setStayOnTop(bool onTop);
  bool stayOnTop() const { return stayOnTop_; }

  // The form this one belongs to, and the forms that belong to this one.
  Form* owner() const { return owner_; }
  QList<Form*> ownedForms() const;

  // What a window does, done by the stage when the form lives on one: bringing the form up
  // activates it; minimising minimises the stage with every form on it.
  void activateWindow();
  void showMinimized();
  void setVisible(bool visible) override;

  // The window text, which the caption shows.
  QString caption() const { return windowTitle(); }
  void setCaption(const QString& text);

  // The form's colour fills the client area (clBtnFace by default).
  Color color() const { return color_; }
  void setColor(Color color);

  // Outer position and size of the window, frame included.
  void setBounds(int left, int top, int width, int height);
  void setClientSize(int width, int height);
  QSize clientSize() const;
  QMargins frameMargins() const;

  // Whether the window is the active one, as the last activation change reported.
  bool isActiveForm() const { return active_; }
  // Whether the window is the active one now (on the stage: the stage is the desktop's active
  // window and this is its active form).
  bool hasActivation() const;
  // Brings isActiveForm() and the caption up to date with hasActivation().
  void refreshActivation();

  // The next control of this form after `from` in the tab order that can take the keyboard
  // (`forward` false: the previous one), or null when there is none.
  QWidget* nextControl(QWidget* from, bool forward) const;

  // Closing: the close query may refuse, then the close event chooses the action (caHide by
  // default); the main form's close ends the program instead.
  std::function<void(QObject* sender, bool& canClose)> onCloseQuery;
  std::function<void(QObject* sender, CloseAction& action)> onClose;
  std::function<void(QObject* sender)> onShow;
  std::function<void(QObject* sender)> onHide;
  // Runs the close sequence; true when the form closed.
  bool closeForm();

  // Non-client hooks: installs `hook` and returns the one it replaces (never null; the form's
  // own classic frame is at the bottom). Removing restores `previous`.
  NonClientHook* setNonClientHook(NonClientHook* hook);
  NonClientHook* nonClientHook() const { return hook_; }
  // The form's own painting of the classic frame and caption.
  NonClientHook* defaultNonClientHook() const;
  // Repaints the whole frame through the hooks (what a frame change makes the system do).
  void refreshFrame();
  // Rectangle of the caption bar in window coordinates (empty for bsNone).
  QRect captionRect() const;
  // True while the form is being destroyed (a hook must not repaint then). The form's
  // components (its non-widget children) are freed while it is still a whole form, so they may
  // unhook themselves from it.
  bool destroying() const { return destroying_; }

  // Design mode: the flag a form designer sets on the forms it edits. The program itself never
  // sets it; components placed on a designing form take their design-time branches.
  bool designing() const { return designing_; }
  void setDesigning(bool designing) { designing_ = designing; }

  // Whether the window's first frame is on the screen (painted and handed to the display).
  bool firstFrameOnScreen() const { return firstFrameShown_; }
  // Runs the event loop, without user input, until the first frame is on the screen or
  // `limitMs` have passed (a window the display never shows). True when it is.
  bool waitForFirstFrame(int limitMs);

 signals:
  // The window's first frame is on the screen; emitted once, right after it was painted.
  void firstFrameShown();

  // System colours, the caption font, the display, or the application's palette or font
  // changed; emitted after the non-client hook has heard of it.
  void systemSettingsChanged();

 protected:
  // Runs the window's set-up (its FormCreate) as an event is run: a failure ends it at its
  // step and is reported, and the window stays. The hourglass its creator set goes first, so
  // the report is read with the normal pointer.
  void runSetUp(const std::function<void()>& setUp);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  class ClassicFrame;
  void layoutClient();
  void performClose(bool& closed);
  void settingsChanged();
  void frameReady();
  QPoint pointerInParent(const QMouseEvent& event) const;

  QWidget* client_ = nullptr;
  BorderStyle borderStyle_ = BorderStyle::bsSizeable;
  BorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  Color color_ = clBtnFace;
  bool active_ = false;
  bool destroying_ = false;
  bool designing_ = false;
  bool dragging_ = false;
  bool firstFrameShown_ = false;
  bool watchingExposure_ = false;
  bool stayOnTop_ = false;
  QPointer<Form> owner_;
  QPoint dragOffset_;
  ClassicFrame* classic_ = nullptr;
  NonClientHook* hook_ = nullptr;
};

}  // namespace vardel::ui

// The stage: one window of the person's desktop that is the program's 800x600 screen. Every
// form lives inside it, at its screen coordinates, and the stage does for the forms what a
// window manager does for windows: stacking, activation, keyboard focus, minimising, closing.
#pragma once

#include "ui/form.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <optional>

namespace vardel::ui {

// The size of the screen the program is written for.
inline constexpr QSize kStageScreen{800, 600};
// Room left for the title bar the desktop's window manager puts over the stage.
inline constexpr int kTitleBarAllowance = 32;

// Room left for the panels of a Wayland desktop, which does not tell the area they leave.
inline constexpr int kWaylandPanelAllowance = 48;

// What the person's desktop offers: the whole screen and the part windows may cover, and
// whether the program may place its windows there (X11: yes; Wayland: the compositor does).
struct StageDesktop {
  QSize screen;
  QSize usable;
  bool placesWindows = true;
};

// The scale of the stage, or nothing when the forms are top-level windows of the display as
// they always were. `setting` is VARDEL_SCALE: "off" never stages; a positive number fixes the
// scale; empty or "auto" stages with the largest scale (at least 1) that fits the usable area
// with a title bar, except on a screen of exactly 800x600 where the program places its own
// windows, which is the program's own screen. Without a known desktop the stage is unscaled.
std::optional<double> stageScale(const QByteArray& setting, const std::optional<StageDesktop>& desktop);

// Whether Qt will try its Wayland platform plug-in first, decided as Qt 6.4 decides: the first
// choice of QT_QPA_PLATFORM when it is set, else a Wayland session (a WAYLAND_DISPLAY, even
// beside XDG_SESSION_TYPE "x11", or XDG_SESSION_TYPE "wayland"). Qt falls back to X11 when
// the compositor cannot be reached.
bool qtChoosesWayland(const QByteArray& qpaPlatform, const QByteArray& waylandDisplay, const QByteArray& sessionType);

// Decides from VARDEL_SCALE and the desktop (the Wayland compositor's outputs when Qt will run
// there, else the X display) whether the program runs on a stage and at which scale, and tells
// Qt the scale. Call it before the QApplication is made; true when staged.
// Qt's other scaling settings from the desktop are put aside meanwhile. The Stage, made once
// the QApplication exists, gives them all back as the person had them: programs started from
// the magazine are drawn at their desktop's own scale.
bool prepareStage();

class Stage : public QWidget {
  Q_OBJECT
 public:
  Stage();
  ~Stage() override;

  // The stage of this run, or null when forms are top-level windows.
  static Stage* instance();

  // The 800x600 screen the forms live in.
  QWidget* desktop() const { return desktop_; }

  // The form that has the activation, or null (none shown).
  Form* activeForm() const { return active_; }
  // Makes `form` the active form: raised (below the stay-on-top forms unless it is one) and
  // given the keyboard (its last focused control, else its first one).
  void activate(Form* form);
  // The forms in stacking order, bottom first (hidden ones included).
  QList<Form*> forms() const;

  // Puts the stage on the desktop (centred the first time) unless it is there.
  void showStage();
  // What Form reports of its own life on the stage.
  void formShown(Form* form);
  void formHidden(Form* form);
  void formRaised(Form* form);

  void toggleFullScreen();
  // Minimises the stage window with every form on it; pressed by a mouse button, once the
  // button is let go (a window gone from under a held button leaves the release nowhere, and
  // the toolkit would take the next click for part of that one).
  void minimize();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Form* formOf(QObject* object) const;
  void restack();
  bool onTopOfItsLayer(Form* form) const;
  void giveKeyboard(Form* form);
  void setActive(Form* form);

  QWidget* desktop_ = nullptr;
  QPointer<Form> active_;
  bool restacking_ = false;
  bool placed_ = false;
  bool minimizeOnRelease_ = false;
};

}  // namespace vardel::ui

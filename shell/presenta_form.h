// TfrmPresenta: the opening sequence shown while the map waits off-screen.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/timer.h"

#include <QString>

namespace vardel {

class TfrmPresenta : public ui::Form {
  Q_OBJECT
 public:
  // Shows itself at once and starts the map's music (the window's creation handler runs here).
  TfrmPresenta();
  // The start-up's way, in two steps: first only the window, white and empty, on the screen
  // (what the person sees in the opening's first 0.8 s); then, once the map exists,
  // completeCreation() adds the controls and runs the creation handler.
  struct WindowOnly {};
  explicit TfrmPresenta(WindowOnly);
  void completeCreation();

  ui::Image* imgLogo = nullptr;
  ui::Label* lbPresenta = nullptr;
  ui::Label* lbOndravia = nullptr;
  ui::Label* lbN = nullptr;
  ui::Label* lbURL = nullptr;
  ui::Timer* tmControl = nullptr;
  ui::Timer* tmTexto = nullptr;
  ui::Timer* tmParpadeo = nullptr;

  // The status line's texts, one per step of tmParpadeo (later steps keep the last).
  static QString statusText(int step);

  void FormCreate(QObject* sender);
  void tmControlTimer(QObject* sender);
  void tmTextoTimer(QObject* sender);
  void tmParpadeoTimer(QObject* sender);
  void imgLogoClick(QObject* sender);

 private:
  void defineControls();
  void placeRedN();
};

}  // namespace vardel

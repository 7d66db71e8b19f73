// TWebBrowser: the host's side of the browser control (Qt WebEngine in a library of its own).
#pragma once

#include "controls/host/hosted_control.h"
#include "controls/host/reading_area.h"
#include "ui/events.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QPrinter;

namespace vardel {

// The browser control, class {8856F961-340A-11D0-A96B-00C04FD705A2}, a component the system
// provides (see platform::lookupControl). This widget is the control's rectangle: the owner
// sets its geometry and may park it anywhere, far outside its window included; the browser
// keeps its document meanwhile.
//
// Starting the browser engine takes a good part of a second, so the control is made in two
// steps: the constructor only finds the library, and start() loads it and makes the browser,
// when the owner has time for it (or at the first navigation). The engine shares OpenGL
// contexts with the program's windows: start() makes the shared context first, so the program
// pays for it only then, not before its first window.
class TWebBrowser : public QWidget, public ReadingArea {
  Q_OBJECT
 public:
  // Finds the browser control library. Throws ControlError when it is not installed.
  explicit TWebBrowser(QWidget* parent);
  ~TWebBrowser() override;

  // Loads the library and creates the browser, once; the pointer shows the hourglass
  // meanwhile. Throws ControlError when that fails (Qt WebEngine missing or broken).
  void start();
  bool started() const;

  // Starts a navigation (starting the browser first if need be); "file:" URLs in the
  // program's forms are mapped to local files. Throws ui::Error when the request cannot be
  // taken (a "file:" URL naming no file), ControlError when the browser cannot start.
  void Navigate(const QString& url);
  // Confines the browser to the magazine's folder (see controls::Control::setContentFolder);
  // kept for the browser until it starts.
  void SetContentFolder(const QString& folder);
  // Prints the document on display on `printer` (see controls::Control::printDocument); a
  // browser not started yet has nothing to print.
  void PrintDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done);

  // Before every navigation, the program's and link clicks', with the URL as the engine
  // writes it ("file:///..."); setting cancel stops it.
  std::function<void(QObject* sender, const QString& url, bool& cancel)> OnBeforeNavigate2;
  // The status text: a link's URL while the pointer is over it, empty when it leaves.
  std::function<void(QObject* sender, const QString& text)> OnStatusTextChange;
  // The document asks for a new window (target="_blank", window.open); setting cancel stops
  // it, otherwise a new browser window opens.
  std::function<void(QObject* sender, bool& cancel)> OnNewWindow2;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  controls::Control* readingControl() const override { return browser_ ? hosted_->control() : nullptr; }

 private:
  class Events;
  std::unique_ptr<Events> events_;
  std::unique_ptr<controls::HostedControl> hosted_;
  controls::WebBrowser* browser_ = nullptr;
  QString contentFolder_;
};

}  // namespace vardel

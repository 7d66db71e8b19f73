// A private X server (Xvfb) for a test binary, with a window manager (openbox) when asked.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vardel::test {

// Starts the server on a free display and points DISPLAY at it for as long as it lives. The
// toolkit of the test itself is not moved there: only what opens the display by name (the
// platform's window functions, programs the test starts) uses it.
class XServer {
 public:
  explicit XServer(bool windowManager = false);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // False when Xvfb (or the window manager) could not be started; the test should skip.
  bool running() const { return running_; }
  QString display() const { return display_; }

 private:
  QProcess server_;
  QProcess manager_;
  QString display_;
  QByteArray previous_;
  bool running_ = false;
};

// Runs an X client tool (xprop, xdotool) on the current display; its output, trimmed, or an
// empty text when it failed.
QString xTool(const QString& program, const QStringList& arguments);

}  // namespace vardel::test

// Xvfb and openbox for tests.
#include "tests/support/x_server.h"

#include "tests/support/test_support.h"

#include <QElapsedTimer>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace vardel::test {
namespace {

// Maps a window of its own and waits until the window manager has taken it in (WM_STATE):
// from then on it answers every new window. Its supporting-window mark comes earlier, and a
// window mapped while it is still starting may never be taken in: a new one every 3 s.
bool managerAnswers(int timeoutMs) {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  bool managed = false;
  if (!xcb_connection_has_error(c)) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 8, "WM_STATE"), nullptr);
    QElapsedTimer clock;
    clock.start();
    while (atom && !managed && clock.elapsed() < timeoutMs) {
      const xcb_window_t window = xcb_generate_id(c);
      xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                        screen->root_visual, 0, nullptr);
      xcb_map_window(c, window);
      QElapsedTimer attempt;
      attempt.start();
      while (!managed && attempt.elapsed() < 3000 && clock.elapsed() < timeoutMs) {
        xcb_get_property_reply_t* state = xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 2), nullptr);
        managed = state && state->type != XCB_ATOM_NONE;
        std::free(state);
        if (!managed) QThread::msleep(20);
      }
      xcb_destroy_window(c, window);
      xcb_flush(c);
    }
    std::free(atom);
  }
  xcb_disconnect(c);
  return managed;
}

}  // namespace

XServer::XServer(bool windowManager) : previous_(qgetenv("DISPLAY")) {
  // -displayfd 1: the server picks a free display and writes its number to standard output.
  // -noreset: the last client leaving must not reset the server under the next one.
  server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                         QStringLiteral("0"), QStringLiteral("800x600x24"), QStringLiteral("-noreset"),
                                         QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  if (!server_.waitForStarted(5000)) return;
  QByteArray number;
  QElapsedTimer clock;
  clock.start();
  while (!number.contains('\n') && clock.elapsed() < 10000 && server_.state() == QProcess::Running) {
    server_.waitForReadyRead(100);
    number += server_.readAllStandardOutput();
  }
  if (!number.contains('\n')) return;
  display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
  qputenv("DISPLAY", display_.toLatin1());
  if (windowManager) {
    manager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!manager_.waitForStarted(5000) || !managerAnswers(20000)) return;
  }
  running_ = true;
}

XServer::~XServer() {
  for (QProcess* p : {&manager_, &server_}) {
    if (p->state() == QProcess::NotRunning) continue;
    p->terminate();
    if (!p->waitForFinished(3000)) p->kill();
    p->waitForFinished(1000);
  }
  if (previous_.isNull())
    qunsetenv("DISPLAY");
  else
    qputenv("DISPLAY", previous_);
}

QString xTool(const QString& program, const QStringList& arguments) {
  QProcess tool;
  tool.start(program, arguments);
  if (!tool.waitForFinished(5000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) return {};
  return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

}  // namespace vardel::test

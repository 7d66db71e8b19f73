// The exports of the browser control library: the factory of the browser class.
#include "controls/control_abi.h"
#include "controls/factory_error.h"
#include "controls/webbrowser/browser_control.h"
#include "platform/control_registry.h"

#include <QCoreApplication>
#include <QQuickWindow>
#include <QSGRendererInterface>

#include <unistd.h>

namespace {

// Switches of the engine, added to what the person may have set:
//  - WebTransport's QUIC is gone from pages and workers alike: it would take an article to the
//    network where no request passes the request filter (see MagazineRequests);
//  - the renderer's garbage collection is offered to the control under a name of its own, which
//    it calls as each page has loaded (see BrowserControl). Left out when the person gives the
//    script engine switches of their own.
void addEngineSwitches() {
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  const auto add = [&flags](const QByteArray& flag) {
    if (!flags.isEmpty()) flags += ' ';
    flags += flag;
  };
  if (!flags.contains("--disable-blink-features=WebTransport")) add("--disable-blink-features=WebTransport");
  if (!flags.contains("--js-flags=")) add(QByteArray("--js-flags=--expose-gc-as=") + vardel::controls::kCollectGarbage);
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

// The engine's view draws its pages through Qt Quick's software scene graph, into the window's
// own backing store. With OpenGL, a window holding the view is composed as a whole through
// OpenGL at every repaint of anything in it (the map's clock, once a second), which on a
// scaled stage and a software OpenGL costs more than drawing the pages; pages are drawn by the
// engine's own raster either way. The person's own choice of scene graph is kept.
void chooseSoftwareScene() {
  if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND")) return;
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vardel::controls::Control* VardelCreateControl(
    int abiVersion, const char* classId, QWidget* parent, vardel::controls::ControlEvents* events, char* error,
    std::size_t errorSize) {
  using namespace vardel;
  if (abiVersion != controls::kAbiVersion) {
    controls::writeFactoryError(error, errorSize, QStringLiteral("Versión de interfaz %1 no admitida").arg(abiVersion));
    return nullptr;
  }
  const QString requested = QString::fromUtf8(classId ? classId : "");
  if (platform::canonicalClassId(requested) != QLatin1String(platform::kWebBrowserClassId)) {
    controls::writeFactoryError(error, errorSize,
                                QStringLiteral("El navegador no proporciona la clase %1").arg(requested));
    return nullptr;
  }
  // The engine's sandbox cannot run as root; anyone else keeps it. It must be decided before
  // the first page exists.
  addEngineSwitches();
  chooseSoftwareScene();
  if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  // The engine keeps an article's text from screen readers on this system unless asked; it
  // builds the tree only while a reader listens, so nobody else pays for it.
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
    qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
  if (!QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts)) {
    controls::writeFactoryError(error, errorSize,
                                QStringLiteral("El programa debe fijar Qt::AA_ShareOpenGLContexts antes de crear el "
                                               "navegador"));
    return nullptr;
  }
  return new controls::BrowserControl(parent, events);
}

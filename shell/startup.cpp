// Start-up and the recovery path that registers html.ocx.
#include "shell/startup.h"

#include "platform/library.h"
#include "platform/paths.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "shell/presenta_form.h"
#include "ui/application.h"
#include "ui/metrics.h"

#include <QFileInfo>
#include <QTimer>

#include <cstdint>

namespace vardel {

QPointer<TfrmMapa> frmMapa;
QPointer<TfrmPresenta> frmPresenta;

using ui::Application;

namespace {

// The opening's window waits at most this long for the display to show it.
constexpr int kFirstFrameLimitMs = 2000;
// From the opening's first frame to the start of the browser engine.
constexpr int kBrowserStartMs = 1000;

void freeWindows() {
  delete frmPresenta.data();
  delete frmMapa.data();
}

// A message of the start-up's recovery path: alone on the screen, without the opening's window.
void failureMessage(const QString& text) {
  delete frmPresenta.data();
  Application::instance().messageBox(text);
}

// The control library's self-registration, as the start-up does it when the map cannot be
// created. False when the program must end (the message has been shown).
bool registerViewerControl() {
  // The program's own control, whatever the magazine's folder holds.
  const QString path = platform::installationFolder() + QStringLiteral("html.ocx");
  if (!QFileInfo::exists(platform::nativePath(path))) {
    failureMessage(QStringLiteral("Error. No se encuentra el OCX"));
    return false;
  }
  platform::Library library;
  if (!library.load(path)) {
    failureMessage(QStringLiteral("Error al cargar el OCX"));
    return false;
  }
  using Entry = std::int32_t (*)();
  const auto registerServer = library.resolveAs<Entry>("DllRegisterServer");
  const auto unregisterServer = library.resolveAs<Entry>("DllUnregisterServer");
  if (!registerServer || !unregisterServer) {
    library.free();
    failureMessage(QStringLiteral("Fallo al cargar los procedimientos del OCX"));
    return false;
  }
  const std::int32_t result = registerServer();
  library.free();
  if (result != 0) failureMessage(QStringLiteral("No se ha podido realizar el registro"));
  return true;
}

}  // namespace

void createWindows(Variant variant) {
  // The opening's window is on the screen first, white and empty as its first 0.8 s show it,
  // as soon as a bare window would be; the map and the opening's pictures, texts and music are
  // made behind it. It outlives a failed attempt, so a second one does not make it flash.
  if (!frmPresenta) {
    frmPresenta = new TfrmPresenta(TfrmPresenta::WindowOnly{});
    frmPresenta->waitForFirstFrame(kFirstFrameLimitMs);
  }
  try {
    frmMapa = new TfrmMapa(variant);
    Application::instance().setMainForm(frmMapa);
    frmPresenta->completeCreation();
  } catch (...) {
    delete frmMapa.data();
    throw;
  }
  // The browser engine starts while the opening shows its first picture: after the
  // picture's 0.8 s and before "PRESENTA" at 3.05 s the opening has nothing to do.
  if (frmMapa->wIE4) QTimer::singleShot(kBrowserStartMs, frmMapa, [] { frmMapa->startBrowser(); });
}

bool prepareMagazine(Variant variant) {
  Application& app = Application::instance();
  // The message loop reports what goes wrong inside it, so only the steps before it can fail.
  try {
    const int width = ui::systemMetric(ui::SM_CXSCREEN);
    const int height = ui::systemMetric(ui::SM_CYSCREEN);
    if (width != 800 || height != 600) {
      app.messageBox(
          QStringLiteral("Tu sistema está configurado a %1x%2. La resolución de pantalla debe ser de 800x600 píxeles.")
              .arg(width)
              .arg(height));
      app.terminate();  // the rest still runs; the loop then returns at once
    }
    app.setTitle(QStringLiteral("VARDEL"));
    createWindows(variant);
    return true;
  } catch (const std::exception&) {
  }
  if (!registerViewerControl()) return false;
  try {
    createWindows(variant);
    return true;
  } catch (const std::exception& error) {
    delete frmPresenta.data();
    if (variant == Variant::WebBrowser) {
      app.messageBox(QStringLiteral("Debes instalar primero la versión 4.x del Internet Explorer"));
    } else {
      app.showException(error);
    }
    return false;
  }
}

int runMagazine(Variant variant) {
  if (!prepareMagazine(variant)) return 1;
  const int exitCode = Application::instance().run();
  freeWindows();
  return exitCode;
}

}  // namespace vardel

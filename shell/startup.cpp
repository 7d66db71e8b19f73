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

#include <cstdint>

namespace vardel {

QPointer<TfrmMapa> frmMapa;
QPointer<TfrmPresenta> frmPresenta;

using ui::Application;

namespace {

void freeWindows() {
  delete frmPresenta.data();
  delete frmMapa.data();
}

// The control library's self-registration, as the start-up does it when the map cannot be
// created. False when the program must end (the message has been shown).
bool registerViewerControl() {
  Application& app = Application::instance();
  const QString path = platform::programFolder() + QStringLiteral("html.ocx");
  if (!QFileInfo::exists(platform::nativePath(path))) {
    app.messageBox(QStringLiteral("Error. No se encuentra el OCX"));
    return false;
  }
  platform::Library library;
  if (!library.load(path)) {
    app.messageBox(QStringLiteral("Error al cargar el OCX"));
    return false;
  }
  using Entry = std::int32_t (*)();
  const auto registerServer = library.resolveAs<Entry>("DllRegisterServer");
  const auto unregisterServer = library.resolveAs<Entry>("DllUnregisterServer");
  if (!registerServer || !unregisterServer) {
    library.free();
    app.messageBox(QStringLiteral("Fallo al cargar los procedimientos del OCX"));
    return false;
  }
  const std::int32_t result = registerServer();
  library.free();
  if (result != 0) app.messageBox(QStringLiteral("No se ha podido realizar el registro"));
  return true;
}

}  // namespace

void createWindows(Variant variant) {
  try {
    frmMapa = new TfrmMapa(variant);
    frmPresenta = new TfrmPresenta();
  } catch (...) {
    freeWindows();
    throw;
  }
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
  Application::instance().run();
  freeWindows();
  return 0;
}

}  // namespace vardel

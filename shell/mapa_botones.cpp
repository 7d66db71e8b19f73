// The map's fixed buttons that need no window of their own: close, minimise, credits, the game.
#include "platform/paths.h"
#include "platform/processes.h"
#include "platform/x11_windows.h"
#include "shell/mapa_form.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

#include <QDir>
#include <QGuiApplication>

namespace vardel {

namespace {
// The caption by which the game's window is found again.
const QString kGameCaption = QStringLiteral("Tumblo de ONDRAVIA Magazine");
// How long the map waits for a game whose window it cannot see (on Wayland) that keeps working.
constexpr int kUnseenGameMilliseconds = 3000;
}  // namespace

using platform::programFolder;

void TfrmMapa::Shape22MouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  using ui::DialogButton;
  const DialogButton answer = ui::messageDialog(
      QStringLiteral("Information"), QStringLiteral("¿Quieres cerrar ONDRAVIA VARDEL?"), ui::MessageIcon::Information,
      {DialogButton::mbNo, DialogButton::mbOK}, DialogButton::mbOK, DialogButton::mbNo);
  if (answer == DialogButton::mbOK) close();  // the main window's close ends the program
}

void TfrmMapa::Shape24MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  ui::Application::instance().minimize();
}

void TfrmMapa::Shape26MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) { MostrarCreditos(true); }

void TfrmMapa::Shape25MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) { MostrarCreditos(false); }

void TfrmMapa::MostrarCreditos(bool show) {
  if (show) {
    panelAcercaDe->show();
    try {
      loadPicture(imgAcercaDe, "p4");
    } catch (const std::exception&) {
      // The panel shows its silver background.
    }
  } else {
    panelAcercaDe->hide();
    imgAcercaDe->clearPicture();
  }
}

void TfrmMapa::Shape28MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  if (const platform::WindowId game = platform::findTopLevelWindow(kGameCaption)) {
    platform::showWindowNormal(game);
    return;
  }
  LanzarJuego();
}

void TfrmMapa::LanzarJuego() {
  // The game keeps its files beside itself and finds them through the current folder, which
  // stays there until a document is opened.
  QDir::setCurrent(platform::nativePath(programFolder() + QStringLiteral("Extras\\Tumblo")));
  const std::optional<std::int64_t> game =
      platform::startProcess(programFolder() + QStringLiteral("Extras\\Tumblo\\Tumblo.exe"));
  if (!game) return;
  // The game's windows are looked for on X11 only. Elsewhere a game that keeps playing would
  // never be seen ready: the map waits a moment for it rather than for good.
  const bool windowsSeen = QGuiApplication::platformName() == QLatin1String("xcb");
  platform::waitUntilReady(*game, windowsSeen ? std::nullopt : std::optional<int>(kUnseenGameMilliseconds));
  platform::releaseProcess(*game);
}

}  // namespace vardel

// The map's buttons that open windows of their own: the editor, the CD player and the MP3
// player; the window references; and the close that waits for the editors' answers.
#include "cdplayer/lector_form.h"
#include "controls/host/html_control.h"
#include "editor/editor_form.h"
#include "mp3/mp3_form.h"
#include "mp3/mpegplayer.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "ui/application.h"

#include <QList>
#include <QPointer>

namespace vardel {

QPointer<TfrmEditor> frmEditor;
QPointer<TfrmLector> frmLector;
QPointer<TfrmMP3> frmMP3;

using ui::Application;
using ui::Cursor;

namespace {

template <class Window>
QList<QPointer<Window>> ownedWindows(TfrmMapa& map) {
  QList<QPointer<Window>> windows;
  for (ui::Form* form : map.ownedForms()) {
    if (auto* window = qobject_cast<Window*>(form)) windows.append(window);
  }
  return windows;
}

// Runs `make` with the hourglass; on failure shows `failure`, frees whatever window of its kind
// the attempt left behind (windows made before it are kept) and restores the default cursor.
// Returns the new window, or null.
template <class Window>
Window* createWindow(TfrmMapa& map, const std::function<Window*(TfrmMapa&)>& make, const QString& failure) {
  Application& app = Application::instance();
  app.setCursor(Cursor::crHourGlass);
  const QList<QPointer<Window>> before = ownedWindows<Window>(map);
  try {
    if (!make) throw std::bad_function_call();
    return make(map);
  } catch (const std::exception&) {
    for (const QPointer<Window>& window : ownedWindows<Window>(map)) {
      if (window && !before.contains(window)) delete window.data();
    }
    app.setCursor(Cursor::crDefault);
    app.messageBox(failure);
    return nullptr;
  }
}

// Brings a hidden player back where it was hidden.
void showAgain(ui::Form* window) {
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

WindowFactories defaultWindowFactories() {
  WindowFactories factories;
  factories.editor = [](TfrmMapa& map) { return new TfrmEditor(&map, map); };
  factories.lector = [](TfrmMapa& map) { return new TfrmLector(&map); };
  factories.mp3 = [](TfrmMapa& map) { return new TfrmMP3(&map); };
  return factories;
}

void TfrmMapa::Shape21MouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  // A new editor on every click; the earlier ones stay as they are. The editor's own set-up
  // restores the default cursor.
  if (TfrmEditor* editor = createWindow<TfrmEditor>(
          *this, factories.editor, QStringLiteral("No hay suficiente memoria para crear la pantalla de Edicion"))) {
    frmEditor = editor;
  }
}

void TfrmMapa::Shape23MouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  // A CD player that freed itself (no drive) reads as empty and is made anew.
  if (frmLector) {
    showAgain(frmLector);
    return;
  }
  frmLector = createWindow<TfrmLector>(
      *this, factories.lector, QStringLiteral("No hay suficiente memoria para crear la pantalla del lector de Cd"));
}

void TfrmMapa::Shape27MouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  if (frmMP3) {
    showAgain(frmMP3);
    return;
  }
  // The decoder library holds one player for the whole process: the map's goes first.
  releaseMusicPlayer();
  frmMP3 = createWindow<TfrmMP3>(*this, factories.mp3,
                                 QStringLiteral("No hay suficiente memoria para crear la pantalla del lector de MP3"));
}

void TfrmMapa::releaseMusicPlayer() {
  if (!mp3) return;
  // Each step's error is ignored, and the player is gone for good whatever failed: a player
  // left behind could go on playing the opening beside the MP3 window. Destroying it stops
  // whatever it still plays.
  try {
    if (mp3->GetPlayerMode() == MPEGDLL_MODE_PLAYING) mp3->Stop();
  } catch (const std::exception&) {
  }
  try {
    mp3->UnloadDLL();
  } catch (const std::exception&) {
  }
  delete mp3;
  mp3 = nullptr;  // the opening's skips now have no music to stop
}

void TfrmMapa::FormCloseQuery(QObject*, bool& canClose) {
  // Each editor asks about its own unsaved text; the first that keeps its window open keeps
  // the program running (the editors that agreed have closed).
  for (const QPointer<TfrmEditor>& editor : ownedWindows<TfrmEditor>(*this)) {
    if (!editor || !editor->isVisible()) continue;  // gone, or already freed and waiting
    if (!editor->closeForm()) {
      canClose = false;
      return;
    }
  }
}

}  // namespace vardel

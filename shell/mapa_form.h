// TfrmMapa: the map window, the program's main window and its navigation surface.
#pragma once

#include "components/shape2.h"
#include "editor/editor_host.h"
#include "platform/inifile.h"
#include "shell/variant.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/timer.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace vardel {

namespace ui {
class HotspotNavigator;
}  // namespace ui

class THTML;
class TWebBrowser;
class TMPEGPlayer;
class TfrmEditor;
class TfrmLector;
class TfrmMP3;
class TfrmMapa;
class Lectura;
class SearchPanel;

// How the map's buttons create their windows, each owned by the map. A test replaces one to
// make the creation fail; a creation that throws may leave its window behind, which the map
// then discards.
struct WindowFactories {
  std::function<TfrmEditor*(TfrmMapa& map)> editor;
  std::function<TfrmLector*(TfrmMapa& map)> lector;
  std::function<TfrmMP3*(TfrmMapa& map)> mp3;
};

// The real windows.
WindowFactories defaultWindowFactories();

class TfrmMapa : public ui::Form, public EditorHost {
  Q_OBJECT
  // The navigation state, readable from outside (the window-state probe shows it).
  Q_PROPERTY(int Nivel READ nivel)
  Q_PROPERTY(QString URLActual MEMBER URLActual)
  Q_PROPERTY(QString URLEnlace MEMBER URLEnlace)

 public:
  // Builds the window off-screen with its cities (the window's creation handler runs here).
  // Throws when a hosted control cannot be created.
  explicit TfrmMapa(Variant variant);
  ~TfrmMapa() override;

  Variant variant() const { return variant_; }
  bool hasWebBrowser() const { return variant_ == Variant::WebBrowser; }
  int nivel() const { return Nivel; }

  // Controls, in the order of the window definition (also their stacking order).
  ui::Image* ImgFondo = nullptr;
  TShape2* c1 = nullptr;
  ui::Label* Label1 = nullptr;
  TShape2* Shape21 = nullptr;
  TShape2* Shape22 = nullptr;
  TShape2* Shape24 = nullptr;
  ui::Label* lbReloj = nullptr;
  ui::Image* imgSecciones = nullptr;
  TShape2* Shape23 = nullptr;
  TShape2* Shape26 = nullptr;
  ui::Image* imgMapita = nullptr;
  TShape2* Shape27 = nullptr;
  TShape2* Shape28 = nullptr;
  THTML* w = nullptr;
  ui::Panel* panelAcercaDe = nullptr;
  ui::Image* imgAcercaDe = nullptr;
  ui::Label* Label2 = nullptr;
  ui::Label* Label3 = nullptr;
  ui::Label* Label6 = nullptr;
  ui::Label* Label4 = nullptr;
  ui::Label* Label10 = nullptr;
  ui::Label* Label16 = nullptr;
  ui::Label* Label7 = nullptr;
  ui::Label* Label5 = nullptr;
  ui::Label* Label8 = nullptr;
  ui::Label* Label9 = nullptr;
  ui::Label* Label15 = nullptr;
  ui::Label* Label11 = nullptr;
  ui::Label* Label12 = nullptr;
  TShape2* Shape25 = nullptr;
  TWebBrowser* wIE4 = nullptr;  // ondravia only
  ui::Timer* tmReloj = nullptr;
  ui::Timer* tmPresenta = nullptr;
  // The presentation's music player; gone once the MP3 window has taken the decoder library.
  TMPEGPlayer* mp3 = nullptr;

  // The makers of the editor, CD player and MP3 windows.
  WindowFactories factories = defaultWindowFactories();

  // Navigation level: 0 while the window is built, 1 on the map, 2 at a document.
  std::uint8_t Nivel = 0;
  // Cities 2 to 15, created at run time (index = city number; 0 and 1 unused, empty when absent).
  std::array<TShape2*, 16> cN{};
  // ondravia only: the URL of the document on display as the browser last reported it, and the
  // last local link URL the browser's status text showed.
  QString URLActual;
  QString URLEnlace;

  void CargarCiudades();
  // Configures one city from the configuration file, read once by CargarCiudades (changes to it
  // while the program runs have no effect anyway).
  void ConfigurarCiudad(TShape2* shape, const platform::IniFile& ini);
  void MostrarSeccion(std::uint8_t number);
  // Tab, Shift+Tab, Enter and Escape over the cities and buttons, and their names for screen
  // readers. Nothing shows until a key is used.
  void PrepararTeclado();
  // The cities there are, by number.
  QList<TShape2*> ciudades() const;
  ui::HotspotNavigator* teclado() const { return teclado_; }
  // Shows the document Ficheros\<name>; throws when the display rejects the request.
  void AbrirFichero(const QString& name);
  // ondravia: starts the browser engine, once (the start-up asks soon after the opening's first
  // frame; the first document asks if it comes sooner). An engine that cannot start is a
  // browser that is not installed: its message, and the program ends.
  void startBrowser();

  // The opening, as the presentation window drives it; it needs nothing else of the map.
  // Plays the opening tune Musica\Ondravia.mp3 through the map's player, which loads the
  // decoder library from the program folder. Silent when either is missing or broken.
  void playOpeningMusic();
  // The presentation's last step: the map shows itself at 0, 0 over `opening` with its first
  // background and starts tmPresenta, whose second tick finishes the opening and closes
  // `opening`. A click on the background finishes it sooner.
  void handOver(ui::Form* opening);
  // The person skips the rest of the opening from `opening`: the music stops, picture p3
  // becomes the background, the map is shown at 0, 0 and interactive, `opening` is closed.
  void skipOpening(ui::Form* opening);

  // Reading comforts reached by keys only; nothing of them exists until a key asks.
  // Ctrl+Shift+F (map or article): the search of the whole magazine, made at its first use.
  SearchPanel* busqueda = nullptr;
  void AbrirBusqueda();
  // Shows `page` (a name under Ficheros, as the cities name their files) in the section of city
  // `number`, as a click on the city shows its own article.
  void AbrirPaginaDeCiudad(std::uint8_t number, const QString& page);
  // Ctrl+P at an article: the print dialog, then the article with its pictures on the printer
  // or PDF file chosen. A failure is reported in a message.
  void ImprimirArticulo();

  // Handlers.
  void FormCreate(QObject* sender);
  // The program ends only when every open editor agrees to close (each asks its own question
  // about unsaved text); an editor that keeps its text keeps the program running.
  void FormCloseQuery(QObject* sender, bool& canClose);
  void FormClose(QObject* sender, ui::CloseAction& action);
  void ImgFondoClick(QObject* sender);
  void c1Enter(QObject* sender);
  void c1Exit(QObject* sender);
  void c1MouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void imgMapitaMouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void tmRelojTimer(QObject* sender);
  void tmPresentaTimer(QObject* sender);
  void wParseComplete(QObject* sender);
  void wIE4BeforeNavigate2(QObject* sender, const QString& url, bool& cancel);
  void wIE4StatusTextChange(QObject* sender, const QString& text);
  void wIE4NewWindow2(QObject* sender, bool& cancel);
  // The fixed buttons. Any mouse button acts; Shape22 acts when the button is released in
  // ondravia and when it is pressed in ondravia-basic, Shape21 on release, the others on press
  // (Shape23 and Shape27 keep the names of their release handlers).
  void Shape21MouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape22MouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape23MouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape24MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape25MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape26MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape27MouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape28MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);

  // Opens (picture p4 loaded afresh, failure ignored) or closes (picture released) the credits.
  void MostrarCreditos(bool show);
  // Starts the game from its folder, which becomes the current folder, and waits, not
  // answering, until it is ready for the person or has ended. A game that cannot start
  // changes nothing else and is not reported.
  void LanzarJuego();

  // EditorHost: what an editor asks of the map.
  THTML* htmlViewer() override { return w; }
  QString displayedAddress() override { return URLActual; }
  bool browserBuild() override { return hasWebBrowser(); }
  bool contentFolderIsOwn() override;

  // Opens the find bar over the article with `text` and finds its first match once the document
  // on display (or the one just asked for) is complete.
  void findInArticle(const QString& text);

 private:
  friend class Lectura;
  void defineControls();
  // The map's music player gives the decoder library up for good; its errors are ignored.
  void releaseMusicPlayer();
  void revealDocument(bool show);
  // What a click on `city` does, showing `file` (its own article, or a page it leads to).
  void openCity(TShape2* city, const QString& file);
  void defineKeys();
  // City 1 (the hotspot c1) or a city made at run time; null when there is no such city.
  TShape2* cityShape(std::uint8_t number) const;
  void loadPicture(ui::Image* image, const char* name);
  // The end of the opening: clock and hint label shown, the presentation closed, default
  // cursor. A skip first stops the music and shows the map with picture p3, as the sequence
  // would have by then.
  void finishOpening(bool skipped);
  void showAtOrigin();

  Variant variant_;
  QPointer<ui::Form> opening_;        // the presentation, until the opening ends
  std::unique_ptr<Lectura> lectura_;  // find, text size and history, by key
  bool printing_ = false;             // a printing runs: Ctrl+P waits for its end
  QString abierto_;                   // the name AbrirFichero last showed
  ui::HotspotNavigator* teclado_ = nullptr;
};

}  // namespace vardel

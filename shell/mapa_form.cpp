// The map window: its definition, creation, cities, levels, clock and the end of the opening.
#include "shell/mapa_form.h"

#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "mp3/mpegplayer.h"
#include "platform/clock.h"
#include "platform/inifile.h"
#include "platform/paths.h"
#include "shell/cities.h"
#include "shell/lectura.h"
#include "ui/application.h"
#include "ui/definition.h"

namespace vardel {

using platform::programFolder;
using ui::Alignment;
using ui::Application;
using ui::Cursor;

namespace {
using ui::kSansSerif;
const QString kArial = QStringLiteral("Arial");
}  // namespace

TfrmMapa::TfrmMapa(Variant variant) : variant_(variant) {
  setObjectName(QStringLiteral("frmMapa"));
  setBorderStyle(ui::BorderStyle::bsNone);
  setColor(ui::clWhite);
  setCaption(QStringLiteral("VARDEL"));
  setBounds(0, 0, 800, 600);
  defineControls();
  defineKeys();
  onCloseQuery = [this](QObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  onClose = [this](QObject* sender, ui::CloseAction& action) { FormClose(sender, action); };
  FormCreate(this);
  lectura_ = std::make_unique<Lectura>(*this);
}

TfrmMapa::~TfrmMapa() = default;

// The window definition, line by line.
void TfrmMapa::defineControls() {
  // clang-format off
  ui::Definition d(this, client());
  d.add(ImgFondo, "ImgFondo", 0, 0, 800, 600).center().onClick(&TfrmMapa::ImgFondoClick);
  d.add(c1, "c1", 0, 0, 50, 50).cursor(Cursor::crHandPoint).onEnter(&TfrmMapa::c1Enter).onExit(&TfrmMapa::c1Exit)
      .onMouseUp(&TfrmMapa::c1MouseUp);
  d.add(Label1, "Label1", 5, 132, 124, 221).autoSize(false).alignment(Alignment::taCenter).wordWrap().transparent()
      .font(kSansSerif, 12, ui::fsBold, true).visible(false);
  d.add(Shape21, "Shape21", 31, 528, 81, 28).cursor(Cursor::crHandPoint)
      .hint(QStringLiteral("Editor de ficheros de ONDRAVIA VARDEL, donde podrás crear tus propios documentos"))
      .onEnter(&TfrmMapa::c1Enter).onExit(&TfrmMapa::c1Exit).onMouseUp(&TfrmMapa::Shape21MouseUp);
  auto closeButton = d.add(Shape22, "Shape22", 765, 1, 28, 25).cursor(Cursor::crHandPoint)
      .hint(QStringLiteral("Cierra la aplicación y vuelve a Windows")).onEnter(&TfrmMapa::c1Enter).onExit(&TfrmMapa::c1Exit);
  if (hasWebBrowser()) closeButton.onMouseUp(&TfrmMapa::Shape22MouseUp);
  else closeButton.onMouseDown(&TfrmMapa::Shape22MouseUp);
  d.add(Shape24, "Shape24", 733, 3, 28, 23).cursor(Cursor::crHandPoint)
      .hint(QStringLiteral("Minimiza el programa VARDEL")).onEnter(&TfrmMapa::c1Enter).onExit(&TfrmMapa::c1Exit)
      .onMouseDown(&TfrmMapa::Shape24MouseDown);
  d.add(lbReloj, "lbReloj", 43, 443).transparent().font(kArial, 13, ui::fsBold).fontColor(ui::clBlack).visible(false);
  d.add(imgSecciones, "imgSecciones", 4, 121).autoSize().visible(false);
  d.add(Shape23, "Shape23", 5, 565, 58, 27).cursor(Cursor::crHandPoint)
      .hint(QStringLiteral("Lector de CD de ONDRAVIA VARDEL, donde podrás escuchar tus CDs de audio"))
      .onEnter(&TfrmMapa::c1Enter).onExit(&TfrmMapa::c1Exit).onMouseDown(&TfrmMapa::Shape23MouseUp);
  d.add(Shape26, "Shape26", -1, 2, 140, 35).cursor(Cursor::crHandPoint)
      .hint(QStringLiteral("Acerca del Proyecto VARDEL")).onEnter(&TfrmMapa::c1Enter).onExit(&TfrmMapa::c1Exit)
      .onMouseDown(&TfrmMapa::Shape26MouseDown);
  d.add(imgMapita, "imgMapita", 0, 0).autoSize().cursor(Cursor::crHandPoint).visible(false)
      .onMouseDown(&TfrmMapa::imgMapitaMouseDown);
  d.add(Shape27, "Shape27", 67, 568, 65, 27).cursor(Cursor::crHandPoint)
      .hint(QStringLiteral("Lector de MP3 de ONDRAVIA VARDEL, donde podrás escuchar tus ficheros MP3"))
      .onEnter(&TfrmMapa::c1Enter).onExit(&TfrmMapa::c1Exit).onMouseDown(&TfrmMapa::Shape27MouseUp);
  d.add(Shape28, "Shape28", 16, 480, 101, 41).cursor(Cursor::crHandPoint)
      .hint(QStringLiteral("¡TUMBLO! El fantástico juego de ONDRAVIA VARDEL")).onEnter(&TfrmMapa::c1Enter)
      .onExit(&TfrmMapa::c1Exit).onMouseDown(&TfrmMapa::Shape28MouseDown);

  // The windowed controls lie above every picture, label and hotspot.
  w = new THTML(client());
  w->setObjectName(QStringLiteral("w"));
  w->SetContentFolder(programFolder());  // the magazine sees only its own folder
  if (hasWebBrowser()) {
    w->setGeometry(50, 10000, 660, 600);  // never on screen: it only parses for the editor
    w->show();
  } else {
    w->setGeometry(140, 0, 660, 600);
    w->hide();
  }
  w->OnParseComplete = [this](QObject* sender) { wParseComplete(sender); };

  d.add(panelAcercaDe, "panelAcercaDe", 0, 0, 800, 600).color(ui::clSilver).visible(false);
  ui::Definition credits(this, panelAcercaDe);
  credits.add(imgAcercaDe, "imgAcercaDe", 0, 0, 800, 600);
  const auto role = [&](ui::Label*& label, const char* name, int left, int top, int wrap, const QString& text) {
    credits.add(label, name, left, top, wrap, 0).wordWrap().caption(text).transparent()
        .font(kSansSerif, 12, ui::fsBold).fontColor(ui::clBlack);
  };
  const auto person = [&](ui::Label*& label, const char* name, int top, const QString& text) {
    credits.add(label, name, 348, top).caption(text).transparent().font(kSansSerif, 12).fontColor(ui::clMaroon);
  };
  credits.add(Label2, "Label2", 231, 226).caption(QStringLiteral("CREDITOS DEL VARDEL")).transparent()
      .font(kSansSerif, 12, ui::fsBold | ui::fsUnderline).fontColor(ui::clBlack);
  role(Label3, "Label3", 233, 253, 89, QStringLiteral("Coordinación y juego \"Tumblo\":"));
  role(Label6, "Label6", 233, 288, 97, QStringLiteral("Jefe de Proyecto y Programación:"));
  role(Label4, "Label4", 233, 324, 96, QStringLiteral("Diseño Artístico e ilustraciones:"));
  role(Label10, "Label10", 233, 359, 92, QStringLiteral("Colaboraciones especiales:"));
  role(Label16, "Label16", 233, 400, 85, QStringLiteral("Ideas y Apoyo moral:"));
  person(Label7, "Label7", 261, QStringLiteral("Íñigo Salvatierra"));
  person(Label5, "Label5", 295, QStringLiteral("Marta Ugarte Llorens"));
  person(Label8, "Label8", 331, QStringLiteral("Candela Ríos Maestre"));
  person(Label9, "Label9", 360, QStringLiteral("Coro de Puerto Vardel"));
  person(Label15, "Label15", 377, QStringLiteral("Bruno Achával"));
  person(Label11, "Label11", 409, QStringLiteral("Los vecinos de Ondravia"));
  credits.add(Label12, "Label12", 461, 465).caption(QStringLiteral("VOLVER")).transparent()
      .font(kSansSerif, 15, ui::fsBold).fontColor(ui::clRed);
  credits.add(Shape25, "Shape25", 448, 461, 85, 28).cursor(Cursor::crHandPoint).onMouseDown(&TfrmMapa::Shape25MouseDown);

  if (hasWebBrowser()) {
    wIE4 = new TWebBrowser(client());
    wIE4->setObjectName(QStringLiteral("wIE4"));
    wIE4->SetContentFolder(programFolder());
    wIE4->setGeometry(140, 5000, 660, 600);
    wIE4->show();
    wIE4->OnBeforeNavigate2 = [this](QObject* s, const QString& url, bool& cancel) { wIE4BeforeNavigate2(s, url, cancel); };
    wIE4->OnStatusTextChange = [this](QObject* s, const QString& text) { wIE4StatusTextChange(s, text); };
    wIE4->OnNewWindow2 = [this](QObject* s, bool& cancel) { wIE4NewWindow2(s, cancel); };
  }

  d.timer(tmReloj, "tmReloj").interval(1000).enabled(true).onTimer(&TfrmMapa::tmRelojTimer);
  d.timer(tmPresenta, "tmPresenta").interval(6600).enabled(false).onTimer(&TfrmMapa::tmPresentaTimer);

  mp3 = new TMPEGPlayer(this);
  mp3->setObjectName(QStringLiteral("mp3"));
  mp3->setSeekable(false);
  mp3->setFromStream(false);
  mp3->setPlayerPriority(TPlayPriority::Normal);
  mp3->setUseTimer(false);
  mp3->setTimerFreq(0);
  mp3->setAutoPlay(false);
  mp3->setOutputDevice(TOutputDevice::wavemapper);
  mp3->setStartPos(0);
  mp3->setEndPos(0);
  // clang-format on
}

void TfrmMapa::loadPicture(ui::Image* image, const char* name) {
  image->loadPicture(programFolder() + QStringLiteral("Graficos\\") + QString::fromLatin1(name) + QLatin1Char('.'));
}

void TfrmMapa::FormCreate(QObject*) {
  Application::instance().setCursor(Cursor::crHourGlass);  // until the opening ends
  move(-5000, -5000);
  try {
    loadPicture(ImgFondo, "p8");
  } catch (const std::exception&) {
  }
  resize(800, 600);
  CargarCiudades();
  PrepararTeclado();
  Nivel = 1;
}

void TfrmMapa::CargarCiudades() {
  const platform::IniFile ini = platform::IniFile::open(programFolder() + QString::fromLatin1(kConfigFile));
  const std::uint8_t count = readCityCount(ini);
  ConfigurarCiudad(c1, ini);
  for (int n = 2; n <= 15 && cityExists(count, n); ++n) {
    auto* city = new TShape2(client());
    city->setName(QStringLiteral("c") + QString::number(n));
    // Cities made now lie above every other picture, label and hotspot, below the windowed
    // controls.
    city->stackUnder(w);
    city->show();
    cN[size_t(n)] = city;
    ConfigurarCiudad(city, ini);
  }
}

void TfrmMapa::ConfigurarCiudad(TShape2* shape, const platform::IniFile& ini) {
  const QString number = shape->Name().mid(1, 2);
  if (shape->parentWidget() != client()) shape->setParent(client());
  const CityConfig city = readCity(ini, number);
  shape->resize(std::max(0, city.width), std::max(0, city.height));
  shape->Hint = city.hint;
  shape->move(city.left, city.top);
  shape->Cadena = city.file;
  shape->OnEnter = [this](QObject* s) { c1Enter(s); };
  shape->OnExit = [this](QObject* s) { c1Exit(s); };
  shape->onMouseUp = [this](QObject* s, ui::MouseButton b, ui::ShiftState st, int x, int y) {
    c1MouseUp(s, b, st, x, y);
  };
  shape->setCursor(Qt::PointingHandCursor);
  shape->setPenStyle(ui::PenStyle::psClear);
  shape->setBrushStyle(ui::BrushStyle::bsClear);
  shape->tag = number.toInt();
}

void TfrmMapa::c1Enter(QObject* sender) {
  if (Nivel != 1) return;
  if (const auto* shape = qobject_cast<TShape2*>(sender)) Label1->setCaption(shape->Hint);
}

void TfrmMapa::c1Exit(QObject*) { Label1->setCaption(QString()); }

void TfrmMapa::revealDocument(bool show) {
  if (hasWebBrowser()) {
    wIE4->move(wIE4->x(), show ? 0 : 5000);
  } else {
    w->setVisible(show);
  }
}

void TfrmMapa::c1MouseUp(QObject* sender, ui::MouseButton, ui::ShiftState, int, int) {
  if (auto* city = qobject_cast<TShape2*>(sender)) openCity(city, city->Cadena);
}

void TfrmMapa::openCity(TShape2* city, const QString& file) {
  Application::instance().setCursor(Cursor::crHourGlass);
  MostrarSeccion(static_cast<std::uint8_t>(city->tag & 0xFF));
  revealDocument(true);
  lectura_->cityOpened(city->tag & 0xFF);
  try {
    AbrirFichero(file);
  } catch (const std::exception&) {
    Application::instance().messageBox(QStringLiteral("No se ha encontrado el fichero: ") + programFolder() + file);
  }
  Application::instance().setCursor(Cursor::crDefault);
}

void TfrmMapa::MostrarSeccion(std::uint8_t number) {
  Nivel = 2;
  try {
    imgSecciones->loadPicture(programFolder() + QStringLiteral("Graficos\\s") + QString::number(number) +
                              QLatin1Char('.'));
    loadPicture(imgMapita, "p5");
  } catch (const std::exception&) {
  }
  imgMapita->show();
  imgSecciones->show();
}

void TfrmMapa::imgMapitaMouseDown(QObject*, ui::MouseButton, ui::ShiftState shift, int, int) {
  if ((shift & ui::ssCtrl) && (shift & ui::ssAlt) && (shift & ui::ssLeft)) {
    AbrirFichero(QStringLiteral("extra1.html"));
    return;
  }
  Application::instance().setCursor(Cursor::crHourGlass);
  revealDocument(false);
  if (Nivel == 2) {
    imgMapita->hide();
    imgMapita->clearPicture();
    imgSecciones->hide();
    imgSecciones->clearPicture();
  }
  --Nivel;
  Application::instance().setCursor(Cursor::crDefault);
}

bool TfrmMapa::contentFolderIsOwn() { return platform::isPersonsOwnFolder(programFolder()); }

void TfrmMapa::tmRelojTimer(QObject*) { lbReloj->setCaption(platform::currentLongTime()); }

void TfrmMapa::playOpeningMusic() {
  if (!mp3) return;
  try {
    mp3->setPathToDLL(platform::installationFolder());  // the program's own decoder, not the disc's
    mp3->LoadDLL();
    mp3->setStreamName(programFolder() + QStringLiteral("Musica\\Ondravia.mp3"));
    mp3->Open();
    mp3->Play();
  } catch (const std::exception&) {
  }
}

void TfrmMapa::showAtOrigin() {
  show();
  raise();
  ImgFondo->repaint();
  move(0, 0);
  activateWindow();
}

void TfrmMapa::handOver(ui::Form* opening) {
  opening_ = opening;
  showAtOrigin();
  tmPresenta->setEnabled(true);
}

void TfrmMapa::skipOpening(ui::Form* opening) {
  opening_ = opening;
  finishOpening(true);
}

void TfrmMapa::finishOpening(bool skipped) {
  if (skipped) {
    if (mp3) {
      try {
        mp3->Stop();
      } catch (const std::exception&) {
      }
    }
    try {
      loadPicture(ImgFondo, "p3");
    } catch (const std::exception&) {
    }
    showAtOrigin();
  }
  lbReloj->show();
  Label1->show();
  if (opening_) opening_->close();
  Application::instance().setCursor(Cursor::crDefault);
}

void TfrmMapa::tmPresentaTimer(QObject*) {
  if (tmPresenta->tag == 0) {
    try {
      loadPicture(ImgFondo, "p3");
    } catch (const std::exception&) {
    }
    tmPresenta->setInterval(5250);
  } else if (tmPresenta->tag == 1) {
    tmPresenta->setEnabled(false);
    finishOpening(false);
  }
  ++tmPresenta->tag;
}

// Between the hand-over and the second tick of tmPresenta only; the timer stays enabled, and its
// remaining ticks repeat what is already done.
void TfrmMapa::ImgFondoClick(QObject*) {
  if (!tmPresenta->enabled()) return;
  finishOpening(true);
  ImgFondo->lower();
}

void TfrmMapa::FormClose(QObject*, ui::CloseAction&) {
  for (TShape2*& city : cN) {
    delete city;
    city = nullptr;
  }
  tmReloj->setEnabled(false);
}

}  // namespace vardel

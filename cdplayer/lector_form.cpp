// The CD player window: its definition, the 500 ms poll of the drive and the hotspots.
#include "cdplayer/lector_form.h"
#include "cdplayer/lector_hotspots.h"

#include "components/gradcaption.h"
#include "components/shape2.h"
#include "platform/mci/mci.h"
#include "platform/paths.h"
#include "ui/application.h"
#include "ui/definition.h"
#include "ui/keyboard_navigation.h"

namespace vardel {

using namespace platform;
using ui::Alignment;
using ui::Application;
using ui::Cursor;

namespace {
using ui::kSansSerif;
}  // namespace

TfrmLector::TfrmLector(ui::Form* owner) : ui::Form(owner) {
  setObjectName(QStringLiteral("frmLector"));
  setBorderStyle(ui::BorderStyle::bsSingle);
  setBorderIcons(0);
  setColor(ui::clWhite);
  setStayOnTop(true);
  setClientSize(294, 296);
  move(20, 156);
  defineControls();
  // The buttons from the keyboard: the row of the transport keys, then the tray and the close.
  new ui::HotspotNavigator(this,
                           [this] { return QList<QWidget*>{Shape25, Shape24, Shape23, Shape22, Shape21, Shape26}; });
  setCaption(QStringLiteral(" "));
  onClose = [this](QObject* sender, ui::CloseAction& action) { FormClose(sender, action); };
  runSetUp([this] { FormCreate(this); });
  if (!liberando_) show();
}

TfrmLector::~TfrmLector() = default;

// The window definition, line by line.
void TfrmLector::defineControls() {
  // clang-format off
  ui::Definition d(this, client());
  d.add(imgFondo, "imgFondo", 2, 2, 289, 292).autoSize();
  imgFondo->setPicture(builtInPanelPicture());
  const auto label = [&](ui::Label*& field, const char* name, int left, int top, const QString& text,
                         ui::FontStyles styles = ui::fsNone) {
    return d.add(field, name, left, top).caption(text).font(kSansSerif, 11, styles).transparent();
  };
  label(Label6, "Label6", 6, 6, QStringLiteral("CD AUDIO"), ui::fsBold).transparent(false).color(ui::clWhite);
  d.add(NumeroPistas, "NumeroPistas", 1, 24, 16, 16).autoSize(false).caption(QStringLiteral("-"))
      .alignment(Alignment::taRightJustify).font(kSansSerif, 11).transparent();
  label(Label1, "Label1", 20, 24, QStringLiteral("pistas"));
  d.add(DuracionDisco, "DuracionDisco", 49, 24, 43, 16).autoSize(false).caption(QStringLiteral("-:--:--"))
      .alignment(Alignment::taRightJustify).font(kSansSerif, 11).transparent();
  label(Label2, "Label2", 94, 24, QStringLiteral("seg"));
  label(Label3, "Label3", 186, 68, QStringLiteral("Pista:"), ui::fsBold);
  label(PistaActual, "PistaActual", 221, 68, QStringLiteral("-"));
  label(Label4, "Label4", 186, 85, QStringLiteral("Duración:"), ui::fsBold);
  label(DuracionPista, "DuracionPista", 245, 85, QStringLiteral("-"));
  label(Label5, "Label5", 186, 103, QStringLiteral("Posición:"), ui::fsBold);
  label(PosicionPista, "PosicionPista", 240, 104, QStringLiteral("-:--"));
  d.add(Label7, "Label7", 155, 157, 127, 87).autoSize(false).alignment(Alignment::taCenter).wordWrap()
      .font(kSansSerif, 11).transparent();

  using Handler = void (TfrmLector::*)(QObject*, ui::MouseButton, ui::ShiftState, int, int);
  const auto hotspot = [&](TShape2*& field, const char* name, const QRect& at, const QString& text,
                           Handler handler) {
    d.add(field, name, at.x(), at.y(), at.width(), at.height()).cursor(Cursor::crHandPoint).onMouseDown(handler)
        .onEnter(&TfrmLector::Shape25Enter).onExit(&TfrmLector::Shape25Exit);
    field->Cadena = text;
    field->setAccessibleName(text);
  };
  hotspot(Shape21, "Shape21", kCdTray, QStringLiteral("Abre o cierra la bandeja del lector de CD"),
          &TfrmLector::Shape21MouseDown);
  hotspot(Shape22, "Shape22", kCdNext, QStringLiteral("Avanza a la siguiente pista de audio"),
          &TfrmLector::Shape22MouseDown);
  hotspot(Shape23, "Shape23", kCdStop,
          QStringLiteral("Detiene la reproducción de la pista actual de audio"), &TfrmLector::Shape23MouseDown);
  hotspot(Shape24, "Shape24", kCdPlay, QStringLiteral("Reproduce la pista actual de audio"),
          &TfrmLector::Shape24MouseDown);
  hotspot(Shape25, "Shape25", kCdPrevious, QStringLiteral("Retrocede a la anterior pista de audio"),
          &TfrmLector::Shape25MouseDown);
  hotspot(Shape26, "Shape26", kCdClose,
          QStringLiteral("Cierra el reproductor dejando el lector de CD en la configuración actual"),
          &TfrmLector::Shape26MouseDown);

  d.timer(Reloj, "Reloj").interval(500).enabled(true).onTimer(&TfrmLector::RelojTimer);

  GradientCaption1 = new TGradientCaption(this);
  GradientCaption1->setObjectName(QStringLiteral("GradientCaption1"));
  GradientCaption1->AppNameText()->setCaption(QStringLiteral("Ondravia VARDEL v1.0"));
  GradientCaption1->AppNameText()->setFontKind(fkSystemB);
  GradientCaption1->CaptionText()->setCaption(QStringLiteral(" "));
  GradientCaption1->CaptionText()->setFontKind(fkSystem);
  GradientCaption1->CompanyText()->setCaption(QStringLiteral("Ralvek's"));
  GradientCaption1->CompanyText()->setFont(ui::FontData{kSansSerif, -11, ui::fsBold});
  GradientCaption1->CompanyText()->setVisible(false);
  GradientCaption1->setColor(ui::clNavy);
  GradientCaption1->setNumColors(256);
  // clang-format on
}

std::uint32_t TfrmLector::estado(std::uint32_t item, std::uint32_t track) const {
  MCI_STATUS_PARMS p;
  p.dwItem = item;
  p.dwTrack = track;
  // The result is not examined: the window shows whatever the drive answers.
  mciSendCommand(Dispositivo, MCI_STATUS, MCI_STATUS_ITEM | (track ? MCI_TRACK : 0), &p);
  return std::uint32_t(p.dwReturn);
}

void TfrmLector::FormCreate(QObject*) {
  Pista = 1;
  // Without the picture the set-up ends here: the panel drawn in the window definition stays,
  // and the drive is not opened.
  imgFondo->loadPicture(programFolder() + QStringLiteral("Graficos\\p6."));
  MCI_OPEN_PARMS open;
  open.lpstrDeviceType = "CDAudio";
  if (mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open) != 0) {
    Application::instance().setCursor(Cursor::crDefault);  // not the hourglass over the message
    Application::instance().messageBox(QStringLiteral("No es posible abrir el dispositivo del CD de Audio"));
    closeForm();
  } else {
    Dispositivo = open.wDeviceID;
  }
  MCI_SET_PARMS set;
  set.dwTimeFormat = MCI_FORMAT_TMSF;
  mciSendCommand(Dispositivo, MCI_SET, MCI_SET_TIME_FORMAT, &set);
  ModoAnterior = MCI_MODE_OPEN;
  Application::instance().setCursor(Cursor::crDefault);  // the map set the hourglass
}

void TfrmLector::FormClose(QObject*, ui::CloseAction& action) {
  Application::instance().setCursor(Cursor::crDefault);
  action = ui::CloseAction::caFree;
  liberando_ = true;
}

void TfrmLector::RelojTimer(QObject*) {
  const std::uint32_t modo = estado(MCI_STATUS_MODE);
  if (modo == MCI_MODE_PLAY) LeerPista();
  if (modo == ModoAnterior) return;
  switch (modo) {
    case MCI_MODE_NOT_READY:
    case MCI_MODE_OPEN:
      Shape21->setEnabled(true);
      Shape24->setEnabled(false);
      Shape23->setEnabled(false);
      break;
    case MCI_MODE_STOP:
      Shape21->setEnabled(true);
      Shape24->setEnabled(true);
      Shape23->setEnabled(false);
      if (ModoAnterior == MCI_MODE_OPEN) LeerDisco();
      break;
    case MCI_MODE_PLAY:
      Shape21->setEnabled(false);
      Shape24->setEnabled(false);
      Shape23->setEnabled(true);
      if (ModoAnterior == MCI_MODE_OPEN) LeerDisco();
      break;
    default:
      break;
  }
  ModoAnterior = modo;
}

void TfrmLector::LeerDisco() {
  const std::uint32_t pistas = estado(MCI_STATUS_NUMBER_OF_TRACKS);
  NumPistas = std::uint8_t(pistas);
  NumeroPistas->setCaption(QString::number(pistas));
  const std::uint32_t duracion = estado(MCI_STATUS_LENGTH);
  const unsigned m = MCI_MSF_MINUTE(duracion), s = MCI_MSF_SECOND(duracion);
  DuracionDisco->setCaption(QString::asprintf("%2d:%2d:%2d", m / 60, m % 60, s));
  PistaActual->setCaption(QStringLiteral("-"));
  DuracionPista->setCaption(QStringLiteral("-"));
  PosicionPista->setCaption(QStringLiteral("-"));
}

void TfrmLector::LeerPista() {
  const std::uint32_t pista = estado(MCI_STATUS_CURRENT_TRACK);
  PistaActual->setCaption(QString::number(pista));
  Pista = std::uint8_t(pista);
  const std::uint32_t duracion = estado(MCI_STATUS_LENGTH, Pista);
  DuracionPista->setCaption(QString::asprintf("%2d:%2d", MCI_MSF_MINUTE(duracion), MCI_MSF_SECOND(duracion)));
  const std::uint32_t posicion = estado(MCI_STATUS_POSITION);
  PosicionPista->setCaption(QString::asprintf("%2d:%2d", MCI_TMSF_MINUTE(posicion), MCI_TMSF_SECOND(posicion)));
}

void TfrmLector::Shape21MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  mciSendCommand(Dispositivo, MCI_SET, ModoAnterior == MCI_MODE_OPEN ? MCI_SET_DOOR_CLOSED : MCI_SET_DOOR_OPEN,
                 nullptr);
}

// Plays from the start of track `Pista` to the end of the disc.
void TfrmLector::reproducirPista() {
  MCI_PLAY_PARMS p;
  p.dwFrom = MCI_MAKE_TMSF(Pista, 0, 0, 0);
  mciSendCommand(Dispositivo, MCI_PLAY, MCI_FROM, &p);
}

void TfrmLector::Shape22MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  if (Pista >= NumPistas) return;
  ++Pista;
  reproducirPista();
}

void TfrmLector::Shape25MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  if (Pista <= 1) return;
  --Pista;
  reproducirPista();
}

void TfrmLector::Shape24MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  mciSendCommand(Dispositivo, MCI_PLAY, 0, nullptr);
}

void TfrmLector::Shape23MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  mciSendCommand(Dispositivo, MCI_STOP, 0, nullptr);
}

// Only hides: the drive, the timer and the open device go on.
void TfrmLector::Shape26MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) { hide(); }

void TfrmLector::Shape25Enter(QObject* sender) {
  if (const auto* shape = qobject_cast<TShape2*>(sender)) Label7->setCaption(shape->Cadena);
}

void TfrmLector::Shape25Exit(QObject*) { Label7->setCaption(QString()); }

}  // namespace vardel

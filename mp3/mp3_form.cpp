// The MP3 player window: its definition, creation, hotspots, progress and the end of play.
#include "mp3/mp3_form.h"

#include "components/gradcaption.h"
#include "components/shape2.h"
#include "components/slider.h"
#include "mp3/mpegplayer.h"
#include "platform/file_limits.h"
#include "platform/paths.h"
#include "ui/application.h"
#include "ui/definition.h"
#include "ui/file_dialog.h"
#include "ui/keyboard_navigation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QScopedValueRollback>

#include <cerrno>
#include <limits>

#include <unistd.h>

namespace vardel {

using ui::Application;
using ui::Cursor;

namespace {

using ui::kSansSerif;
constexpr int kFontPixels = 11;             // "MS Sans Serif" of height -11
constexpr ui::Color kPanelColor = 9421024;  // 0x008FC0E0

QFile* fileOf(void* context) { return static_cast<QFile*>(context); }

}  // namespace

TfrmMP3::TfrmMP3(ui::Form* owner) : ui::Form(owner) {
  setObjectName(QStringLiteral("frmMP3"));
  setBorderStyle(ui::BorderStyle::bsSingle);
  setBorderIcons(0);
  setColor(ui::clWhite);
  setStayOnTop(true);
  move(324, 157);
  setClientSize(295, 296);
  defineControls();
  defineComponents();
  defineCaption();
  new ui::HotspotNavigator(this, [this] { return QList<QWidget*>{StopBtn, PlayBtn, PauseBtn, OpenBtn, Shape21}; });
  setCaption(QStringLiteral(" "));
  onClose = [this](QObject* sender, ui::CloseAction& action) { FormClose(sender, action); };
  runSetUp([this] { FormCreate(this); });
  show();
}

TfrmMP3::~TfrmMP3() = default;

// The window definition, line by line.
void TfrmMP3::defineControls() {
  // clang-format off
  ui::Definition d(this, client());
  const auto hotspot = [&](TShape2*& shape, const char* name, int left, int top, int width, int height,
                           const QString& hint) -> ui::ControlDef<TfrmMP3, TShape2> {
    return d.add(shape, name, left, top, width, height).cursor(Cursor::crHandPoint).hint(hint)
        .onEnter(&TfrmMP3::Shape21Enter).onExit(&TfrmMP3::Shape21Exit);
  };
  d.add(imgFondo, "imgFondo", 3, 2, 289, 292).autoSize();
  d.add(Label6, "Label6", 12, 8, 106, 12).autoSize(false).alignment(ui::Alignment::taCenter)
      .font(kSansSerif, kFontPixels, ui::fsBold).color(ui::clWhite).caption(QStringLiteral("MP3 AUDIO"));
  hotspot(StopBtn, "StopBtn", 172, 162, 19, 20, QStringLiteral("Detiene la ejecución del fichero MP3"))
      .onMouseDown(&TfrmMP3::StopBtnMouseDown);
  hotspot(PlayBtn, "PlayBtn", 194, 163, 20, 20, QStringLiteral("Reproduce el actual fichero MP3"))
      .onMouseUp(&TfrmMP3::PlayBtnMouseUp);
  hotspot(PauseBtn, "PauseBtn", 215, 162, 18, 19, QStringLiteral("Detiene la Reproducción actual del fichero MP3"))
      .onMouseUp(&TfrmMP3::PauseBtnMouseUp);
  hotspot(OpenBtn, "OpenBtn", 236, 162, 19, 21, QStringLiteral("Abre el menú de carga de ficheros MP3"))
      .onMouseUp(&TfrmMP3::OpenBtnMouseUp);
  hotspot(Shape21, "Shape21", 187, 265, 102, 26,
          QStringLiteral("Cierra el reproductor dejando el fichero MP3 en la configuración actual"))
      .onMouseDown(&TfrmMP3::Shape21MouseDown);
  d.add(Label3, "Label3", 121, 201, 165, 61).autoSize(false).transparent().wordWrap().font(kSansSerif, kFontPixels);
  d.add(Panel1, "Panel1", 173, 93, 106, 31).color(kPanelColor);
  ui::Definition panel(this, Panel1);
  panel.add(Label1, "Label1", 1, 1).font(kSansSerif, kFontPixels, ui::fsBold).transparent()
      .caption(QStringLiteral("Duración:"));
  panel.add(LengthLabel, "LengthLabel", 59, 2).font(kSansSerif, kFontPixels).transparent().caption(QStringLiteral("0"));
  panel.add(Label4, "Label4", 1, 17).font(kSansSerif, kFontPixels, ui::fsBold).transparent()
      .caption(QStringLiteral("Posición:"));
  panel.add(Label5, "Label5", 59, 17).font(kSansSerif, kFontPixels).transparent().caption(QStringLiteral("0"));

  // Never shown; their handlers run only if a control is made visible.
  d.add(Slider1, "Slider1", 375, 92, 108, 56).color(kPanelColor).visible(false);
  Slider1->setEdgeSize(1);
  Slider1->setNumThumbStates(2);
  Slider1->setOptions(soSmooth);
  Slider1->setIncrement(10);
  Slider1->setMinValue(0);
  Slider1->setMaxValue(100);
  Slider1->setValue(0);
  Slider1->OnStopTracking = [this](QObject* sender) { Slider1Change(sender); };
  d.add(PriorityCombo, "PriorityCombo", 109, 356, 97, 21).visible(false);
  PriorityCombo->addItems({QStringLiteral("Idle"), QStringLiteral("Lowest"), QStringLiteral("Below normal"),
                           QStringLiteral("Normal"), QStringLiteral("Above normal"), QStringLiteral("Highest"),
                           QStringLiteral("Time critical")});
  PriorityCombo->setCurrentIndex(-1);
  connect(PriorityCombo, &QComboBox::activated, this, [this] { ui::guarded([this] { PriorityComboChange(PriorityCombo); }); });
  d.add(LoopedCB, "LoopedCB", 114, 398, 105, 17).visible(false);
  LoopedCB->setText(QStringLiteral("Looped playback"));
  LoopedCB->setChecked(false);
  d.add(Label2, "Label2", 386, 401).font(kSansSerif, kFontPixels).caption(QStringLiteral("Priority")).visible(false);
  // clang-format on
}

void TfrmMP3::defineComponents() {
  // clang-format off
  OpenDialog1 = new ui::OpenDialog(this);
  OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
  OpenDialog1->Filter = QStringLiteral("mp*|*.mp*");
  OpenDialog1->DefaultExt = QStringLiteral("*.mp3");
  // The path and the file must exist. (Qt's dialog has no read-only box to hide.)
  OpenDialog1->Options = ui::ofNoChangeDir | ui::ofFileMustExist;

  ui::Definition d(this, client());
  d.timer(Timer1, "Timer1").interval(250).enabled(true).onTimer(&TfrmMP3::Timer1Timer);

  MPlayer = new TMPEGPlayer(this);
  MPlayer->setObjectName(QStringLiteral("MPlayer"));
  MPlayer->setSeekable(true);
  MPlayer->setFromStream(false);
  MPlayer->setPlayerPriority(TPlayPriority::Normal);
  MPlayer->setUseTimer(true);
  MPlayer->setTimerFreq(500);
  MPlayer->setAutoPlay(false);
  MPlayer->setOutputDevice(TOutputDevice::wavemapper);
  MPlayer->setStartPos(0);
  MPlayer->setEndPos(0);
  MPlayer->OnPosUpdate = [this](int32_t pos, int32_t len) { MPlayerPosUpdate(pos, len); };
  MPlayer->OnPlayEnd = [this](QObject* sender) { MPlayerPlayEnd(sender); };
  // clang-format on
}

void TfrmMP3::defineCaption() {
  // clang-format off
  GradientCaption1 = new TGradientCaption(this);
  GradientCaption1->setObjectName(QStringLiteral("GradientCaption1"));
  GradientCaption1->AppNameText()->setCaption(QStringLiteral("Ondravia VARDEL v1.0"));
  GradientCaption1->AppNameText()->setFontKind(fkSystemB);
  GradientCaption1->CaptionText()->setCaption(QStringLiteral(" "));
  GradientCaption1->CaptionText()->setFontKind(fkSystem);
  GradientCaption1->CompanyText()->setCaption(QStringLiteral("Ralvek's"));
  GradientCaption1->CompanyText()->setFont(ui::FontData{kSansSerif, -kFontPixels, ui::fsBold});
  GradientCaption1->CompanyText()->setVisible(false);
  GradientCaption1->setColor(ui::clNavy);
  GradientCaption1->setNumColors(256);
  // clang-format on
}

void TfrmMP3::FormCreate(QObject*) {
  // No built-in picture: without p9 the image stays empty.
  imgFondo->loadPicture(platform::programFolder() + QStringLiteral("Graficos\\p9."));
  MPlayer->LoadDLL();
  MPlayer->OnOpenStream = [this](bool& nonseekable, void*& context) { MPlayerOpenStream(nonseekable, context); };
  MPlayer->OnCloseStream = [this](void* context) { MPlayerCloseStream(context); };
  MPlayer->OnRestartStream = [this](void* context, bool& res) { MPlayerRestartStream(context, res); };
  MPlayer->OnReadStream = [this](void* context, void* buffer, int32_t wanted, int32_t& read, bool& res) {
    MPlayerReadStream(context, buffer, wanted, read, res);
  };
  MPlayer->OnSeekStream = [this](void* context, int32_t numbytes, int32_t method, int32_t& res) {
    MPlayerSeekStream(context, numbytes, method, res);
  };
  MPlayer->OnGetStreamSize = [this](void* context, int32_t& res) { MPlayerGetStreamSize(context, res); };
  MPlayer->setEndPos(MPlayer->StreamLength());  // 0 right after loading: to the end
  Application::instance().setCursor(Cursor::crDefault);
}

// Linux has no share modes: the file is opened for reading only, without excluding others.
void TfrmMP3::MPlayerOpenStream(bool& Nonseekable, void*& Context) {
  // Only a regular file within the audio limit, examined before it is opened: a pipe or a
  // device would hold the player for ever.
  platform::FileRefusal refusal = platform::FileRefusal::None;
  const int fd = platform::openRegularFile(QFile::encodeName(platform::nativePath(MPlayer->StreamName())).constData(),
                                           platform::kMaxAudioFileBytes, &refusal);
  const int systemError = errno;
  auto* file = new QFile;
  if (fd < 0 || !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    if (fd >= 0) ::close(fd);
    delete file;
    throw ui::Error(refusal == platform::FileRefusal::Missing || refusal == platform::FileRefusal::Unreadable
                        ? qt_error_string(systemError)
                        : QString::fromLatin1(platform::refusalText(refusal)));
  }
  Context = file;
  Nonseekable = false;
}

void TfrmMP3::MPlayerCloseStream(void* Context) { delete fileOf(Context); }

void TfrmMP3::MPlayerRestartStream(void* Context, bool& res) {
  QFile* file = fileOf(Context);
  res = file && file->seek(0) && file->pos() == 0;
}

void TfrmMP3::MPlayerReadStream(void* Context, void* read_buffer, int32_t nNumberOfBytesToRead,
                                int32_t& nNumberOfBytesRead, bool& res) {
  QFile* file = fileOf(Context);
  const qint64 read =
      file && nNumberOfBytesToRead > 0 ? file->read(static_cast<char*>(read_buffer), nNumberOfBytesToRead) : 0;
  // A read error is the failure answer, not a count of -1.
  nNumberOfBytesRead = read > 0 ? int32_t(read) : 0;
  res = file && read >= 0;
}

void TfrmMP3::MPlayerSeekStream(void* Context, int32_t numbytes, int32_t MoveMethod, int32_t& res) {
  QFile* file = fileOf(Context);
  res = -1;
  if (!file) return;
  qint64 origin = 0;
  switch (MoveMethod) {
    case 0:
      origin = 0;
      break;
    case 1:
      origin = file->pos();
      break;
    case 2:
      origin = file->size();
      break;
    default:
      return;
  }
  const qint64 target = origin + numbytes;
  if (target < 0 || target > std::numeric_limits<int32_t>::max() || !file->seek(target)) return;
  res = int32_t(file->pos());
}

void TfrmMP3::MPlayerGetStreamSize(void* Context, int32_t& res) {
  const QFile* file = fileOf(Context);
  res = file ? int32_t(std::min<qint64>(file->size(), std::numeric_limits<int32_t>::max())) : -1;
}

void TfrmMP3::showStopped() {
  PlayBtn->setEnabled(true);
  StopBtn->setEnabled(false);
  PauseBtn->setEnabled(false);
}

void TfrmMP3::showPlaying() {
  PlayBtn->setEnabled(false);
  StopBtn->setEnabled(true);
  PauseBtn->setEnabled(true);
}

void TfrmMP3::OpenBtnMouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  try {
    if (OpenDialog1->Execute()) {
      MPlayer->setStreamName(OpenDialog1->FileName);
      OpenCurrentFile();
    }
  } catch (const std::exception&) {
  }
}

void TfrmMP3::OpenCurrentFile() {
  MPlayer->Open();
  Slider1->setMaxValue(MPlayer->StreamLength());
  Slider1->setValue(0);
  // The slider refuses a maximum below its minimum plus its increment: a file that short shows
  // the previous maximum.
  LengthLabel->setCaption(QString::number(Slider1->MaxValue()));
  showStopped();
}

void TfrmMP3::PlayBtnMouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  if (MPlayer->Paused()) {
    MPlayer->Pause(false);  // an error here reaches the error box
    PlayBtn->setEnabled(false);
    PauseBtn->setEnabled(true);
    return;
  }
  try {
    MPlayer->Play();
    showPlaying();
  } catch (const std::exception&) {
  }
}

void TfrmMP3::PauseBtnMouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  try {
    MPlayer->Pause(!MPlayer->Paused());
    PauseBtn->setEnabled(!MPlayer->Paused());
    PlayBtn->setEnabled(MPlayer->Paused());
  } catch (const std::exception&) {
  }
}

// Stop closes the stream rather than stopping it, so the next play opens the file again and
// starts at its beginning.
void TfrmMP3::StopBtnMouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  try {
    Slider1->setValue(0);
    showStopped();
    MPlayer->Close();
  } catch (const std::exception&) {
  }
}

// Only hides: playback, the timers and the loaded library go on.
void TfrmMP3::Shape21MouseDown(QObject*, ui::MouseButton, ui::ShiftState, int, int) { hide(); }

void TfrmMP3::Shape21Enter(QObject* sender) {
  if (const auto* shape = qobject_cast<TShape2*>(sender)) Label3->setCaption(shape->Hint);
}

void TfrmMP3::Shape21Exit(QObject*) { Label3->setCaption(QString()); }

void TfrmMP3::Timer1Timer(QObject*) {
  if (!MPlayer->IsLoaded()) return;
  if (MPlayer->GetPlayerMode() == MPEGDLL_MODE_PLAYING) {
    const QScopedValueRollback updating(UpdatingSlider, true);  // cleared however this ends
    // The position moves once a second and this timer ticks four times: an unchanged number is
    // neither set nor repainted again.
    const QString position = QString::number(MPlayer->GetCurrentPos());
    if (position != Label5->caption()) {
      Label5->setCaption(position);
      Label5->repaint();
    }
    Slider1->setValue(MPlayer->GetCurrentPos());
  }
  // The end of play, when this timer sees it before the component's: the component then
  // raises no OnPlayEnd, and its end flag stays set, so this repeats while the library
  // answers nonzero.
  if ((MPlayer->ResetPlayerMode() & 0xFF) != 0) {
    Slider1->setValue(0);
    Label5->setCaption(QStringLiteral("0"));
    Label5->repaint();
    showStopped();
    if (LoopedCB->isChecked()) {
      MPlayer->Restart();
      showPlaying();
    }
  }
}

void TfrmMP3::MPlayerPosUpdate(int32_t, int32_t) {
  const QScopedValueRollback updating(UpdatingSlider, true);
  Slider1->setValue(MPlayer->GetCurrentPos());
}

// The end of play taken up by the component's timer; Label5 keeps its last number.
void TfrmMP3::MPlayerPlayEnd(QObject*) {
  Slider1->setValue(0);
  showStopped();
  if (LoopedCB->isChecked()) {
    MPlayer->Restart();
    showPlaying();
  }
}

void TfrmMP3::Slider1Change(QObject*) {
  if (!UpdatingSlider) {
    const int mode = MPlayer->GetPlayerMode();
    if (mode == MPEGDLL_MODE_PLAYING || mode == MPEGDLL_MODE_PAUSED) MPlayer->Seek(Slider1->Value());
  }
  Label5->setCaption(QString::number(Slider1->Value()));
  Label5->repaint();
}

void TfrmMP3::PriorityComboChange(QObject*) {
  static constexpr TPlayPriority kLevels[] = {
      TPlayPriority::Idle,        TPlayPriority::Lowest,  TPlayPriority::BelowNormal, TPlayPriority::Normal,
      TPlayPriority::AboveNormal, TPlayPriority::Highest, TPlayPriority::TimeCritical};
  const int index = PriorityCombo->currentIndex();
  if (index >= 0 && index < 7) MPlayer->setPlayerPriority(kLevels[index]);
}

// A close request unloads the library; the window then hides (the default close action) and
// lives on without it.
void TfrmMP3::FormClose(QObject*, ui::CloseAction&) { MPlayer->UnloadDLL(); }

}  // namespace vardel

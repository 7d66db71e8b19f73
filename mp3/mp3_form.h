// TfrmMP3: the MP3 player window — a painted player panel with invisible hotspots over its
// buttons, the file's length and play position, and an MPEG player component of its own.
#pragma once

#include "ui/events.h"
#include "ui/form.h"

#include <cstdint>

class QCheckBox;
class QComboBox;

namespace vardel {

class TGradientCaption;
class TMPEGPlayer;
class TShape2;
class TSlider;

namespace ui {
class Image;
class Label;
class OpenDialog;
class Panel;
class Timer;
}  // namespace ui

class TfrmMP3 : public ui::Form {
  Q_OBJECT
 public:
  // Creates the window owned by `owner` (runs FormCreate) and shows it.
  explicit TfrmMP3(ui::Form* owner);
  ~TfrmMP3() override;

  // Controls and components, in the order of the window definition (also the stacking order).
  ui::Image* imgFondo = nullptr;
  ui::Label* Label6 = nullptr;
  TShape2* StopBtn = nullptr;
  TShape2* PlayBtn = nullptr;
  TShape2* PauseBtn = nullptr;
  TShape2* OpenBtn = nullptr;
  TShape2* Shape21 = nullptr;
  ui::Label* Label3 = nullptr;
  ui::Panel* Panel1 = nullptr;
  ui::Label* Label1 = nullptr;
  ui::Label* LengthLabel = nullptr;
  ui::Label* Label4 = nullptr;
  ui::Label* Label5 = nullptr;
  // Hidden: the slider still carries the length and the position.
  TSlider* Slider1 = nullptr;
  QComboBox* PriorityCombo = nullptr;
  QCheckBox* LoopedCB = nullptr;
  ui::Label* Label2 = nullptr;
  ui::OpenDialog* OpenDialog1 = nullptr;
  ui::Timer* Timer1 = nullptr;
  TMPEGPlayer* MPlayer = nullptr;
  TGradientCaption* GradientCaption1 = nullptr;

  // True while the window itself moves Slider1, so that the move is not taken for a seek.
  bool UpdatingSlider = false;

  // Opens MPlayer.StreamName and shows its length; only play is then enabled.
  void OpenCurrentFile();

  // Handlers.
  void FormCreate(QObject* sender);
  void FormClose(QObject* sender, ui::CloseAction& action);
  void OpenBtnMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void PlayBtnMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void PauseBtnMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void StopBtnMouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape21MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape21Enter(QObject* sender);
  void Shape21Exit(QObject* sender);
  void Timer1Timer(QObject* sender);
  void MPlayerPosUpdate(int32_t Pos, int32_t Len);
  void MPlayerPlayEnd(QObject* sender);
  void Slider1Change(QObject* sender);
  void PriorityComboChange(QObject* sender);

  // The file-stream handlers of MPlayer's stream events; Context holds the file. They run on
  // the decoder library's thread and touch nothing but the file.
  void MPlayerOpenStream(bool& Nonseekable, void*& Context);
  void MPlayerCloseStream(void* Context);
  void MPlayerRestartStream(void* Context, bool& res);
  void MPlayerReadStream(void* Context, void* read_buffer, int32_t nNumberOfBytesToRead, int32_t& nNumberOfBytesRead,
                         bool& res);
  void MPlayerSeekStream(void* Context, int32_t numbytes, int32_t MoveMethod, int32_t& res);
  void MPlayerGetStreamSize(void* Context, int32_t& res);

 private:
  void defineControls();
  void defineCaption();
  void defineComponents();
  // The hotspot states: after a file is opened, at a stop or at the end of play.
  void showStopped();
  void showPlaying();
};

}  // namespace vardel

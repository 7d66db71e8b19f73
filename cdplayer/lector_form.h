// TfrmLector: the CD player window, a small always-on-top panel that drives the CD drive.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/timer.h"

#include <cstdint>

namespace vardel {

class TShape2;
class TGradientCaption;

class TfrmLector : public ui::Form {
  Q_OBJECT
  // The player's state, readable from outside (the window-state probe shows it).
  Q_PROPERTY(int Pista READ pista)
  Q_PROPERTY(int NumPistas READ numPistas)
  Q_PROPERTY(uint Dispositivo READ dispositivo)
  Q_PROPERTY(uint ModoAnterior READ modoAnterior)

 public:
  // Creates the window owned by `owner` (runs FormCreate) and shows it. When the drive cannot be
  // opened it shows the program's message and frees itself later (the map holds it in a QPointer).
  explicit TfrmLector(ui::Form* owner);
  ~TfrmLector() override;

  int pista() const { return Pista; }
  int numPistas() const { return NumPistas; }
  uint dispositivo() const { return Dispositivo; }
  uint modoAnterior() const { return ModoAnterior; }

  // Controls, in the order of the window definition (also their stacking order).
  ui::Image* imgFondo = nullptr;
  ui::Label* Label6 = nullptr;
  ui::Label* NumeroPistas = nullptr;
  ui::Label* Label1 = nullptr;
  ui::Label* DuracionDisco = nullptr;
  ui::Label* Label2 = nullptr;
  ui::Label* Label3 = nullptr;
  ui::Label* PistaActual = nullptr;
  ui::Label* Label4 = nullptr;
  ui::Label* DuracionPista = nullptr;
  ui::Label* Label5 = nullptr;
  ui::Label* PosicionPista = nullptr;
  ui::Label* Label7 = nullptr;
  TShape2* Shape21 = nullptr;  // tray
  TShape2* Shape22 = nullptr;  // next
  TShape2* Shape23 = nullptr;  // stop
  TShape2* Shape24 = nullptr;  // play
  TShape2* Shape25 = nullptr;  // previous
  TShape2* Shape26 = nullptr;  // close the window
  ui::Timer* Reloj = nullptr;
  TGradientCaption* GradientCaption1 = nullptr;

  void FormCreate(QObject* sender);
  void FormClose(QObject* sender, ui::CloseAction& action);
  void RelojTimer(QObject* sender);
  void Shape21MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape22MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape23MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape24MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape25MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape26MouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void Shape25Enter(QObject* sender);
  void Shape25Exit(QObject* sender);

  // Shows the number of tracks and the disc's length, and clears the track fields.
  void LeerDisco();
  // Shows the current track, its length and the position within it.
  void LeerPista();

 private:
  void defineControls();
  // One status value; a failed request reads as 0.
  std::uint32_t estado(std::uint32_t item, std::uint32_t track = 0) const;
  void reproducirPista();

  std::uint8_t Pista = 0;
  std::uint8_t NumPistas = 0;
  std::uint32_t Dispositivo = 0;
  std::uint32_t ModoAnterior = 0;
  bool liberando_ = false;  // the window has asked to be freed
};

// The picture the window shows when the content folder has none: a CD player panel drawn
// with its buttons under the hotspots (289 x 292 pixels).
QImage builtInPanelPicture();

}  // namespace vardel

// The MP3 player window on its own, over a plain owner window (not shipped).
//   build/demo/mp3_demo [program folder]     the folder with Graficos/p9 and mpegdll.dll
//                                            (default: the build's program folder)
// A click anywhere on the owner window shows the player again after its close hotspot hid it.
#include "mp3/mp3_form.h"
#include "platform/paths.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/form.h"

#include <QApplication>
#include <QPointer>

using namespace vardel;

int main(int argc, char* argv[]) {
  QApplication qtApplication(argc, argv);
  ui::Application application;
  application.setTitle(QStringLiteral("VARDEL"));
  platform::overrideProgramFolder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VARDEL_PROGRAM_DIR));

  ui::Form owner;
  owner.setObjectName(QStringLiteral("frmDueno"));
  owner.setBorderStyle(ui::BorderStyle::bsNone);
  owner.setColor(ui::clSilver);
  owner.setBounds(0, 0, 800, 600);
  auto* hint = new ui::Image(owner.client());
  hint->setObjectName(QStringLiteral("imgDueno"));
  hint->setGeometry(0, 0, 800, 600);
  auto* label = new ui::Label(owner.client());
  label->setLabelFont(ui::pixelFont(QStringLiteral("MS Sans Serif"), 11));
  label->setTransparent(true);
  label->setCaption(QStringLiteral("Pulse aquí para mostrar el lector de MP3"));
  label->move(10, 570);
  owner.show();

  QPointer<TfrmMP3> frmMP3;
  hint->onMouseUp = [&](QObject*, ui::MouseButton, ui::ShiftState, int, int) {
    if (frmMP3) frmMP3->show();
  };
  application.setCursor(ui::Cursor::crHourGlass);  // as the map does before it creates the window
  frmMP3 = new TfrmMP3(&owner);
  application.run();
  return 0;
}

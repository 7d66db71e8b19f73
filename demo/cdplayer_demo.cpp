// The CD player window on its own, over a plain owner window (not shipped).
//   build/demo/cdplayer_demo [program folder]
// The drive is VARDEL_CD_DEVICE's (a cue sheet or a folder of tracks plays without a drive);
// the program folder, when given, is where Graficos/p6 is looked for.
#include "cdplayer/lector_form.h"
#include "platform/paths.h"
#include "ui/application.h"

#include <QApplication>
#include <QPointer>

using namespace vardel;

int main(int argc, char* argv[]) {
  QApplication qtApplication(argc, argv);
  ui::Application application;
  application.setTitle(QStringLiteral("VARDEL"));
  if (argc > 1) platform::overrideProgramFolder(QString::fromLocal8Bit(argv[1]));

  ui::Form owner;
  owner.setObjectName(QStringLiteral("frmDueno"));
  owner.setBorderStyle(ui::BorderStyle::bsNone);
  owner.setColor(0x00705030);
  owner.setCaption(QStringLiteral("VARDEL"));
  owner.setBounds(0, 0, 800, 600);
  owner.show();
  application.setCursor(ui::Cursor::crHourGlass);  // as the map does before creating the player
  QPointer<TfrmLector> lector = new TfrmLector(&owner);
  application.run();
  return 0;
}

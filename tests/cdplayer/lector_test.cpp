// The CD player window through whole sessions on a virtual disc: what its poll shows, what its
// hotspots do, and how it fails.
#include "cdplayer/lector_form.h"
#include "components/shape2.h"
#include "platform/jpeg.h"
#include "platform/mci/mci.h"
#include "platform/paths.h"
#include "tests/mci/disc_fixture.h"
#include "tests/support/ui_support.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel::test {
namespace {

using namespace platform;

class Lector : public testing::Test {
 protected:
  void SetUp() override {
    overrideProgramFolder(content.path());
    disc = content.path() + QStringLiteral("/disco");
    QDir().mkpath(disc);
    writeTrackFolder(disc);
    QImage panel(289, 292, QImage::Format_RGB32);
    panel.fill(Qt::gray);
    QDir().mkpath(content.path() + QStringLiteral("/Graficos"));
    writeBytes(content.path() + QStringLiteral("/Graficos/p6"), encodeJpeg(panel, 90));
    qputenv("VARDEL_AUDIO_DRIVER", "dummy");
    qputenv("VARDEL_CD_DEVICE", QFile::encodeName(disc));
  }
  void TearDown() override {
    destroy();
    qunsetenv("VARDEL_CD_DEVICE");
    overrideProgramFolder(QString());
  }
  void destroy() {
    if (!form) return;
    const MCIDEVICEID device = form->dispositivo();
    delete form.data();
    if (device) mciSendCommand(device, MCI_CLOSE, 0, nullptr);  // the program itself never closes it
  }
  void create() {
    owner = std::make_unique<ui::Form>();
    form = new TfrmLector(owner.get());
  }
  // Waits for the poll to see `mode`.
  bool waitForMode(std::uint32_t mode) {
    return waitUntil([&] { return form && form->modoAnterior() == mode; }, 4000);
  }
  void press(TShape2* shape) { QTest::mousePress(shape, Qt::LeftButton, {}, QPoint(3, 3)); }
  bool on(TShape2* shape) const { return shape->isEnabled(); }

  QTemporaryDir content;
  QString disc;
  std::unique_ptr<ui::Form> owner;
  QPointer<TfrmLector> form;
};

TEST_F(Lector, IsBuiltAsItsDefinitionSays) {
  create();
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->clientSize(), QSize(294, 296));
  EXPECT_EQ(form->pos(), QPoint(20, 156));
  EXPECT_EQ(form->caption(), QStringLiteral(" "));
  EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(form->borderStyle(), ui::BorderStyle::bsSingle);
  EXPECT_EQ(form->borderIcons(), 0u);
  EXPECT_EQ(form->NumeroPistas->caption(), QStringLiteral("-"));
  EXPECT_EQ(form->DuracionDisco->caption(), QStringLiteral("-:--:--"));
  EXPECT_EQ(form->PosicionPista->caption(), QStringLiteral("-:--"));
  EXPECT_EQ(form->Label4->caption(), QStringLiteral("Duración:"));
  EXPECT_EQ(form->Shape26->Cadena,
            QStringLiteral("Cierra el reproductor dejando el lector de CD en la configuración actual"));
  EXPECT_EQ(form->Shape24->geometry(), QRect(211, 128, 21, 20));
  EXPECT_EQ(form->Shape21->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(form->pista(), 1);
  EXPECT_EQ(form->modoAnterior(), MCI_MODE_OPEN);
  EXPECT_EQ(form->imgFondo->picture().size(), QSize(289, 292));
  EXPECT_NE(form->imgFondo->picture(), builtInPanelPicture());  // the content folder's p6

  // The hotspot text follows the pointer.
  form->Shape22->pointerEntered();
  EXPECT_EQ(form->Label7->caption(), QStringLiteral("Avanza a la siguiente pista de audio"));
  form->Shape22->pointerLeft();
  EXPECT_EQ(form->Label7->caption(), QString());
  // A screen reader reads the same text as the button's name.
  QAccessibleInterface* play = QAccessible::queryAccessibleInterface(form->Shape24);
  EXPECT_EQ(play->role(), QAccessible::Button);
  EXPECT_EQ(play->text(QAccessible::Name), QStringLiteral("Reproduce la pista actual de audio"));
}

TEST_F(Lector, ShowsThePictureOfTheContentFolder) {
  QImage red(289, 292, QImage::Format_RGB32);
  red.fill(QColor(200, 0, 0));
  QDir().mkpath(content.path() + QStringLiteral("/Graficos"));
  writeBytes(content.path() + QStringLiteral("/Graficos/p6"), encodeJpeg(red, 95));
  create();
  const QColor shown = form->imgFondo->picture().pixelColor(100, 100);
  EXPECT_NEAR(shown.red(), 200, 8);
  EXPECT_NEAR(shown.green(), 0, 8);
  EXPECT_NE(form->dispositivo(), 0u);
  // A damaged or missing picture ends the set-up with its message: the drawn panel stays and
  // the drive is not opened.
  for (const bool missing : {false, true}) {
    destroy();
    if (missing)
      QFile::remove(content.path() + QStringLiteral("/Graficos/p6"));
    else
      writeBytes(content.path() + QStringLiteral("/Graficos/p6"), "not a picture");
    MessageRecorder messages;
    ui::Application::instance().setCursor(ui::Cursor::crHourGlass);  // as the map does
    create();
    EXPECT_EQ(messages.texts().size(), 1) << missing;
    EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
    EXPECT_EQ(form->imgFondo->picture(), builtInPanelPicture());
    EXPECT_EQ(form->dispositivo(), 0u);
    EXPECT_EQ(form->modoAnterior(), 0u);
    EXPECT_TRUE(form->isVisible());
  }
}

TEST_F(Lector, FirstTickReadsTheDiscThenPlayShowsTheTrack) {
  create();
  ASSERT_TRUE(waitForMode(MCI_MODE_STOP));
  EXPECT_EQ(form->NumeroPistas->caption(), QStringLiteral("3"));
  EXPECT_EQ(form->DuracionDisco->caption(), QStringLiteral(" 0: 0: 6"));  // hours, minutes, seconds; spaces, not zeros
  EXPECT_EQ(form->numPistas(), 3);
  EXPECT_TRUE(on(form->Shape21));
  EXPECT_TRUE(on(form->Shape24));
  EXPECT_FALSE(on(form->Shape23));

  press(form->Shape24);
  ASSERT_TRUE(waitForMode(MCI_MODE_PLAY));
  EXPECT_FALSE(on(form->Shape21));
  EXPECT_FALSE(on(form->Shape24));
  EXPECT_TRUE(on(form->Shape23));
  EXPECT_EQ(form->PistaActual->caption(), QStringLiteral("1"));
  EXPECT_EQ(form->DuracionPista->caption(), QStringLiteral(" 0: 2"));
  ASSERT_TRUE(waitUntil([&] { return form->PosicionPista->caption() == QStringLiteral(" 0: 1"); }, 3000));
  // Play is off while playing: pressing it does nothing.
  press(form->Shape24);
  press(form->Shape23);
  ASSERT_TRUE(waitForMode(MCI_MODE_STOP));
  EXPECT_TRUE(on(form->Shape24));
  // Track labels keep what the last playing tick showed.
  EXPECT_EQ(form->PistaActual->caption(), QStringLiteral("1"));
}

TEST_F(Lector, NextAndPreviousStopAtTheEndsOfTheDisc) {
  create();
  ASSERT_TRUE(waitForMode(MCI_MODE_STOP));
  press(form->Shape25);  // previous on track 1: nothing
  pump(700);
  EXPECT_EQ(form->modoAnterior(), MCI_MODE_STOP);
  EXPECT_EQ(form->pista(), 1);

  press(form->Shape22);  // next while stopped plays track 2
  ASSERT_TRUE(waitForMode(MCI_MODE_PLAY));
  EXPECT_EQ(form->PistaActual->caption(), QStringLiteral("2"));
  EXPECT_EQ(form->DuracionPista->caption(), QStringLiteral(" 0: 3"));
  press(form->Shape22);
  ASSERT_TRUE(waitUntil([&] { return form->PistaActual->caption() == QStringLiteral("3"); }, 2000));
  press(form->Shape22);  // the last track: nothing
  pump(600);
  EXPECT_EQ(form->pista(), 3);
  EXPECT_EQ(form->PistaActual->caption(), QStringLiteral("3"));
  press(form->Shape25);
  ASSERT_TRUE(waitUntil([&] { return form->PistaActual->caption() == QStringLiteral("2"); }, 2000));
}

TEST_F(Lector, ATrayClosedThroughNotReadyKeepsTheOldDiscLabels) {
  create();
  ASSERT_TRUE(waitForMode(MCI_MODE_STOP));
  press(form->Shape21);  // opens
  ASSERT_TRUE(waitForMode(MCI_MODE_OPEN));
  EXPECT_TRUE(on(form->Shape21));
  EXPECT_FALSE(on(form->Shape24));
  EXPECT_FALSE(on(form->Shape23));
  // Another disc goes in: two tracks.
  QFile::remove(disc + QStringLiteral("/03.wav"));
  press(form->Shape21);  // closes: not ready, then stopped
  ASSERT_TRUE(waitForMode(MCI_MODE_NOT_READY));
  ASSERT_TRUE(waitForMode(MCI_MODE_STOP));
  EXPECT_EQ(form->NumeroPistas->caption(), QStringLiteral("3"));
  EXPECT_EQ(form->numPistas(), 3);
  EXPECT_EQ(mciStatus(form->dispositivo(), MCI_STATUS_NUMBER_OF_TRACKS), 2u);
}

TEST_F(Lector, TheCloseHotspotOnlyHidesAndPlayingGoesOn) {
  create();
  ASSERT_TRUE(waitForMode(MCI_MODE_STOP));
  press(form->Shape22);
  ASSERT_TRUE(waitForMode(MCI_MODE_PLAY));
  press(form->Shape26);
  EXPECT_FALSE(form->isVisible());
  ASSERT_TRUE(form);
  EXPECT_EQ(mciStatus(form->dispositivo(), MCI_STATUS_MODE), MCI_MODE_PLAY);
  // The poll goes on while hidden: track 2 ends, track 3 plays, then the disc ends.
  ASSERT_TRUE(waitUntil([&] { return form->pista() == 3; }, 5000));
  ASSERT_TRUE(waitForMode(MCI_MODE_STOP));
  form->show();
  EXPECT_TRUE(form->isVisible());
  press(form->Shape24);
  ASSERT_TRUE(waitForMode(MCI_MODE_PLAY));
  EXPECT_EQ(form->PistaActual->caption(), QStringLiteral("1"));  // the end of the disc went back to its start
}

TEST_F(Lector, WithoutADriveItSaysSoAndFreesItself) {
  qputenv("VARDEL_CD_DEVICE", "/no/such/drive");
  MessageRecorder messages;
  ui::Application::instance().setCursor(ui::Cursor::crHourGlass);
  create();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("No es posible abrir el dispositivo del CD de Audio")});
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
  ASSERT_TRUE(form);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->dispositivo(), 0u);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(form) << "the window should have freed itself";
}

}  // namespace
}  // namespace vardel::test

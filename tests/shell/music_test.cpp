// The opening's music through the real decoder library and the demo tune: it plays from the
// presentation's start, and both skips stop it.
#include "mp3/mp3_form.h"
#include "mp3/mpegplayer.h"
#include "platform/control_registry.h"
#include "platform/paths.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "shell/presenta_form.h"
#include "tests/support/ui_support.h"

#include <QFile>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel {
namespace {

constexpr int kPlaying = 3;

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QFile::exists(QStringLiteral(VARDEL_PROGRAM_DIR "Musica/Ondravia.mp3"))) {
      GTEST_SKIP() << "the demo magazine has not been generated";
    }
    qputenv("VARDEL_AUDIO_DRIVER", "dummy");  // real time, no sound card needed
    platform::overrideProgramFolder(QStringLiteral(VARDEL_PROGRAM_DIR));
    platform::registerControl(QString::fromLatin1(platform::kHtmlViewerClassId),
                              QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx"));
    frmMapa = new TfrmMapa(Variant::Basic);
    frmPresenta = new TfrmPresenta();
  }
  void TearDown() override {
    delete frmPresenta.data();
    delete frmMapa.data();
    platform::overrideProgramFolder(QString());
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
  }
  void reachSecondPicture() {
    for (int i = 0; i < 3; ++i) frmPresenta->tmTextoTimer(frmPresenta->tmTexto);
    frmPresenta->tmTexto->setEnabled(true);
  }
};

TEST_F(MusicTest, ThePresentationPlaysTheTuneThroughTheMapsPlayer) {
  TMPEGPlayer* mp3 = frmMapa->mp3;
  ASSERT_NE(mp3, nullptr);
  EXPECT_TRUE(mp3->IsLoaded());
  EXPECT_TRUE(mp3->Playing());
  EXPECT_EQ(mp3->GetPlayerMode(), kPlaying);
  EXPECT_GE(mp3->StreamLength(), 40);  // whole seconds
  EXPECT_EQ(mp3->PlayedXTimes(), 2);
}

TEST_F(MusicTest, ASkipFromTheSecondPictureStopsTheMusic) {
  reachSecondPicture();
  frmPresenta->imgLogoClick(frmPresenta->imgLogo);
  EXPECT_FALSE(frmMapa->mp3->Playing());
  EXPECT_NE(frmMapa->mp3->GetPlayerMode(), kPlaying);
}

TEST_F(MusicTest, TheMapsBackgroundSkipStopsTheMusic) {
  frmMapa->tmPresenta->setEnabled(true);
  frmMapa->ImgFondoClick(frmMapa->ImgFondo);
  EXPECT_FALSE(frmMapa->mp3->Playing());
  EXPECT_NE(frmMapa->mp3->GetPlayerMode(), kPlaying);
  // A second skip finds nothing playing: its error is ignored.
  frmMapa->ImgFondoClick(frmMapa->ImgFondo);
}

TEST_F(MusicTest, TheMp3ButtonStopsTheOpeningsMusicForGoodAndHandsTheLibraryToItsWindow) {
  ASSERT_TRUE(frmMapa->mp3->Playing());
  QPointer<TMPEGPlayer> player = frmMapa->mp3;
  QTest::mousePress(frmMapa->Shape27, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(player, nullptr);  // destroyed, not merely stopped
  EXPECT_EQ(frmMapa->mp3, nullptr);
  ASSERT_NE(frmMP3, nullptr);
  EXPECT_TRUE(frmMP3->MPlayer->IsLoaded());
  EXPECT_TRUE(frmMP3->isVisible());
  // The opening's skips find no music to stop, and the window's player is left alone.
  frmMapa->tmPresenta->setEnabled(true);
  frmMapa->ImgFondoClick(frmMapa->ImgFondo);
  reachSecondPicture();
  frmPresenta->imgLogoClick(frmPresenta->imgLogo);
  EXPECT_TRUE(frmMP3->MPlayer->IsLoaded());
  // A second click shows the same window, and nothing is released again.
  TfrmMP3* window = frmMP3;
  frmMP3->hide();
  QTest::mousePress(frmMapa->Shape27, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(frmMP3.data(), window);
  EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace vardel

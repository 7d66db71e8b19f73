// The MP3 player window over the real decoder library and the demo tune: play, pause, resume
// and stop as the library really does them, sound reaching a PulseAudio null sink, the window
// beside another player of the library in both orders, and files that are bad, cut or go away.
#include "components/shape2.h"
#include "components/slider.h"
#include "mp3/mp3_form.h"
#include "mp3/mpegplayer.h"
#include "platform/paths.h"
#include "tests/mp3/open_dialog_answer.h"
#include "tests/mpegdll/mpeg_library.h"
#include "tests/support/pulse_server.h"
#include "tests/support/ui_support.h"
#include "ui/controls.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vardel {
namespace {

const QString kTune = QStringLiteral(VARDEL_PROGRAM_DIR "Musica/Ondravia.mp3");

class Mp3WindowLibrary : public testing::Test {
 protected:
  void SetUp() override {
    if (!QFile::exists(kTune)) GTEST_SKIP() << "the demo magazine has not been generated";
    qputenv("VARDEL_AUDIO_DRIVER", "dummy");  // real time, no sound card needed
    platform::overrideProgramFolder(QStringLiteral(VARDEL_PROGRAM_DIR));
  }
  void TearDown() override {
    delete window.data();
    delete map;
    platform::overrideProgramFolder(QString());
    qunsetenv("VARDEL_AUDIO_DRIVER");
  }
  void create() { window = new TfrmMP3(&owner); }
  // The open hotspot with the dialog answered.
  void choose(const QString& file) {
    test::answerOpenDialog(file);
    window->OpenBtnMouseUp(window->OpenBtn, ui::MouseButton::mbLeft, 0, 1, 1);
  }
  void play() { window->PlayBtnMouseUp(window->PlayBtn, ui::MouseButton::mbLeft, 0, 1, 1); }
  void pause() { window->PauseBtnMouseUp(window->PauseBtn, ui::MouseButton::mbLeft, 0, 1, 1); }
  void stop() { window->StopBtnMouseDown(window->StopBtn, ui::MouseButton::mbLeft, 0, 1, 1); }
  int position() const { return window->Label5->caption().toInt(); }
  int mode() const { return window->MPlayer->GetPlayerMode(); }
  // The map's own player playing the tune, as the opening leaves it.
  void startMapPlayer() {
    map = new TMPEGPlayer;
    map->setPathToDLL(QStringLiteral(VARDEL_PROGRAM_DIR));
    map->LoadDLL();
    map->setStreamName(kTune);
    map->Play();
  }
  // What the map does before it first creates the window.
  void releaseMapPlayer() {
    if (map->GetPlayerMode() == MPEGDLL_MODE_PLAYING) map->Stop();
    map->UnloadDLL();
    delete map;
    map = nullptr;
  }
  // The window opens and plays the tune, and its position advances.
  void expectPlays() {
    choose(kTune);
    EXPECT_GE(window->LengthLabel->caption().toInt(), 40);
    play();
    EXPECT_EQ(mode(), MPEGDLL_MODE_PLAYING);
    EXPECT_TRUE(test::waitUntil([&] { return position() >= 1; }, 4000));
  }

  ui::Form owner;
  QPointer<TfrmMP3> window;
  TMPEGPlayer* map = nullptr;
  test::MessageRecorder messages;
};

TEST_F(Mp3WindowLibrary, PlaysPausesResumesAndStopsTheDemoTune) {
  create();
  ASSERT_TRUE(window->MPlayer->IsLoaded());
  expectPlays();
  pause();
  EXPECT_EQ(mode(), MPEGDLL_MODE_PAUSED);
  const int held = window->MPlayer->GetCurrentPos();
  test::pump(1200);
  EXPECT_EQ(window->MPlayer->GetCurrentPos(), held);
  play();
  EXPECT_EQ(mode(), MPEGDLL_MODE_PLAYING);
  EXPECT_TRUE(test::waitUntil([&] { return window->MPlayer->GetCurrentPos() > held; }, 2500));
  stop();
  EXPECT_FALSE(window->MPlayer->Opened());
  EXPECT_NE(mode(), MPEGDLL_MODE_PLAYING);
  play();  // opens the file again and starts at its beginning
  EXPECT_EQ(mode(), MPEGDLL_MODE_PLAYING);
  EXPECT_LE(window->MPlayer->GetCurrentPos(), 1);
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Mp3WindowLibrary, SoundReachesTheSinkOnlyWhilePlaying) {
  test::PulseServer server;
  if (!server.ready()) GTEST_SKIP() << "no PulseAudio server could be started here";
  qputenv("VARDEL_AUDIO_DRIVER", "pulse");
  create();
  test::MonitorRecording recording(server.runtimeDir() + QStringLiteral("/monitor.raw"));
  ASSERT_TRUE(recording.started());
  choose(kTune);
  std::vector<qint64> marks{recording.elapsedMs()};
  const auto wait = [&](int ms) {
    test::pump(ms);
    marks.push_back(recording.elapsedMs());
  };
  play();
  wait(1500);
  pause();
  wait(1500);
  play();
  wait(800);
  stop();
  wait(1500);
  const std::vector<int16_t> recorded = recording.finish();
  // RMS between two marks, leaving out the sound device's latency after the first (0.6 s) and
  // the recorder's before the second (0.15 s).
  const auto loudness = [&](size_t from) {
    const qint64 begin = recording.frameAt(marks[from] + 600), end = recording.frameAt(marks[from + 1] - 150);
    if (end <= begin || size_t(2 * end) > recorded.size()) return -1.0;
    return test::rms(std::vector<int16_t>(recorded.begin() + 2 * begin, recorded.begin() + 2 * end));
  };
  EXPECT_GT(loudness(0), 1000) << "playing";
  EXPECT_LT(loudness(1), 20) << "paused";
  EXPECT_GT(loudness(2), 1000) << "resumed";
  EXPECT_LT(loudness(3), 20) << "stopped";
}

TEST_F(Mp3WindowLibrary, WindowAfterTheMapReleasedItsPlayer) {
  startMapPlayer();
  releaseMapPlayer();
  create();
  expectPlays();
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Mp3WindowLibrary, WindowWhileTheMapStillHoldsTheLibrary) {
  startMapPlayer();
  create();
  EXPECT_TRUE(window->MPlayer->IsLoaded());
  EXPECT_EQ(map->GetPlayerMode(), MPEGDLL_MODE_PLAYING);  // the window's creation takes nothing from the tune
  releaseMapPlayer();
  expectPlays();
  EXPECT_TRUE(window->closeForm());  // the last holder: the library's player ends
  EXPECT_FALSE(window->MPlayer->IsLoaded());
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Mp3WindowLibrary, BadFilesAreIgnoredAndNothingHangs) {
  QTemporaryDir dir;
  // Spaces, accents and a path of 300 characters.
  QString folder = dir.path();
  while (folder.size() < 280) folder += QStringLiteral("/Música del año");
  const QString longName = folder + QStringLiteral("/canción ñ.mp3");
  ASSERT_GE(longName.size(), 300);
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_TRUE(QFile::copy(kTune, longName));
  const QString notMpeg = test::writeFile(dir.path(), QStringLiteral("texto.mp3"), QByteArray(4000, 'x'));
  const QString empty = test::writeFile(dir.path(), QStringLiteral("vacio.mp3"), QByteArray());
  QFile source(kTune);
  ASSERT_TRUE(source.open(QIODevice::ReadOnly));
  const QString truncated = test::writeFile(dir.path(), QStringLiteral("cortado.mp3"), source.read(40000));
  create();
  choose(longName);
  EXPECT_GE(window->LengthLabel->caption().toInt(), 40);
  for (const QString& bad : {notMpeg, empty}) {
    choose(bad);  // the error is ignored
    EXPECT_FALSE(window->MPlayer->Opened());
  }
  // A cut file plays to its end: only play is then enabled, and play starts it again.
  choose(truncated);
  play();
  EXPECT_TRUE(test::waitUntil([&] { return window->PlayBtn->isEnabled(); }, 6000)) << "the end of a cut file";
  EXPECT_FALSE(window->StopBtn->isEnabled() || window->PauseBtn->isEnabled());
  EXPECT_EQ(window->Slider1->Value(), 0);
  play();
  EXPECT_EQ(mode(), MPEGDLL_MODE_PLAYING);
  // A file removed while it plays goes on to be heard; the next open fails silently.
  const QString doomed = dir.filePath(QStringLiteral("borrado.mp3"));
  ASSERT_TRUE(QFile::copy(kTune, doomed));
  choose(doomed);
  play();
  ASSERT_TRUE(QFile::remove(doomed));
  test::pump(600);
  EXPECT_EQ(mode(), MPEGDLL_MODE_PLAYING);
  stop();
  play();
  EXPECT_TRUE(window->PlayBtn->isEnabled());
  EXPECT_FALSE(window->StopBtn->isEnabled());
  EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace vardel

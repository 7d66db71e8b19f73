// The decoder library's sound output through a real PulseAudio server with a null sink: the
// sink's monitor, recorded with parec, shows whether sound really came out.
#include "tests/mpegdll/mpeg_library.h"
#include "tests/support/pulse_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>

namespace vardel::test {
namespace {

class PulseAudio : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QStandardPaths::findExecutable(QStringLiteral("lame")).isEmpty()) return;
    server = new PulseServer;
    if (!server->ready()) return;
    // Two seconds of a 440 Hz tone at 44.1 kHz, like the sink's own format.
    std::vector<int16_t> pcm(size_t(2 * 44100) * 2);
    for (size_t i = 0; i < pcm.size() / 2; ++i)
      pcm[2 * i] = pcm[2 * i + 1] = int16_t(12000 * std::sin(2 * M_PI * 440 * double(i) / 44100));
    writeWav(server->runtimeDir() + QStringLiteral("/tone.wav"), pcm, 44100, 2);
    bool ok = false;
    runTool(QStringLiteral("lame"),
            {"--quiet", "-b", "192", server->runtimeDir() + QStringLiteral("/tone.wav"),
             server->runtimeDir() + QStringLiteral("/tone.mp3")},
            &ok);
    ready = ok;
  }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override {
    if (!ready) GTEST_SKIP() << "no PulseAudio server could be started here";
    ASSERT_TRUE(mpeg.loaded());
    ASSERT_EQ(mpeg.init(), 1);
  }
  void TearDown() override {
    if (ready) mpeg.deinit();
    qunsetenv("VARDEL_AUDIO_DRIVER");
  }

  // Plays the tone through the default output while the sink's monitor is recorded.
  std::vector<int16_t> playAndRecord(qint64* playedMs) {
    MonitorRecording recording(server->runtimeDir() + QStringLiteral("/monitor.raw"));
    EXPECT_TRUE(recording.started());
    uint8_t end = 0;
    QElapsedTimer clock;
    EXPECT_EQ(mpeg.openFile(server->runtimeDir() + QStringLiteral("/tone.mp3")), 0);
    mpeg.SetOutputDevice(MPEGDLL_DEVICE_WAVEMAPPER, "");
    clock.start();
    EXPECT_EQ(mpeg.Play(0, 0, &end), 0);
    EXPECT_EQ(mpeg.LastError(), 0);
    EXPECT_TRUE(waitForByte(end, 10000));
    *playedMs = clock.elapsed();
    MpegPlaybackStats stats{};
    mpeg.GetPlaybackStats(&stats);
    driver = QString::fromLatin1(stats.driver);
    mpeg.Close();
    QThread::msleep(300);
    return recording.finish();
  }

  MpegLibrary mpeg;
  QString driver;
  static PulseServer* server;
  static bool ready;
};
PulseServer* PulseAudio::server = nullptr;
bool PulseAudio::ready = false;

// Upward zero crossings per second of the left channel: the pitch of a pure tone.
double pitch(const std::vector<int16_t>& stereo, size_t from, size_t frames) {
  int crossings = 0;
  for (size_t i = from + 1; i < from + frames && 2 * i < stereo.size(); ++i)
    if (stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) ++crossings;
  return crossings * 44100.0 / double(frames);
}

TEST_F(PulseAudio, DefaultOutputPlaysTheToneInRealTime) {
  qint64 playedMs = 0;
  const std::vector<int16_t> recorded = playAndRecord(&playedMs);
  EXPECT_EQ(driver, QStringLiteral("pulse")) << "the default output did not find the server";
  EXPECT_GE(playedMs, 1900);
  EXPECT_LE(playedMs, 4000);
  // Find the loud part: it must be about two seconds of a 440 Hz tone.
  size_t first = 0, last = 0;
  for (size_t i = 0; i < recorded.size() / 2; ++i) {
    if (std::abs(recorded[2 * i]) > 3000) {
      if (!first) first = i;
      last = i;
    }
  }
  ASSERT_GT(last, first) << "no sound reached the sink";
  const double seconds = double(last - first) / 44100;
  EXPECT_NEAR(seconds, 2.0, 0.1);
  EXPECT_NEAR(pitch(recorded, first, 44100), 440, 5);
  std::vector<int16_t> loud(recorded.begin() + qsizetype(2 * first), recorded.begin() + qsizetype(2 * last));
  EXPECT_NEAR(rms(loud), 12000 / std::sqrt(2.0), 1500);
}

TEST_F(PulseAudio, ForcedDriverIsUsed) {
  qputenv("VARDEL_AUDIO_DRIVER", "pulse");
  qint64 playedMs = 0;
  const std::vector<int16_t> recorded = playAndRecord(&playedMs);
  EXPECT_EQ(driver, QStringLiteral("pulse"));
  EXPECT_GT(rms(recorded), 1000);
}

}  // namespace
}  // namespace vardel::test

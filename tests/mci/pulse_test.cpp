// The CD audio device's sound through a real PulseAudio server: heard at the null sink while
// the disc plays, silence once it stops.
#include "platform/mci/mci.h"
#include "tests/mci/disc_fixture.h"
#include "tests/support/pulse_server.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <thread>

namespace vardel::test {
namespace {

using namespace platform;

double rms(const std::vector<std::int16_t>& s, size_t from = 0) {
  double sum = 0;
  for (size_t i = from; i < s.size(); ++i) sum += double(s[i]) * s[i];
  return s.size() > from ? std::sqrt(sum / double(s.size() - from)) : 0;
}

// Upward zero crossings a second of the left channel: the pitch of a pure tone.
double pitch(const std::vector<std::int16_t>& stereo) {
  int crossings = 0;
  for (size_t i = 1; 2 * i < stereo.size(); ++i)
    if (stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) ++crossings;
  return crossings * 44100.0 / double(stereo.size() / 2);
}

TEST(CdSound, ReachesTheSoundServerWhilePlayingAndStopsWithStop) {
  PulseServer pulse;
  if (!pulse.ready()) GTEST_SKIP() << "no PulseAudio server could be started here";
  qunsetenv("VARDEL_AUDIO_DRIVER");  // the default search must find the server
  // Another client plays silence throughout, so the sink keeps running (an idle null sink gives
  // its monitor nothing) and the recording has a steady clock.
  QProcess keeper;
  keeper.setStandardInputFile(QStringLiteral("/dev/zero"));
  keeper.start(QStringLiteral("pacat"), {"--playback", "--raw", "--format=s16le", "--rate=44100", "--channels=2"});
  ASSERT_TRUE(keeper.waitForStarted(5000));
  QTemporaryDir disc;
  writeBytes(disc.path() + QStringLiteral("/01.wav"), wavBytes(tone(6, 440)));

  CdDevice cd(disc.path(), true);
  ASSERT_EQ(cd.result, 0u);
  QTemporaryDir recordings;
  MonitorRecording recording(recordings.filePath(QStringLiteral("sink.raw")));
  ASSERT_TRUE(recording.started());
  ASSERT_EQ(cd.playFrom(1), 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(3000));
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_PLAY);
  ASSERT_EQ(cd.send(MCI_STOP), 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  const std::vector<std::int16_t> recorded = recording.finish();
  keeper.kill();
  keeper.waitForFinished(2000);

  size_t first = 0, last = 0;
  bool heard = false;
  for (size_t i = 0; 2 * i < recorded.size(); ++i) {
    if (std::abs(recorded[2 * i]) > 3000) {
      if (!heard) first = i;
      heard = true;
      last = i;
    }
  }
  ASSERT_GT(last, first) << "no sound reached the sink";
  const double loud = double(last - first) / 44100;
  EXPECT_GT(loud, 1.0);
  EXPECT_LT(loud, 3.3);
  const std::vector<std::int16_t> tone(recorded.begin() + std::ptrdiff_t(2 * first),
                                       recorded.begin() + std::ptrdiff_t(2 * last));
  EXPECT_NEAR(rms(tone), 9000 / std::sqrt(2.0), 1200);
  EXPECT_NEAR(pitch(tone), 440, 5);
  // After the stop: silence, for at least half a second before the recording ended.
  ASSERT_GT(recorded.size() / 2, last + 22050) << "the sound went on to the end of the recording";
  EXPECT_LT(rms(recorded, 2 * (last + 441)), 20);
}

}  // namespace
}  // namespace vardel::test

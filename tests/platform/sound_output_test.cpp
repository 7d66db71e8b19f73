// The sound output's own clock for a driver that keeps no time, and its PCM file.
#include "platform/sound/output.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <vector>

namespace vardel::test {
namespace {

using platform::sound::Clock;
using platform::sound::Output;
using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr long kRate = 1000;  // one frame a millisecond keeps the arithmetic exact

class PacedOutput : public testing::Test {
 protected:
  void SetUp() override {
    setenv("VARDEL_AUDIO_DRIVER", "dummy", 1);
    before = Clock::now();
    ASSERT_TRUE(output.open(Output::Target::Device, std::string(), kRate, 2));
    after = Clock::now();
    ASSERT_TRUE(output.paced()) << output.driver();
  }
  void TearDown() override { unsetenv("VARDEL_AUDIO_DRIVER"); }
  // `ms` milliseconds of silence.
  bool hand(int ms) {
    const std::vector<std::int16_t> frames(size_t(ms) * kRate / 1000 * 2);
    return output.write(frames.data(), frames.size() * sizeof(std::int16_t));
  }
  Output output;
  Clock::time_point before, after;  // the clock started between them
};

TEST_F(PacedOutput, WantsMoreWhenWhatWasHandedOverRunsOnlyTheLeadAheadOfTheClock) {
  EXPECT_EQ(output.played(), 0) << "nothing handed over, nothing heard";
  ASSERT_TRUE(hand(1000));
  const auto ready = output.readyAt(milliseconds(200));
  EXPECT_GE(ready, before + milliseconds(800));
  EXPECT_LE(ready, after + milliseconds(800));
  EXPECT_LE(output.played(), 1000) << "never more heard than was handed over";

  // A drop forgets what was handed over: the clock starts again from there.
  const auto dropping = Clock::now();
  output.drop();
  EXPECT_EQ(output.played(), 0);
  ASSERT_TRUE(hand(500));
  EXPECT_GE(output.readyAt(milliseconds(0)), dropping + milliseconds(500));
}

TEST_F(PacedOutput, ClockStandsStillWhilePausedAlsoAcrossADrop) {
  ASSERT_TRUE(hand(1000));
  output.pause();
  const std::int64_t held = output.played();
  EXPECT_LE(held, 1000);
  output.drop();  // a seek while paused
  EXPECT_EQ(output.played(), 0);
  ASSERT_TRUE(hand(300));
  EXPECT_EQ(output.played(), 0) << "heard while paused";
  const auto resuming = Clock::now();
  output.resume();
  EXPECT_GE(output.readyAt(milliseconds(0)), resuming + milliseconds(300));
}

TEST(SoundOutput, PcmFileTakesEverySampleAndKeepsNoClock) {
  QTemporaryDir dir;
  Output output;
  EXPECT_FALSE(output.open(Output::Target::PcmFile, std::string(), kRate, 2)) << "would write to stdout";
  EXPECT_FALSE(output.open(Output::Target::PcmFile, dir.filePath("x.pcm").toStdString(), 0, 2));
  const std::string name = dir.filePath("out.pcm").toStdString();
  ASSERT_TRUE(output.open(Output::Target::PcmFile, name, kRate, 2));
  EXPECT_FALSE(output.paced());
  const std::vector<std::int16_t> frames(2 * 250);
  ASSERT_TRUE(output.write(frames.data(), frames.size() * sizeof(std::int16_t)));
  EXPECT_EQ(output.played(), 250);
  EXPECT_LE(output.readyAt(seconds(0)), Clock::now()) << "a file never makes the caller wait";
  output.drain();
  output.close();
  EXPECT_FALSE(output.write(frames.data(), 4));
  EXPECT_EQ(QFileInfo(QString::fromStdString(name)).size(), 1000);
}

}  // namespace
}  // namespace vardel::test

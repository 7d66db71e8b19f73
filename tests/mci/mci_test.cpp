// The CD audio device through mciSendCommand, on generated virtual discs.
#include "platform/mci/mci.h"
#include "tests/mci/disc_fixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

namespace vardel::test {
namespace {

using namespace platform;

bool pollUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Seconds into the current track, from a TMSF position.
double secondsIn(std::uintptr_t tmsf) {
  return MCI_TMSF_MINUTE(std::uint32_t(tmsf)) * 60 + MCI_TMSF_SECOND(std::uint32_t(tmsf)) +
         MCI_TMSF_FRAME(std::uint32_t(tmsf)) / 75.0;
}

class Mci : public testing::Test {
 protected:
  void SetUp() override { writeTrackFolder(dir.path()); }
  QTemporaryDir dir;
};

TEST(MciOpen, FailsWithoutADriveOrForAnotherDeviceType) {
  qputenv("VARDEL_CD_DEVICE", "/no/such/drive");
  MCI_OPEN_PARMS open;
  open.lpstrDeviceType = "CDAudio";
  EXPECT_EQ(mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), MCIERR_DEVICE_NOT_INSTALLED);
  open.lpstrDeviceType = "waveaudio";
  EXPECT_EQ(mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), MCIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, nullptr), MCIERR_NULL_PARAMETER_BLOCK);
  qunsetenv("VARDEL_CD_DEVICE");
  // Requests to a device never opened (device 0 after a failed open) fail and leave the
  // block as it was.
  MCI_STATUS_PARMS status;
  status.dwItem = MCI_STATUS_MODE;
  EXPECT_EQ(mciSendCommand(0, MCI_STATUS, MCI_STATUS_ITEM, &status), MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(status.dwReturn, 0u);
  MCI_SET_PARMS set;
  set.dwTimeFormat = MCI_FORMAT_TMSF;
  EXPECT_EQ(mciSendCommand(0, MCI_SET, MCI_SET_TIME_FORMAT, &set), MCIERR_INVALID_DEVICE_ID);
}

TEST_F(Mci, StatusOfAStoppedDiscIsPackedOneFieldPerByte) {
  CdDevice cd(dir.path());
  ASSERT_EQ(cd.result, 0u);
  EXPECT_NE(cd.id, 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(cd.status(MCI_STATUS_NUMBER_OF_TRACKS), 3u);
  // 150 + 225 + 113 sectors = 6 s 38 frames; lengths are minutes/seconds/frames.
  EXPECT_EQ(cd.status(MCI_STATUS_LENGTH), MCI_MAKE_MSF(0, 6, 38));
  EXPECT_EQ(cd.status(MCI_STATUS_LENGTH, 2), MCI_MAKE_MSF(0, 3, 0));
  EXPECT_EQ(cd.status(MCI_STATUS_LENGTH, 3), MCI_MAKE_MSF(0, 1, 38));
  EXPECT_EQ(cd.status(MCI_STATUS_POSITION), MCI_MAKE_TMSF(1, 0, 0, 0));
  EXPECT_EQ(cd.status(MCI_STATUS_POSITION, 3), MCI_MAKE_TMSF(3, 0, 0, 0));
  EXPECT_EQ(cd.status(MCI_STATUS_CURRENT_TRACK), 1u);
  EXPECT_EQ(cd.status(MCI_CDA_STATUS_TYPE_TRACK, 1), MCI_CDA_TRACK_AUDIO);
  EXPECT_EQ(cd.status(MCI_STATUS_MEDIA_PRESENT), 1u);
  MCIERROR error = 0;
  cd.status(MCI_STATUS_LENGTH, 4, &error);
  EXPECT_EQ(error, MCIERR_OUTOFRANGE);

  // The other time formats: disc addresses start 2 seconds in.
  MCI_SET_PARMS set;
  set.dwTimeFormat = MCI_FORMAT_MSF;
  ASSERT_EQ(cd.send(MCI_SET, MCI_SET_TIME_FORMAT, &set), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_POSITION, 2), MCI_MAKE_MSF(0, 4, 0));
  set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
  ASSERT_EQ(cd.send(MCI_SET, MCI_SET_TIME_FORMAT, &set), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_LENGTH, 2), 3000u);
  set.dwTimeFormat = 7;
  EXPECT_EQ(cd.send(MCI_SET, MCI_SET_TIME_FORMAT, &set), MCIERR_BAD_TIME_FORMAT);
  EXPECT_EQ(cd.status(MCI_STATUS_TIME_FORMAT), MCI_FORMAT_MILLISECONDS);
}

TEST_F(Mci, PlayFromATrackAdvancesInRealTimeAndStopReturnsToItsStart) {
  CdDevice cd(dir.path());
  ASSERT_EQ(cd.result, 0u);
  const auto requested = std::chrono::steady_clock::now();
  ASSERT_EQ(cd.playFrom(2), 0u);
  // The request does not wait for the drive: it answers while the disc plays on by itself.
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_PLAY);
  EXPECT_EQ(cd.status(MCI_STATUS_CURRENT_TRACK), 2u);
  // The position moves on, never ahead of the clock by more than the output's small lead (read
  // as fast as it can be, the 3 s track would be over at once); a busy machine only slows it.
  std::uintptr_t at = 0;
  ASSERT_TRUE(pollUntil(
      [&] {
        at = cd.status(MCI_STATUS_POSITION);
        return secondsIn(at) > 0.3;
      },
      20000));
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - requested).count();
  EXPECT_EQ(MCI_TMSF_TRACK(std::uint32_t(at)), 2u);
  EXPECT_LT(secondsIn(at), elapsed + 0.5);

  // Play without a starting point while playing goes on where it is.
  ASSERT_EQ(cd.send(MCI_PLAY), 0u);
  EXPECT_GE(secondsIn(cd.status(MCI_STATUS_POSITION)), secondsIn(at));

  ASSERT_EQ(cd.send(MCI_STOP), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(cd.status(MCI_STATUS_POSITION), MCI_MAKE_TMSF(2, 0, 0, 0));
  // Play from the current position starts the track again.
  ASSERT_EQ(cd.send(MCI_PLAY), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_CURRENT_TRACK), 2u);
  cd.send(MCI_STOP);
}

TEST_F(Mci, PlayGoesOnToTheEndOfTheDiscThenReturnsToItsStart) {
  CdDevice cd(dir.path());
  MCI_PLAY_PARMS from;
  from.dwFrom = MCI_MAKE_TMSF(3, 0, 1, 0);  // one second into the last track
  ASSERT_EQ(cd.send(MCI_PLAY, MCI_FROM, &from), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_PLAY);
  EXPECT_TRUE(pollUntil([&] { return cd.status(MCI_STATUS_MODE) == MCI_MODE_STOP; }, 3000));
  EXPECT_EQ(cd.status(MCI_STATUS_POSITION), MCI_MAKE_TMSF(1, 0, 0, 0));

  // Points off the disc are refused.
  from.dwFrom = MCI_MAKE_TMSF(4, 0, 0, 0);
  EXPECT_EQ(cd.send(MCI_PLAY, MCI_FROM, &from), MCIERR_OUTOFRANGE);
  from.dwFrom = MCI_MAKE_TMSF(2, 0, 1, 0);
  from.dwTo = MCI_MAKE_TMSF(2, 0, 0, 0);
  EXPECT_EQ(cd.send(MCI_PLAY, MCI_FROM | MCI_TO, &from), MCIERR_OUTOFRANGE);
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_STOP);
}

TEST_F(Mci, TheDoorOpensAndClosesThroughNotReady) {
  CdDevice cd(dir.path());
  ASSERT_EQ(cd.playFrom(1), 0u);
  ASSERT_EQ(cd.send(MCI_SET, MCI_SET_DOOR_OPEN), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_OPEN);
  MCIERROR error = 0;
  cd.status(MCI_STATUS_NUMBER_OF_TRACKS, 0, &error);
  EXPECT_EQ(error, MCIERR_DEVICE_NOT_READY);
  EXPECT_EQ(cd.send(MCI_PLAY), MCIERR_DEVICE_NOT_READY);
  // The files change while the door is open: the disc is read again when it closes.
  QFile::remove(dir.path() + QStringLiteral("/03.wav"));
  ASSERT_EQ(cd.send(MCI_SET, MCI_SET_DOOR_CLOSED), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_NOT_READY);
  EXPECT_TRUE(pollUntil([&] { return cd.status(MCI_STATUS_MODE) == MCI_MODE_STOP; }, 2000));
  EXPECT_EQ(cd.status(MCI_STATUS_NUMBER_OF_TRACKS), 2u);
  EXPECT_EQ(cd.send(MCI_SET, MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED), MCIERR_FLAGS_NOT_COMPATIBLE);
}

TEST_F(Mci, WithoutASoundOutputPlayingStopsAtOnce) {
  qputenv("VARDEL_AUDIO_DRIVER", "no-such-driver");
  CdDevice cd(dir.path());
  ASSERT_EQ(cd.playFrom(2), 0u);  // the output opens on the drive's own thread
  EXPECT_TRUE(pollUntil([&] { return cd.status(MCI_STATUS_MODE) == MCI_MODE_STOP; }, 2000));
  EXPECT_EQ(MCI_TMSF_TRACK(std::uint32_t(cd.status(MCI_STATUS_POSITION))), 1u);
  qunsetenv("VARDEL_AUDIO_DRIVER");
}

TEST_F(Mci, ABinWithItsCueSheetIsADisc) {
  QTemporaryDir image;
  writeBinCue(image.path());
  CdDevice cd(image.path() + QStringLiteral("/disc.cue"));
  ASSERT_EQ(cd.result, 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(cd.status(MCI_STATUS_NUMBER_OF_TRACKS), 3u);
  EXPECT_EQ(cd.status(MCI_STATUS_LENGTH, 1), MCI_MAKE_MSF(0, 2, 0));
  EXPECT_EQ(cd.status(MCI_STATUS_LENGTH), MCI_MAKE_MSF(0, 6, 38));
  ASSERT_EQ(cd.playFrom(3), 0u);
  EXPECT_EQ(cd.status(MCI_STATUS_CURRENT_TRACK), 3u);
  cd.send(MCI_STOP);
}

// What a drive says of discs it cannot read, or reads only in part.
TEST(MciBadDiscs, GiveTheModesOfARealDrive) {
  QTemporaryDir dir;
  const QString empty = dir.path() + QStringLiteral("/empty");
  QDir().mkpath(empty);
  writeBytes(empty + QStringLiteral("/notes.txt"), "no audio here");
  writeBytes(empty + QStringLiteral("/01.wav"), "RIFF....WAVEfmt broken");
  {
    CdDevice cd(empty);
    ASSERT_EQ(cd.result, 0u);  // the drive is there, without a disc it can read
    EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_NOT_READY);
    EXPECT_EQ(cd.status(MCI_STATUS_MEDIA_PRESENT), 0u);
    EXPECT_EQ(cd.send(MCI_PLAY), MCIERR_DEVICE_NOT_READY);
  }
  {
    // The sheet names a BIN that is not there.
    writeBytes(dir.path() + QStringLiteral("/missing.cue"),
               "FILE \"gone.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n");
    CdDevice cd(dir.path() + QStringLiteral("/missing.cue"));
    ASSERT_EQ(cd.result, 0u);
    EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_NOT_READY);
  }
  {
    // A BIN cut short in its last sector: the whole sectors play.
    const QByteArray bin = writeBinCue(dir.path());
    writeBytes(dir.path() + QStringLiteral("/disc.bin"), bin.left(bin.size() - 1001));
    CdDevice cd(dir.path() + QStringLiteral("/disc.cue"));
    EXPECT_EQ(cd.status(MCI_STATUS_NUMBER_OF_TRACKS), 3u);
    EXPECT_EQ(cd.status(MCI_STATUS_LENGTH, 3), MCI_MAKE_MSF(0, 1, 37));
    ASSERT_EQ(cd.playFrom(3), 0u);
    EXPECT_TRUE(pollUntil([&] { return cd.status(MCI_STATUS_MODE) == MCI_MODE_STOP; }, 3000));
  }
  {
    // A data disc: a track, but nothing to play.
    writeBytes(dir.path() + QStringLiteral("/data.bin"), QByteArray(2352 * 300, '\x55'));
    writeBytes(dir.path() + QStringLiteral("/data.cue"),
               "FILE \"data.bin\" BINARY\n TRACK 01 MODE1/2352\n  INDEX 01 00:00:00\n");
    CdDevice cd(dir.path() + QStringLiteral("/data.cue"));
    EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_STOP);
    EXPECT_EQ(cd.status(MCI_STATUS_NUMBER_OF_TRACKS), 1u);
    EXPECT_EQ(cd.status(MCI_CDA_STATUS_TYPE_TRACK, 1), MCI_CDA_TRACK_OTHER);
    EXPECT_EQ(cd.playFrom(1), MCIERR_HARDWARE);
    EXPECT_EQ(cd.status(MCI_STATUS_MODE), MCI_MODE_STOP);
  }
}

}  // namespace
}  // namespace vardel::test

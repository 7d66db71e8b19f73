// Discs and drives behind the media control interface: what they read, sample for sample.
#include "platform/mci/drive.h"
#include "platform/mci/audio_file.h"
#include "platform/mci/cue_sheet.h"
#include "tests/mci/disc_fixture.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cstring>

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

namespace vardel::test {
namespace {

using namespace platform::cd;

// The samples of `count` sectors from `sector` on.
std::vector<std::int16_t> readSectors(const Disc& disc, std::int32_t sector, int count, bool* ok = nullptr) {
  std::vector<std::int16_t> out(size_t(count) * kFramesPerSector * 2, 1);
  const std::unique_ptr<SectorReader> reader = disc.reader();
  const bool read = reader && reader->read(sector, count, out.data());
  if (ok) *ok = read;
  return out;
}

// The stereo samples of a generated track from sector `sector` within it on.
std::vector<std::int16_t> expected(const std::vector<std::int16_t>& track, int sector, int count) {
  std::vector<std::int16_t> out(size_t(count) * kFramesPerSector * 2, 0);
  const size_t from = size_t(sector) * kFramesPerSector * 2;
  for (size_t i = 0; i < out.size() && from + i < track.size(); ++i) out[i] = track[from + i];
  return out;
}

TEST(Discs, AFolderAndACueSheetOverWavAndABinImageReadTheSameSamples) {
  QTemporaryDir dir;
  const QString folder = dir.path() + QStringLiteral("/tracks");
  QDir().mkpath(folder);
  writeTrackFolder(folder);
  writeBinCue(dir.path());
  const QByteArray waveCue =
      "FILE \"disc.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
      "  TRACK 02 AUDIO\r\n    INDEX 00 00:01:70\r\n    INDEX 01 00:02:00\r\n"
      "  TRACK 03 AUDIO\r\n    INDEX 01 00:05:00\r\n";
  QByteArray bin;
  {
    QFile f(dir.path() + QStringLiteral("/disc.bin"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    bin = f.readAll();
  }
  std::vector<std::int16_t> whole(size_t(bin.size() / 2));
  std::memcpy(whole.data(), bin.constData(), size_t(bin.size()));
  writeBytes(dir.path() + QStringLiteral("/DISC.WAV"), wavBytes(whole));  // named in another case
  writeBytes(dir.path() + QStringLiteral("/wave.cue"), waveCue);

  const auto tones = threeTones();
  for (const auto& disc : {openFolderDisc(folder), openDiscImage(dir.path() + QStringLiteral("/disc.cue")),
                           openDiscImage(dir.path() + QStringLiteral("/wave.cue")),
                           openCdioDisc(dir.path() + QStringLiteral("/disc.cue"), true)}) {
    ASSERT_TRUE(disc);
    const Toc& toc = disc->toc();
    ASSERT_EQ(toc.tracks.size(), 3u);
    EXPECT_EQ(toc.tracks[1].start, 150);
    EXPECT_EQ(toc.tracks[2].start, 375);
    EXPECT_EQ(toc.end(), 488);
    EXPECT_EQ(toc.trackAt(374)->number, 2);
    // A read across the border of two tracks, and the end of the last one.
    bool ok = false;
    std::vector<std::int16_t> got = readSectors(*disc, 148, 4, &ok);
    EXPECT_TRUE(ok);
    std::vector<std::int16_t> want = expected(tones[0], 148, 2);
    const std::vector<std::int16_t> second = expected(tones[1], 0, 2);
    want.insert(want.end(), second.begin(), second.end());
    EXPECT_EQ(got, want);
    EXPECT_EQ(readSectors(*disc, 486, 2), expected(tones[2], 111, 2));
  }
}

TEST(Discs, TrackFilesOfOtherRatesAndChannelsBecomeCdAudio) {
  QTemporaryDir dir;
  writeBytes(dir.path() + QStringLiteral("/mono.wav"), wavBytes(tone(1, 441, 22050, 1), 22050, 1));
  const std::unique_ptr<PcmSource> source = openAudioFile(dir.path() + QStringLiteral("/mono.wav"));
  ASSERT_TRUE(source);
  EXPECT_EQ(source->frames(), 44100);
  std::vector<std::int16_t> out(2 * 44100);
  EXPECT_EQ(source->read(out.data(), 44100), 44100);
  // Both channels carry the tone, still 441 Hz: one period is 100 frames.
  int crossings = 0;
  for (size_t i = 1; i < 44100; ++i) {
    EXPECT_EQ(out[2 * i], out[2 * i + 1]);
    if (out[2 * (i - 1)] < 0 && out[2 * i] >= 0) ++crossings;
  }
  EXPECT_NEAR(crossings, 441, 2);
  ASSERT_TRUE(source->seek(100));
  std::int16_t frame[2];
  ASSERT_EQ(source->read(frame, 1), 1);
  EXPECT_NEAR(frame[0], 0, 300);  // a whole period in: back at the zero crossing

  writeBytes(dir.path() + QStringLiteral("/song.mp3"), QByteArray(5000, 'x'));
  EXPECT_FALSE(openAudioFile(dir.path() + QStringLiteral("/song.mp3")));
  EXPECT_FALSE(openAudioFile(dir.path() + QStringLiteral("/absent.wav")));
}

// Upward zero crossings a second of the left channel.
double pitch(const std::vector<std::int16_t>& stereo) {
  int crossings = 0;
  for (size_t i = 1; 2 * i < stereo.size(); ++i)
    if (stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) ++crossings;
  return crossings * 44100.0 / double(stereo.size() / 2);
}

TEST(Discs, FlacAndMp3TracksMakeAFolderDisc) {
  QTemporaryDir dir;
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 2;
  info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  const QByteArray flac = QFile::encodeName(dir.path() + QStringLiteral("/01 uno.flac"));
  SNDFILE* file = sf_open(flac.constData(), SFM_WRITE, &info);
  ASSERT_TRUE(file) << sf_strerror(nullptr);
  const std::vector<std::int16_t> first = tone(2, 440);
  sf_writef_short(file, first.data(), sf_count_t(first.size() / 2));
  sf_close(file);
  // An MP3 at 48 kHz: decoded and brought to 44.1 kHz.
  writeBytes(dir.path() + QStringLiteral("/tone48.wav"), wavBytes(tone(3, 660, 48000), 48000));
  QProcess lame;
  lame.start(QStringLiteral("lame"), {"--quiet", "-b", "192", dir.path() + QStringLiteral("/tone48.wav"),
                                      dir.path() + QStringLiteral("/02 dos.mp3")});
  const bool mp3 = lame.waitForFinished(30000) && lame.exitCode() == 0;
  QFile::remove(dir.path() + QStringLiteral("/tone48.wav"));

  const auto disc = openFolderDisc(dir.path());
  ASSERT_TRUE(disc);
  ASSERT_EQ(disc->toc().tracks.size(), mp3 ? 2u : 1u);
  EXPECT_EQ(disc->toc().tracks[0].length, 150);
  EXPECT_EQ(readSectors(*disc, 10, 20), expected(first, 10, 20));  // lossless
  if (!mp3) GTEST_SKIP() << "no lame here to make an MP3 track";
  EXPECT_NEAR(disc->toc().tracks[1].length, 225, 2);  // three seconds, the encoder's delay aside
  EXPECT_NEAR(pitch(readSectors(*disc, 150 + 30, 75)), 660, 5);
}

// A pipe, a device or a folder where a track, a cue sheet or its image should be: taken as
// missing, at once (a pipe nobody writes would otherwise hold the reader for ever).
TEST(Discs, OnlyRegularFilesMakeTracksSheetsAndImages) {
  QTemporaryDir dir;
  const QString folder = dir.path() + QStringLiteral("/tracks");
  QDir().mkpath(folder);
  writeTrackFolder(folder);
  ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/00 tuberia.wav")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder + QStringLiteral("/00 cero.wav")));
  QDir().mkpath(folder + QStringLiteral("/00 carpeta.wav"));
  const auto disc = openFolderDisc(folder);
  ASSERT_TRUE(disc);
  EXPECT_EQ(disc->toc().tracks.size(), 3u);

  writeBinCue(dir.path());
  QFile::remove(dir.path() + QStringLiteral("/disc.bin"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.path() + QStringLiteral("/disc.bin")).constData(), 0600), 0);
  EXPECT_FALSE(openDiscImage(dir.path() + QStringLiteral("/disc.cue")));
  EXPECT_FALSE(openCueSheetDisc(dir.path() + QStringLiteral("/disc.cue")));
  const QString pipeSheet = dir.path() + QStringLiteral("/tuberia.cue");
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipeSheet).constData(), 0600), 0);
  EXPECT_FALSE(openDiscImage(pipeSheet));
  EXPECT_FALSE(openCueSheetDisc(pipeSheet));
  EXPECT_FALSE(openAudioFile(QStringLiteral("/dev/zero"), AudioFileKind::RawLittle));
  EXPECT_FALSE(openAudioFile(pipeSheet, AudioFileKind::Any));
}

TEST(CueSheets, ParseFilesTracksAndStarts) {
  const auto sheet = parseCueSheet(
      "\xEF\xBB\xBFREM a comment\nTITLE \"Disco\"\nFILE \"Mi disco.bin\" BINARY\n"
      "  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    PREGAP 00:02:00\n"
      "    INDEX 01 01:02:03\nFILE second.flac WAVE\n  TRACK 03 AUDIO\n    INDEX 01 00:00:00\n");
  ASSERT_TRUE(sheet);
  ASSERT_EQ(sheet->files.size(), 2u);
  EXPECT_EQ(sheet->files[0].name, QStringLiteral("Mi disco.bin"));
  EXPECT_FALSE(sheet->files[0].tracks[0].audio);
  EXPECT_EQ(sheet->files[0].tracks[0].sectorBytes, 2048);
  EXPECT_EQ(sheet->files[0].tracks[1].index1, (62 * 75) + 3);
  EXPECT_EQ(sheet->files[1].type, CueFile::Type::Audio);
  EXPECT_EQ(sheet->files[1].name, QStringLiteral("second.flac"));

  EXPECT_FALSE(parseCueSheet("TRACK 01 AUDIO\nINDEX 01 00:00:00\n"));                     // no file
  EXPECT_FALSE(parseCueSheet("FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 00 00:00:00\n"));  // no INDEX 01
  EXPECT_FALSE(parseCueSheet("FILE a.bin BINARY\nTRACK 01 AUDIO\nINDEX 01 00:61:00\n"));  // no such time
  EXPECT_FALSE(parseCueSheet(QByteArray("\0\0\xff", 3)));
}

// The real-drive backend on libcdio's image driver: a drive that always holds its disc and
// whose door cannot move.
TEST(CdromDrive, ReadsAnImageThroughErrorCorrectionAndCannotEjectIt) {
  QTemporaryDir dir;
  writeBinCue(dir.path());
  const std::unique_ptr<Drive> drive = openCdromDrive(dir.path() + QStringLiteral("/disc.cue"));
  ASSERT_EQ(drive->state(), DriveState::Ready);
  const std::shared_ptr<const Disc> disc = drive->disc();
  ASSERT_TRUE(disc);
  EXPECT_EQ(disc->toc().tracks.size(), 3u);
  EXPECT_EQ(readSectors(*disc, 200, 3), expected(threeTones()[1], 50, 3));
  EXPECT_FALSE(drive->openDoor());
  EXPECT_EQ(drive->state(), DriveState::Ready);
  EXPECT_EQ(drive->disc(), disc);  // the same disc, not read again

  const std::unique_ptr<Drive> nothing = openCdromDrive(dir.path() + QStringLiteral("/none.cue"));
  EXPECT_EQ(nothing->state(), DriveState::NotReady);
  EXPECT_FALSE(nothing->disc());
}

}  // namespace
}  // namespace vardel::test

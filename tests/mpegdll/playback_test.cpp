// The decoder library's playback through its C exports: files made by lame, stream mode,
// the end byte, seeking, modes and error codes, the dummy sound driver.
#include "tests/mpegdll/memory_stream.h"
#include "tests/mpegdll/mpeg_library.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <random>

namespace vardel::test {
namespace {

// A tone of `seconds` at `rate`: a different pitch per channel, so swapped or mixed channels show.
std::vector<int16_t> tone(int rate, int channels, double seconds, double amplitude = 12000) {
  const size_t frames = size_t(seconds * rate);
  std::vector<int16_t> out(frames * size_t(channels));
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      out[i * size_t(channels) + size_t(c)] =
          int16_t(amplitude * std::sin(2 * M_PI * (440.0 + 220 * c) * double(i) / rate));
  return out;
}

QString encode(const QString& folder, const QString& name, const std::vector<int16_t>& pcm, int rate, int channels,
               const QStringList& lameOptions) {
  const QString wav = folder + QLatin1Char('/') + name + QStringLiteral(".wav");
  const QString mp3 = folder + QLatin1Char('/') + name + QStringLiteral(".mp3");
  writeWav(wav, pcm, rate, channels);
  bool ok = false;
  runTool(QStringLiteral("lame"), QStringList{QStringLiteral("--quiet")} + lameOptions + QStringList{wav, mp3}, &ok);
  return ok ? mp3 : QString();
}

class Playback : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    mpeg = new MpegLibrary;
    ASSERT_TRUE(mpeg->loaded()) << mpeg->library.errorString().toStdString();
    dir = new QTemporaryDir;
    // Two seconds of a tone, constant bit rate: the file most tests play.
    shortTune = encode(dir->path(), QStringLiteral("short"), tone(44100, 2, 2.0), 44100, 2, {"-b", "128"});
    ASSERT_FALSE(shortTune.isEmpty()) << "lame is needed to make test files";
    longTune = encode(dir->path(), QStringLiteral("long"), tone(44100, 2, 6.0), 44100, 2, {"-b", "128"});
  }
  static void TearDownTestSuite() {
    delete dir;
    delete mpeg;
  }
  void SetUp() override {
    ASSERT_EQ(mpeg->init(), 1);
    qputenv("VARDEL_AUDIO_DRIVER", "dummy");
  }
  void TearDown() override {
    mpeg->deinit();
    qunsetenv("VARDEL_AUDIO_DRIVER");
  }
  QString outFile(const char* name) const { return dir->path() + QLatin1Char('/') + QLatin1String(name); }
  static QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QString writeFileIn(const QByteArray& bytes) {
    static int count = 0;
    const QString path = dir->path() + QStringLiteral("/input%1.mp3").arg(++count);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
  }
  void toFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    mpeg->SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, name.constData());
    ASSERT_EQ(mpeg->LastError(), 0);
  }

  static MpegLibrary* mpeg;
  static QTemporaryDir* dir;
  static QString shortTune, longTune;
};
MpegLibrary* Playback::mpeg = nullptr;
QTemporaryDir* Playback::dir = nullptr;
QString Playback::shortTune, Playback::longTune;

struct Encoding {
  const char* name;
  int rate;
  int channels;
  QStringList options;
  bool gapless = true;
};

TEST_F(Playback, FilesEncodedByLameDecodeExactlyAndGaplessly) {
  const Encoding encodings[] = {
      {"cbr128_joint_44k", 44100, 2, {"-b", "128", "-m", "j"}},
      {"cbr192_stereo_48k", 48000, 2, {"-b", "192", "-m", "s"}},
      {"cbr64_mono_32k", 32000, 1, {"-b", "64", "-m", "m"}},
      {"mpeg2_22k", 22050, 2, {"-b", "64"}},
      // Frames this small leave lame no room for its header: no gapless information here.
      {"mpeg25_8k_mono", 8000, 1, {"-b", "16", "-m", "m"}, false},
      {"vbr_v2_44k", 44100, 2, {"-V", "2"}},
      {"abr_mono_16k", 16000, 1, {"--abr", "40", "-m", "m"}},
  };
  for (const Encoding& e : encodings) {
    SCOPED_TRACE(e.name);
    const auto source = tone(e.rate, e.channels, 3.3);
    const QString mp3 = encode(dir->path(), QLatin1String(e.name), source, e.rate, e.channels, e.options);
    ASSERT_FALSE(mp3.isEmpty());
    const Decoded decoded = decodeFile(*mpeg, mp3);
    ASSERT_EQ(decoded.openError, 0);
    ASSERT_TRUE(decoded.ended);
    EXPECT_EQ(decoded.rate, e.rate);
    EXPECT_EQ(decoded.length, 3);  // whole seconds, rounded down
    bool ok = false;
    const QByteArray reference = mpg123Decode(mp3, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(decoded.pcm.size(), reference.size());
    EXPECT_GE(psnr(samples(decoded.pcm), samples(reference), source.size()), 96.0);
    if (e.gapless) {
      // Encoder delay and padding removed: as many samples as went into lame, and it is the
      // tone that went in (lossy, so a loose bound).
      EXPECT_EQ(size_t(decoded.pcm.size()) / 2, source.size());
      EXPECT_GT(psnr(samples(decoded.pcm), source, source.size()), 20.0);
    }
  }
}

TEST_F(Playback, LengthOfAVariableBitRateFileWithoutHeaderIsExact) {
  // Ten seconds of silence, then ten of noise: the first frames' bit rate says nothing about
  // the whole, and without a Xing header only a full scan gives the length.
  std::vector<int16_t> pcm(size_t(44100) * 20 * 2, 0);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> noise(-20000, 20000);
  for (size_t i = pcm.size() / 2; i < pcm.size(); ++i) pcm[i] = int16_t(noise(random));
  const QString mp3 = encode(dir->path(), QStringLiteral("vbr_untagged"), pcm, 44100, 2, {"-V", "0", "-t"});
  ASSERT_FALSE(mp3.isEmpty());
  const Decoded decoded = decodeFile(*mpeg, mp3);
  ASSERT_EQ(decoded.openError, 0);
  ASSERT_TRUE(decoded.ended);
  const size_t frames = size_t(decoded.pcm.size()) / 4;
  EXPECT_EQ(decoded.length, int(frames / 44100));
  EXPECT_EQ(decoded.length, 20);
}

TEST_F(Playback, StreamModeGivesTheSamePcmAsFileMode) {
  const Decoded file = decodeFile(*mpeg, longTune);
  ASSERT_TRUE(file.ended);
  for (bool nonseekable : {false, true}) {
    SCOPED_TRACE(nonseekable ? "non-seekable" : "seekable");
    const Decoded stream = decodeFile(*mpeg, longTune, true, nonseekable);
    ASSERT_EQ(stream.openError, 0);
    ASSERT_TRUE(stream.ended);
    EXPECT_EQ(stream.pcm, file.pcm);
    if (!nonseekable) {
      EXPECT_EQ(stream.length, file.length);
    }
  }
}

TEST_F(Playback, StreamCallbacksRunOnTheLibrarysThreadAndCloseOnce) {
  MemoryStream stream;
  stream.data = readAll(shortTune);
  stream.openWith(mpeg->Open);
  ASSERT_EQ(mpeg->LastError(), 0);
  toFile(outFile("stream.pcm"));
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  ASSERT_TRUE(waitForByte(end, 10000));
  mpeg->Close();
  EXPECT_EQ(stream.opens, 1);
  EXPECT_EQ(stream.closes, 1);
  EXPECT_GT(stream.reads, 0);
  EXPECT_FALSE(stream.calledOnCallerThread);
  mpeg->Close();  // a second close has nothing left to close
  EXPECT_EQ(mpeg->LastError(), 0);
  EXPECT_EQ(stream.closes, 1);
}

TEST_F(Playback, NonSeekableStreamRestartsThroughItsCallbackAndRefusesSeeks) {
  MemoryStream stream;
  stream.data = readAll(shortTune);
  stream.nonseekable = true;
  stream.openWith(mpeg->Open);
  ASSERT_EQ(mpeg->LastError(), 0);
  toFile(outFile("nonseekable.pcm"));
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  mpeg->Seek(1);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_NONSEEKABLE);
  ASSERT_TRUE(waitForByte(end, 10000));
  const QByteArray first = readAll(outFile("nonseekable.pcm"));
  end = 0;
  mpeg->Restart();
  ASSERT_EQ(mpeg->LastError(), 0);
  ASSERT_TRUE(waitForByte(end, 10000));
  EXPECT_EQ(stream.restarts, 1);
  EXPECT_EQ(readAll(outFile("nonseekable.pcm")), first);
  mpeg->Close();
}

TEST_F(Playback, FailingStreamIsAnInputError) {
  MemoryStream stream;
  stream.data = readAll(shortTune);
  stream.failReads = true;
  stream.openWith(mpeg->Open);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_INPUT);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_CLOSED);
  EXPECT_EQ(stream.closes, 1);  // what was opened is closed again
}

TEST_F(Playback, EndByteIsSetWhenTheLastSampleHasBeenPlayedOut) {
  ASSERT_EQ(mpeg->openFile(shortTune), 0);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_OPENED);
  mpeg->SetOutputDevice(MPEGDLL_DEVICE_WAVEMAPPER, "");
  uint8_t end = 0;
  QElapsedTimer clock;
  clock.start();
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_PLAYING);
  QThread::msleep(300);
  EXPECT_EQ(loadByte(end), 0) << "the byte came before the sound";
  ASSERT_TRUE(waitForByte(end, 10000));
  // The dummy driver keeps real time: two seconds of sound take two seconds.
  EXPECT_GE(clock.elapsed(), 1900);
  EXPECT_LE(clock.elapsed(), 5000);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_ENDED);
  EXPECT_EQ(mpeg->GetCurrentPos(), 2);
  EXPECT_EQ(mpeg->ResetPlayerMode(), 1);
  EXPECT_EQ(mpeg->ResetPlayerMode(), 0);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_STOPPED);
  MpegPlaybackStats stats{};
  mpeg->GetPlaybackStats(&stats);
  EXPECT_STREQ(stats.driver, "dummy");
  EXPECT_EQ(stats.samplesOut, 88200);
  EXPECT_GT(stats.firstOutputNs, stats.playCalledNs);
  mpeg->Close();
}

TEST_F(Playback, PcmFileIsCompleteWhenTheEndByteIsSet) {
  ASSERT_EQ(mpeg->openFile(longTune), 0);
  toFile(outFile("complete.pcm"));
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  ASSERT_TRUE(waitForByte(end, 10000));
  EXPECT_EQ(readAll(outFile("complete.pcm")).size(), 6 * 44100 * 4);
  mpeg->Close();
}

TEST_F(Playback, PlayingFromAStartPositionLandsWithinOneFrame) {
  const Decoded whole = decodeFile(*mpeg, longTune);
  const Decoded part = decodeFile(*mpeg, longTune, false, false, 3);
  ASSERT_TRUE(part.ended);
  const auto all = samples(whole.pcm);
  const auto tail = samples(part.pcm);
  ASSERT_GT(tail.size(), 44100u);
  // Find where the part begins in the whole: within one frame of three seconds.
  const long target = 3 * 44100;
  long best = -1;
  for (long offset = target - 1152; offset <= target + 1152; ++offset) {
    std::vector<int16_t> window(all.begin() + offset * 2, all.begin() + offset * 2 + 2 * 4410);
    if (psnr(window, tail, window.size()) >= 96.0) {
      best = offset;
      break;
    }
  }
  EXPECT_GE(best, 0) << "the part is not within one frame of 3 s";
  EXPECT_EQ(tail.size() + size_t(best) * 2, all.size());
}

TEST_F(Playback, SeekWhilePausedMovesThePosition) {
  ASSERT_EQ(mpeg->openFile(longTune), 0);
  EXPECT_EQ(mpeg->GetLength(), 6);
  mpeg->SetOutputDevice(MPEGDLL_DEVICE_WAVEMAPPER, "");
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  QThread::msleep(200);
  mpeg->Pause(0);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_PAUSED);
  mpeg->Seek(4);
  EXPECT_EQ(mpeg->LastError(), 0);
  EXPECT_EQ(mpeg->GetCurrentPos(), 4);
  QThread::msleep(300);
  EXPECT_EQ(mpeg->GetCurrentPos(), 4) << "the position moved while paused";
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_PAUSED);
  QElapsedTimer clock;
  clock.start();
  mpeg->Pause(1);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_PLAYING);
  ASSERT_TRUE(waitForByte(end, 10000));
  EXPECT_GE(clock.elapsed(), 1800);  // the two seconds after 4 s
  EXPECT_LE(clock.elapsed(), 4500);
  mpeg->Close();
}

TEST_F(Playback, EndPositionStopsThere) {
  ASSERT_EQ(mpeg->openFile(longTune), 0);
  toFile(outFile("range.pcm"));
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(1, 3, &end), 0);
  ASSERT_TRUE(waitForByte(end, 10000));
  EXPECT_EQ(readAll(outFile("range.pcm")).size(), 2 * 44100 * 4);
  mpeg->Close();
}

TEST_F(Playback, RestartPlaysTheStreamAgainFromItsBeginning) {
  ASSERT_EQ(mpeg->openFile(shortTune), 0);
  toFile(outFile("restart.pcm"));
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  ASSERT_TRUE(waitForByte(end, 10000));
  const QByteArray first = readAll(outFile("restart.pcm"));
  end = 0;
  mpeg->Restart();
  EXPECT_EQ(mpeg->LastError(), 0);
  ASSERT_TRUE(waitForByte(end, 10000));
  EXPECT_EQ(readAll(outFile("restart.pcm")), first);
  // And again in the middle of a playback through the sound device.
  mpeg->SetOutputDevice(MPEGDLL_DEVICE_WAVEMAPPER, "");
  end = 0;
  mpeg->Restart();
  QThread::msleep(1200);
  mpeg->Restart();
  EXPECT_EQ(mpeg->GetCurrentPos(), 0);
  EXPECT_EQ(loadByte(end), 0);
  mpeg->Close();
}

TEST_F(Playback, StopEndsPlaybackWithoutTheEndByte) {
  ASSERT_EQ(mpeg->openFile(longTune), 0);
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  QThread::msleep(1100);
  EXPECT_EQ(mpeg->GetCurrentPos(), 1);
  mpeg->Stop();
  EXPECT_EQ(mpeg->LastError(), 0);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_STOPPED);
  QThread::msleep(200);
  EXPECT_EQ(loadByte(end), 0);
  mpeg->Stop();
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  mpeg->Close();
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_CLOSED);
}

TEST_F(Playback, CallsOutOfTurnAreModeErrors) {
  uint8_t end = 0;
  mpeg->Play(0, 0, &end);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  mpeg->Pause(0);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  mpeg->Stop();
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  mpeg->Restart();
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  mpeg->Seek(1);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  EXPECT_EQ(mpeg->GetLength(), 0);
  EXPECT_EQ(mpeg->LastError(), 0);

  ASSERT_EQ(mpeg->openFile(shortTune), 0);
  mpeg->Play(2, 1, &end);  // an end before the start
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  mpeg->Pause(0);  // opened, never played
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  mpeg->Play(0, 0, &end);  // already playing
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  mpeg->Close();
  EXPECT_EQ(loadByte(end), 0);
}

TEST_F(Playback, BadInputIsAnInputError) {
  EXPECT_EQ(mpeg->openFile(dir->path() + QStringLiteral("/missing.mp3")), MPEGDLL_ERR_INPUT);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_CLOSED);
  EXPECT_EQ(mpeg->openFile(QString()), MPEGDLL_ERR_INPUT);
  mpeg->Open(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_INPUT);

  QByteArray text;
  for (int i = 0; i < 2000; ++i) text += "Esto no es un fichero MP3. ";
  const QString notMpeg = writeFileIn(text);
  EXPECT_EQ(mpeg->openFile(notMpeg), MPEGDLL_ERR_INPUT);
  // The first half of a file still plays what is there.
  const QByteArray whole = readAll(longTune);
  const QString cut = writeFileIn(whole.left(whole.size() / 2));
  const Decoded decoded = decodeFile(*mpeg, cut);
  ASSERT_EQ(decoded.openError, 0);
  EXPECT_TRUE(decoded.ended);
  EXPECT_GT(decoded.pcm.size(), 2 * 44100 * 4);
}

TEST_F(Playback, OutputThatCannotBeOpenedIsAnOutputError) {
  ASSERT_EQ(mpeg->openFile(shortTune), 0);
  toFile(dir->path() + QStringLiteral("/no/such/folder/out.pcm"));
  uint8_t end = 0;
  EXPECT_NE(mpeg->Play(0, 0, &end), 0);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_OUTPUT);
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_OPENED);
  mpeg->SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, "");  // a file without a name
  EXPECT_NE(mpeg->Play(0, 0, &end), 0);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_OUTPUT);
  qputenv("VARDEL_AUDIO_DRIVER", "no-such-driver");
  mpeg->SetOutputDevice(MPEGDLL_DEVICE_WAVEMAPPER, nullptr);
  EXPECT_NE(mpeg->Play(0, 0, &end), 0);
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_OUTPUT);
  mpeg->SetOutputDevice(1, "");  // no such device
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_OUTPUT);
  mpeg->Close();
}

TEST_F(Playback, PriorityIsThePlaybackThreadsNiceValue) {
  auto niceValues = [] {
    QList<int> values;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
      const QByteArray stat = readAll(tasks.filePath(task) + QStringLiteral("/stat"));
      const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
      if (fields.size() > 16) values << fields[16].toInt();  // field 19 of stat: nice
    }
    return values;
  };
  // Relative to this thread's own nice value.
  const int own = getpriority(PRIO_PROCESS, 0);
  mpeg->SetPriority(-15);  // idle
  EXPECT_EQ(mpeg->LastError(), 0);
  EXPECT_TRUE(niceValues().contains(std::min(own + 15, 19)));
  mpeg->SetPriority(-2);  // lowest
  EXPECT_TRUE(niceValues().contains(std::min(own + 2, 19)));
  if (own + 2 < 19) {
    EXPECT_FALSE(niceValues().contains(std::min(own + 15, 19)));
  }
}

TEST_F(Playback, InitAndDeinitCanRepeat) {
  mpeg->deinit();
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_CLOSED);
  mpeg->Close();
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);  // not initialised
  ASSERT_EQ(mpeg->init(), 1);
  EXPECT_EQ(mpeg->init(), 1);
  ASSERT_EQ(mpeg->openFile(shortTune), 0);
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  // Two holds: the first deinit leaves the player to the other holder.
  mpeg->deinit();
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_PLAYING);
  mpeg->deinit();  // the last hold, while playing: stops and closes
  EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_CLOSED);
  mpeg->Close();
  EXPECT_EQ(mpeg->LastError(), MPEGDLL_ERR_MODE);
  ASSERT_EQ(mpeg->init(), 1);
}

TEST_F(Playback, DemoTuneOfTheProgramFolderPlays) {
  const QString tune = QStringLiteral(VARDEL_PROGRAM_DIR "Musica/Ondravia.mp3");
  if (!QFile::exists(tune)) GTEST_SKIP() << "no demo content built yet";
  const Decoded decoded = decodeFile(*mpeg, tune);
  ASSERT_EQ(decoded.openError, 0);
  EXPECT_TRUE(decoded.ended);
  EXPECT_GT(decoded.length, 0);
  bool ok = false;
  const QByteArray reference = mpg123Decode(tune, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(decoded.pcm.size(), reference.size());
  EXPECT_GE(psnr(samples(decoded.pcm), samples(reference), size_t(reference.size()) / 2), 96.0);
}

}  // namespace
}  // namespace vardel::test

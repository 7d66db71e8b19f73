// What the decoder library opens: regular files only, and large files without an Info tag
// without reading them whole first.
#include "tests/mpegdll/mpeg_library.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include <sys/stat.h>

namespace vardel::test {
namespace {

std::vector<int16_t> tone(int rate, double seconds) {
  std::vector<int16_t> out(size_t(seconds * rate) * 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = int16_t(9000 * std::sin(2 * M_PI * 440.0 * double(i / 2) / rate));
  return out;
}

// An MP3 of `seconds` of a tone at a constant bit rate, without an Info tag.
QByteArray untagged(const QString& folder, const QString& name, double seconds, const char* kbps) {
  const QString wav = folder + QLatin1Char('/') + name + QStringLiteral(".wav");
  const QString mp3 = folder + QLatin1Char('/') + name + QStringLiteral(".mp3");
  writeWav(wav, tone(44100, seconds), 44100, 2);
  bool ok = false;
  runTool(QStringLiteral("lame"),
          {QStringLiteral("--quiet"), QStringLiteral("-t"), QStringLiteral("--resample"), QStringLiteral("44.1"),
           QStringLiteral("-b"), QString::fromLatin1(kbps), wav, mp3},
          &ok);
  QFile file(mp3);
  return ok && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DecoderInput : public testing::Test {
 protected:
  static void SetUpTestSuite() { mpeg = new MpegLibrary; }
  static void TearDownTestSuite() { delete mpeg; }
  void SetUp() override {
    ASSERT_TRUE(mpeg->loaded());
    ASSERT_TRUE(dir_.isValid());
    ASSERT_EQ(mpeg->init(), 1);
  }
  void TearDown() override { mpeg->deinit(); }
  static MpegLibrary* mpeg;
  QTemporaryDir dir_;
};
MpegLibrary* DecoderInput::mpeg = nullptr;

TEST_F(DecoderInput, DevicesPipesAndFoldersAreRefusedLikeAMissingFile) {
  const int missing = mpeg->openFile(dir_.filePath(QStringLiteral("no-existe.mp3")));
  ASSERT_EQ(missing, MPEGDLL_ERR_INPUT);
  const QString fifo = dir_.filePath(QStringLiteral("tuberia.mp3"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString zero = dir_.filePath(QStringLiteral("cero.mp3"));
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
  EXPECT_TRUE(test::returnsWithoutWaitingOnAPipe(fifo, [&] {
    for (const QString& path : {fifo, zero, dir_.path(), QStringLiteral("/dev/urandom")}) {
      SCOPED_TRACE(path.toStdString());
      EXPECT_EQ(mpeg->openFile(path), missing);
      EXPECT_EQ(mpeg->GetPlayerMode(), MPEGDLL_MODE_CLOSED);
    }
  })) << "the open waited on a pipe";
}

TEST_F(DecoderInput, ALargeFileWithoutInfoTagIsNotScannedAtOpenAndItsLengthIsExactAtTheEnd) {
  // One second at 32 kbit/s, then minutes at 320: the first frames' bit rate, all an open
  // without a scan can go by, makes the file seem ten times longer than it is.
  const QByteArray slow = untagged(dir_.path(), QStringLiteral("lento"), 1.0, "32");
  const QByteArray fast = untagged(dir_.path(), QStringLiteral("rapido"), 10.0, "320");
  ASSERT_FALSE(slow.isEmpty() || fast.isEmpty()) << "lame is needed to make test files";
  QByteArray whole = slow;
  while (whole.size() <= (8 << 20)) whole += fast;  // past what is scanned at open
  const QString path = test::writeFile(dir_.path(), QStringLiteral("largo.mp3"), whole);

  ASSERT_EQ(mpeg->openFile(path), 0);
  const int estimated = mpeg->GetLength();
  const QByteArray out = QFile::encodeName(dir_.filePath(QStringLiteral("largo.pcm")));
  mpeg->SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, out.constData());
  uint8_t end = 0;
  ASSERT_EQ(mpeg->Play(0, 0, &end), 0);
  ASSERT_EQ(mpeg->LastError(), 0);
  ASSERT_TRUE(waitForByte(end, 120000));
  const int exact = int(QFile(QFile::decodeName(out)).size() / 4 / 44100);
  EXPECT_GT(exact, 200);
  EXPECT_GT(estimated, exact * 3) << "the open scanned the whole file";
  EXPECT_EQ(mpeg->GetLength(), exact);
  mpeg->Close();
}

}  // namespace
}  // namespace vardel::test

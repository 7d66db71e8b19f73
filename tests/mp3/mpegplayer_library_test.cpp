// TMPEGPlayer over the real decoder library of the program folder.
#include "mp3/mpegplayer.h"

#include "tests/mpegdll/mpeg_library.h"
#include "tests/support/ui_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>

namespace vardel {
namespace {

class RealLibrary : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new QTemporaryDir;
    std::vector<int16_t> pcm(size_t(44100) * 3 * 2);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = int16_t(9000 * std::sin(double(i / 2) * 2 * M_PI * 330 / 44100));
    test::writeWav(dir->filePath(QStringLiteral("tune.wav")), pcm, 44100, 2);
    bool ok = false;
    test::runTool(
        QStringLiteral("lame"),
        {"--quiet", "-V", "4", dir->filePath(QStringLiteral("tune.wav")), dir->filePath(QStringLiteral("tune.mp3"))},
        &ok);
    tune = ok ? dir->filePath(QStringLiteral("tune.mp3")) : QString();
  }
  static void TearDownTestSuite() { delete dir; }
  void SetUp() override {
    ASSERT_FALSE(tune.isEmpty()) << "lame is needed to make the test file";
    qputenv("VARDEL_AUDIO_DRIVER", "dummy");
    player = std::make_unique<TMPEGPlayer>();
    player->setPathToDLL(QStringLiteral(VARDEL_PROGRAM_DIR));
    player->setUseTimer(true);
    player->setTimerFreq(50);
    player->LoadDLL();
  }
  void TearDown() override {
    if (player && player->IsLoaded()) player->UnloadDLL();
    player.reset();
    qunsetenv("VARDEL_AUDIO_DRIVER");
  }
  // Plays to a PCM file until OnPlayEnd; the file's bytes.
  QByteArray playToFile(const QString& name) {
    const QString out = dir->filePath(name);
    player->setOutFilename(out);
    player->setOutputDevice(TOutputDevice::pcmfile);
    bool ended = false;
    player->OnPlayEnd = [&](QObject*) { ended = true; };
    player->Play();
    EXPECT_TRUE(test::waitUntil([&] { return ended; }, 10000));
    QFile file(out);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  std::unique_ptr<TMPEGPlayer> player;
  test::MessageRecorder messages;
  static QTemporaryDir* dir;
  static QString tune;
};
QTemporaryDir* RealLibrary::dir = nullptr;
QString RealLibrary::tune;

TEST_F(RealLibrary, PlaysAFileToTheEndWithEvents) {
  player->setStreamName(tune);
  player->Open();
  EXPECT_EQ(player->StreamLength(), 3);
  int updates = 0;
  player->OnPosUpdate = [&](int32_t pos, int32_t len) {
    EXPECT_LE(pos, len);
    ++updates;
  };
  const QByteArray pcm = playToFile(QStringLiteral("file.pcm"));
  EXPECT_EQ(pcm.size(), 3 * 44100 * 4);
  EXPECT_GE(updates, 1);
  EXPECT_FALSE(player->Playing());
  EXPECT_EQ(player->GetPlayerMode(), MPEGDLL_MODE_ENDED);
  // Played again: the library restarts the same stream from its beginning, into the output
  // chosen by the first Play (a later Play only restarts).
  playToFile(QStringLiteral("ignored.pcm"));
  QFile again(dir->filePath(QStringLiteral("file.pcm")));
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), pcm);
  EXPECT_FALSE(QFile::exists(dir->filePath(QStringLiteral("ignored.pcm"))));
  EXPECT_EQ(player->PlayedXTimes(), 3);
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(RealLibrary, StreamEventsServeTheSameSound) {
  player->setStreamName(tune);
  player->Open();
  const QByteArray fromFile = playToFile(QStringLiteral("file.pcm"));
  player->Close();

  // The file-stream handlers an owner binds: a QFile as Context.
  player->OnOpenStream = [&](bool& nonseekable, void*& context) {
    auto* file = new QFile(tune);
    file->open(QIODevice::ReadOnly);
    context = file;
    nonseekable = false;
  };
  player->OnCloseStream = [](void* context) { delete static_cast<QFile*>(context); };
  player->OnReadStream = [](void* context, void* buffer, int32_t want, int32_t& got, bool& res) {
    got = int32_t(static_cast<QFile*>(context)->read(static_cast<char*>(buffer), want));
    res = got >= 0;
  };
  player->OnSeekStream = [](void* context, int32_t numbytes, int32_t method, int32_t& res) {
    auto* file = static_cast<QFile*>(context);
    const qint64 origin = method == 0 ? 0 : method == 1 ? file->pos() : file->size();
    res = file->seek(origin + numbytes) ? int32_t(file->pos()) : -1;
  };
  player->OnGetStreamSize = [](void* context, int32_t& res) { res = int32_t(static_cast<QFile*>(context)->size()); };
  player->OnRestartStream = [](void* context, bool& res) { res = static_cast<QFile*>(context)->seek(0); };
  player->setFromStream(true);
  player->Open();
  EXPECT_EQ(player->StreamLength(), 3);
  EXPECT_EQ(playToFile(QStringLiteral("stream.pcm")), fromFile);
  player->Close();
}

TEST_F(RealLibrary, LibraryErrorsBecomeComponentErrors) {
  const QString bad = dir->filePath(QStringLiteral("bad.mp3"));
  {
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'z'));
  }
  player->setStreamName(bad);
  try {
    player->Open();
    ADD_FAILURE() << "no error";
  } catch (const TMPEGError& e) {
    EXPECT_EQ(e.ErrorCode, 3);
    EXPECT_STREQ(e.what(), "Input stream error");
  }
  EXPECT_FALSE(player->Opened());
}

TEST_F(RealLibrary, DestroyedWhilePlayingLeavesTheLibraryIdle) {
  player->setStreamName(tune);
  player->Open();
  player->Play();  // through the dummy sound output, in real time
  test::pump(100);
  EXPECT_EQ(player->GetPlayerMode(), MPEGDLL_MODE_PLAYING);
  player.reset();  // still loaded, still playing
  test::MpegLibrary library;
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(library.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
  library.deinit();
}

TEST_F(RealLibrary, DestroyedWhileReadingAStreamCallsNoEventAfterwards) {
  std::vector<std::unique_ptr<QFile>> files;
  std::atomic<int> reads{0}, closes{0};
  player->OnOpenStream = [&](bool& nonseekable, void*& context) {
    files.push_back(std::make_unique<QFile>(tune));
    files.back()->open(QIODevice::ReadOnly);
    context = files.back().get();
    nonseekable = true;
  };
  player->OnReadStream = [&](void* context, void* buffer, int32_t want, int32_t& got, bool& res) {
    ++reads;
    got = int32_t(static_cast<QFile*>(context)->read(static_cast<char*>(buffer), want));
    res = got >= 0;
  };
  player->OnCloseStream = [&](void*) { ++closes; };
  player->setFromStream(true);
  player->Open();
  player->Play();  // the dummy output in real time: reads go on for three seconds
  test::pump(150);
  player.reset();
  const int readsAtDestruction = reads;
  test::pump(150);
  EXPECT_EQ(reads, readsAtDestruction);
  EXPECT_EQ(closes, 0);  // the owner releases its own stream
  test::MpegLibrary library;
  ASSERT_TRUE(library.loaded());
  EXPECT_EQ(library.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
  library.deinit();
}

}  // namespace
}  // namespace vardel

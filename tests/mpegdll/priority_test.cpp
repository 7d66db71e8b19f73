// The playback thread's priority through SetPriority, for the user without privileges that a
// desktop runs as: every level from idle to normal can be taken again, and playback carries on
// unbroken while the level changes. As root the cases run again in a child as user "nobody".
#include "tests/mpegdll/mpeg_library.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vardel::test {
namespace {

constexpr char kAsUserVariable[] = "VARDEL_PRIORITY_TEST_AS_USER";

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Nice values of the library's playback threads (named "mpegdll").
QList<int> playbackNiceValues() {
  QList<int> values;
  const QDir tasks(QStringLiteral("/proc/self/task"));
  for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (readAll(tasks.filePath(task) + QStringLiteral("/comm")).trimmed() != "mpegdll") continue;
    const QByteArray stat = readAll(tasks.filePath(task) + QStringLiteral("/stat"));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() > 16) values << fields[16].toInt();  // field 19 of stat: nice
  }
  return values;
}

std::optional<int> playbackNice() {
  const QList<int> values = playbackNiceValues();
  if (values.size() != 1) return std::nullopt;
  return values.first();
}

class Priority : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet(kAsUserVariable)) return;
    dir = new QTemporaryDir;
    const int rate = 44100;
    std::vector<int16_t> pcm(size_t(rate) * 30 * 2);
    for (size_t i = 0; i < pcm.size() / 2; ++i)
      pcm[2 * i] = pcm[2 * i + 1] = int16_t(9000 * std::sin(2 * M_PI * 440 * double(i) / rate));
    writeWav(dir->filePath(QStringLiteral("tone.wav")), pcm, rate, 2);
    bool ok = false;
    runTool(
        QStringLiteral("lame"),
        {"--quiet", "-b", "128", dir->filePath(QStringLiteral("tone.wav")), dir->filePath(QStringLiteral("tone.mp3"))},
        &ok);
    if (ok) tune = dir->filePath(QStringLiteral("tone.mp3"));
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }
  void SetUp() override {
    if (geteuid() == 0 && !qEnvironmentVariableIsSet(kAsUserVariable))
      GTEST_SKIP() << "as root these cases run in PriorityAsUser";
    ASSERT_TRUE(mpeg.loaded()) << mpeg.library.errorString().toStdString();
    ASSERT_EQ(mpeg.init(), 1);
    own = getpriority(PRIO_PROCESS, 0);
  }
  void TearDown() override {
    if (mpeg.loaded()) mpeg.deinit();
  }
  int set(int priority) {
    mpeg.SetPriority(priority);
    return mpeg.LastError();
  }
  // The nice value a level stands for, relative to this thread's.
  int niceFor(int priority) const { return std::clamp(own - priority, -20, 19); }

  MpegLibrary mpeg;
  int own = 0;
  static QTemporaryDir* dir;
  static QString tune;
};
QTemporaryDir* Priority::dir = nullptr;
QString Priority::tune;

TEST_F(Priority, EveryLevelUpToNormalCanBeTakenAgain) {
  EXPECT_EQ(playbackNice(), own);
  EXPECT_EQ(set(-15), 0);  // idle
  EXPECT_EQ(playbackNice(), niceFor(-15));
  EXPECT_EQ(set(0), 0);  // back to normal
  EXPECT_EQ(playbackNice(), own);
  EXPECT_EQ(set(-2), 0);
  EXPECT_EQ(playbackNice(), niceFor(-2));
  EXPECT_EQ(set(-1), 0);
  EXPECT_EQ(playbackNice(), niceFor(-1));
  EXPECT_EQ(set(-15), 0);
  EXPECT_EQ(set(-2), 0);
  EXPECT_EQ(playbackNice(), niceFor(-2));
  // Still one playback thread, and the player still answers.
  EXPECT_EQ(playbackNiceValues().size(), 1);
  EXPECT_EQ(mpeg.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
}

TEST_F(Priority, ALevelAboveTheUsersOwnIsRefusedOnceAndTheNearestApplies) {
  rlimit limit{};
  getrlimit(RLIMIT_NICE, &limit);
  if (limit.rlim_cur != 0) GTEST_SKIP() << "this user may raise priorities (RLIMIT_NICE " << limit.rlim_cur << ")";
  ASSERT_EQ(set(-15), 0);
  EXPECT_EQ(set(2), MPEGDLL_ERR_PRIORITY);  // highest
  EXPECT_EQ(playbackNice(), own);
  EXPECT_EQ(set(2), 0);  // the same request again: already reported
  EXPECT_EQ(set(15), MPEGDLL_ERR_PRIORITY);
  EXPECT_EQ(set(-15), 0);
  EXPECT_EQ(playbackNice(), niceFor(-15));
  EXPECT_EQ(set(15), MPEGDLL_ERR_PRIORITY);  // asked again after another level: reported again
  EXPECT_EQ(playbackNice(), own);
}

TEST_F(Priority, PlaybackCarriesOnUnbrokenWhileTheLevelChanges) {
  ASSERT_FALSE(tune.isEmpty()) << "lame is needed to make the test file";
  const Decoded reference = decodeFile(mpeg, tune);
  ASSERT_TRUE(reference.ended);
  // The same file decoded to a PCM file while the level goes up and down without pause: each
  // change back up moves the playback to a new thread. Not a sample may be lost or repeated.
  const QString out = dir->filePath(QStringLiteral("changing.pcm"));
  const QByteArray name = QFile::encodeName(out);
  ASSERT_EQ(mpeg.openFile(tune), 0);
  mpeg.SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, name.constData());
  uint8_t end = 0;
  ASSERT_EQ(mpeg.Play(0, 0, &end), 0);
  int changes = 0;
  while (!loadByte(end) && changes < 100000) {
    EXPECT_EQ(set(changes % 2 ? 0 : -15), 0);
    ++changes;
  }
  EXPECT_TRUE(waitForByte(end, 20000));
  EXPECT_GT(changes, 10);
  EXPECT_EQ(mpeg.GetPlayerMode(), MPEGDLL_MODE_ENDED);
  mpeg.Close();
  EXPECT_EQ(readAll(out), reference.pcm);
  EXPECT_EQ(playbackNiceValues().size(), 1);
}

// As root, the cases above run again in a child process as "nobody", without privileges.
TEST(PriorityAsUser, CasesPassForAUserWithoutPrivileges) {
  if (geteuid() != 0) GTEST_SKIP() << "not root: the cases ran directly";
  if (qEnvironmentVariableIsSet(kAsUserVariable)) GTEST_SKIP() << "already the child";
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QString::fromLatin1(kAsUserVariable), QStringLiteral("1"));
  environment.insert(QStringLiteral("TMPDIR"), QDir::tempPath());
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QStringLiteral("setpriv"),
              {"--reuid=65534", "--regid=65534", "--clear-groups", "--",
               QFile::symLinkTarget(QStringLiteral("/proc/self/exe")), "--gtest_filter=Priority.*"});
  ASSERT_TRUE(child.waitForStarted(5000)) << "setpriv is needed (util-linux)";
  ASSERT_TRUE(child.waitForFinished(60000));
  const QString output = QString::fromLocal8Bit(child.readAll());
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 3 tests"))) << output.toStdString();
  EXPECT_FALSE(output.contains(QStringLiteral("SKIPPED"))) << output.toStdString();
}

}  // namespace
}  // namespace vardel::test

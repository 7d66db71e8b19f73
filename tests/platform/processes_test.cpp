// Starting a program as the map starts the game, waiting until it is ready, and finding and
// bringing up its window again, on a private X server (with a window manager where it matters).
#include "platform/processes.h"
#include "platform/x11_windows.h"

#include "tests/support/test_support.h"
#include "tests/support/x_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

namespace vardel::platform {
namespace {

const QString kGame = QStringLiteral(VARDEL_BINARY_DIR "/tests/fakes/fake_game");
const QString kCaption = QStringLiteral("Tumblo de ONDRAVIA Magazine");

// A copy of the fake game in a folder of its own, as Extras\Tumblo holds the real one; the
// environment tells it what to do (see fake_game.c).
class GameFolder {
 public:
  explicit GameFolder(const char* mode, int delayMs = 0) {
    QFile::copy(kGame, exe());
    qputenv("VARDEL_FAKE_GAME", mode);
    qputenv("VARDEL_FAKE_GAME_DELAY", QByteArray::number(delayMs));
    qputenv("VARDEL_FAKE_GAME_REPORT", "informe.txt");
    QDir::setCurrent(dir_.path());
  }
  ~GameFolder() {
    for (const std::int64_t pid : started_) ::kill(pid_t(pid), SIGKILL);
    for (const std::int64_t pid : started_) waitUntilReady(pid);  // collects it
    QDir::setCurrent(QDir::tempPath());
  }
  QString exe() const { return dir_.filePath(QStringLiteral("Tumblo.exe")); }
  std::int64_t start() {
    QString error;
    const std::optional<std::int64_t> pid = startProcess(exe(), &error);
    EXPECT_TRUE(pid) << error.toStdString();
    if (pid) started_.push_back(*pid);
    return pid.value_or(-1);
  }
  QString report() const {
    QFile file(dir_.filePath(QStringLiteral("informe.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
  const QTemporaryDir& dir() const { return dir_; }

 private:
  QTemporaryDir dir_;
  std::vector<std::int64_t> started_;
};

TEST(Processes, StartInTheCurrentFolderAtNormalPriorityWithNoOpenFileOfOurs) {
  GameFolder game("exit");
  // Descriptors a careless start would hand on: a plain file and a pipe, neither close-on-exec.
  const int file =
      ::open(game.dir().filePath(QStringLiteral("nuestro.dat")).toLocal8Bit().constData(), O_CREAT | O_RDWR, 0600);
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const bool renice = ::geteuid() == 0;  // only a privileged process can come back afterwards
  if (renice) ::setpriority(PRIO_PROCESS, 0, 5);
  const std::int64_t pid = game.start();
  if (renice) ::setpriority(PRIO_PROCESS, 0, 0);
  EXPECT_EQ(waitUntilReady(pid), ProcessReady::Exited);
  const QString report = game.report();
  EXPECT_TRUE(report.contains(QStringLiteral("folder=") + QDir(game.dir().path()).canonicalPath() + QLatin1Char('\n')))
      << report.toStdString();
  EXPECT_TRUE(report.contains(QStringLiteral("stdin=/dev/null\n"))) << report.toStdString();
  EXPECT_TRUE(report.contains(QStringLiteral("session=own\n"))) << report.toStdString();
  EXPECT_FALSE(report.contains(QStringLiteral("open="))) << report.toStdString();
  if (renice) {
    EXPECT_TRUE(report.contains(QStringLiteral("nice=0\n"))) << report.toStdString();
  }
  ::close(file);
  ::close(pipe[0]);
  ::close(pipe[1]);
}

TEST(Processes, AProgramThatCannotStartGivesItsReason) {
  QTemporaryDir dir;
  QString error;
  EXPECT_FALSE(startProcess(dir.filePath(QStringLiteral("falta.exe")), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("falta.exe"))) << error.toStdString();
  for (const QByteArray& bytes : {QByteArray(),
                                  QByteArray("\x7f"
                                             "ELF\x02\x01 roto",
                                             12),
                                  QByteArray(4096, '\xA5')}) {
    const QString path = test::writeFile(dir.path(), QStringLiteral("roto.exe"), bytes);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    error.clear();
    EXPECT_FALSE(startProcess(path, &error)) << bytes.size();
    EXPECT_FALSE(error.isEmpty());
  }
}

TEST(Processes, TheWaitEndsWhenTheProgramEndsOrDiesWithoutAWindow) {
  test::XServer x;
  if (!x.running()) GTEST_SKIP() << "no Xvfb";
  for (const char* mode : {"exit", "crash"}) {
    GameFolder game(mode, 200);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(waitUntilReady(game.start()), ProcessReady::Exited) << mode;
    EXPECT_LT(clock.elapsed(), kIdleMilliseconds) << mode;
  }
}

TEST(Processes, AProgramSittingIdleWithoutAWindowIsTakenAsReady) {
  GameFolder game("idle");
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(waitUntilReady(game.start()), ProcessReady::Idle);
  EXPECT_GE(clock.elapsed(), kIdleMilliseconds);
}

TEST(Processes, AWaitWithALimitGivesUpOnAProgramThatKeepsWorkingUnseen) {
  GameFolder game("idle", 60000);  // a minute of work before it rests
  EXPECT_EQ(waitUntilReady(game.start(), 300), ProcessReady::TimedOut);
  // The limit does not cut short a program that ends first.
  GameFolder quick("exit");
  EXPECT_EQ(waitUntilReady(quick.start(), 60000), ProcessReady::Exited);
}

TEST(Processes, TheWaitEndsWhenTheWindowShowsWhichIsThenFoundByItsExactCaption) {
  test::XServer x;
  if (!x.running()) GTEST_SKIP() << "no Xvfb";
  GameFolder game("window", 300);
  EXPECT_EQ(findTopLevelWindow(kCaption), 0u);
  QElapsedTimer clock;
  clock.start();
  const std::int64_t pid = game.start();
  EXPECT_EQ(waitUntilReady(pid), ProcessReady::WindowShown);
  EXPECT_GE(clock.elapsed(), 300);
  EXPECT_TRUE(processShowsWindow(pid));
  EXPECT_NE(findTopLevelWindow(kCaption), 0u);
  EXPECT_EQ(findTopLevelWindow(QStringLiteral("Tumblo de ONDRAVIA")), 0u);
  EXPECT_EQ(findTopLevelWindow(QStringLiteral("tumblo de ondravia magazine")), 0u);
  EXPECT_EQ(findTopLevelWindow(kCaption + QLatin1Char(' ')), 0u);
}

TEST(Processes, AReleasedProcessIsCollectedWhenItEnds) {
  int argc = 0;
  QCoreApplication app(argc, nullptr);
  GameFolder game("idle");
  const std::int64_t pid = game.start();
  releaseProcess(pid);
  ::kill(pid_t(pid), SIGTERM);
  EXPECT_TRUE(test::waitUntil([&] { return !QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }, 3000))
      << "left defunct";
}

// The window's state as the window manager records it: "Normal" or "Iconic".
QString wmState(WindowId window) {
  const QString text = test::xTool(QStringLiteral("xprop"),
                                   {QStringLiteral("-id"), QString::number(window), QStringLiteral("WM_STATE")});
  return text.section(QStringLiteral("window state: "), 1, 1).section(QLatin1Char('\n'), 0, 0).trimmed();
}

TEST(Processes, AMinimisedOrCoveredWindowIsBroughtUpRestoredAndActive) {
  test::XServer x(true);
  if (!x.running()) GTEST_SKIP() << "no Xvfb or openbox";
  GameFolder game("window");
  ASSERT_EQ(waitUntilReady(game.start()), ProcessReady::WindowShown);
  const WindowId window = findTopLevelWindow(kCaption);
  ASSERT_NE(window, 0u);
  ASSERT_TRUE(test::waitUntil([&] { return wmState(window) == QLatin1String("Normal"); }));

  test::xTool(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(window)});
  ASSERT_TRUE(test::waitUntil([&] { return wmState(window) == QLatin1String("Iconic"); }));
  EXPECT_EQ(findTopLevelWindow(kCaption), window);  // minimised windows are found too
  EXPECT_TRUE(showWindowNormal(window));
  EXPECT_TRUE(test::waitUntil([&] { return wmState(window) == QLatin1String("Normal"); }));
  const auto active = [] { return test::xTool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}); };
  EXPECT_TRUE(test::waitUntil([&] { return active() == QString::number(window); }));

  // Covered by another window, then brought up again.
  qputenv("VARDEL_FAKE_GAME_CAPTION", "Otra ventana");
  const std::int64_t other = game.start();
  qunsetenv("VARDEL_FAKE_GAME_CAPTION");
  ASSERT_EQ(waitUntilReady(other), ProcessReady::WindowShown);
  ASSERT_TRUE(test::waitUntil([&] { return active() != QString::number(window); }));
  EXPECT_TRUE(showWindowNormal(window));
  EXPECT_TRUE(test::waitUntil([&] { return active() == QString::number(window); }));
  EXPECT_FALSE(showWindowNormal(0));
}

TEST(Processes, TheStatLineIsReadPastANameWithBlanksAndParentheses) {
  const auto times = parseProcessStat("42 (Tumblo (de) ONDRAVIA) S 1 42 42 0 -1 4194560 100 0 0 0 7 5 0 0 20 0 1");
  ASSERT_TRUE(times);
  EXPECT_EQ(times->state, 'S');
  EXPECT_EQ(times->ticks, 12u);
  EXPECT_FALSE(parseProcessStat("42 (corto) S 1 2"));
  EXPECT_FALSE(parseProcessStat("sin parentesis"));
}

}  // namespace
}  // namespace vardel::platform

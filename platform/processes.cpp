// Processes over posix_spawn, their readiness from the display and from /proc.
#include "platform/processes.h"

#include "platform/paths.h"
#include "platform/x11_windows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

extern char** environ;

namespace vardel::platform {
namespace {

constexpr int kPollMilliseconds = 20;

std::optional<ProcessTimes> readTimes(std::int64_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return std::nullopt;
  return parseProcessStat(stat.readAll());
}

// True (and the child collected) once `pid` has ended.
bool collected(std::int64_t pid) {
  int status = 0;
  const pid_t r = ::waitpid(pid_t(pid), &status, WNOHANG);
  return r == pid_t(pid) || (r < 0 && errno == ECHILD);
}

}  // namespace

std::optional<ProcessTimes> parseProcessStat(QByteArrayView text) {
  // "pid (name) S ppid ..." where the name may hold blanks and parentheses: the fields
  // follow the last ')'. utime and stime are the 14th and 15th fields of the line.
  const qsizetype close = text.lastIndexOf(')');
  if (close < 0) return std::nullopt;
  const QList<QByteArray> fields = text.sliced(close + 1).toByteArray().simplified().split(' ');
  if (fields.size() < 13 || fields[0].size() != 1) return std::nullopt;
  bool okUser = false;
  bool okSystem = false;
  const std::uint64_t user = fields[11].toULongLong(&okUser);
  const std::uint64_t system = fields[12].toULongLong(&okSystem);
  if (!okUser || !okSystem) return std::nullopt;
  return ProcessTimes{fields[0][0], user + system};
}

std::optional<std::int64_t> startProcess(const QString& program, QString* error) {
  const QByteArray path = QFile::encodeName(nativePath(program));
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);  // what this process ignores, it need not
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
  char* argv[] = {const_cast<char*>(path.constData()), nullptr};
  // Normal priority even when this program runs at another: the child takes the priority of
  // the thread that starts it, so that thread runs at normal priority for the moment of the
  // start. Coming back from a lower priority may be refused to an unprivileged user; then the
  // child keeps ours.
  errno = 0;
  const int ours = ::getpriority(PRIO_PROCESS, 0);
  const bool renice = errno == 0 && ours != 0 && ::setpriority(PRIO_PROCESS, 0, 0) == 0;
  pid_t pid = 0;
  const int result = ::posix_spawn(&pid, path.constData(), &actions, &attributes, argv, environ);
  if (renice) ::setpriority(PRIO_PROCESS, 0, ours);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (result != 0) {
    if (error)
      *error =
          QStringLiteral("No se puede ejecutar %1: %2").arg(program, QString::fromLocal8Bit(std::strerror(result)));
    return std::nullopt;
  }
  return std::int64_t(pid);
}

ProcessReady waitUntilReady(std::int64_t pid, std::optional<int> limitMilliseconds) {
  QElapsedTimer quiet;
  quiet.start();
  QElapsedTimer waited;
  waited.start();
  std::optional<ProcessTimes> last;
  for (;;) {
    if (collected(pid)) return ProcessReady::Exited;
    if (processShowsWindow(pid)) return ProcessReady::WindowShown;
    const std::optional<ProcessTimes> now = readTimes(pid);
    if (!now || now->state == 'Z') continue;  // ended: collected on the next turn
    if (!last || now->ticks != last->ticks || now->state != 'S') quiet.restart();
    last = now;
    if (quiet.elapsed() >= kIdleMilliseconds) return ProcessReady::Idle;
    if (limitMilliseconds && waited.elapsed() >= *limitMilliseconds) return ProcessReady::TimedOut;
    QThread::msleep(kPollMilliseconds);
  }
}

void releaseProcess(std::int64_t pid) {
  if (collected(pid)) return;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return;
  const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
  if (fd >= 0) {
    // Readable once the process has ended.
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, fd, pid] {
      if (!collected(pid)) return;
      notifier->setEnabled(false);
      ::close(fd);
      notifier->deleteLater();
    });
    return;
  }
  // Kernels without process descriptors: look now and then.
  auto* timer = new QTimer(app);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, pid] {
    if (collected(pid)) timer->deleteLater();
  });
  timer->start(1000);
}

}  // namespace vardel::platform

// Helpers shared by the widget tests.
#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace vardel::test {

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

void pump(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
}

QString writeFile(const QString& folder, const QString& relative, const QByteArray& bytes) {
  const QString path = QDir(folder).filePath(relative);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool returnsWithoutWaitingOnAPipe(const QString& fifo, const std::function<void()>& read) {
  std::atomic<bool> done{false}, rescued{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 200 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (done) return;
    rescued = true;
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY);
    if (fd >= 0) ::close(fd);
  });
  read();
  done = true;
  watchdog.join();
  return !rescued;
}

}  // namespace vardel::test

// The test's own PulseAudio server and recordings of its null sink.
#include "tests/support/pulse_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <cstring>

namespace vardel::test {

PulseServer::PulseServer() {
  if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
      QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
    return;
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.start(QStringLiteral("pulseaudio"),
                 {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-L", "module-null-sink", "-L",
                  "module-native-protocol-unix auth-anonymous=1"});
  const QString socket = runtime_.path() + QStringLiteral("/pulse/native");
  QElapsedTimer clock;
  clock.start();
  while (!QFile::exists(socket) && clock.elapsed() < 10000) QThread::msleep(50);
  if (!QFile::exists(socket)) return;
  QThread::msleep(200);
  ready_ = true;
}

PulseServer::~PulseServer() {
  if (process_.state() != QProcess::NotRunning) {
    process_.terminate();
    if (!process_.waitForFinished(5000)) process_.kill();
    process_.waitForFinished(2000);
  }
}

MonitorRecording::MonitorRecording(const QString& file) : file_(file) {
  recorder_.setStandardOutputFile(file_);
  recorder_.start(QStringLiteral("parec"), {"--device=null.monitor", "--format=s16le", "--rate=44100", "--channels=2",
                                            "--raw", "--latency-msec=20"});
  if (!recorder_.waitForStarted(5000)) return;
  QElapsedTimer waited;
  waited.start();
  while (QFileInfo(file_).size() == 0 && waited.elapsed() < 10000) QThread::msleep(2);
  clock_.start();
  firstFrames_ = QFileInfo(file_).size() / 4;
  started_ = firstFrames_ > 0;
}

MonitorRecording::~MonitorRecording() {
  if (recorder_.state() != QProcess::NotRunning) {
    recorder_.terminate();
    recorder_.waitForFinished(5000);
  }
}

std::vector<int16_t> MonitorRecording::finish() {
  recorder_.terminate();
  recorder_.waitForFinished(5000);
  QFile file(file_);
  std::vector<int16_t> pcm;
  if (!file.open(QIODevice::ReadOnly)) return pcm;
  const QByteArray bytes = file.readAll();
  pcm.resize(size_t(bytes.size()) / 2);
  std::memcpy(pcm.data(), bytes.constData(), pcm.size() * 2);  // s16le on a little-endian machine
  return pcm;
}

}  // namespace vardel::test

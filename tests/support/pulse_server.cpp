// The test's own PulseAudio server: started with a null sink and anonymous access.
#include "tests/support/pulse_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <cstring>

namespace vardel::test {

PulseServer::PulseServer() {
  if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
      QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
    return;
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
  server_.setProcessChannelMode(QProcess::MergedChannels);
  server_.start(QStringLiteral("pulseaudio"),
                {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "-L", "module-null-sink", "-L",
                 "module-native-protocol-unix auth-anonymous=1"});
  const QString socket = runtime_.path() + QStringLiteral("/pulse/native");
  QElapsedTimer clock;
  clock.start();
  while (!QFile::exists(socket) && clock.elapsed() < 10000) QThread::msleep(50);
  QThread::msleep(200);
  ready_ = QFile::exists(socket);
}

PulseServer::~PulseServer() {
  if (recorder_) stopRecording();
  if (server_.state() != QProcess::NotRunning) {
    server_.terminate();
    if (!server_.waitForFinished(5000)) server_.kill();
    server_.waitForFinished(2000);
  }
}

bool PulseServer::startRecording() {
  recorder_ = std::make_unique<QProcess>();
  recorder_->setStandardOutputFile(runtime_.path() + QStringLiteral("/monitor.raw"));
  recorder_->start(QStringLiteral("parec"), {"--device=null.monitor", "--format=s16le", "--rate=44100", "--channels=2",
                                             "--raw", "--latency-msec=20"});
  if (!recorder_->waitForStarted(5000)) return false;
  QThread::msleep(300);  // the stream is connected
  return true;
}

std::vector<std::int16_t> PulseServer::stopRecording() {
  if (!recorder_) return {};
  recorder_->terminate();
  recorder_->waitForFinished(5000);
  recorder_.reset();
  QFile file(runtime_.path() + QStringLiteral("/monitor.raw"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  std::vector<std::int16_t> samples(size_t(bytes.size() / 2));
  std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
  return samples;
}

}  // namespace vardel::test

// A PulseAudio server of a test's own with a null sink, and recordings of that sink's monitor:
// what shows whether sound really came out.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <vector>

namespace vardel::test {

// Started with its own XDG_RUNTIME_DIR (set in this process's environment, so the decoder
// library's default output finds it). ready() is false when no server can run here.
class PulseServer {
 public:
  PulseServer();
  ~PulseServer();
  PulseServer(const PulseServer&) = delete;
  PulseServer& operator=(const PulseServer&) = delete;

  bool ready() const { return ready_; }
  qint64 pid() const { return process_.processId(); }
  QString runtimeDir() const { return runtime_.path(); }

 private:
  QTemporaryDir runtime_;
  QProcess process_;
  bool ready_ = false;
};

// Records the null sink's monitor (s16le, stereo, 44.1 kHz) into `file` from construction
// until finish(). The monitor gives samples (silent ones too) all the time, so a position in
// the recording is a moment: the constructor returns once the first samples have arrived.
class MonitorRecording {
 public:
  explicit MonitorRecording(const QString& file);
  ~MonitorRecording();
  bool started() const { return started_; }
  // Milliseconds since the recording's first samples arrived, and the frame recorded then.
  qint64 elapsedMs() const { return clock_.elapsed(); }
  qint64 frameAt(qint64 ms) const { return firstFrames_ + ms * 441 / 10; }
  // Stops recording; the interleaved samples.
  std::vector<int16_t> finish();

 private:
  QString file_;
  QProcess recorder_;
  QElapsedTimer clock_;
  qint64 firstFrames_ = 0;
  bool started_ = false;
};

}  // namespace vardel::test

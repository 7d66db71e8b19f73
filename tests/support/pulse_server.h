// A PulseAudio server of a test's own, with a null sink whose monitor can be recorded, so a
// test hears what really reached the sound server.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <vector>

namespace vardel::test {

class PulseServer {
 public:
  // Starts the server with its own XDG_RUNTIME_DIR (set for this process, so clients find it).
  PulseServer();
  ~PulseServer();
  PulseServer(const PulseServer&) = delete;
  PulseServer& operator=(const PulseServer&) = delete;

  // False when pulseaudio or parec is missing or the server did not come up.
  bool ready() const { return ready_; }
  QString folder() const { return runtime_.path(); }

  // Records the null sink's monitor (44.1 kHz stereo s16) until stopRecording().
  bool startRecording();
  std::vector<std::int16_t> stopRecording();

 private:
  QTemporaryDir runtime_;
  QProcess server_;
  std::unique_ptr<QProcess> recorder_;
  bool ready_ = false;
};

}  // namespace vardel::test

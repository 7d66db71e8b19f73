// Where decoded sound goes: the system's sound output or a PCM file, through libout123.
#pragma once

#include <cstddef>
#include <string>

struct out123_struct;

namespace vardel::mpegdll {

// One opened output for signed 16-bit interleaved samples. The live device takes its driver
// from the environment variable VARDEL_AUDIO_DRIVER (an out123 module name such as "pulse",
// "alsa" or "dummy") or else from out123's own default list. Not thread-safe.
class Output {
 public:
  Output() = default;
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Opens `device` (MPEGDLL_DEVICE_*) for the format; a pcmfile needs `fileName`, which is
  // truncated. Returns MPEGDLL_OK or MPEGDLL_ERR_OUTPUT. An open output is closed first.
  int open(int device, const std::string& fileName, long rate, int channels);
  bool isOpen() const { return handle_ != nullptr; }

  // Hands samples over; on a live device this blocks while the device buffer is full.
  bool write(const unsigned char* data, size_t bytes);
  void pause();
  void resume();
  // Discards what the device still holds (stop and seek).
  void drop();
  // Waits until every sample handed over has been played out, or written to the file.
  void drain();
  // Closes without waiting: what the device still holds is dropped.
  void close();

  // A device that does not keep time itself (the dummy driver): the player paces it.
  bool paced() const { return paced_; }
  const std::string& driver() const { return driver_; }

 private:
  out123_struct* handle_ = nullptr;
  bool paced_ = false;
  std::string driver_;
};

}  // namespace vardel::mpegdll

// The sound output shared by the decoder library and the CD player: the system's sound output or
// a raw PCM file through libout123, and the clock of an output that keeps no time of its own.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

struct out123_struct;

namespace vardel::platform::sound {

using Clock = std::chrono::steady_clock;

// One opened output for signed 16-bit interleaved samples. The live device takes its driver
// from the environment variable VARDEL_AUDIO_DRIVER (an out123 module name such as "pulse",
// "alsa" or "dummy") or else from out123's own default list. Not thread-safe.
//
// A driver that keeps no time (the dummy one) takes samples as fast as they come; the output
// then keeps a clock of its own, so that the caller can hand samples over in real time
// (readyAt) and know what has been heard (played), as with a real device.
class Output {
 public:
  enum class Target { Device, PcmFile };

  Output() = default;
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Opens the live device, or a PCM file at `fileName` (truncated; an empty name fails rather
  // than write to stdout), for `rate` Hz and `channels`. An open output is closed first.
  bool open(Target target, const std::string& fileName, long rate, int channels);
  bool isOpen() const { return handle_ != nullptr; }

  // Hands samples over; on a live device this blocks while the device buffer is full.
  bool write(const void* data, size_t bytes);
  // A paced output's clock stands still while paused.
  void pause();
  void resume();
  // Discards what the device still holds (stop and seek); the count of frames starts again.
  void drop();
  // Waits until every sample handed over has been played out, or written to the file. A paced
  // output returns at once (see readyAt).
  void drain();
  // Closes without waiting: what the device still holds is dropped.
  void close();

  // A device that does not keep time itself (the dummy driver).
  bool paced() const { return paced_; }
  const std::string& driver() const { return driver_; }

  // Sample frames heard since open or the last drop: by the clock on a paced output (never more
  // than were handed over), else every frame handed over (the device buffer is short).
  std::int64_t played() const;
  // The moment when what was handed over runs only `lead` ahead of what has been heard: when to
  // hand over more, or with a lead of 0 when the last sample has been heard. On a device that
  // keeps its own time (its write blocks instead) a moment already past.
  Clock::time_point readyAt(std::chrono::nanoseconds lead) const;

 private:
  out123_struct* handle_ = nullptr;
  bool paced_ = false;
  std::string driver_;
  long rate_ = 0;
  size_t frameBytes_ = 0;
  std::int64_t handed_ = 0;  // frames handed over since open or drop
  // The paced clock: `heard_` frames had been heard at `since_`; it stands still while paused.
  Clock::time_point since_{};
  std::int64_t heard_ = 0;
  bool paused_ = false;
  void restartClock();
};

}  // namespace vardel::platform::sound

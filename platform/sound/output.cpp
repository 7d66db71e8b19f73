// libout123 behind both players: the live sound device or a raw PCM file, and the paced clock.
#include "platform/sound/output.h"

#include <fmt123.h>
#include <out123.h>

#include <algorithm>
#include <cstdlib>

namespace vardel::platform::sound {

namespace {
// Device buffer of the live output in seconds: small enough that pause, stop and the end of
// play follow at once, large enough not to drop out on a busy machine.
constexpr double kDeviceBufferSeconds = 0.2;
// The desktop's sound server, else the sound card itself. (JACK is left out of the search: it is
// never a desktop's default output, and probing for it fills the terminal with complaints when
// no JACK server runs.)
constexpr const char* kDefaultDrivers = "pulse,alsa,oss";
}  // namespace

Output::~Output() { close(); }

bool Output::open(Target target, const std::string& fileName, long rate, int channels) {
  close();
  const bool file = target == Target::PcmFile;
  if (file && fileName.empty()) return false;  // out123 would write to stdout
  if (rate <= 0 || channels <= 0) return false;
  handle_ = out123_new();
  if (!handle_) return false;
  out123_param_int(handle_, OUT123_FLAGS, OUT123_QUIET | OUT123_KEEP_PLAYING);
  const char* driver = "raw";
  const char* name = fileName.c_str();
  if (!file) {
    out123_param_float(handle_, OUT123_DEVICEBUFFER, kDeviceBufferSeconds);
    out123_param_string(handle_, OUT123_NAME, "VARDEL");
    const char* forced = std::getenv("VARDEL_AUDIO_DRIVER");
    driver = forced && *forced ? forced : kDefaultDrivers;
    name = nullptr;
  }
  if (out123_open(handle_, driver, name) != 0) {
    close();
    return false;
  }
  char* active = nullptr;
  out123_driver_info(handle_, &active, nullptr);
  driver_ = active ? active : "";
  paced_ = driver_ == "dummy";
  if (out123_start(handle_, rate, channels, MPG123_ENC_SIGNED_16) != 0) {
    close();
    return false;
  }
  rate_ = rate;
  frameBytes_ = size_t(channels) * 2;
  paused_ = false;
  restartClock();
  return true;
}

// Paused or not, the clock stays so: a seek while paused sounds only once resumed.
void Output::restartClock() {
  handed_ = 0;
  heard_ = 0;
  since_ = Clock::now();
}

bool Output::write(const void* data, size_t bytes) {
  if (!handle_) return false;
  if (bytes == 0) return true;
  const bool written = out123_play(handle_, const_cast<void*>(data), bytes) == bytes;
  if (written) handed_ += std::int64_t(bytes / frameBytes_);
  return written;
}

void Output::pause() {
  if (!handle_) return;
  if (!paced_) {
    out123_pause(handle_);
  } else if (!paused_) {
    heard_ = played();
    paused_ = true;
  }
}

void Output::resume() {
  if (!handle_) return;
  if (!paced_) {
    out123_continue(handle_);
  } else if (paused_) {
    since_ = Clock::now();
    paused_ = false;
  }
}

void Output::drop() {
  if (!handle_) return;
  out123_drop(handle_);
  restartClock();
}

void Output::drain() {
  if (handle_) out123_drain(handle_);
}

void Output::close() {
  if (!handle_) return;
  out123_drop(handle_);
  out123_del(handle_);  // stops and closes the device
  handle_ = nullptr;
  paced_ = false;
  driver_.clear();
  rate_ = 0;
  frameBytes_ = 0;
  handed_ = heard_ = 0;
  paused_ = false;
}

std::int64_t Output::played() const {
  if (!paced_) return handed_;
  if (paused_) return heard_;
  const double elapsed = std::chrono::duration<double>(Clock::now() - since_).count();
  return std::min(heard_ + std::int64_t(elapsed * double(rate_)), handed_);
}

Clock::time_point Output::readyAt(std::chrono::nanoseconds lead) const {
  if (!paced_ || rate_ <= 0) return since_;  // the opening of the output: past
  const auto ahead = std::chrono::nanoseconds((handed_ - heard_) * 1000000000 / rate_);
  return since_ + ahead - lead;
}

}  // namespace vardel::platform::sound

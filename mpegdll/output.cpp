// libout123 behind the player: the live sound device or a raw PCM file.
#include "mpegdll/output.h"

#include "mpegdll/mpegdll.h"

#include <fmt123.h>
#include <out123.h>

#include <cstdlib>
#include <cstring>

namespace vardel::mpegdll {

namespace {
// Device buffer of the live output in seconds: small enough that pause, stop and the end of
// play follow at once, large enough not to drop out on a busy machine.
constexpr double kDeviceBufferSeconds = 0.2;
}  // namespace

namespace {
constexpr const char* kDefaultDrivers = "pulse,alsa,oss";
}  // namespace

Output::~Output() { close(); }

int Output::open(int device, const std::string& fileName, long rate, int channels) {
  close();
  const bool file = device == MPEGDLL_DEVICE_PCMFILE;
  if (file && fileName.empty()) return MPEGDLL_ERR_OUTPUT;  // out123 would write to stdout
  handle_ = out123_new();
  if (!handle_) return MPEGDLL_ERR_OUTPUT;
  out123_param_int(handle_, OUT123_FLAGS, OUT123_QUIET | OUT123_KEEP_PLAYING);
  const char* driver = "raw";
  const char* name = fileName.c_str();
  if (!file) {
    out123_param_float(handle_, OUT123_DEVICEBUFFER, kDeviceBufferSeconds);
    out123_param_string(handle_, OUT123_NAME, "VARDEL");
    // The desktop's sound server, else the sound card itself. (JACK is left out of the search:
    // it is never a desktop's default output, and probing for it fills the terminal with
    // complaints when no JACK server runs.)
    const char* forced = std::getenv("VARDEL_AUDIO_DRIVER");
    driver = forced && *forced ? forced : kDefaultDrivers;
    name = nullptr;
  }
  if (out123_open(handle_, driver, name) != 0) {
    close();
    return MPEGDLL_ERR_OUTPUT;
  }
  char* active = nullptr;
  out123_driver_info(handle_, &active, nullptr);
  driver_ = active ? active : "";
  paced_ = driver_ == "dummy";
  if (out123_start(handle_, rate, channels, MPG123_ENC_SIGNED_16) != 0) {
    close();
    return MPEGDLL_ERR_OUTPUT;
  }
  return MPEGDLL_OK;
}

bool Output::write(const unsigned char* data, size_t bytes) {
  if (!handle_) return false;
  if (bytes == 0) return true;
  return out123_play(handle_, const_cast<unsigned char*>(data), bytes) == bytes;
}

void Output::pause() {
  if (handle_ && !paced_) out123_pause(handle_);
}

void Output::resume() {
  if (handle_ && !paced_) out123_continue(handle_);
}

void Output::drop() {
  if (handle_) out123_drop(handle_);
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
}

}  // namespace vardel::mpegdll

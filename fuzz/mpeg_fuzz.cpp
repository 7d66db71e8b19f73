// Fuzz target: arbitrary bytes played through the decoder library's stream callbacks.
#include "mpegdll/player.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using vardel::mpegdll::Player;

// The input as a stream. The first byte chooses how it is served and played.
struct Input {
  const uint8_t* data;
  size_t size;
  size_t position = 0;
  bool nonseekable = false;
};

void onOpen(void* user, uint8_t* nonseekable, void** context) {
  *nonseekable = static_cast<Input*>(user)->nonseekable ? 1 : 0;
  *context = user;
}
void onClose(void*, void*) {}
void onRestart(void*, void* context, uint8_t* res) {
  static_cast<Input*>(context)->position = 0;
  *res = 1;
}
void onRead(void*, void* context, void* buffer, int32_t want, int32_t* got, uint8_t* res) {
  auto* input = static_cast<Input*>(context);
  const size_t count = std::min(size_t(std::max(want, 0)), input->size - input->position);
  std::memcpy(buffer, input->data + input->position, count);
  input->position += count;
  *got = int32_t(count);
  *res = 1;
}
void onSeek(void*, void* context, int32_t numbytes, int32_t method, int32_t* res) {
  auto* input = static_cast<Input*>(context);
  const int64_t origin = method == 0 ? 0 : method == 1 ? int64_t(input->position) : int64_t(input->size);
  const int64_t target = origin + numbytes;
  if (target < 0 || target > int64_t(input->size)) {
    *res = -1;
    return;
  }
  input->position = size_t(target);
  *res = int32_t(target);
}
void onSize(void*, void* context, int32_t* res) { *res = int32_t(static_cast<Input*>(context)->size); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = Player::instance().init();
  if (!ready || size < 1) return 0;
  Player& player = Player::instance();
  const uint8_t flags = data[0];
  Input input{data + 1, size - 1};
  input.nonseekable = flags & 1;
  vardel::mpegdll::StreamCallbacks callbacks{&onOpen, &onClose, &onRestart, &onRead, &onSeek, &onSize, &input};
  if (player.open(callbacks) == MPEGDLL_OK) {
    player.length();
    player.setOutputDevice(MPEGDLL_DEVICE_PCMFILE, "/dev/null");
    uint8_t end = 0;
    if (player.play((flags >> 1) & 3, 0, &end) == MPEGDLL_OK) {
      if (flags & 8) player.seek((flags >> 4) & 7);
      // A stream that never ends is a hang: a finding.
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!__atomic_load_n(&end, __ATOMIC_ACQUIRE)) {
        if (std::chrono::steady_clock::now() > deadline) std::abort();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      if (flags & 0x80) player.restart();
    }
    player.close();
  }
  return 0;
}

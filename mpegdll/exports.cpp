// The nineteen C exports of mpegdll.dll (and its statistics), forwarding to the player.
#include "mpegdll/mpegdll.h"
#include "mpegdll/player.h"

#include <atomic>

#define MPEGDLL_EXPORT extern "C" __attribute__((visibility("default")))

using vardel::mpegdll::Player;

namespace {

// The code of the latest call, answered by LastError().
std::atomic<int32_t> lastError{0};

int32_t done(int code) {
  lastError = code;
  return code;
}

// Every export catches everything: no exception may cross into the caller's C frames.
template <typename F>
int32_t guard(F&& f) {
  try {
    return f();
  } catch (...) {
    return done(MPEGDLL_ERR_INTERNAL);
  }
}

}  // namespace

MPEGDLL_EXPORT int32_t init(void) {
  return guard([] {
    const bool ready = Player::instance().init();
    done(ready ? MPEGDLL_OK : MPEGDLL_ERR_INTERNAL);
    return int32_t(ready ? 1 : 0);
  });
}

MPEGDLL_EXPORT void deinit(void) {
  guard([] {
    Player::instance().deinit();
    return done(MPEGDLL_OK);
  });
}

MPEGDLL_EXPORT int32_t Open(const char* fileName, int32_t fromStream, MpegOpenStream open, MpegCloseStream close,
                            MpegRestartStream restart, MpegReadStream read, MpegSeekStream seek, MpegStreamSize size,
                            void* user) {
  return guard([&] {
    if (fromStream) {
      vardel::mpegdll::StreamCallbacks callbacks{open, close, restart, read, seek, size, user};
      return done(Player::instance().open(callbacks));
    }
    return done(Player::instance().open(std::string(fileName ? fileName : "")));
  });
}

MPEGDLL_EXPORT int32_t Pause(int32_t resume) {
  return guard([&] { return done(Player::instance().pause(resume != 0)); });
}

MPEGDLL_EXPORT int32_t Restart(void) {
  return guard([] {
    Player::instance().markPlayCalled();
    return done(Player::instance().restart());
  });
}

MPEGDLL_EXPORT int32_t Stop(void) {
  return guard([] { return done(Player::instance().stop()); });
}

MPEGDLL_EXPORT int32_t SetPriority(int32_t priority) {
  return guard([&] { return done(Player::instance().setPriority(priority)); });
}

MPEGDLL_EXPORT int32_t SetOutputDevice(int32_t device, const char* fileName) {
  return guard([&] { return done(Player::instance().setOutputDevice(device, fileName)); });
}

MPEGDLL_EXPORT int32_t Play(int32_t startPos, int32_t endPos, uint8_t* endReached) {
  return guard([&] {
    Player::instance().markPlayCalled();
    return done(Player::instance().play(startPos, endPos, endReached));
  });
}

MPEGDLL_EXPORT int32_t Close(void) {
  return guard([] { return done(Player::instance().close()); });
}

MPEGDLL_EXPORT int32_t GetFrequency(void) {
  done(MPEGDLL_OK);
  return Player::instance().frequency();
}

MPEGDLL_EXPORT int32_t GetBitrate(void) {
  done(MPEGDLL_OK);
  return Player::instance().bitrate();
}

MPEGDLL_EXPORT int32_t GetLayer(void) {
  done(MPEGDLL_OK);
  return Player::instance().layer();
}

MPEGDLL_EXPORT int32_t GetPlayerMode(void) {
  done(MPEGDLL_OK);
  return Player::instance().mode();
}

MPEGDLL_EXPORT int32_t GetCurrentPos(void) {
  done(MPEGDLL_OK);
  return Player::instance().currentPos();
}

MPEGDLL_EXPORT int32_t GetLength(void) {
  done(MPEGDLL_OK);
  return Player::instance().length();
}

MPEGDLL_EXPORT int32_t ResetPlayerMode(void) {
  done(MPEGDLL_OK);
  return Player::instance().resetPlayerMode() ? 1 : 0;
}

MPEGDLL_EXPORT int32_t Seek(int32_t position) {
  return guard([&] { return done(Player::instance().seek(position)); });
}

MPEGDLL_EXPORT int32_t LastError(void) { return lastError.load(); }

MPEGDLL_EXPORT void GetPlaybackStats(MpegPlaybackStats* stats) { Player::instance().stats(stats); }

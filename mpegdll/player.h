// The process-wide player behind the exports: its own thread, its modes and its commands.
#pragma once

#include "mpegdll/decoder.h"
#include "mpegdll/mpegdll.h"
#include "platform/sound/output.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vardel::mpegdll {

// Every decoder and output call runs on the player's own thread, so neither needs a lock:
// a command from the caller is handed to that thread and the caller waits for its result
// (one command at a time). The thread decodes and plays between commands. Mode, position and
// length are atomics that the caller reads without waiting. Commands answer MPEGDLL_* codes.
class Player {
 public:
  static Player& instance();

  // Starts the playback thread; true when ready. Every init takes a hold on the one player
  // (several components may have the library loaded at once); the thread starts with the first.
  bool init();
  // Gives up one hold. The last one closes everything and ends the thread; an earlier one leaves
  // the player to the other holders. Harmless when not started.
  void deinit();
  bool initialised() const;

  int open(const std::string& fileName);
  int open(const StreamCallbacks& callbacks);
  int close();
  int play(int32_t startPos, int32_t endPos, uint8_t* endReached);
  int restart();
  int stop();
  int pause(bool resume);
  int seek(int32_t position);
  int setOutputDevice(int32_t device, const char* fileName);
  // The playback thread's nice value becomes the caller's own minus priority (normal, 0, is the
  // caller's level; clamped to what nice values reach). Any level at or below the caller's own
  // can always be taken again, also by a user without privileges (see the .cpp). A level above
  // the caller's that the system refuses answers MPEGDLL_ERR_PRIORITY once; the nearest
  // permitted level is then in effect.
  int setPriority(int32_t priority);
  // True when the player left its ended mode.
  bool resetPlayerMode();

  int32_t mode() const { return mode_.load(); }
  int32_t currentPos() const;
  int32_t length() const;
  int32_t frequency() const { return int32_t(rate_.load()); }
  int32_t bitrate() const { return bitrate_.load(); }
  int32_t layer() const { return layer_.load(); }
  void stats(MpegPlaybackStats* stats) const;
  // Marks the entry of Play or Restart, for the latency figures.
  void markPlayCalled();

  ~Player();

 private:
  Player() = default;
  int call(const std::function<int()>& task);
  bool startThread();
  void shutdown();
  int respawnThread();
  void run();
  void step();
  void waitFor(std::chrono::nanoseconds duration);
  void finishPlayback();
  int startOutput();
  void stopOutput();
  void closeInput();
  int openCommon(const std::function<int()>& opener);
  int64_t playedSamples() const;

  // Shared between the caller and the thread (guarded by mutex_).
  mutable std::mutex mutex_;
  std::mutex callMutex_;  // one command at a time
  std::condition_variable wake_, done_;
  std::function<int()> pending_;
  uint64_t issued_ = 0, completed_ = 0;
  int result_ = 0;
  bool quit_ = false;
  bool handover_ = false;  // the thread ends its loop without closing anything: a new one follows
  int holders_ = 0;        // inits not yet matched by a deinit
  std::thread thread_;
  std::atomic<std::thread::id> threadId_{};
  std::atomic<int> threadTid_{0};

  // Read by the caller at any time.
  std::atomic<int32_t> mode_{MPEGDLL_MODE_CLOSED};
  std::atomic<long> rate_{0};
  std::atomic<int64_t> position_{0};  // sample frames played
  std::atomic<int64_t> length_{-1};   // sample frames, -1 unknown
  std::atomic<int32_t> bitrate_{0}, layer_{0};
  std::atomic<int64_t> playCalledNs_{0}, firstOutputNs_{0}, samplesOut_{0};
  std::atomic<int32_t> nice_{0};
  int32_t refusedPriority_ = 0;  // the refused level last reported (0: none; 0 is never refused)
  std::atomic<int32_t> channels_{0};
  std::string driverName_;  // guarded by mutex_

  // The thread's own.
  Decoder decoder_;
  platform::sound::Output output_;
  int device_ = MPEGDLL_DEVICE_WAVEMAPPER;
  std::string fileName_;
  uint8_t* endReached_ = nullptr;
  int64_t endSample_ = 0;   // 0: play to the end
  int64_t handed_ = 0;      // sample frames handed to the output, as a stream position
  int64_t outputBase_ = 0;  // the stream position of the output's first frame since open or drop
  bool draining_ = false;
};

}  // namespace vardel::mpegdll

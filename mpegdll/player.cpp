// The player's thread and commands: open, play, pause, seek, stop, the end of play.
#include "mpegdll/player.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace vardel::mpegdll {

namespace {

// How far an output that keeps no time may run ahead of its clock, like a small device buffer.
constexpr std::chrono::milliseconds kPacedLead{60};

int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace

Player& Player::instance() {
  // Destroyed when the library is unloaded; the destructor ends the thread first.
  static Player player;
  return player;
}

Player::~Player() { shutdown(); }

bool Player::init() {
  std::lock_guard calls(callMutex_);
  std::lock_guard lock(mutex_);
  if (thread_.joinable()) {
    ++holders_;
    return true;
  }
  quit_ = false;
  nice_ = 0;
  refusedPriority_ = 0;
  if (!startThread()) return false;
  holders_ = 1;
  return true;
}

// Called with callMutex_ and mutex_ held; thread_ is empty.
bool Player::startThread() {
  threadTid_ = 0;
  try {
    thread_ = std::thread([this] { run(); });
  } catch (...) {
    return false;
  }
  // Ready once the thread is known by its id, so that a priority applies to it at once.
  while (threadTid_.load() == 0) std::this_thread::yield();
  return true;
}

bool Player::initialised() const {
  std::lock_guard lock(mutex_);
  return thread_.joinable() && !quit_;
}

void Player::deinit() {
  {
    std::lock_guard lock(mutex_);
    if (!thread_.joinable() || quit_) return;
    if (holders_ > 1) {
      --holders_;
      return;
    }
  }
  shutdown();
}

void Player::shutdown() {
  if (!initialised()) return;
  call([this] {
    closeInput();
    return MPEGDLL_OK;
  });
  std::lock_guard calls(callMutex_);
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    holders_ = 0;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  threadTid_ = 0;
  std::lock_guard lock(mutex_);
  pending_ = nullptr;
}

// Replaces the playback thread by a new one that carries on where it stood: same input, same
// output, same mode. Called with callMutex_ held (no command runs meanwhile), from the caller's
// thread, whose scheduling the new thread inherits.
int Player::respawnThread() {
  std::thread old;
  {
    std::lock_guard lock(mutex_);
    handover_ = true;
    old = std::move(thread_);
  }
  wake_.notify_all();
  if (old.joinable()) old.join();
  std::lock_guard lock(mutex_);
  handover_ = false;
  if (startThread()) return MPEGDLL_OK;
  // No thread to be had: the player is as good as uninitialised; the input is left to the
  // destructor.
  quit_ = true;
  return MPEGDLL_ERR_INTERNAL;
}

int Player::call(const std::function<int()>& task) {
  // A stream callback that calls back in would wait for itself.
  if (std::this_thread::get_id() == threadId_.load()) return MPEGDLL_ERR_MODE;
  std::lock_guard calls(callMutex_);
  std::unique_lock lock(mutex_);
  if (!thread_.joinable() || quit_) return MPEGDLL_ERR_MODE;
  pending_ = task;
  const uint64_t ticket = ++issued_;
  wake_.notify_all();
  done_.wait(lock, [&] { return completed_ >= ticket; });
  return result_;
}

void Player::run() {
  pthread_setname_np(pthread_self(), "mpegdll");
  threadId_ = std::this_thread::get_id();
  threadTid_ = int(::syscall(SYS_gettid));
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || handover_ || pending_ || mode_.load() == MPEGDLL_MODE_PLAYING; });
    if (pending_) {
      auto task = std::move(pending_);
      pending_ = nullptr;
      lock.unlock();
      int result = MPEGDLL_ERR_INTERNAL;
      try {
        result = task();
      } catch (...) {
      }
      lock.lock();
      result_ = result;
      completed_ = issued_;
      done_.notify_all();
      continue;
    }
    if (quit_ || handover_) break;
    lock.unlock();
    try {
      step();
    } catch (...) {  // out of memory: end the playback rather than the process
      finishPlayback();
    }
    lock.lock();
  }
  const bool handover = handover_ && !quit_;
  lock.unlock();
  if (!handover) closeInput();
  threadId_ = std::thread::id();
}

// Sleeps up to `duration`, waking early for a command.
void Player::waitFor(std::chrono::nanoseconds duration) {
  std::unique_lock lock(mutex_);
  wake_.wait_for(lock, duration, [&] { return quit_ || handover_ || pending_; });
}

int64_t Player::playedSamples() const { return output_.isOpen() ? outputBase_ + output_.played() : handed_; }

void Player::step() {
  if (draining_) {
    // Every sample is with the output; the end comes when the last one has been heard.
    position_ = playedSamples();
    const auto left = output_.readyAt(std::chrono::nanoseconds(0)) - std::chrono::steady_clock::now();
    if (left > std::chrono::nanoseconds(0)) {
      waitFor(left + std::chrono::milliseconds(1));
      return;
    }
    finishPlayback();
    return;
  }
  position_ = playedSamples();
  const auto early = output_.readyAt(kPacedLead) - std::chrono::steady_clock::now();
  if (early > std::chrono::nanoseconds(0)) {
    waitFor(early);
    return;
  }
  const size_t frameBytes = decoder_.frameBytes();
  const unsigned char* data = nullptr;
  size_t got = decoder_.readFrame(&data);
  if (endSample_ > 0)
    got = size_t(std::min<int64_t>(int64_t(got), std::max<int64_t>(0, endSample_ - handed_) * int64_t(frameBytes)));
  if (got == 0) {
    length_ = decoder_.lengthSamples();  // exact now, if it was estimated at open
    draining_ = true;
    if (!output_.paced()) output_.drain();
    return;
  }
  bitrate_ = decoder_.bitrate();
  if (firstOutputNs_.load() == 0) firstOutputNs_ = monotonicNs();
  if (!output_.write(data, got)) {  // the device went away: the playback ends here
    finishPlayback();
    return;
  }
  handed_ += int64_t(got / frameBytes);
  samplesOut_ += int64_t(got / frameBytes);
  position_ = playedSamples();
}

void Player::finishPlayback() {
  output_.close();
  draining_ = false;
  position_ = handed_;
  mode_ = MPEGDLL_MODE_ENDED;
  if (endReached_) __atomic_store_n(endReached_, uint8_t(1), __ATOMIC_RELEASE);
}

int Player::startOutput() {
  const auto target = device_ == MPEGDLL_DEVICE_PCMFILE ? platform::sound::Output::Target::PcmFile
                                                        : platform::sound::Output::Target::Device;
  if (!output_.open(target, fileName_, decoder_.rate(), decoder_.channels())) return MPEGDLL_ERR_OUTPUT;
  {
    std::lock_guard lock(mutex_);
    driverName_ = output_.driver();
  }
  draining_ = false;
  outputBase_ = handed_;
  firstOutputNs_ = 0;
  samplesOut_ = 0;
  return MPEGDLL_OK;
}

void Player::stopOutput() {
  output_.close();
  draining_ = false;
}

void Player::closeInput() {
  stopOutput();
  decoder_.close();
  endReached_ = nullptr;
  endSample_ = 0;
  handed_ = 0;
  position_ = 0;
  length_ = -1;
  rate_ = 0;
  channels_ = 0;
  bitrate_ = 0;
  layer_ = 0;
  mode_ = MPEGDLL_MODE_CLOSED;
}

int Player::openCommon(const std::function<int()>& opener) {
  return call([this, &opener]() -> int {
    closeInput();
    const int result = opener();
    if (result != MPEGDLL_OK) {
      closeInput();
      return result;
    }
    rate_ = decoder_.rate();
    channels_ = decoder_.channels();
    length_ = decoder_.lengthSamples();
    layer_ = decoder_.layer();
    bitrate_ = decoder_.bitrate();
    mode_ = MPEGDLL_MODE_OPENED;
    return MPEGDLL_OK;
  });
}

int Player::open(const std::string& fileName) {
  return openCommon([this, &fileName]() -> int { return decoder_.openFile(fileName); });
}

int Player::open(const StreamCallbacks& callbacks) {
  return openCommon([this, &callbacks]() -> int { return decoder_.openStream(callbacks); });
}

int Player::close() {
  if (!initialised()) return MPEGDLL_ERR_MODE;
  return call([this]() -> int {
    closeInput();
    return MPEGDLL_OK;
  });
}

int Player::play(int32_t startPos, int32_t endPos, uint8_t* endReached) {
  return call([=, this]() -> int {
    const int mode = mode_.load();
    if (!decoder_.isOpen() || mode == MPEGDLL_MODE_PLAYING || mode == MPEGDLL_MODE_PAUSED) return MPEGDLL_ERR_MODE;
    const int32_t start = std::max<int32_t>(0, startPos);
    if (endPos > 0 && endPos <= start) return MPEGDLL_ERR_MODE;
    const long rate = decoder_.rate();
    int result = MPEGDLL_OK;
    int64_t landed = 0;
    if (start > 0) {
      result = decoder_.seek(int64_t(start) * rate, &landed);
    } else if (decoder_.tell() != 0) {
      result = decoder_.rewind();
    }
    if (result != MPEGDLL_OK) return result;
    handed_ = landed;
    position_ = landed;
    result = startOutput();
    if (result != MPEGDLL_OK) return result;
    endReached_ = endReached;
    endSample_ = endPos > 0 ? int64_t(endPos) * rate : 0;
    mode_ = MPEGDLL_MODE_PLAYING;
    return MPEGDLL_OK;
  });
}

int Player::restart() {
  return call([this]() -> int {
    if (!decoder_.isOpen()) return MPEGDLL_ERR_MODE;
    stopOutput();
    const int result = decoder_.rewind();
    if (result != MPEGDLL_OK) {
      mode_ = MPEGDLL_MODE_STOPPED;
      return result;
    }
    handed_ = 0;
    position_ = 0;
    const int opened = startOutput();
    if (opened != MPEGDLL_OK) {
      mode_ = MPEGDLL_MODE_STOPPED;
      return opened;
    }
    mode_ = MPEGDLL_MODE_PLAYING;
    return MPEGDLL_OK;
  });
}

int Player::stop() {
  return call([this]() -> int {
    const int mode = mode_.load();
    if (mode != MPEGDLL_MODE_PLAYING && mode != MPEGDLL_MODE_PAUSED) return MPEGDLL_ERR_MODE;
    position_ = playedSamples();
    stopOutput();
    mode_ = MPEGDLL_MODE_STOPPED;
    return MPEGDLL_OK;
  });
}

int Player::pause(bool resume) {
  return call([=, this]() -> int {
    const int mode = mode_.load();
    if (mode != MPEGDLL_MODE_PLAYING && mode != MPEGDLL_MODE_PAUSED) return MPEGDLL_ERR_MODE;
    if (resume && mode == MPEGDLL_MODE_PAUSED) {
      output_.resume();
      mode_ = MPEGDLL_MODE_PLAYING;
    } else if (!resume && mode == MPEGDLL_MODE_PLAYING) {
      output_.pause();  // a paced output's clock stands still while paused
      position_ = playedSamples();
      mode_ = MPEGDLL_MODE_PAUSED;
    }
    return MPEGDLL_OK;
  });
}

int Player::seek(int32_t position) {
  return call([=, this]() -> int {
    if (!decoder_.isOpen()) return MPEGDLL_ERR_MODE;
    int64_t landed = 0;
    const int result = decoder_.seek(int64_t(std::max<int32_t>(0, position)) * decoder_.rate(), &landed);
    if (result != MPEGDLL_OK) return result;
    output_.drop();
    draining_ = false;
    handed_ = landed;
    position_ = landed;
    outputBase_ = landed;
    return MPEGDLL_OK;
  });
}

int Player::setOutputDevice(int32_t device, const char* fileName) {
  if (device != MPEGDLL_DEVICE_WAVEMAPPER && device != MPEGDLL_DEVICE_PCMFILE) return MPEGDLL_ERR_OUTPUT;
  std::string name = fileName ? fileName : "";
  return call([this, device, &name]() -> int {
    device_ = device;
    fileName_ = name;
    return MPEGDLL_OK;
  });
}

// Levels are relative to the caller's own nice value, as thread priorities are relative to their
// process: normal is the caller's level, idle 15 nice steps below it (as far as 19 goes).
// A lower nice value is a higher priority, and Linux lets a user without privileges raise a
// thread's nice value but never lower it again (beyond RLIMIT_NICE, 0 by default). So a level is
// never taken back by lowering the nice value of the thread that was slowed: when the system
// refuses, the playback moves to a new thread, which starts at the caller's own nice value and
// is then slowed as far as asked. Only a level above the caller's own can be out of reach.
int Player::setPriority(int32_t priority) {
  if (std::this_thread::get_id() == threadId_.load()) return MPEGDLL_ERR_MODE;
  std::lock_guard calls(callMutex_);
  if (!initialised()) return MPEGDLL_ERR_MODE;
  const auto niceOf = [](int tid) {
    errno = 0;
    const int value = ::getpriority(PRIO_PROCESS, id_t(tid));
    return errno == 0 ? value : 0;
  };
  const int own = niceOf(int(::syscall(SYS_gettid)));
  const int wanted = std::clamp(own - priority, -20, 19);
  const auto apply = [&](int nice) {
    const bool done = ::setpriority(PRIO_PROCESS, id_t(threadTid_.load()), nice) == 0;
    if (done) nice_ = nice;
    return done;
  };
  if (apply(wanted)) {
    refusedPriority_ = 0;
    return MPEGDLL_OK;
  }
  if (niceOf(threadTid_.load()) > own) {
    const int respawned = respawnThread();
    if (respawned != MPEGDLL_OK) return respawned;
    nice_ = own;
    if (wanted >= own && apply(wanted)) {
      refusedPriority_ = 0;
      return MPEGDLL_OK;
    }
  }
  // Above the caller's own level: as near to it as RLIMIT_NICE lets this user go.
  rlimit limit{};
  if (::getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= 40) {
    const int floor = 20 - int(limit.rlim_cur);
    if (floor < niceOf(threadTid_.load())) apply(std::max(wanted, floor));
  }
  // Reported once: a later request for the same level (Play sets it again each time) stands.
  if (refusedPriority_ == priority) return MPEGDLL_OK;
  refusedPriority_ = priority;
  return MPEGDLL_ERR_PRIORITY;
}

bool Player::resetPlayerMode() {
  int32_t expected = MPEGDLL_MODE_ENDED;
  return mode_.compare_exchange_strong(expected, MPEGDLL_MODE_STOPPED);
}

int32_t Player::currentPos() const {
  const long rate = rate_.load();
  return rate > 0 ? int32_t(position_.load() / rate) : 0;
}

int32_t Player::length() const {
  const long rate = rate_.load();
  const int64_t length = length_.load();
  return rate > 0 && length > 0 ? int32_t(length / rate) : 0;
}

void Player::markPlayCalled() { playCalledNs_ = monotonicNs(); }

void Player::stats(MpegPlaybackStats* stats) const {
  if (!stats) return;
  std::memset(stats, 0, sizeof *stats);
  stats->playCalledNs = playCalledNs_.load();
  stats->firstOutputNs = firstOutputNs_.load();
  stats->samplesOut = samplesOut_.load();
  stats->rate = int32_t(rate_.load());
  stats->channels = channels_.load();
  std::lock_guard lock(mutex_);
  std::strncpy(stats->driver, driverName_.c_str(), sizeof stats->driver - 1);
}

}  // namespace vardel::mpegdll

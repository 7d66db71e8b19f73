// The playing thread: reads a few sectors at a time and hands them to the sound output in real
// time (an output that keeps no time of its own tells when it wants more).
#include "platform/mci/player.h"

#include "platform/sound/output.h"

#include <algorithm>
#include <vector>

namespace vardel::platform::cd {
namespace {

using Clock = std::chrono::steady_clock;

// Sectors read and handed over at a time: 1/15 s, so that stop and next act at once.
constexpr int kChunk = 5;
// How far an output that keeps no time may run ahead of its clock, as a device buffer would.
constexpr std::chrono::milliseconds kPacedLead(200);
// How long a stopped player keeps the sound output open.
constexpr std::chrono::seconds kIdleClose(10);

// The first audio sector at or after `sector` (data tracks are not played), or `end`.
std::int32_t audible(const Toc& toc, std::int32_t sector, std::int32_t end) {
  while (sector < end) {
    const Track* track = toc.trackAt(sector);
    if (!track || sector >= track->end()) return end;
    if (track->audio) return sector;
    sector = track->end();
  }
  return end;
}

}  // namespace

Player::Player() : thread_([this] { run(); }) {}

Player::~Player() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void Player::play(std::shared_ptr<const Disc> disc, std::int32_t from, std::int32_t to) {
  {
    std::lock_guard lock(mutex_);
    disc_ = std::move(disc);
    cursor_ = from;
    end_ = to;
    playing_ = disc_ != nullptr && from < to;
    ++generation_;
    requested_ = Clock::now();
  }
  wake_.notify_all();
}

void Player::stop() {
  {
    std::lock_guard lock(mutex_);
    playing_ = false;
    ++generation_;
  }
  wake_.notify_all();
}

bool Player::playing() const {
  std::lock_guard lock(mutex_);
  return playing_;
}

std::int32_t Player::position() const {
  std::lock_guard lock(mutex_);
  return cursor_;
}

Player::Stats Player::stats() const {
  std::lock_guard lock(mutex_);
  return stats_;
}

void Player::run() {
  sound::Output output;
  std::unique_ptr<SectorReader> reader;
  std::shared_ptr<const Disc> readerDisc;
  std::vector<std::int16_t> buffer(size_t(kChunk) * kFramesPerSector * 2);
  std::uint64_t seen = 0;

  std::unique_lock lock(mutex_);
  for (;;) {
    const auto woken = [&] { return quit_ || generation_ != seen || playing_; };
    if (!woken() && output.isOpen()) {
      // Stopped or at the end: the output is let go once it has stayed unused for a while
      // (reopening it would cost the next play request a noticeable moment).
      if (!wake_.wait_for(lock, kIdleClose, woken)) {
        lock.unlock();
        output.close();
        lock.lock();
      }
      continue;
    }
    wake_.wait(lock, woken);
    if (quit_) break;
    const std::uint64_t generation = generation_;
    const bool restart = generation != seen;
    seen = generation;
    if (!playing_) {
      lock.unlock();
      output.drop();  // stopped: what the output still holds is not heard
      lock.lock();
      continue;
    }
    const std::shared_ptr<const Disc> disc = disc_;
    const std::int32_t end = end_;
    const std::int32_t at = audible(disc->toc(), cursor_, end);
    if (at >= end) {
      playing_ = false;
      cursor_ = end;
      lock.unlock();
      output.drain();  // the end of the disc: let the last samples sound
      lock.lock();
      continue;
    }
    const Track* track = disc->toc().trackAt(at);
    const int count = std::min({kChunk, end - at, track->end() - at});
    const Clock::time_point requested = requested_;
    lock.unlock();

    if (restart) {
      output.drop();
      if (disc != readerDisc) {
        reader = disc->reader();
        readerDisc = disc;
      }
    }
    bool opened = output.isOpen() || output.open(sound::Output::Target::Device, std::string(), kSampleRate, 2);
    if (opened) {
      if (!reader || !reader->read(at, count, buffer.data())) {
        // What could not be read sounds as silence, as a drive skips a damaged spot.
        if (!reader) std::fill(buffer.begin(), buffer.end(), 0);
      }
      const Clock::time_point handed = Clock::now();
      opened = output.write(buffer.data(), size_t(count) * kSectorBytes);
      lock.lock();
      if (restart) stats_.lastStartMs = std::chrono::duration<double, std::milli>(handed - requested).count();
      if (restart) ++stats_.starts;
      stats_.driver = output.driver();
      stats_.sectors += count;
    } else {
      lock.lock();
    }
    if (!opened) {
      output.close();
      if (generation_ == generation) {
        playing_ = false;
        stats_.outputFailed = true;
      }
      continue;
    }
    stats_.outputFailed = false;
    if (generation_ == generation) cursor_ = at + count;
    // Only an output that keeps no time makes this wait: a device's write blocks instead.
    wake_.wait_until(lock, output.readyAt(kPacedLead), [&] { return quit_ || generation_ != generation; });
  }
  lock.unlock();
  output.close();
}

}  // namespace vardel::platform::cd

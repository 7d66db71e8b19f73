// The playing of a disc: digital audio read on a thread of its own and handed to the sound
// output in real time, while the requests that start and stop it return at once.
#pragma once

#include "platform/mci/drive.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace vardel::platform::cd {

class Player {
 public:
  // The sound output opens with the first play: the desktop's sound server, else the sound
  // card, or the out123 driver that VARDEL_AUDIO_DRIVER names.
  Player();
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Plays sectors [from, to) of `disc`, passing over data tracks, in place of whatever plays.
  void play(std::shared_ptr<const Disc> disc, std::int32_t from, std::int32_t to);
  // Silences the output; what it still held is dropped.
  void stop();

  // True from play() until stop(), the end of the range, or an output that cannot be opened.
  bool playing() const;
  // The sector being handed to the output; after the end, the end of the range.
  std::int32_t position() const;

  struct Stats {
    int starts = 0;             // play requests the thread has taken up
    double lastStartMs = 0;     // from the last play request to its first samples handed over
    std::int64_t sectors = 0;   // sectors handed to the output in all
    bool outputFailed = false;  // the last play found no sound output
    std::string driver;         // the out123 driver in use
  };
  Stats stats() const;

 private:
  void run();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool quit_ = false;
  bool playing_ = false;
  std::uint64_t generation_ = 0;  // changes with every play and stop request
  std::shared_ptr<const Disc> disc_;
  std::int32_t cursor_ = 0;
  std::int32_t end_ = 0;
  std::chrono::steady_clock::time_point requested_{};
  Stats stats_;
  std::thread thread_;
};

}  // namespace vardel::platform::cd

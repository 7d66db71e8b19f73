// The scripted fake decoder library as a test drives it: its log and knobs, shared with the
// component that loads the same module.
#pragma once

#include "platform/library.h"
#include "tests/fakes/fake_mpegdll.h"

#include <QString>

#include <string>

namespace vardel::test {

inline const QString kFakeDir = QStringLiteral(FAKE_MPEGDLL_DIR);
inline const QString kFake = kFakeDir + QStringLiteral("/mpegdll.dll");
inline const QString kFakeWithoutBitrate = QStringLiteral(FAKE_MPEGDLL_NOBITRATE_DIR);

// The log after `before`: the calls made since.
inline std::string since(const std::string& before, const std::string& now) {
  if (now.compare(0, before.size(), before) != 0) return now;
  std::string rest = now.substr(before.size());
  if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
  return rest;
}

// The fake as the test sees it: the same loaded module as the component's, so its log and
// knobs are shared.
class Fake {
 public:
  Fake() {
    library_.load(kFake);
    reset_ = library_.resolveAs<FakeReset>("fake_reset");
    log_ = library_.resolveAs<FakeLog>("fake_log");
    set_ = library_.resolveAs<FakeSet>("fake_set");
    end_ = library_.resolveAs<FakeEnd>("fake_end");
    endAddress_ = library_.resolveAs<FakeEndAddress>("fake_end_address");
    stream_ = library_.resolveAs<FakeGetStream>("fake_stream");
  }
  bool ok() const { return reset_ && log_ && set_ && end_ && endAddress_ && stream_; }
  void reset() {
    reset_();
    taken_.clear();
  }
  // The calls since the last take (or reset).
  std::string take() {
    const std::string now = log_();
    std::string calls = since(taken_, now);
    taken_ = now;
    return calls;
  }
  std::string log() const { return log_(); }
  void set(const char* key, int value) { set_(key, value); }
  void end() { end_(); }
  uint8_t* endAddress() { return endAddress_(); }
  FakeStream stream() {
    FakeStream s{};
    stream_(&s);
    return s;
  }

 private:
  platform::Library library_;
  FakeReset reset_ = nullptr;
  FakeLog log_ = nullptr;
  FakeSet set_ = nullptr;
  FakeEnd end_ = nullptr;
  FakeEndAddress endAddress_ = nullptr;
  FakeGetStream stream_ = nullptr;
  std::string taken_;
};

}  // namespace vardel::test

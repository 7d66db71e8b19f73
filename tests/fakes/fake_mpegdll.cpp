// A scripted stand-in for mpegdll.dll: records every call and answers what the test set.
// Built twice: complete, and without the export "GetBitrate" (FAKE_WITHOUT_GETBITRATE).
#include "tests/fakes/fake_mpegdll.h"

#include <map>
#include <mutex>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::mutex mutex;
std::string log;
// Knobs: "init" (init's result, default 1), "mode", "pos", "length", "reset" (results of
// those calls), "play" (Play's result), and "error:<export>" (LastError after that export).
std::map<std::string, int32_t> knobs;
int32_t lastError = 0;
uint8_t* endReached = nullptr;
FakeStream stream{};

int32_t knob(const std::string& key, int32_t fallback = 0) {
  const auto it = knobs.find(key);
  return it == knobs.end() ? fallback : it->second;
}

// Records a call and sets the error that LastError then answers.
void record(const std::string& name, const std::string& arguments = std::string()) {
  std::lock_guard lock(mutex);
  if (!log.empty()) log += ' ';
  log += arguments.empty() ? name : name + '(' + arguments + ')';
  lastError = knob("error:" + name);
}

std::string text(const char* s) { return s ? std::string(s) : std::string("null"); }

}  // namespace

FAKE_EXPORT void fake_reset() {
  std::lock_guard lock(mutex);
  log.clear();
  knobs.clear();
  lastError = 0;
  endReached = nullptr;
  stream = FakeStream{};
}

FAKE_EXPORT const char* fake_log() {
  static std::string copy;
  std::lock_guard lock(mutex);
  copy = log;
  return copy.c_str();
}

FAKE_EXPORT void fake_set(const char* key, int32_t value) {
  std::lock_guard lock(mutex);
  knobs[key] = value;
}

FAKE_EXPORT void fake_end() {
  if (endReached) __atomic_store_n(endReached, uint8_t(1), __ATOMIC_RELEASE);
}

FAKE_EXPORT uint8_t* fake_end_address() { return endReached; }

FAKE_EXPORT void fake_stream(FakeStream* out) { *out = stream; }

FAKE_EXPORT int32_t init(void) {
  record("init");
  return knob("init", 1);
}

FAKE_EXPORT void deinit(void) { record("deinit"); }

FAKE_EXPORT int32_t Open(const char* fileName, int32_t fromStream, MpegOpenStream open, MpegCloseStream close,
                         MpegRestartStream restart, MpegReadStream read, MpegSeekStream seek, MpegStreamSize size,
                         void* user) {
  const bool callbacks = open && close && restart && read && seek && size;
  record("Open", text(fileName) + ',' + std::to_string(fromStream) + ',' + (callbacks ? "callbacks" : "null") + ',' +
                     (user ? "user" : "null"));
  stream = FakeStream{open, close, restart, read, seek, size, user};
  return 0;
}

FAKE_EXPORT int32_t Pause(int32_t resume) {
  record("Pause", std::to_string(resume));
  return 0;
}

FAKE_EXPORT int32_t Restart(void) {
  record("Restart");
  return 0;
}

FAKE_EXPORT int32_t Stop(void) {
  record("Stop");
  return 0;
}

FAKE_EXPORT int32_t SetPriority(int32_t priority) {
  record("SetPriority", std::to_string(priority));
  return 0;
}

FAKE_EXPORT int32_t SetOutputDevice(int32_t device, const char* fileName) {
  record("SetOutputDevice", std::to_string(device) + ',' + text(fileName));
  return 0;
}

FAKE_EXPORT int32_t Play(int32_t startPos, int32_t endPos, uint8_t* end) {
  record("Play", std::to_string(startPos) + ',' + std::to_string(endPos));
  endReached = end;
  return knob("play");
}

FAKE_EXPORT int32_t Close(void) {
  record("Close");
  return 0;
}

FAKE_EXPORT int32_t GetFrequency(void) { return 44100; }
#ifndef FAKE_WITHOUT_GETBITRATE
FAKE_EXPORT int32_t GetBitrate(void) { return 128; }
#endif
FAKE_EXPORT int32_t GetLayer(void) { return 3; }

FAKE_EXPORT int32_t GetPlayerMode(void) {
  record("GetPlayerMode");
  return knob("mode");
}

FAKE_EXPORT int32_t GetCurrentPos(void) {
  record("GetCurrentPos");
  return knob("pos");
}

FAKE_EXPORT int32_t GetLength(void) {
  record("GetLength");
  return knob("length");
}

FAKE_EXPORT int32_t ResetPlayerMode(void) {
  record("ResetPlayerMode");
  return knob("reset");
}

FAKE_EXPORT int32_t Seek(int32_t position) {
  record("Seek", std::to_string(position));
  return 0;
}

FAKE_EXPORT int32_t LastError(void) {
  std::lock_guard lock(mutex);
  return lastError;
}

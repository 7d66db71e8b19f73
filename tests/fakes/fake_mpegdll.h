// Control of the scripted fake decoder library, for the player component's tests.
#pragma once

#include "mpegdll/mpegdll.h"

#include <cstdint>

extern "C" {
// What a test reads back: the stream callbacks and user data of the latest Open.
struct FakeStream {
  MpegOpenStream open;
  MpegCloseStream close;
  MpegRestartStream restart;
  MpegReadStream read;
  MpegSeekStream seek;
  MpegStreamSize size;
  void* user;
};
// The control exports (looked up by these names).
using FakeReset = void (*)();
using FakeLog = const char* (*)();                         // calls so far, separated by blanks
using FakeSet = void (*)(const char* key, int32_t value);  // see fake_mpegdll.cpp
using FakeEnd = void (*)();                                // the library reaches the end of play
using FakeEndAddress = uint8_t* (*)();
using FakeGetStream = void (*)(FakeStream* stream);
}

// An input stream in memory served through the decoder library's six stream callbacks.
#pragma once

#include "mpegdll/mpegdll.h"

#include <QByteArray>

#include <atomic>
#include <thread>

namespace vardel::test {

// The bytes of `data`, read, sought, sized and restarted through the callbacks. Counts what
// was asked of it and on which thread, so tests can check the library's use of a stream.
struct MemoryStream {
  QByteArray data;
  bool nonseekable = false;
  bool failReads = false;  // every read answers failure
  qint64 position = 0;
  std::atomic<int> opens{0}, closes{0}, restarts{0}, reads{0}, seeks{0}, sizes{0};
  std::atomic<bool> calledOnCallerThread{false};
  std::thread::id callerThread = std::this_thread::get_id();

  // Calls the library's Open with this stream's callbacks.
  void openWith(MpegOpen open);

  static void onOpen(void* user, uint8_t* nonseekable, void** context);
  static void onClose(void* user, void* context);
  static void onRestart(void* user, void* context, uint8_t* res);
  static void onRead(void* user, void* context, void* buffer, int32_t bytesToRead, int32_t* bytesRead, uint8_t* res);
  static void onSeek(void* user, void* context, int32_t numbytes, int32_t moveMethod, int32_t* res);
  static void onSize(void* user, void* context, int32_t* res);

 private:
  static MemoryStream* self(void* user, void* context);
};

}  // namespace vardel::test

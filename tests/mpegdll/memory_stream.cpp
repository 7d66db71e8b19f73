// An input stream in memory for the decoder library's stream mode.
#include "tests/mpegdll/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace vardel::test {

void MemoryStream::openWith(MpegOpen open) {
  open(nullptr, 1, &onOpen, &onClose, &onRestart, &onRead, &onSeek, &onSize, this);
}

MemoryStream* MemoryStream::self(void* user, void* context) {
  auto* stream = static_cast<MemoryStream*>(user);
  // The context handed out by open must come back with every later call.
  if (context != nullptr && context != user) return nullptr;
  if (std::this_thread::get_id() == stream->callerThread) stream->calledOnCallerThread = true;
  return stream;
}

void MemoryStream::onOpen(void* user, uint8_t* nonseekable, void** context) {
  auto* stream = self(user, nullptr);
  ++stream->opens;
  stream->position = 0;
  *nonseekable = stream->nonseekable ? 1 : 0;
  *context = stream;
}

void MemoryStream::onClose(void* user, void* context) {
  if (auto* stream = self(user, context)) ++stream->closes;
}

void MemoryStream::onRestart(void* user, void* context, uint8_t* res) {
  auto* stream = self(user, context);
  if (!stream) return;
  ++stream->restarts;
  stream->position = 0;
  *res = 1;
}

void MemoryStream::onRead(void* user, void* context, void* buffer, int32_t bytesToRead, int32_t* bytesRead,
                          uint8_t* res) {
  auto* stream = self(user, context);
  if (!stream || stream->failReads) return;
  ++stream->reads;
  const qint64 count = std::clamp<qint64>(stream->data.size() - stream->position, 0, bytesToRead);
  std::memcpy(buffer, stream->data.constData() + stream->position, size_t(count));
  stream->position += count;
  *bytesRead = int32_t(count);
  *res = 1;
}

void MemoryStream::onSeek(void* user, void* context, int32_t numbytes, int32_t moveMethod, int32_t* res) {
  auto* stream = self(user, context);
  if (!stream) return;
  ++stream->seeks;
  if (stream->nonseekable) {
    *res = -1;
    return;
  }
  const qint64 origin = moveMethod == 0 ? 0 : moveMethod == 1 ? stream->position : stream->data.size();
  const qint64 target = origin + numbytes;
  if (target < 0 || moveMethod < 0 || moveMethod > 2) {
    *res = -1;
    return;
  }
  stream->position = target;
  *res = int32_t(target);
}

void MemoryStream::onSize(void* user, void* context, int32_t* res) {
  auto* stream = self(user, context);
  if (!stream) return;
  ++stream->sizes;
  *res = int32_t(stream->data.size());
}

}  // namespace vardel::test

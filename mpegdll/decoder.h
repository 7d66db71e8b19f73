// One opened MPEG audio input decoded by libmpg123: a file or the caller's stream callbacks.
#pragma once

#include "mpegdll/mpegdll.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct mpg123_handle_struct;

namespace vardel::mpegdll {

// The caller's stream: the six callbacks and the user data handed to each.
struct StreamCallbacks {
  MpegOpenStream open = nullptr;
  MpegCloseStream close = nullptr;
  MpegRestartStream restart = nullptr;
  MpegReadStream read = nullptr;
  MpegSeekStream seek = nullptr;
  MpegStreamSize size = nullptr;
  void* user = nullptr;
};

// Decodes one input to signed 16-bit native-endian interleaved PCM. The output format is fixed
// at open to the rate and channel count of the first frame; later frames of another rate or
// channel count are resampled or mixed by libmpg123, so a reader never sees a format change.
// Not thread-safe: the player uses it from its own thread only.
class Decoder {
 public:
  Decoder();
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Opens the input. Returns an MPEGDLL_ERR_* code; anything that does not yield at least one
  // decodable frame is MPEGDLL_ERR_INPUT. An open input is closed first. A file is opened only
  // when it is a regular file within kMaxAudioFileBytes (platform/file_limits.h).
  int openFile(const std::string& path);
  int openStream(const StreamCallbacks& callbacks);
  // Closes the input; a stream gets its close callback. Harmless when nothing is open.
  void close();

  bool isOpen() const { return open_; }
  bool seekable() const { return seekable_; }
  long rate() const { return rate_; }
  int channels() const { return channels_; }
  size_t frameBytes() const { return size_t(channels_) * 2; }
  // Length in sample frames; -1 when unknown. Exact from an encoder's Info tag, or from a scan
  // of every frame header of a seekable input of at most kScanAtOpenBytes. A larger input
  // without the tag is not scanned at open (a scan reads the whole input, seconds for a
  // gigabyte): its length is estimated from its size and its first frames' bit rate, and
  // becomes exact once decoding reaches its end.
  int64_t lengthSamples() const { return length_; }
  bool lengthEstimated() const { return lengthEstimated_; }

  // Back to the first sample: a seek, or for a non-seekable stream its restart callback and a
  // fresh start of the decoder. MPEGDLL_ERR_INPUT when the stream cannot restart.
  int rewind();
  // Moves to sample frame `sample` (clamped to the input); `landed` gets where decoding
  // continues. MPEGDLL_ERR_NONSEEKABLE for a non-seekable stream.
  int seek(int64_t sample, int64_t* landed);
  // The sample frame that the next read() starts with.
  int64_t tell() const;

  // Decodes the next frame: `data` points at its samples, valid until the next call. Returns
  // the bytes decoded; 0 at the end of the input, and also when the input turns out to be
  // damaged beyond what libmpg123 can resynchronise (playback simply ends there).
  size_t readFrame(const unsigned char** data);

  int bitrate() const;
  int layer() const;

 private:
  struct Stream;
  bool prepareHandle();
  int finishOpen();
  void closeDecoder();
  static ptrdiff_t streamRead(void* handle, void* buffer, size_t bytes);
  static off_t streamSeek(void* handle, off_t offset, int whence);

  mpg123_handle_struct* handle_ = nullptr;
  Stream* stream_ = nullptr;
  bool open_ = false;
  bool seekable_ = false;
  bool failed_ = false;  // libmpg123 gave up on the input: it ends here
  long rate_ = 0;
  int channels_ = 0;
  int64_t length_ = -1;
  bool lengthEstimated_ = false;
  int64_t inputBytes_ = -1;  // -1 unknown
  int fd_ = -1;              // the opened file, or -1
};

// Inputs up to this size without an Info tag are scanned whole at open, for an exact length;
// at a few milliseconds a megabyte the scan stays well under a tenth of a second.
inline constexpr int64_t kScanAtOpenBytes = int64_t(8) << 20;

}  // namespace vardel::mpegdll

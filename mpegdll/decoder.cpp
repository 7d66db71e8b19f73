// libmpg123 behind the player: opening, scanning, format locking, seeking, reading.
#include "mpegdll/decoder.h"

#include "platform/file_limits.h"

#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace vardel::mpegdll {

// The caller's stream as libmpg123 sees it: its callbacks and the context their open gave.
struct Decoder::Stream {
  StreamCallbacks callbacks;
  void* context = nullptr;
  bool nonseekable = false;
  bool opened = false;
};

namespace {

// Every rate libmpg123 knows, any channel count, 16-bit signed samples only.
void allowSigned16(mpg123_handle* handle) {
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i) mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
}

}  // namespace

Decoder::Decoder() = default;

Decoder::~Decoder() {
  close();
  if (handle_) mpg123_delete(handle_);
}

bool Decoder::prepareHandle() {
  if (!handle_) {
    handle_ = mpg123_new(nullptr, nullptr);
    if (!handle_) return false;
    // Gapless decoding honours the encoder delay and padding of Xing/LAME headers.
    mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
  }
  allowSigned16(handle_);
  return true;
}

int Decoder::openFile(const std::string& path) {
  close();
  if (path.empty()) return MPEGDLL_ERR_INPUT;
  if (!prepareHandle()) return MPEGDLL_ERR_INTERNAL;
  // Only a regular file: a pipe or a device would be read for ever.
  fd_ = platform::openRegularFile(path.c_str(), platform::kMaxAudioFileBytes);
  if (fd_ < 0) return MPEGDLL_ERR_INPUT;
  struct stat st {};
  inputBytes_ = ::fstat(fd_, &st) == 0 ? int64_t(st.st_size) : -1;
  mpg123_replace_reader(handle_, nullptr, nullptr);  // plain file reading
  if (mpg123_open_fd(handle_, fd_) != MPG123_OK) {
    close();
    return MPEGDLL_ERR_INPUT;
  }
  seekable_ = true;
  return finishOpen();
}

int Decoder::openStream(const StreamCallbacks& callbacks) {
  close();
  if (!prepareHandle()) return MPEGDLL_ERR_INTERNAL;
  stream_ = new Stream;
  stream_->callbacks = callbacks;
  uint8_t nonseekable = 0;
  if (callbacks.open) callbacks.open(callbacks.user, &nonseekable, &stream_->context);
  stream_->nonseekable = nonseekable != 0;
  stream_->opened = true;
  seekable_ = !stream_->nonseekable && callbacks.seek != nullptr;

  if (mpg123_replace_reader_handle(handle_, &Decoder::streamRead, &Decoder::streamSeek, nullptr) != MPG123_OK ||
      mpg123_open_handle(handle_, stream_) != MPG123_OK) {
    close();
    return MPEGDLL_ERR_INPUT;
  }
  // A non-seekable stream cannot be scanned; its size, when known, still lets libmpg123
  // estimate the length from the bit rate.
  if (callbacks.size) {
    int32_t size = -1;
    callbacks.size(callbacks.user, stream_->context, &size);
    if (size >= 0) inputBytes_ = size;
    if (!seekable_ && size > 0) mpg123_set_filesize(handle_, size);
  }
  return finishOpen();
}

int Decoder::finishOpen() {
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels < 1 ||
      channels > 2) {
    close();
    return MPEGDLL_ERR_INPUT;
  }
  // An encoder's Info tag counts the frames exactly (and gives the delay and padding that
  // gapless decoding removes); without one, an input of known, modest size is scanned whole.
  // A larger one is not: the scan would hold the caller for as long as it takes to read it
  // all. libmpg123 then estimates the length from the size and the first frames.
  long encoderDelay = -1;
  double unused = 0;
  mpg123_getstate(handle_, MPG123_ENC_DELAY, &encoderDelay, &unused);
  if (seekable_ && encoderDelay < 0) {
    if (inputBytes_ >= 0 && inputBytes_ <= kScanAtOpenBytes) {
      if (mpg123_scan(handle_) != MPG123_OK) {
        close();
        return MPEGDLL_ERR_INPUT;
      }
    } else {
      lengthEstimated_ = true;
    }
  }
  // Lock the output to the first frame's format for the rest of the input.
  mpg123_format_none(handle_);
  mpg123_format(handle_, rate, channels, MPG123_ENC_SIGNED_16);
  rate_ = rate;
  channels_ = channels;
  const off_t length = mpg123_length(handle_);
  length_ = length >= 0 ? int64_t(length) : -1;
  if (seekable_ && length_ == 0) {  // headers and tags, but not one frame of audio
    close();
    return MPEGDLL_ERR_INPUT;
  }
  open_ = true;
  return MPEGDLL_OK;
}

void Decoder::closeDecoder() {
  if (handle_) mpg123_close(handle_);
  if (fd_ >= 0) ::close(fd_);  // libmpg123 leaves a descriptor it was given open
  fd_ = -1;
  open_ = false;
  failed_ = false;
  rate_ = 0;
  channels_ = 0;
  length_ = -1;
  lengthEstimated_ = false;
  inputBytes_ = -1;
}

void Decoder::close() {
  closeDecoder();
  if (stream_) {
    if (stream_->opened && stream_->callbacks.close)
      stream_->callbacks.close(stream_->callbacks.user, stream_->context);
    delete stream_;
    stream_ = nullptr;
  }
  seekable_ = false;
}

int Decoder::rewind() {
  if (!open_) return MPEGDLL_ERR_MODE;
  if (seekable_) {
    int64_t landed = 0;
    return seek(0, &landed);
  }
  if (!stream_) return MPEGDLL_ERR_INPUT;
  // A non-seekable stream is rewound by its owner, then decoded afresh.
  uint8_t res = 0;
  if (stream_->callbacks.restart) stream_->callbacks.restart(stream_->callbacks.user, stream_->context, &res);
  if (!res) return MPEGDLL_ERR_INPUT;
  const long rate = rate_;
  const int channels = channels_;
  const int64_t length = length_;
  mpg123_close(handle_);
  open_ = false;
  failed_ = false;
  if (mpg123_open_handle(handle_, stream_) != MPG123_OK) return MPEGDLL_ERR_INPUT;
  long newRate = 0;
  int newChannels = 0, encoding = 0;
  if (mpg123_getformat(handle_, &newRate, &newChannels, &encoding) != MPG123_OK) return MPEGDLL_ERR_INPUT;
  rate_ = rate;
  channels_ = channels;
  length_ = length;
  open_ = true;
  return MPEGDLL_OK;
}

int Decoder::seek(int64_t sample, int64_t* landed) {
  if (!open_) return MPEGDLL_ERR_MODE;
  if (!seekable_) return MPEGDLL_ERR_NONSEEKABLE;
  sample = std::max<int64_t>(0, sample);
  if (length_ >= 0) sample = std::min(sample, length_);
  const off_t result = mpg123_seek(handle_, off_t(sample), SEEK_SET);
  if (result < 0) return MPEGDLL_ERR_INPUT;
  *landed = int64_t(result);
  failed_ = false;
  return MPEGDLL_OK;
}

int64_t Decoder::tell() const {
  if (!open_) return 0;
  const off_t position = mpg123_tell(handle_);
  return position >= 0 ? int64_t(position) : 0;
}

size_t Decoder::readFrame(const unsigned char** data) {
  if (!open_ || failed_) return 0;
  // libmpg123 resynchronises past damage by itself; an error it reports means it gave up, and
  // the input ends there. Calls that give nothing are bounded too.
  for (int idle = 0; idle < 8;) {
    off_t frame = 0;
    unsigned char* audio = nullptr;
    size_t bytes = 0;
    const int result = mpg123_decode_frame(handle_, &frame, &audio, &bytes);
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
      if (result != MPG123_DONE) failed_ = true;
      // The end of an input whose length was estimated gives its true length.
      if (result == MPG123_DONE && lengthEstimated_) {
        length_ = tell();
        lengthEstimated_ = false;
      }
      return 0;
    }
    bytes -= bytes % frameBytes();
    if (bytes > 0 && audio) {
      *data = audio;
      return bytes;
    }
    ++idle;
  }
  return 0;
}

int Decoder::bitrate() const {
  mpg123_frameinfo info{};
  if (!open_ || mpg123_info(handle_, &info) != MPG123_OK) return 0;
  return info.bitrate;
}

int Decoder::layer() const {
  mpg123_frameinfo info{};
  if (!open_ || mpg123_info(handle_, &info) != MPG123_OK) return 0;
  return info.layer;
}

ptrdiff_t Decoder::streamRead(void* handle, void* buffer, size_t bytes) {
  auto* stream = static_cast<Stream*>(handle);
  if (!stream->callbacks.read) return -1;
  const int32_t wanted = int32_t(std::min<size_t>(bytes, INT32_MAX));
  int32_t got = 0;
  uint8_t res = 0;
  stream->callbacks.read(stream->callbacks.user, stream->context, buffer, wanted, &got, &res);
  // A count outside what was asked for is a broken stream, never trusted.
  if (!res || got < 0 || got > wanted) return -1;
  return got;
}

off_t Decoder::streamSeek(void* handle, off_t offset, int whence) {
  auto* stream = static_cast<Stream*>(handle);
  if (stream->nonseekable || !stream->callbacks.seek) return -1;
  if (offset < INT32_MIN || offset > INT32_MAX) return -1;
  int32_t method = 0;
  switch (whence) {
    case SEEK_SET:
      method = 0;
      break;
    case SEEK_CUR:
      method = 1;
      break;
    case SEEK_END:
      method = 2;
      break;
    default:
      return -1;
  }
  int32_t res = -1;
  stream->callbacks.seek(stream->callbacks.user, stream->context, int32_t(offset), method, &res);
  return res < 0 ? off_t(-1) : off_t(res);
}

}  // namespace vardel::mpegdll

// Track files through libsndfile and libmpg123, brought to 44.1 kHz stereo by linear
// interpolation when they hold another rate or channel count.
#include "platform/mci/audio_file.h"

#include "platform/file_limits.h"
#include "platform/mci/drive.h"

#include <QFile>
#include <QFileInfo>

#include <mpg123.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include <unistd.h>

namespace vardel::platform::cd {
namespace {

// A decoder of stereo frames at the file's own rate; the base class converts the rate.
class Resampling : public PcmSource {
 public:
  explicit Resampling(long rate, std::int64_t sourceFrames) : rate_(rate), sourceFrames_(sourceFrames) {}

  std::int64_t frames() const override { return (sourceFrames_ * kSampleRate + rate_ - 1) / rate_; }

  bool seek(std::int64_t frame) override {
    position_ = std::max<std::int64_t>(0, frame);
    const std::int64_t source = position_ * rate_ / kSampleRate;
    buffer_.clear();
    bufferStart_ = source;
    ended_ = false;
    return seekSource(source);
  }

  std::int64_t read(std::int16_t* out, std::int64_t count) override {
    std::int64_t done = 0;
    while (done < count) {
      const std::int64_t scaled = position_ * rate_;
      const std::int64_t i = scaled / kSampleRate;
      const std::int64_t frac = scaled % kSampleRate;
      if (!ensure(i + (frac ? 1 : 0))) {
        if (!ensure(i)) break;  // the last frame of the file has no neighbour
      }
      const std::int16_t* a = &buffer_[size_t(2 * (i - bufferStart_))];
      const std::int64_t avail = std::int64_t(buffer_.size() / 2) + bufferStart_;
      const std::int16_t* b = i + 1 < avail ? a + 2 : a;
      for (int c = 0; c < 2; ++c)
        out[2 * done + c] = std::int16_t(a[c] + (std::int64_t(b[c]) - a[c]) * frac / kSampleRate);
      ++done;
      ++position_;
    }
    return done;
  }

 protected:
  // Reads up to `count` stereo frames; 0 at the end or on an error.
  virtual std::int64_t readSource(std::int16_t* out, std::int64_t count) = 0;
  virtual bool seekSource(std::int64_t frame) = 0;

 private:
  // Makes source frame `i` available in the buffer; false past the end.
  bool ensure(std::int64_t i) {
    if (i < bufferStart_) return false;  // never happens: positions only grow between seeks
    while (i >= bufferStart_ + std::int64_t(buffer_.size() / 2)) {
      if (ended_) return false;
      // Keep the frame before `i` for interpolation, drop the rest.
      const std::int64_t keepFrom = std::max(bufferStart_, i - 1);
      buffer_.erase(buffer_.begin(), buffer_.begin() + 2 * (keepFrom - bufferStart_));
      bufferStart_ = keepFrom;
      const size_t have = buffer_.size();
      buffer_.resize(have + 2 * kChunk);
      const std::int64_t got = readSource(buffer_.data() + have, kChunk);
      buffer_.resize(have + size_t(2 * std::max<std::int64_t>(0, got)));
      if (got <= 0) ended_ = true;
    }
    return true;
  }

  static constexpr std::int64_t kChunk = 4096;
  long rate_;
  std::int64_t sourceFrames_;
  std::int64_t position_ = 0;
  std::vector<std::int16_t> buffer_;
  std::int64_t bufferStart_ = 0;
  bool ended_ = false;
};

// Keeps the first two channels, or doubles a single one.
void toStereo(const std::int16_t* in, int channels, std::int64_t frames, std::int16_t* out) {
  for (std::int64_t i = 0; i < frames; ++i) {
    out[2 * i] = in[i * channels];
    out[2 * i + 1] = in[i * channels + (channels > 1 ? 1 : 0)];
  }
}

class SndFileSource : public Resampling {
 public:
  SndFileSource(SNDFILE* file, const SF_INFO& info)
      : Resampling(info.samplerate, info.frames), file_(file), info_(info) {}
  ~SndFileSource() override { sf_close(file_); }

 protected:
  std::int64_t readSource(std::int16_t* out, std::int64_t count) override {
    scratch_.resize(size_t(count * info_.channels));
    const sf_count_t got = sf_readf_short(file_, scratch_.data(), count);
    if (got > 0) toStereo(scratch_.data(), info_.channels, got, out);
    return got;
  }
  bool seekSource(std::int64_t frame) override { return sf_seek(file_, frame, SEEK_SET) >= 0; }

 private:
  SNDFILE* file_;
  SF_INFO info_;
  std::vector<std::int16_t> scratch_;
};

class Mpg123Source : public Resampling {
 public:
  // Owns the handle and the descriptor it reads.
  Mpg123Source(mpg123_handle* handle, int fd, long rate, std::int64_t frames)
      : Resampling(rate, frames), handle_(handle), fd_(fd) {}
  ~Mpg123Source() override {
    mpg123_delete(handle_);
    ::close(fd_);
  }

 protected:
  std::int64_t readSource(std::int16_t* out, std::int64_t count) override {
    size_t done = 0;
    for (int attempt = 0; attempt < 8 && done == 0; ++attempt) {
      const int result = mpg123_read(handle_, reinterpret_cast<unsigned char*>(out), size_t(count) * 4, &done);
      if (result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEW_FORMAT)) break;
    }
    return std::int64_t(done / 4);
  }
  bool seekSource(std::int64_t frame) override { return mpg123_seek(handle_, off_t(frame), SEEK_SET) >= 0; }

 private:
  mpg123_handle* handle_;
  int fd_;
};

// Headerless 44.1 kHz stereo samples, little-endian unless `swap`.
class RawSource : public PcmSource {
 public:
  RawSource(std::FILE* file, std::int64_t frames, bool swap) : file_(file), frames_(frames), swap_(swap) {}
  ~RawSource() override { std::fclose(file_); }
  std::int64_t frames() const override { return frames_; }
  bool seek(std::int64_t frame) override { return std::fseek(file_, long(frame * 4), SEEK_SET) == 0; }
  std::int64_t read(std::int16_t* out, std::int64_t count) override {
    const auto got = std::int64_t(std::fread(out, 4, size_t(count), file_));
    if (swap_)
      for (std::int64_t i = 0; i < 2 * got; ++i)
        out[i] = std::int16_t(std::uint16_t(out[i]) >> 8 | std::uint16_t(out[i]) << 8);
    return got;
  }

 private:
  std::FILE* file_;
  std::int64_t frames_;
  bool swap_;
};

std::unique_ptr<PcmSource> openSndFile(int fd) {
  SF_INFO info{};
  SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);  // closes fd, also on failure
  if (!file) return nullptr;
  if (info.channels < 1 || info.samplerate < 1000 || info.samplerate > 384000 || info.frames <= 0) {
    sf_close(file);
    return nullptr;
  }
  return std::make_unique<SndFileSource>(file, info);
}

std::unique_ptr<PcmSource> openMpegFile(int fd) {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
  int error = MPG123_OK;
  mpg123_handle* handle = mpg123_new(nullptr, &error);
  if (!handle) {
    ::close(fd);
    return nullptr;
  }
  mpg123_param(handle, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0);
  mpg123_format_none(handle);
  const long* rates = nullptr;
  size_t count = 0;
  mpg123_rates(&rates, &count);
  for (size_t i = 0; i < count; ++i) mpg123_format(handle, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_open_fd(handle, fd) != MPG123_OK || mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK ||
      rate <= 0) {
    mpg123_delete(handle);
    ::close(fd);
    return nullptr;
  }
  const off_t frames = mpg123_length(handle);
  if (frames <= 0) {
    mpg123_delete(handle);
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<Mpg123Source>(handle, fd, rate, std::int64_t(frames));
}

bool isMpegName(const QString& path) {
  static const QStringList kExtensions{QStringLiteral("mp3"), QStringLiteral("mp2"), QStringLiteral("mp1"),
                                       QStringLiteral("mpga")};
  return kExtensions.contains(QFileInfo(path).suffix().toLower());
}

}  // namespace

std::unique_ptr<PcmSource> openAudioFile(const QString& path, AudioFileKind kind) {
  // Only a regular file within the audio limit: a device or a pipe would be read for ever.
  const int fd = openRegularFile(QFile::encodeName(path).constData(), kMaxAudioFileBytes);
  if (fd < 0) return nullptr;
  if (kind != AudioFileKind::Any) {
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
      ::close(fd);
      return nullptr;
    }
    std::fseek(file, 0, SEEK_END);
    const long bytes = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (bytes < 4) {
      std::fclose(file);
      return nullptr;
    }
    return std::make_unique<RawSource>(file, bytes / 4, kind == AudioFileKind::RawBig);
  }
  // libmpg123 finds frames in almost any bytes, so only files named as MPEG audio go to it.
  if (isMpegName(path)) return openMpegFile(fd);
  return openSndFile(fd);
}

}  // namespace vardel::platform::cd

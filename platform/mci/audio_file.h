// Audio files decoded as CD audio: 44.1 kHz stereo signed 16-bit frames, whatever the file holds.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace vardel::platform::cd {

// One decoded file. Positions and lengths are in frames at 44.1 kHz.
class PcmSource {
 public:
  virtual ~PcmSource() = default;
  // The length, exact or (for MP3 files without an Info tag) estimated.
  virtual std::int64_t frames() const = 0;
  virtual bool seek(std::int64_t frame) = 0;
  // Reads up to `count` frames (2 samples each) into `out`; fewer at the end or on a decoding
  // error.
  virtual std::int64_t read(std::int16_t* out, std::int64_t count) = 0;
};

enum class AudioFileKind {
  Any,        // WAV, FLAC, Ogg, AIFF, ... through libsndfile; MP3 through libmpg123
  RawLittle,  // headerless CD audio, as in a BIN file
  RawBig,     // the same with the bytes of each sample swapped
};

// Null when the file cannot be opened or holds no audio.
std::unique_ptr<PcmSource> openAudioFile(const QString& path, AudioFileKind kind = AudioFileKind::Any);

}  // namespace vardel::platform::cd

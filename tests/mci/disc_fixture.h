// Generated discs for the CD tests: tones as WAV tracks in a folder, as a BIN with its cue
// sheet, and a media control device opened on them.
#pragma once

#include "platform/mci/mci.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <vector>

namespace vardel::test {

// Interleaved stereo samples of a sine tone.
inline std::vector<std::int16_t> tone(double seconds, double hertz, int rate = 44100, int channels = 2) {
  std::vector<std::int16_t> out(size_t(seconds * rate) * size_t(channels));
  for (size_t i = 0; i < out.size() / size_t(channels); ++i)
    for (int c = 0; c < channels; ++c)
      out[i * size_t(channels) + size_t(c)] = std::int16_t(9000 * std::sin(2 * M_PI * hertz * double(i) / rate));
  return out;
}

inline QByteArray wavBytes(const std::vector<std::int16_t>& samples, int rate = 44100, int channels = 2) {
  QByteArray b;
  const auto u32 = [&](std::uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [&](std::uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
  const auto data = std::uint32_t(samples.size() * 2);
  b.append("RIFF");
  u32(36 + data);
  b.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(std::uint16_t(channels));
  u32(std::uint32_t(rate));
  u32(std::uint32_t(rate * channels * 2));
  u16(std::uint16_t(channels * 2));
  u16(16);
  b.append("data");
  u32(data);
  b.append(reinterpret_cast<const char*>(samples.data()), qsizetype(data));
  return b;
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

// The three tracks every test disc holds: 2 s at 440 Hz, 3 s at 660 Hz, 1.5 s at 880 Hz.
// In sectors (1/75 s): 150, 225 and 113 (the last one padded up), 488 in all.
inline std::vector<std::vector<std::int16_t>> threeTones() { return {tone(2, 440), tone(3, 660), tone(1.5, 880)}; }

// Writes the three tracks as 01.wav, 02.wav and 03.wav into `folder`.
inline void writeTrackFolder(const QString& folder) {
  const auto tracks = threeTones();
  for (size_t i = 0; i < tracks.size(); ++i)
    writeBytes(folder + QStringLiteral("/0%1.wav").arg(i + 1), wavBytes(tracks[i]));
}

// Writes disc.bin (each track padded to whole sectors) with disc.cue beside it; `cueFile`
// and `fileType` replace what the sheet names. Returns the BIN's bytes.
inline QByteArray writeBinCue(const QString& folder, const QString& cueName = QStringLiteral("disc.cue"),
                              const QByteArray& fileLine = "FILE \"disc.bin\" BINARY") {
  QByteArray bin;
  QByteArray cue = fileLine + "\r\n";
  int track = 1;
  for (const auto& t : threeTones()) {
    const int sector = int(bin.size() / 2352);
    cue += QStringLiteral("  TRACK %1 AUDIO\r\n    INDEX 01 %2:%3:%4\r\n")
               .arg(track++, 2, 10, QLatin1Char('0'))
               .arg(sector / 4500, 2, 10, QLatin1Char('0'))
               .arg(sector / 75 % 60, 2, 10, QLatin1Char('0'))
               .arg(sector % 75, 2, 10, QLatin1Char('0'))
               .toLatin1();
    bin.append(reinterpret_cast<const char*>(t.data()), qsizetype(t.size() * 2));
    bin.append(QByteArray((2352 - bin.size() % 2352) % 2352, '\0'));
  }
  writeBytes(folder + QStringLiteral("/disc.bin"), bin);
  writeBytes(folder + QLatin1Char('/') + cueName, cue);
  return bin;
}

// One status value of `device`; `error` receives the result.
inline std::uintptr_t mciStatus(platform::MCIDEVICEID device, std::uint32_t item, int track = 0,
                                platform::MCIERROR* error = nullptr) {
  platform::MCI_STATUS_PARMS p;
  p.dwItem = item;
  p.dwTrack = std::uint32_t(track);
  const std::uint32_t flags = platform::MCI_STATUS_ITEM | (track ? platform::MCI_TRACK : 0);
  const platform::MCIERROR result = platform::mciSendCommand(device, platform::MCI_STATUS, flags, &p);
  if (error) *error = result;
  return p.dwReturn;
}

// Opens the CD audio device on `source` (VARDEL_CD_DEVICE) in TMSF, sound through the dummy
// driver unless `audible` or the environment forces another; closes it when done.
class CdDevice {
 public:
  explicit CdDevice(const QString& source, bool audible = false) {
    qputenv("VARDEL_CD_DEVICE", QFile::encodeName(source));
    if (!audible && qEnvironmentVariableIsEmpty("VARDEL_AUDIO_DRIVER")) qputenv("VARDEL_AUDIO_DRIVER", "dummy");
    platform::MCI_OPEN_PARMS open;
    open.lpstrDeviceType = "CDAudio";
    result = platform::mciSendCommand(0, platform::MCI_OPEN, platform::MCI_OPEN_TYPE, &open);
    id = open.wDeviceID;
    platform::MCI_SET_PARMS set;
    set.dwTimeFormat = platform::MCI_FORMAT_TMSF;
    if (result == 0) platform::mciSendCommand(id, platform::MCI_SET, platform::MCI_SET_TIME_FORMAT, &set);
  }
  ~CdDevice() {
    if (result == 0) platform::mciSendCommand(id, platform::MCI_CLOSE, 0, nullptr);
    qunsetenv("VARDEL_CD_DEVICE");
  }
  std::uintptr_t status(std::uint32_t item, int track = 0, platform::MCIERROR* error = nullptr) const {
    return mciStatus(id, item, track, error);
  }
  platform::MCIERROR send(unsigned command, std::uint32_t flags = 0, void* block = nullptr) const {
    return platform::mciSendCommand(id, command, flags, block);
  }
  platform::MCIERROR playFrom(int track) const {
    platform::MCI_PLAY_PARMS p;
    p.dwFrom = platform::MCI_MAKE_TMSF(unsigned(track), 0, 0, 0);
    return send(platform::MCI_PLAY, platform::MCI_FROM, &p);
  }

  platform::MCIERROR result = 0;
  platform::MCIDEVICEID id = 0;
};

}  // namespace vardel::test

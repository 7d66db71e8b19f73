// The CD drive behind the media control interface: discs, their audio, and the drive's door.
#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace vardel::platform::cd {

// A sector of CD audio holds 1/75 s: 588 stereo frames of signed 16-bit samples, 2352 bytes.
constexpr int kSectorsPerSecond = 75;
constexpr int kFramesPerSector = 588;
constexpr int kSectorBytes = 2352;
constexpr int kSampleRate = 44100;
// Sector addresses are counted from the start of the first track; a disc address (MSF) is
// two seconds further on.
constexpr std::int32_t kAddressOffset = 150;
// A disc carries at most 99 tracks.
constexpr int kMaxTracks = 99;

struct Track {
  int number = 0;
  std::int32_t start = 0;   // first sector
  std::int32_t length = 0;  // sectors
  bool audio = true;
  std::int32_t end() const { return start + length; }
};

// The table of contents: tracks in order, numbered from 1, without gaps between them.
struct Toc {
  std::vector<Track> tracks;
  std::int32_t start() const { return tracks.empty() ? 0 : tracks.front().start; }
  std::int32_t end() const { return tracks.empty() ? 0 : tracks.back().end(); }
  // The track holding `sector` (the last one past the end), or null without tracks.
  const Track* trackAt(std::int32_t sector) const;
  const Track* track(int number) const;
};

// Reads a disc's audio for one thread. Sectors that cannot be read come back as silence.
class SectorReader {
 public:
  virtual ~SectorReader() = default;
  // Fills `out` with `count` sectors (count * 588 * 2 samples) from `sector` on; false when
  // any of them could not be read (those are zero).
  virtual bool read(std::int32_t sector, int count, std::int16_t* out) = 0;
};

// A disc in a drive: fixed once read.
class Disc {
 public:
  virtual ~Disc() = default;
  virtual const Toc& toc() const = 0;
  // A reader for the playing thread; null when the disc cannot be read any more.
  virtual std::unique_ptr<SectorReader> reader() const = 0;
};

enum class DriveState { Open, NotReady, Ready };

// A drive, asked from the user-interface thread only. Requests return at once.
class Drive {
 public:
  virtual ~Drive() = default;
  // The state now (a drive may read a newly inserted disc on the way).
  virtual DriveState state() = 0;
  // The disc while the state is Ready (a new object for every disc inserted), else null.
  virtual std::shared_ptr<const Disc> disc() = 0;
  // False when the drive cannot do it.
  virtual bool openDoor() = 0;
  virtual bool closeDoor() = 0;
};

// The drive that `source` names: a CD device, a cue sheet, a folder of tracks, or (empty) the
// system's default drive. Null when there is no such drive.
std::unique_ptr<Drive> openDrive(const QString& source);

// A drive with an emulated door over a disc image or a folder of tracks, read again each time
// the door closes. Closing keeps the drive not ready for `spinUp`, as a drive that spins up.
std::unique_ptr<Drive> openVirtualDrive(const QString& source,
                                        std::chrono::milliseconds spinUp = std::chrono::milliseconds(1000));

// A real drive (a device node) or, for tests, any source libcdio opens as a disc: a cue sheet
// is then a drive whose door never opens. Audio is read digitally with error correction.
std::unique_ptr<Drive> openCdromDrive(const QString& device);

// Discs: a drive or an image that libcdio reads, its audio extracted with error correction
// when `correct` (as a real drive needs); a cue sheet with audio files; a folder of audio
// tracks. Null when nothing can be read as a disc.
std::shared_ptr<const Disc> openCdioDisc(const QString& source, bool correct);
std::shared_ptr<const Disc> openCueSheetDisc(const QString& cueSheet);
std::shared_ptr<const Disc> openFolderDisc(const QString& folder);
// Whichever of those fits a path that is not a device.
std::shared_ptr<const Disc> openDiscImage(const QString& path);

}  // namespace vardel::platform::cd

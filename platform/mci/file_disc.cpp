// Discs made of audio files: a folder of tracks, or a cue sheet over audio or raw files.
#include "platform/file_limits.h"
#include "platform/mci/audio_file.h"
#include "platform/mci/cue_sheet.h"
#include "platform/mci/drive.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include <unistd.h>

namespace vardel::platform::cd {

const Track* Toc::trackAt(std::int32_t sector) const {
  if (tracks.empty()) return nullptr;
  for (const Track& t : tracks)
    if (sector < t.end()) return &t;
  return &tracks.back();
}

const Track* Toc::track(int number) const {
  for (const Track& t : tracks)
    if (t.number == number) return &t;
  return nullptr;
}

namespace {

// Where a track's audio lies: a file, and the frame of that file where the track starts.
struct TrackFile {
  QString path;
  AudioFileKind kind = AudioFileKind::Any;
  std::int64_t firstFrame = 0;
};

class FileDisc : public Disc {
 public:
  FileDisc(Toc toc, std::vector<TrackFile> files) : toc_(std::move(toc)), files_(std::move(files)) {}
  const Toc& toc() const override { return toc_; }
  std::unique_ptr<SectorReader> reader() const override;

  const std::vector<TrackFile>& files() const { return files_; }

 private:
  Toc toc_;
  std::vector<TrackFile> files_;  // one per track
};

// Keeps the file being played open and decodes on from where the last read ended.
class FileReader : public SectorReader {
 public:
  explicit FileReader(const FileDisc& disc) : disc_(disc) {}

  bool read(std::int32_t sector, int count, std::int16_t* out) override {
    bool ok = true;
    std::memset(out, 0, size_t(count) * kSectorBytes);
    for (int i = 0; i < count;) {
      const Track* track = disc_.toc().trackAt(sector + i);
      if (!track || sector + i >= track->end() || sector + i < track->start) return false;
      const int run = std::min(count - i, track->end() - (sector + i));
      if (track->audio) ok = readTrack(*track, sector + i, run, out + std::ptrdiff_t(i) * kFramesPerSector * 2) && ok;
      i += run;
    }
    return ok;
  }

 private:
  bool readTrack(const Track& track, std::int32_t sector, int count, std::int16_t* out) {
    const TrackFile& file = disc_.files()[size_t(&track - disc_.toc().tracks.data())];
    if (file.path != openPath_ || file.kind != openKind_) {
      source_ = openAudioFile(file.path, file.kind);
      openPath_ = file.path;
      openKind_ = file.kind;
      next_ = -1;
    }
    if (!source_) return false;
    const std::int64_t frame = file.firstFrame + std::int64_t(sector - track.start) * kFramesPerSector;
    if (frame != next_ && !source_->seek(frame)) {
      next_ = -1;
      return false;
    }
    const std::int64_t wanted = std::int64_t(count) * kFramesPerSector;
    const std::int64_t got = source_->read(out, wanted);
    next_ = frame + std::max<std::int64_t>(0, got);
    // A file shorter than its estimated length ends in silence.
    return got == wanted || frame + got >= source_->frames();
  }

  const FileDisc& disc_;
  std::unique_ptr<PcmSource> source_;
  QString openPath_;
  AudioFileKind openKind_ = AudioFileKind::Any;
  std::int64_t next_ = -1;
};

std::unique_ptr<SectorReader> FileDisc::reader() const { return std::make_unique<FileReader>(*this); }

std::int32_t sectorsFor(std::int64_t frames) {
  return std::int32_t((frames + kFramesPerSector - 1) / kFramesPerSector);
}

// A file named by a cue sheet: beside the sheet, matched without regard to case when the exact
// name is not there (sheets written on other systems often differ in case).
QString besideSheet(const QString& sheet, const QString& name) {
  QString relative = name;
  relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const QDir dir = QFileInfo(sheet).absoluteDir();
  const QString exact = QFileInfo(relative).isAbsolute() ? relative : dir.filePath(relative);
  if (QFileInfo::exists(exact)) return exact;
  const QFileInfo wanted(exact);
  for (const QString& entry : wanted.absoluteDir().entryList(QDir::Files))
    if (entry.compare(wanted.fileName(), Qt::CaseInsensitive) == 0) return wanted.absoluteDir().filePath(entry);
  return exact;
}

// Only a regular file within the cue sheet limit: a pipe or a device would be read for ever.
std::optional<CueSheet> readCueSheet(const QString& cueSheet) {
  const int fd = openRegularFile(QFile::encodeName(cueSheet).constData(), kMaxCueSheetBytes);
  if (fd < 0) return std::nullopt;
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return std::nullopt;
  }
  return parseCueSheet(file.read(kMaxCueSheetBytes));
}

}  // namespace

std::shared_ptr<const Disc> openCueSheetDisc(const QString& cueSheet) {
  const std::optional<CueSheet> sheet = readCueSheet(cueSheet);
  if (!sheet) return nullptr;
  Toc toc;
  std::vector<TrackFile> files;
  std::int32_t at = 0;
  for (const CueFile& f : sheet->files) {
    if (f.tracks.empty()) continue;
    const QString path = besideSheet(cueSheet, f.name);
    const AudioFileKind kind = f.type == CueFile::Type::Audio      ? AudioFileKind::Any
                               : f.type == CueFile::Type::Motorola ? AudioFileKind::RawBig
                                                                   : AudioFileKind::RawLittle;
    const std::unique_ptr<PcmSource> source = openAudioFile(path, kind);
    if (!source) return nullptr;  // a missing or unreadable file: no disc to read
    // Byte offsets only matter in binary files, where data tracks may take other sector sizes.
    const bool binary = kind != AudioFileKind::Any;
    const std::int64_t fileBytes = source->frames() * 4;
    std::int64_t offset = std::int64_t(f.tracks.front().index1) * f.tracks.front().sectorBytes;
    for (size_t i = 0; i < f.tracks.size(); ++i) {
      const CueTrack& t = f.tracks[i];
      std::int32_t length = 0;
      if (i + 1 < f.tracks.size()) {
        length = f.tracks[i + 1].index1 - t.index1;
      } else if (binary) {
        length = std::int32_t((fileBytes - offset) / t.sectorBytes);
      } else {
        length = sectorsFor(source->frames() - std::int64_t(t.index1) * kFramesPerSector);
      }
      if (length <= 0 || int(toc.tracks.size()) >= kMaxTracks) return nullptr;
      toc.tracks.push_back(Track{int(toc.tracks.size()) + 1, at, length, t.audio});
      files.push_back(TrackFile{path, kind, binary ? offset / 4 : std::int64_t(t.index1) * kFramesPerSector});
      at += length;
      offset += std::int64_t(length) * t.sectorBytes;
    }
  }
  return std::make_shared<FileDisc>(std::move(toc), std::move(files));
}

std::shared_ptr<const Disc> openFolderDisc(const QString& folder) {
  QStringList names = QDir(folder).entryList(QDir::Files | QDir::Readable);
  QCollator order;
  order.setNumericMode(true);
  order.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(names.begin(), names.end(), order);
  Toc toc;
  std::vector<TrackFile> files;
  std::int32_t at = 0;
  for (const QString& name : names) {
    if (int(toc.tracks.size()) >= kMaxTracks) break;
    const QString path = QDir(folder).filePath(name);
    const std::unique_ptr<PcmSource> source = openAudioFile(path);
    if (!source) continue;  // not audio: not a track
    const std::int32_t length = sectorsFor(source->frames());
    toc.tracks.push_back(Track{int(toc.tracks.size()) + 1, at, length, true});
    files.push_back(TrackFile{path, AudioFileKind::Any, 0});
    at += length;
  }
  if (toc.tracks.empty()) return nullptr;
  return std::make_shared<FileDisc>(std::move(toc), std::move(files));
}

std::shared_ptr<const Disc> openDiscImage(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir()) return openFolderDisc(path);
  if (checkRegularFile(QFile::encodeName(path).constData(), kMaxAudioFileBytes) != FileRefusal::None) return nullptr;
  // libcdio opens the files a cue sheet names without looking at what they are: a sheet goes
  // to it only when each is a regular file within the audio limit.
  if (const std::optional<CueSheet> sheet = readCueSheet(path)) {
    for (const CueFile& f : sheet->files) {
      const QByteArray name = QFile::encodeName(besideSheet(path, f.name));
      if (checkRegularFile(name.constData(), kMaxAudioFileBytes) != FileRefusal::None) return nullptr;
    }
  }
  if (auto disc = openCdioDisc(path, false)) return disc;
  return openCueSheetDisc(path);
}

}  // namespace vardel::platform::cd

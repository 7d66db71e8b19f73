// Discs read through libcdio: disc images (BIN/CUE, cdrdao, Nero) and real drives, whose
// audio is extracted with libcdio-paranoia's error correction.
#include "platform/mci/drive.h"

#include <QFile>

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstring>
#include <mutex>

namespace vardel::platform::cd {
namespace {

void quietLibcdio() {
  static std::once_flag once;
  // libcdio reports every unreadable file and absent drive on standard error.
  std::call_once(once, [] { cdio_loglevel_default = CDIO_LOG_ASSERT; });
}

// Read speed of a real drive while playing, in multiples of real time.
constexpr int kReadSpeed = 4;

struct CdioCloser {
  void operator()(CdIo_t* p) const { cdio_destroy(p); }
};
using CdioHandle = std::unique_ptr<CdIo_t, CdioCloser>;

// libcdio finds the driver itself: an image driver for a file, the system's for a device.
CdioHandle openHandle(const QByteArray& source) {
  quietLibcdio();
  return CdioHandle(cdio_open(source.constData(), DRIVER_UNKNOWN));
}

// Plain reads: images, where there is nothing to correct.
class ImageReader : public SectorReader {
 public:
  explicit ImageReader(CdioHandle handle) : handle_(std::move(handle)) {}
  bool read(std::int32_t sector, int count, std::int16_t* out) override {
    if (cdio_read_audio_sectors(handle_.get(), out, sector, unsigned(count)) == DRIVER_OP_SUCCESS) return true;
    // Sector by sector, so one bad sector costs only itself.
    bool ok = true;
    for (int i = 0; i < count; ++i) {
      std::int16_t* at = out + std::ptrdiff_t(i) * kFramesPerSector * 2;
      if (cdio_read_audio_sector(handle_.get(), at, sector + i) != DRIVER_OP_SUCCESS) {
        std::memset(at, 0, kSectorBytes);
        ok = false;
      }
    }
    return ok;
  }

 private:
  CdioHandle handle_;
};

// Digital extraction with overlap checking and jitter correction; a sector that cannot be
// read after the correction gives up is skipped rather than retried forever.
class ParanoiaReader : public SectorReader {
 public:
  ParanoiaReader(CdioHandle handle, cdrom_drive_t* drive, cdrom_paranoia_t* paranoia)
      : handle_(std::move(handle)), drive_(drive), paranoia_(paranoia) {}
  ~ParanoiaReader() override {
    cdio_paranoia_free(paranoia_);
    cdio_cddap_close_no_free_cdio(drive_);
  }

  bool read(std::int32_t sector, int count, std::int16_t* out) override {
    if (sector != next_) cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
    bool ok = true;
    for (int i = 0; i < count; ++i) {
      std::int16_t* at = out + std::ptrdiff_t(i) * kFramesPerSector * 2;
      const std::int16_t* data = cdio_paranoia_read_limited(paranoia_, nullptr, 3);
      if (data) {
        std::memcpy(at, data, kSectorBytes);
      } else {
        std::memset(at, 0, kSectorBytes);
        ok = false;
      }
    }
    next_ = sector + count;
    return ok;
  }

 private:
  CdioHandle handle_;
  cdrom_drive_t* drive_;
  cdrom_paranoia_t* paranoia_;
  std::int32_t next_ = -1;
};

class CdioDisc : public Disc {
 public:
  CdioDisc(QByteArray source, bool correct, Toc toc)
      : source_(std::move(source)), correct_(correct), toc_(std::move(toc)) {}
  const Toc& toc() const override { return toc_; }

  std::unique_ptr<SectorReader> reader() const override {
    CdioHandle handle = openHandle(source_);
    if (!handle) return nullptr;
    if (!correct_) return std::make_unique<ImageReader>(std::move(handle));
    cdrom_drive_t* drive = cdio_cddap_identify_cdio(handle.get(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (!drive) return std::make_unique<ImageReader>(std::move(handle));
    if (cdio_cddap_open(drive) != 0) {
      cdio_cddap_close_no_free_cdio(drive);
      return std::make_unique<ImageReader>(std::move(handle));
    }
    // Playing needs only real time: a slow, quiet spin (drives that cannot be slowed refuse).
    cdio_cddap_speed_set(drive, kReadSpeed);
    cdrom_paranoia_t* paranoia = cdio_paranoia_init(drive);
    cdio_paranoia_modeset(paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    return std::make_unique<ParanoiaReader>(std::move(handle), drive, paranoia);
  }

 private:
  QByteArray source_;
  bool correct_;
  Toc toc_;
};

}  // namespace

std::shared_ptr<const Disc> openCdioDisc(const QString& source, bool correct) {
  const QByteArray name = QFile::encodeName(source);
  const CdioHandle handle = openHandle(name);
  if (!handle) return nullptr;
  const track_t first = cdio_get_first_track_num(handle.get());
  const track_t count = cdio_get_num_tracks(handle.get());
  if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return nullptr;
  Toc toc;
  for (track_t i = 0; i < count && i < kMaxTracks; ++i) {
    const track_t number = track_t(first + i);
    const lsn_t start = cdio_get_track_lsn(handle.get(), number);
    const track_t next = i + 1 == count ? track_t(CDIO_CDROM_LEADOUT_TRACK) : track_t(number + 1);
    const lsn_t end = cdio_get_track_lsn(handle.get(), next);
    if (start == CDIO_INVALID_LSN || end == CDIO_INVALID_LSN || end <= start) return nullptr;
    // Tracks are numbered from 1 as the media control interface counts them.
    toc.tracks.push_back(
        Track{int(i) + 1, start, end - start, cdio_get_track_format(handle.get(), number) == TRACK_FORMAT_AUDIO});
  }
  return std::make_shared<CdioDisc>(name, correct, std::move(toc));
}

}  // namespace vardel::platform::cd

// The drives: a virtual one with an emulated door, a real one through the system, and the
// choice between them.
#include "platform/mci/drive.h"

#include <QFile>
#include <QFileInfo>

#include <cdio/cdio.h>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>

namespace vardel::platform::cd {
namespace {

using Clock = std::chrono::steady_clock;

class VirtualDrive : public Drive {
 public:
  VirtualDrive(QString source, std::chrono::milliseconds spinUp) : source_(std::move(source)), spinUp_(spinUp) {}

  DriveState state() override {
    if (open_) return DriveState::Open;
    if (spinning_) {
      if (Clock::now() < readyAt_) return DriveState::NotReady;
      spinning_ = false;
      disc_ = openDiscImage(source_);  // read again: the files may have changed meanwhile
    }
    return disc_ ? DriveState::Ready : DriveState::NotReady;
  }
  std::shared_ptr<const Disc> disc() override { return state() == DriveState::Ready ? disc_ : nullptr; }
  bool openDoor() override {
    open_ = true;
    spinning_ = false;
    disc_.reset();
    return true;
  }
  bool closeDoor() override {
    if (!open_) return true;
    open_ = false;
    spinning_ = true;
    readyAt_ = Clock::now() + spinUp_;
    return true;
  }

 private:
  QString source_;
  std::chrono::milliseconds spinUp_;
  bool open_ = false;
  bool spinning_ = true;  // the disc is read at the first question
  Clock::time_point readyAt_{};
  std::shared_ptr<const Disc> disc_;
};

// A drive of the system. Its state comes from the drive itself (a descriptor opened without
// waiting for a disc); a disc is read when the drive reports one it has not read yet. Any
// other source libcdio opens is a drive that always holds that disc and cannot open its door.
class CdromDrive : public Drive {
 public:
  explicit CdromDrive(QString device) : device_(std::move(device)) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(device_);
    if (::stat(name.constData(), &st) == 0 && S_ISBLK(st.st_mode))
      fd_ = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
  }
  ~CdromDrive() override {
    if (fd_ >= 0) ::close(fd_);
  }

  DriveState state() override {
    if (fd_ < 0) {
      if (!disc_ && !tried_) disc_ = openCdioDisc(device_, true);
      tried_ = true;
      return disc_ ? DriveState::Ready : DriveState::NotReady;
    }
    const int status = ::ioctl(fd_, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    if (status != CDS_DISC_OK) {
      disc_.reset();
      tried_ = false;
      return status == CDS_TRAY_OPEN ? DriveState::Open : DriveState::NotReady;
    }
    // A disc changed while the tray stayed shut (a changer, or a very quick swap).
    if (disc_ && ::ioctl(fd_, CDROM_MEDIA_CHANGED, CDSL_CURRENT) > 0) {
      disc_.reset();
      tried_ = false;
    }
    if (!disc_ && !tried_) {
      disc_ = openCdioDisc(device_, true);
      tried_ = true;  // a blank or unreadable disc is not read again until it is changed
    }
    return disc_ ? DriveState::Ready : DriveState::NotReady;
  }
  std::shared_ptr<const Disc> disc() override { return state() == DriveState::Ready ? disc_ : nullptr; }

  bool openDoor() override {
    // An image has no door (and libcdio's image drivers free their data when asked to eject).
    if (fd_ < 0) return false;
    const QByteArray name = QFile::encodeName(device_);
    disc_.reset();
    ::ioctl(fd_, CDROM_LOCKDOOR, 0);
    return ::ioctl(fd_, CDROMEJECT, 0) == 0 || cdio_eject_media_drive(name.constData()) == DRIVER_OP_SUCCESS;
  }
  bool closeDoor() override {
    if (fd_ < 0) return false;
    if (::ioctl(fd_, CDROMCLOSETRAY, 0) == 0) return true;
    driver_id_t driver = DRIVER_UNKNOWN;
    return cdio_close_tray(QFile::encodeName(device_).constData(), &driver) == DRIVER_OP_SUCCESS;
  }

 private:
  QString device_;
  int fd_ = -1;
  bool tried_ = false;
  std::shared_ptr<const Disc> disc_;
};

}  // namespace

std::unique_ptr<Drive> openVirtualDrive(const QString& source, std::chrono::milliseconds spinUp) {
  return std::make_unique<VirtualDrive>(source, spinUp);
}

std::unique_ptr<Drive> openCdromDrive(const QString& device) { return std::make_unique<CdromDrive>(device); }

std::unique_ptr<Drive> openDrive(const QString& source) {
  QString path = source;
  if (path.isEmpty()) {
    char* device = cdio_get_default_device(nullptr);
    if (!device) return nullptr;
    path = QFile::decodeName(device);
    std::free(device);
  }
  const QFileInfo info(path);
  if (!info.exists()) return nullptr;
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISBLK(st.st_mode)) return openCdromDrive(path);
  return openVirtualDrive(path);
}

}  // namespace vardel::platform::cd

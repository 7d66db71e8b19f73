// The CD audio device of the media control interface: the device table, time formats and the
// commands, over one drive shared by every device opened on it.
#include "platform/mci/mci.h"

#include "platform/mci/drive.h"
#include "platform/mci/player.h"

#include <QFile>

#include <strings.h>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

namespace vardel::platform {
namespace {

using cd::DriveState;
using cd::kAddressOffset;
using cd::kSectorsPerSecond;
using cd::Toc;
using cd::Track;

// The drive, the disc in it as last seen, and its playing.
struct Unit {
  std::unique_ptr<cd::Drive> drive;
  cd::Player player;
  std::shared_ptr<const cd::Disc> disc;
  std::int32_t position = 0;  // where play starts from while not playing
  bool playing = false;       // as last seen

  // Brings what the device knows up to date with the drive.
  DriveState refresh() {
    const DriveState state = drive->state();
    std::shared_ptr<const cd::Disc> now = state == DriveState::Ready ? drive->disc() : nullptr;
    if (now != disc) {
      player.stop();
      playing = false;
      disc = std::move(now);
      position = disc ? disc->toc().start() : 0;
    }
    if (playing && !player.playing()) {  // the end of the range: back to the start of the disc
      playing = false;
      position = disc->toc().start();
    }
    return state;
  }
  std::int32_t where() const { return playing ? player.position() : position; }
  void stop() {
    if (playing) position = player.position();
    player.stop();
    playing = false;
  }
};

struct Device {
  std::uint32_t timeFormat = MCI_FORMAT_MSF;
};

struct Table {
  std::mutex mutex;
  std::unique_ptr<Unit> unit;
  std::map<MCIDEVICEID, Device> devices;
  MCIDEVICEID next = 1;
};

Table& table() {
  static Table t;
  return t;
}

// Minutes that do not fit a byte are held at the largest time a byte can say.
std::uint32_t msf(std::int64_t sectors) {
  if (sectors < 0) sectors = 0;
  const std::int64_t minutes = sectors / (60 * kSectorsPerSecond);
  if (minutes > 255) return MCI_MAKE_MSF(255, 59, 74);
  return MCI_MAKE_MSF(unsigned(minutes), unsigned(sectors / kSectorsPerSecond % 60),
                      unsigned(sectors % kSectorsPerSecond));
}

std::uint32_t length(std::int32_t sectors, std::uint32_t format) {
  if (format == MCI_FORMAT_MILLISECONDS) return std::uint32_t(std::int64_t(sectors) * 1000 / kSectorsPerSecond);
  return msf(sectors);
}

std::uint32_t position(const Toc& toc, std::int32_t sector, std::uint32_t format) {
  if (format == MCI_FORMAT_MILLISECONDS)
    return std::uint32_t(std::int64_t(sector + kAddressOffset) * 1000 / kSectorsPerSecond);
  if (format == MCI_FORMAT_MSF) return msf(sector + kAddressOffset);
  const Track* track = toc.trackAt(sector);
  const std::uint32_t within = msf(sector - track->start);
  return std::uint32_t(track->number & 0xFF) | within << 8;
}

// A point given in the time format, as a sector; false when it is off the disc.
bool point(const Toc& toc, std::uint32_t value, std::uint32_t format, std::int32_t& sector) {
  std::int64_t s = 0;
  if (format == MCI_FORMAT_MILLISECONDS) {
    s = std::int64_t(value) * kSectorsPerSecond / 1000 - kAddressOffset;
  } else if (format == MCI_FORMAT_MSF) {
    s = (MCI_MSF_MINUTE(value) * 60 + MCI_MSF_SECOND(value)) * std::int64_t(kSectorsPerSecond) + MCI_MSF_FRAME(value) -
        kAddressOffset;
  } else {
    const Track* track = toc.track(int(MCI_TMSF_TRACK(value)));
    if (!track) return false;
    s = track->start + (MCI_TMSF_MINUTE(value) * 60 + MCI_TMSF_SECOND(value)) * std::int64_t(kSectorsPerSecond) +
        MCI_TMSF_FRAME(value);
  }
  if (s < toc.start() || s > toc.end()) return false;
  sector = std::int32_t(s);
  return true;
}

MCIERROR open(Table& t, std::uint32_t flags, MCI_OPEN_PARMS* p) {
  if (!p) return MCIERR_NULL_PARAMETER_BLOCK;
  if (flags & MCI_OPEN_TYPE_ID) {
    if ((reinterpret_cast<std::uintptr_t>(p->lpstrDeviceType) & 0xFFFF) != MCI_DEVTYPE_CD_AUDIO)
      return MCIERR_INVALID_DEVICE_NAME;
  } else if (flags & MCI_OPEN_TYPE) {
    if (!p->lpstrDeviceType || ::strcasecmp(p->lpstrDeviceType, "cdaudio") != 0) return MCIERR_INVALID_DEVICE_NAME;
  } else {
    return MCIERR_MISSING_PARAMETER;
  }
  if (!t.unit) {
    const char* source = std::getenv("VARDEL_CD_DEVICE");
    std::unique_ptr<cd::Drive> drive = cd::openDrive(source ? QFile::decodeName(source) : QString());
    if (!drive) return MCIERR_DEVICE_NOT_INSTALLED;
    t.unit = std::make_unique<Unit>();
    t.unit->drive = std::move(drive);
  }
  t.unit->refresh();
  const MCIDEVICEID id = t.next++;
  t.devices[id] = Device{};
  p->wDeviceID = id;
  return 0;
}

MCIERROR set(Unit& u, Device& d, std::uint32_t flags, MCI_SET_PARMS* p) {
  if ((flags & MCI_SET_DOOR_OPEN) && (flags & MCI_SET_DOOR_CLOSED)) return MCIERR_FLAGS_NOT_COMPATIBLE;
  if (flags & MCI_SET_TIME_FORMAT) {
    if (!p) return MCIERR_NULL_PARAMETER_BLOCK;
    if (p->dwTimeFormat != MCI_FORMAT_MILLISECONDS && p->dwTimeFormat != MCI_FORMAT_MSF &&
        p->dwTimeFormat != MCI_FORMAT_TMSF)
      return MCIERR_BAD_TIME_FORMAT;
    d.timeFormat = p->dwTimeFormat;
  }
  if (flags & MCI_SET_DOOR_OPEN) {
    u.stop();
    const bool done = u.drive->openDoor();
    u.refresh();
    if (!done) return MCIERR_HARDWARE;
  }
  if (flags & MCI_SET_DOOR_CLOSED) {
    const bool done = u.drive->closeDoor();
    u.refresh();
    if (!done) return MCIERR_HARDWARE;
  }
  if (!(flags & (MCI_SET_TIME_FORMAT | MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED))) return MCIERR_MISSING_PARAMETER;
  return 0;
}

MCIERROR status(Unit& u, const Device& d, std::uint32_t flags, MCI_STATUS_PARMS* p) {
  if (!p) return MCIERR_NULL_PARAMETER_BLOCK;
  if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
  const DriveState state = u.refresh();
  switch (p->dwItem) {
    case MCI_STATUS_MODE:
      p->dwReturn = state == DriveState::Open       ? MCI_MODE_OPEN
                    : state == DriveState::NotReady ? MCI_MODE_NOT_READY
                    : u.playing                     ? MCI_MODE_PLAY
                                                    : MCI_MODE_STOP;
      return 0;
    case MCI_STATUS_MEDIA_PRESENT:
    case MCI_STATUS_READY:
      p->dwReturn = state == DriveState::Ready ? 1 : 0;
      return 0;
    case MCI_STATUS_TIME_FORMAT:
      p->dwReturn = d.timeFormat;
      return 0;
    default:
      break;
  }
  if (!u.disc) return MCIERR_DEVICE_NOT_READY;
  const Toc& toc = u.disc->toc();
  const Track* track = nullptr;
  if (flags & MCI_TRACK) {
    track = toc.track(int(p->dwTrack));
    if (!track) return MCIERR_OUTOFRANGE;
  }
  switch (p->dwItem) {
    case MCI_STATUS_NUMBER_OF_TRACKS:
      p->dwReturn = toc.tracks.size();
      return 0;
    case MCI_STATUS_LENGTH:
      p->dwReturn = length(track ? track->length : toc.end() - toc.start(), d.timeFormat);
      return 0;
    case MCI_STATUS_POSITION: {
      const std::int32_t sector = track ? track->start : (flags & MCI_STATUS_START) ? toc.start() : u.where();
      p->dwReturn = position(toc, sector, d.timeFormat);
      return 0;
    }
    case MCI_STATUS_CURRENT_TRACK:
      p->dwReturn = unsigned(toc.trackAt(u.where())->number);
      return 0;
    case MCI_CDA_STATUS_TYPE_TRACK:
      if (!track) return MCIERR_MISSING_PARAMETER;
      p->dwReturn = track->audio ? MCI_CDA_TRACK_AUDIO : MCI_CDA_TRACK_OTHER;
      return 0;
    default:
      return MCIERR_UNSUPPORTED_FUNCTION;
  }
}

MCIERROR play(Unit& u, const Device& d, std::uint32_t flags, MCI_PLAY_PARMS* p) {
  if ((flags & (MCI_FROM | MCI_TO)) && !p) return MCIERR_NULL_PARAMETER_BLOCK;
  if (u.refresh() != DriveState::Ready || !u.disc) return MCIERR_DEVICE_NOT_READY;
  const Toc& toc = u.disc->toc();
  if (u.playing && !(flags & (MCI_FROM | MCI_TO))) return 0;  // goes on playing
  std::int32_t from = u.where();
  std::int32_t to = toc.end();
  if ((flags & MCI_FROM) && !point(toc, p->dwFrom, d.timeFormat, from)) return MCIERR_OUTOFRANGE;
  if ((flags & MCI_TO) && !point(toc, p->dwTo, d.timeFormat, to)) return MCIERR_OUTOFRANGE;
  if (from >= to) return MCIERR_OUTOFRANGE;
  bool audio = false;
  for (const Track& t : toc.tracks) audio = audio || (t.audio && t.end() > from && t.start < to);
  if (!audio) return MCIERR_HARDWARE;  // only data there: a drive cannot play it as sound
  u.player.play(u.disc, from, to);
  u.playing = true;
  return 0;
}

MCIERROR stop(Unit& u) {
  u.refresh();
  u.stop();
  if (u.disc) u.position = u.disc->toc().trackAt(u.position)->start;
  return 0;
}

}  // namespace

MCIERROR mciSendCommand(MCIDEVICEID device, unsigned command, std::uint32_t flags, void* parameters) {
  Table& t = table();
  std::lock_guard lock(t.mutex);
  if (flags & MCI_NOTIFY) return MCIERR_UNSUPPORTED_FUNCTION;
  if (command == MCI_OPEN) return open(t, flags, static_cast<MCI_OPEN_PARMS*>(parameters));
  const auto found = t.devices.find(device);
  if (found == t.devices.end() || !t.unit) return MCIERR_INVALID_DEVICE_ID;
  Unit& u = *t.unit;
  switch (command) {
    case MCI_CLOSE:
      t.devices.erase(found);
      if (t.devices.empty()) t.unit.reset();  // the last one: the drive is let go, silent
      return 0;
    case MCI_SET:
      return set(u, found->second, flags, static_cast<MCI_SET_PARMS*>(parameters));
    case MCI_STATUS:
      return status(u, found->second, flags, static_cast<MCI_STATUS_PARMS*>(parameters));
    case MCI_PLAY:
      return play(u, found->second, flags, static_cast<MCI_PLAY_PARMS*>(parameters));
    case MCI_STOP:
      return stop(u);
    default:
      return MCIERR_UNRECOGNIZED_COMMAND;
  }
}

}  // namespace vardel::platform

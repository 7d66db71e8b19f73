// The media control interface: mciSendCommand with the command, flag and item numbers and the
// parameter blocks of the CD audio device ("CDAudio").
#pragma once

#include <cstdint>

namespace vardel::platform {

using MCIDEVICEID = std::uint32_t;
using MCIERROR = std::uint32_t;

// Commands.
constexpr unsigned MCI_OPEN = 0x0803;
constexpr unsigned MCI_CLOSE = 0x0804;
constexpr unsigned MCI_PLAY = 0x0806;
constexpr unsigned MCI_STOP = 0x0808;
constexpr unsigned MCI_SET = 0x080D;
constexpr unsigned MCI_STATUS = 0x0814;

// Flags common to all commands. Notification is not supported (MCIERR_UNSUPPORTED_FUNCTION);
// MCI_WAIT is accepted and ignored: no request waits for playing to end.
constexpr std::uint32_t MCI_NOTIFY = 0x1;
constexpr std::uint32_t MCI_WAIT = 0x2;
constexpr std::uint32_t MCI_FROM = 0x4;
constexpr std::uint32_t MCI_TO = 0x8;
constexpr std::uint32_t MCI_TRACK = 0x10;

constexpr std::uint32_t MCI_OPEN_SHAREABLE = 0x100;
constexpr std::uint32_t MCI_OPEN_TYPE_ID = 0x1000;
constexpr std::uint32_t MCI_OPEN_TYPE = 0x2000;
constexpr std::uint32_t MCI_DEVTYPE_CD_AUDIO = 516;

constexpr std::uint32_t MCI_SET_DOOR_OPEN = 0x100;
constexpr std::uint32_t MCI_SET_DOOR_CLOSED = 0x200;
constexpr std::uint32_t MCI_SET_TIME_FORMAT = 0x400;

constexpr std::uint32_t MCI_STATUS_ITEM = 0x100;
constexpr std::uint32_t MCI_STATUS_START = 0x200;

// Status items.
constexpr std::uint32_t MCI_STATUS_LENGTH = 1;
constexpr std::uint32_t MCI_STATUS_POSITION = 2;
constexpr std::uint32_t MCI_STATUS_NUMBER_OF_TRACKS = 3;
constexpr std::uint32_t MCI_STATUS_MODE = 4;
constexpr std::uint32_t MCI_STATUS_MEDIA_PRESENT = 5;
constexpr std::uint32_t MCI_STATUS_TIME_FORMAT = 6;
constexpr std::uint32_t MCI_STATUS_READY = 7;
constexpr std::uint32_t MCI_STATUS_CURRENT_TRACK = 8;
constexpr std::uint32_t MCI_CDA_STATUS_TYPE_TRACK = 0x4001;
constexpr std::uint32_t MCI_CDA_TRACK_AUDIO = 1088;
constexpr std::uint32_t MCI_CDA_TRACK_OTHER = 1089;

// Modes.
constexpr std::uint32_t MCI_MODE_NOT_READY = 524;
constexpr std::uint32_t MCI_MODE_STOP = 525;
constexpr std::uint32_t MCI_MODE_PLAY = 526;
constexpr std::uint32_t MCI_MODE_OPEN = 530;

// Time formats: milliseconds from the start of the disc; minutes/seconds/frames (75 frames a
// second) as a disc address, 2 seconds past the disc's start; track/minutes/seconds/frames,
// the time within a track.
constexpr std::uint32_t MCI_FORMAT_MILLISECONDS = 0;
constexpr std::uint32_t MCI_FORMAT_MSF = 2;
constexpr std::uint32_t MCI_FORMAT_TMSF = 10;

// Results (0 is success).
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = 257;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 261;
constexpr MCIERROR MCIERR_HARDWARE = 262;
constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = 263;
constexpr MCIERROR MCIERR_MISSING_PARAMETER = 273;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = 274;
constexpr MCIERROR MCIERR_DEVICE_NOT_READY = 276;
constexpr MCIERROR MCIERR_OUTOFRANGE = 282;
constexpr MCIERROR MCIERR_FLAGS_NOT_COMPATIBLE = 284;
constexpr MCIERROR MCIERR_BAD_TIME_FORMAT = 293;
constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = 297;
constexpr MCIERROR MCIERR_DEVICE_NOT_INSTALLED = 306;

// Parameter blocks. Fields a request does not use are left as the caller set them.
struct MCI_OPEN_PARMS {
  std::uintptr_t dwCallback = 0;
  MCIDEVICEID wDeviceID = 0;              // out: the new device
  const char* lpstrDeviceType = nullptr;  // "CDAudio", or MCI_DEVTYPE_CD_AUDIO with MCI_OPEN_TYPE_ID
  const char* lpstrElementName = nullptr;
  const char* lpstrAlias = nullptr;
};

struct MCI_SET_PARMS {
  std::uintptr_t dwCallback = 0;
  std::uint32_t dwTimeFormat = 0;
  std::uint32_t dwAudio = 0;
};

struct MCI_STATUS_PARMS {
  std::uintptr_t dwCallback = 0;
  std::uintptr_t dwReturn = 0;  // out; left untouched when the request fails
  std::uint32_t dwItem = 0;
  std::uint32_t dwTrack = 0;
};

struct MCI_PLAY_PARMS {
  std::uintptr_t dwCallback = 0;
  std::uint32_t dwFrom = 0;  // in the device's time format
  std::uint32_t dwTo = 0;
};

// Sends `command` to `device` (0 for MCI_OPEN) with `flags` and the address of the command's
// parameter block (null where the command needs none). Returns 0 or an MCIERR_ value. No
// request waits for the drive: playing goes on by itself, and the state is learnt by polling
// MCI_STATUS. Callable from one thread at a time (the user-interface thread).
//
// The drive is chosen when the first device is opened: VARDEL_CD_DEVICE names a CD device, a
// cue sheet (with its BIN or audio files) or a folder of audio tracks; unset, it is the
// system's default drive. Without a drive the open fails with MCIERR_DEVICE_NOT_INSTALLED.
// Playing a disc stops where a data track begins; MCI_STOP returns to the start of the current
// track, and the end of the disc returns to its start.
MCIERROR mciSendCommand(MCIDEVICEID device, unsigned command, std::uint32_t flags, void* parameters);

// Packing of times: one field a byte, from the low byte.
constexpr std::uint32_t MCI_MAKE_MSF(unsigned m, unsigned s, unsigned f) {
  return (m & 0xFF) | ((s & 0xFF) << 8) | ((f & 0xFF) << 16);
}
constexpr std::uint32_t MCI_MAKE_TMSF(unsigned t, unsigned m, unsigned s, unsigned f) {
  return (t & 0xFF) | ((m & 0xFF) << 8) | ((s & 0xFF) << 16) | ((f & 0xFF) << 24);
}
constexpr unsigned MCI_MSF_MINUTE(std::uint32_t v) { return v & 0xFF; }
constexpr unsigned MCI_MSF_SECOND(std::uint32_t v) { return (v >> 8) & 0xFF; }
constexpr unsigned MCI_MSF_FRAME(std::uint32_t v) { return (v >> 16) & 0xFF; }
constexpr unsigned MCI_TMSF_TRACK(std::uint32_t v) { return v & 0xFF; }
constexpr unsigned MCI_TMSF_MINUTE(std::uint32_t v) { return (v >> 8) & 0xFF; }
constexpr unsigned MCI_TMSF_SECOND(std::uint32_t v) { return (v >> 16) & 0xFF; }
constexpr unsigned MCI_TMSF_FRAME(std::uint32_t v) { return (v >> 24) & 0xFF; }

}  // namespace vardel::platform

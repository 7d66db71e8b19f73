// The decoder library's nineteen exports, resolved by name from a loaded library.
#pragma once

#include "mpegdll/mpegdll.h"
#include "platform/library.h"

namespace vardel {

struct MpegExports {
  MpegInit init = nullptr;
  MpegDeinit deinit = nullptr;
  MpegOpen Open = nullptr;
  MpegPause Pause = nullptr;
  MpegRestart Restart = nullptr;
  MpegStop Stop = nullptr;
  MpegSetPriority SetPriority = nullptr;
  MpegSetOutputDevice SetOutputDevice = nullptr;
  MpegPlay Play = nullptr;
  MpegClose Close = nullptr;
  MpegGetFrequency GetFrequency = nullptr;
  MpegGetBitrate GetBitrate = nullptr;
  MpegGetLayer GetLayer = nullptr;
  MpegGetPlayerMode GetPlayerMode = nullptr;
  MpegGetCurrentPos GetCurrentPos = nullptr;
  MpegGetLength GetLength = nullptr;
  MpegResetPlayerMode ResetPlayerMode = nullptr;
  MpegSeek Seek = nullptr;
  MpegLastError LastError = nullptr;

  // Looks every export up, in the order above; true when all were found (the missing ones
  // stay null).
  bool resolve(const platform::Library& library);
};

}  // namespace vardel

// Resolving the decoder library's exports.
#include "mp3/mpeg_exports.h"

#include <type_traits>

namespace vardel {

bool MpegExports::resolve(const platform::Library& library) {
  bool complete = true;
  auto get = [&](auto& entry, const char* name) {
    entry = library.resolveAs<std::remove_reference_t<decltype(entry)>>(name);
    complete = complete && entry != nullptr;
  };
  get(init, "init");
  get(deinit, "deinit");
  get(Open, "Open");
  get(Pause, "Pause");
  get(Restart, "Restart");
  get(Stop, "Stop");
  get(SetPriority, "SetPriority");
  get(SetOutputDevice, "SetOutputDevice");
  get(Play, "Play");
  get(Close, "Close");
  get(GetFrequency, "GetFrequency");
  get(GetBitrate, "GetBitrate");
  get(GetLayer, "GetLayer");
  get(GetPlayerMode, "GetPlayerMode");
  get(GetCurrentPos, "GetCurrentPos");
  get(GetLength, "GetLength");
  get(ResetPlayerMode, "ResetPlayerMode");
  get(Seek, "Seek");
  get(LastError, "LastError");
  return complete;
}

}  // namespace vardel

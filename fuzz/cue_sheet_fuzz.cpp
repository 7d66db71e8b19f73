// Fuzz target: cue sheet parsing.
#include "platform/mci/cue_sheet.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sheet =
      vardel::platform::cd::parseCueSheet(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
  if (sheet) {
    std::int64_t sectors = 0;
    for (const auto& file : sheet->files)
      for (const auto& track : file.tracks) sectors += track.index1 * std::int64_t(track.sectorBytes);
    (void)sectors;
  }
  return 0;
}

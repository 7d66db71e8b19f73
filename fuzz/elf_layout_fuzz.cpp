// Fuzz target: the layout check a library passes before it is loaded.
#include "platform/elf_layout.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vardel::platform;
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QString problem;
  const ElfHeaderInfo info = readElfHeader(bytes.first(std::min<qsizetype>(bytes.size(), 64)), size, &problem);
  if (problem.isEmpty() && info.checkable && info.programHeaderOffset + info.programHeaderSize <= size)
    (void)checkElfSegments(info, bytes.sliced(qsizetype(info.programHeaderOffset), qsizetype(info.programHeaderSize)),
                           size);
  return 0;
}

// Reading an ELF file's header and program headers from bytes, for both ELF classes.
#include "platform/elf_layout.h"

#include <elf.h>

#include <cstring>

namespace vardel::platform {
namespace {

bool nativeByteOrder(unsigned char encoding) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  return encoding == ELFDATA2LSB;
#else
  return encoding == ELFDATA2MSB;
#endif
}

template <class T>
T readAt(QByteArrayView bytes, std::uint64_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// a + b <= limit, without overflow.
bool fits(std::uint64_t a, std::uint64_t b, std::uint64_t limit) { return a <= limit && b <= limit - a; }

template <class Ehdr, class Phdr>
ElfHeaderInfo readHeader(QByteArrayView start, std::uint64_t fileSize, QString* problem) {
  ElfHeaderInfo info;
  info.elf = true;
  info.checkable = true;
  info.elf64 = sizeof(Ehdr) == sizeof(Elf64_Ehdr);
  if (std::uint64_t(start.size()) < sizeof(Ehdr) || fileSize < sizeof(Ehdr)) {
    *problem = QStringLiteral("la cabecera ELF está cortada");
    return info;
  }
  const auto header = readAt<Ehdr>(start, 0);
  if (header.e_phnum != 0 && header.e_phentsize != sizeof(Phdr)) {
    *problem = QStringLiteral("la tabla de segmentos tiene entradas de %1 bytes").arg(header.e_phentsize);
    return info;
  }
  info.programHeaderOffset = header.e_phoff;
  info.programHeaderSize = std::uint64_t(header.e_phnum) * header.e_phentsize;
  if (header.e_phnum == 0) {
    *problem = QStringLiteral("no tiene segmentos que cargar");
  } else if (!fits(info.programHeaderOffset, info.programHeaderSize, fileSize)) {
    *problem = QStringLiteral("la tabla de segmentos pasa del final del fichero");
  }
  return info;
}

template <class Phdr>
QString checkSegments(QByteArrayView table, std::uint64_t fileSize) {
  const std::uint64_t count = std::uint64_t(table.size()) / sizeof(Phdr);
  bool loads = false;
  for (std::uint64_t i = 0; i < count; ++i) {
    const auto segment = readAt<Phdr>(table, i * sizeof(Phdr));
    if (segment.p_type == PT_NULL || segment.p_filesz == 0) continue;
    loads = loads || segment.p_type == PT_LOAD;
    if (!fits(segment.p_offset, segment.p_filesz, fileSize)) {
      return QStringLiteral("el segmento %1 (bytes %2 a %3) pasa del final del fichero (%4 bytes)")
          .arg(i)
          .arg(segment.p_offset)
          .arg(segment.p_offset + segment.p_filesz)
          .arg(fileSize);
    }
  }
  if (!loads) return QStringLiteral("no tiene segmentos que cargar");
  return {};
}

}  // namespace

ElfHeaderInfo readElfHeader(QByteArrayView start, std::uint64_t fileSize, QString* problem) {
  problem->clear();
  if (start.size() < EI_NIDENT || std::memcmp(start.data(), ELFMAG, SELFMAG) != 0) {
    // Not ELF at all: the loader reads such a file without mapping it and refuses it itself.
    return {};
  }
  const auto elfClass = static_cast<unsigned char>(start[EI_CLASS]);
  if (!nativeByteOrder(static_cast<unsigned char>(start[EI_DATA])) ||
      (elfClass != ELFCLASS64 && elfClass != ELFCLASS32)) {
    ElfHeaderInfo info;
    info.elf = true;
    return info;  // refused by the loader from its header alone
  }
  return elfClass == ELFCLASS64 ? readHeader<Elf64_Ehdr, Elf64_Phdr>(start, fileSize, problem)
                                : readHeader<Elf32_Ehdr, Elf32_Phdr>(start, fileSize, problem);
}

QString checkElfSegments(const ElfHeaderInfo& info, QByteArrayView programHeaders, std::uint64_t fileSize) {
  if (!info.checkable) return {};
  if (std::uint64_t(programHeaders.size()) != info.programHeaderSize)
    return QStringLiteral("la tabla de segmentos está cortada");
  return info.elf64 ? checkSegments<Elf64_Phdr>(programHeaders, fileSize)
                    : checkSegments<Elf32_Phdr>(programHeaders, fileSize);
}

}  // namespace vardel::platform

// The layout check of an ELF library made before it is mapped into the process.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace vardel::platform {

// Where the program headers of an ELF file lie, read from its first bytes.
struct ElfHeaderInfo {
  bool elf = false;        // the file starts with the ELF magic
  bool checkable = false;  // a class and byte order this machine loads (else the loader refuses it)
  bool elf64 = false;      // 64-bit class (else 32-bit)
  std::uint64_t programHeaderOffset = 0;
  std::uint64_t programHeaderSize = 0;  // bytes of the whole program header table
};

// Reads the ELF header from the first bytes of a file (fewer than a header's worth are fine:
// the answer then says where the header would end). `fileSize` is the whole file's size.
// Empty `problem` when the header is whole and names a program header table that fits in the
// file; otherwise the reason in Spanish.
ElfHeaderInfo readElfHeader(QByteArrayView start, std::uint64_t fileSize, QString* problem);

// Checks the program header table (the bytes at info.programHeaderOffset) of a file of
// `fileSize` bytes: every segment's file range must lie inside the file. The loader maps
// those ranges; a page of a mapping past the end of the file faults (SIGBUS) on first touch,
// which a library cut short (a scratched disc, an interrupted copy) would otherwise do inside
// the loader itself. Empty text when the layout fits, otherwise the reason in Spanish.
QString checkElfSegments(const ElfHeaderInfo& info, QByteArrayView programHeaders, std::uint64_t fileSize);

}  // namespace vardel::platform

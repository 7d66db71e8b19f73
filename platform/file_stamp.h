// Telling whether a file is still the one read before, without reading it again.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace vardel::platform {

// A file's identity (device and node), size, and times of last change of its bytes and of its
// node, to the nanosecond. Taken before a file is read, an equal stamp later means it was neither
// replaced nor written since: any write changes the node's change time.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t node = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of `path` now (links followed); nothing when it does not exist or cannot be reached.
std::optional<FileStamp> fileStamp(const QString& path);

}  // namespace vardel::platform

// File stamps from stat().
#include "platform/file_stamp.h"

#include <QFile>

#include <sys/stat.h>

namespace vardel::platform {

std::optional<FileStamp> fileStamp(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
  const auto ns = [](const timespec& t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
  return FileStamp{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size), ns(st.st_mtim),
                   ns(st.st_ctim)};
}

}  // namespace vardel::platform

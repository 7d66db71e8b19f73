// Opening regular files without blocking on anything else.
#include "platform/file_limits.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vardel::platform {
namespace {

FileRefusal judge(const struct stat& st, std::int64_t limit) {
  if (!S_ISREG(st.st_mode)) return FileRefusal::NotRegular;
  if (std::int64_t(st.st_size) > limit) return FileRefusal::TooLarge;
  return FileRefusal::None;
}

}  // namespace

FileRefusal checkRegularFile(const char* path, std::int64_t limit) {
  if (!path || !*path) return FileRefusal::Missing;
  struct stat st {};
  if (::stat(path, &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? FileRefusal::Missing : FileRefusal::Unreadable;
  return judge(st, limit);
}

int openRegularFile(const char* path, std::int64_t limit, FileRefusal* why) {
  FileRefusal refusal = checkRegularFile(path, limit);
  int fd = -1;
  if (refusal == FileRefusal::None) {
    // Non-blocking: should a pipe or a device take the file's place after the look above, the
    // open returns at once and the second look refuses it.
    fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat st {};
    if (fd < 0) {
      refusal = errno == ENOENT ? FileRefusal::Missing : FileRefusal::Unreadable;
    } else if (::fstat(fd, &st) != 0) {
      refusal = FileRefusal::Unreadable;
    } else {
      refusal = judge(st, limit);
    }
    if (refusal == FileRefusal::None) {
      const int flags = ::fcntl(fd, F_GETFL);
      if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) refusal = FileRefusal::Unreadable;
    }
    if (refusal != FileRefusal::None && fd >= 0) {
      const int error = errno;
      ::close(fd);
      errno = error;
      fd = -1;
    }
  }
  if (why) *why = refusal;
  return fd;
}

const char* refusalText(FileRefusal why) {
  switch (why) {
    case FileRefusal::None:
      return "";
    case FileRefusal::Missing:
      return "No such file";
    case FileRefusal::NotRegular:
      return "Not a regular file";
    case FileRefusal::TooLarge:
      return "File too large";
    case FileRefusal::Unreadable:
      return "Cannot open the file";
  }
  return "";
}

}  // namespace vardel::platform

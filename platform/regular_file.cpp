// Reading a regular file whole, refusing anything else.
#include "platform/regular_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace vardel::platform {

std::optional<QByteArray> readRegularFile(const QString& path, std::int64_t limit, FileRefusal* why, QString* error) {
  const auto refuse = [&](FileRefusal reason, const QString& text) -> std::optional<QByteArray> {
    if (why) *why = reason;
    if (error) *error = text.isEmpty() ? QString::fromLatin1(refusalText(reason)) : text;
    return std::nullopt;
  };
  FileRefusal reason = FileRefusal::None;
  const int fd = openRegularFile(QFile::encodeName(path).constData(), limit, &reason);
  if (fd < 0) return refuse(reason, QString());
  struct stat st {};
  QByteArray bytes;
  if (::fstat(fd, &st) == 0 && st.st_size > 0) bytes.reserve(qsizetype(st.st_size));
  // One byte beyond the limit tells a file that grew past it.
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const QString text = QString::fromLocal8Bit(std::strerror(errno));
      ::close(fd);
      return refuse(FileRefusal::Unreadable, text);
    }
    if (got == 0) break;
    if (bytes.size() + got > limit) {
      ::close(fd);
      return refuse(FileRefusal::TooLarge, QString());
    }
    bytes.append(buffer, qsizetype(got));
  }
  ::close(fd);
  if (why) *why = FileRefusal::None;
  return bytes;
}

FileRefusal checkRegularFile(const QString& path, std::int64_t limit) {
  return checkRegularFile(QFile::encodeName(path).constData(), limit);
}

}  // namespace vardel::platform

// Whole-file reading for the readers of outside data, within the limits of file_limits.h.
#pragma once

#include "platform/file_limits.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace vardel::platform {

// The bytes of `path` (a file system path; callers map the program's own names with nativePath
// first) when it is a regular file of at most `limit` bytes, read without blocking on anything
// else (see openRegularFile). Nothing when it is refused or cannot be read: the reason goes to
// `why`, a short English text to `error`. A file that grows past the limit while it is read is
// refused too.
std::optional<QByteArray> readRegularFile(const QString& path, std::int64_t limit, FileRefusal* why = nullptr,
                                          QString* error = nullptr);

// What readRegularFile would refuse now, without opening anything.
FileRefusal checkRegularFile(const QString& path, std::int64_t limit);

}  // namespace vardel::platform

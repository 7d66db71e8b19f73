// Program folder and the mapping of Windows-style content names onto this file system.
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace vardel::platform {
namespace {

QString& overriddenFolder() {
  static QString folder;
  return folder;
}

QString& contentFolder() {
  static QString folder;
  return folder;
}

QString withTrailingSlash(QString folder) {
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

QString executableFolder() {
  // /proc/self/exe resolves symbolic links, so the folder is the real one.
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) break;
    if (static_cast<size_t>(n) < buffer.size()) {
      const QString exe = QString::fromLocal8Bit(buffer.data(), n);
      return withTrailingSlash(QFileInfo(exe).absolutePath());
    }
    buffer.resize(buffer.size() * 2);
  }
  if (QCoreApplication::instance()) return withTrailingSlash(QCoreApplication::applicationDirPath());
  return withTrailingSlash(QDir::currentPath());
}

bool exists(const QString& path) { return ::access(QFile::encodeName(path).constData(), F_OK) == 0; }

// Finds `name` in `folder` without regard to case; empty when nothing matches.
QString findIgnoringCase(const QString& folder, const QString& name) {
  const QDir dir(folder.isEmpty() ? QStringLiteral("/") : folder);
  const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& entry : entries) {
    if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
  }
  return {};
}

QString withoutTrailingDots(QString name) {
  while (name.endsWith(QLatin1Char('.')) && name != QLatin1String(".") && name != QLatin1String("..")) name.chop(1);
  return name;
}

}  // namespace

QString programFolder() {
  if (!contentFolder().isEmpty()) return contentFolder();
  return installationFolder();
}

QString installationFolder() {
  if (!overriddenFolder().isEmpty()) return overriddenFolder();
  static const QString folder = executableFolder();
  return folder;
}

void setContentFolder(const QString& folder) {
  // The installation's own demo magazine, however it is named, is no content folder apart.
  const QString real = QFileInfo(folder).canonicalFilePath();
  const bool installation = !real.isEmpty() && real == QFileInfo(installationFolder()).canonicalFilePath();
  contentFolder() = folder.isEmpty() || installation ? QString() : withTrailingSlash(folder);
}

void overrideProgramFolder(const QString& folder) {
  overriddenFolder() = folder.isEmpty() ? QString() : withTrailingSlash(folder);
}

bool isPersonsOwnFolder(const QString& folder) {
  if (folder.isEmpty()) return false;
  const QByteArray native = QFile::encodeName(folder);
  struct stat st {};
  if (::stat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  // A read-only file system refuses even the administrator; a folder without write permission
  // for its class of user is a read-only copy also to the administrator, whom access() lets by.
  if (::access(native.constData(), W_OK) != 0) return false;
  const mode_t writable = st.st_uid == ::geteuid() || ::geteuid() == 0 ? S_IWUSR
                          : st.st_gid == ::getegid()                   ? S_IWGRP
                                                                       : S_IWOTH;
  if ((st.st_mode & writable) == 0) return false;
  const QFileInfo marker(withTrailingSlash(folder) + QLatin1String(kDiscRunFolderMarker));
  return !marker.exists() && !marker.isSymLink();
}

bool liesInside(const QString& path, const QString& folder) {
  if (path.isEmpty() || folder.isEmpty()) return false;
  const auto within = [](const QString& inner, const QString& outer) {
    if (inner.isEmpty() || outer.isEmpty()) return false;
    const QString prefix = withTrailingSlash(outer);
    return inner == outer || withTrailingSlash(inner).startsWith(prefix);
  };
  const QFileInfo file(path);
  if (within(QDir::cleanPath(file.absoluteFilePath()), QDir::cleanPath(QFileInfo(folder).absoluteFilePath())))
    return true;
  // The same place reached through links: the file's real folder inside the folder's real place.
  const QString realFolder = QFileInfo(folder).canonicalFilePath();
  const QString realParent = QFileInfo(file.absolutePath()).canonicalFilePath();
  return within(realParent, realFolder);
}

QString nativePath(const QString& path) {
  QString unixPath = path;
  unixPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (unixPath.isEmpty() || exists(unixPath)) return unixPath;

  const bool absolute = unixPath.startsWith(QLatin1Char('/'));
  const QString root = absolute ? QStringLiteral("/") : QString();
  QStringList resolved;
  bool resolving = true;  // once a component is missing, the rest is kept as written
  for (QString part : unixPath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (resolving && part != QLatin1String(".") && part != QLatin1String("..")) {
      const QString prefix = resolved.isEmpty() ? root : root + resolved.join(QLatin1Char('/')) + QLatin1Char('/');
      if (!exists(prefix + part)) {
        const QString folder = prefix.isEmpty() ? QStringLiteral(".") : prefix;
        QString found = findIgnoringCase(folder, part);
        const QString trimmed = withoutTrailingDots(part);
        if (found.isEmpty() && trimmed != part && !trimmed.isEmpty()) {
          found = exists(prefix + trimmed) ? trimmed : findIgnoringCase(folder, trimmed);
        }
        if (found.isEmpty()) {
          resolving = false;
        } else {
          part = found;
        }
      }
    }
    resolved << part;
  }
  QString result = root + resolved.join(QLatin1Char('/'));
  if (unixPath.endsWith(QLatin1Char('/')) && !resolved.isEmpty()) result += QLatin1Char('/');
  return result;
}

QString contentPath(const QString& relative) { return nativePath(programFolder() + relative); }

}  // namespace vardel::platform

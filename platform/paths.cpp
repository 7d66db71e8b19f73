// Program folder and the mapping of Windows-style content names onto this file system.
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <unistd.h>

#include <vector>

namespace vardel::platform {
namespace {

QString& overriddenFolder() {
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
  if (!overriddenFolder().isEmpty()) return overriddenFolder();
  static const QString folder = executableFolder();
  return folder;
}

void overrideProgramFolder(const QString& folder) {
  overriddenFolder() = folder.isEmpty() ? QString() : withTrailingSlash(folder);
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

// Confinement to the magazine's folder.
#include "platform/content_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace vardel::platform {

QString realPath(const QString& path) {
  if (path.isEmpty()) return {};
  // Made absolute by hand: Qt's absolute names take ".." out before the links are followed.
  QString rest = path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
  QStringList missing;  // components below the deepest part that exists, last first
  for (;;) {
    const QFileInfo info(rest);
    const QString real = info.canonicalFilePath();
    if (!real.isEmpty()) {
      QString result = real;
      for (auto it = missing.crbegin(); it != missing.crend(); ++it) {
        if (*it == QLatin1String("..")) return {};  // names nothing: its folder does not exist
        if (*it == QLatin1String(".") || it->isEmpty()) continue;
        if (!result.endsWith(QLatin1Char('/'))) result += QLatin1Char('/');
        result += *it;
      }
      return result;
    }
    if (info.isSymLink()) return {};  // a link to nowhere may yet be made to point anywhere
    const qsizetype slash = rest.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || rest == QLatin1String("/")) return {};
    missing << rest.mid(slash + 1);
    rest = slash == 0 ? QStringLiteral("/") : rest.left(slash);
  }
}

bool insideFolder(const QString& path, const QString& folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
  const QString root = realPath(folder);
  const QString real = realPath(path);
  if (root.isEmpty() || real.isEmpty()) return false;
  if (root == QLatin1String("/")) return true;
  return real == root || real.startsWith(root + QLatin1Char('/'));
}

}  // namespace vardel::platform

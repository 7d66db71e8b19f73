// Mapping of "file:" URLs onto local paths.
#include "platform/file_url.h"

#include "platform/paths.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vardel::platform {
namespace {

const QLatin1String kScheme("file:");

// Decodes %XX escapes; the bytes are read as UTF-8 when they form it, else as Windows-1252.
QString percentDecoded(const QString& text) {
  if (!text.contains(QLatin1Char('%'))) return text;
  const QByteArray bytes = QByteArray::fromPercentEncoding(text.toUtf8());
  return decodeWindowsText(bytes);
}

// Turns what follows the scheme into a local path; empty for a remote host.
QString pathPart(QString rest, const QString& baseFolder) {
  rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (rest.startsWith(QLatin1String("//"))) {
    // Authority form: "//" host "/" path. Only an empty host and "localhost" are this machine.
    const qsizetype slash = rest.indexOf(QLatin1Char('/'), 2);
    const QString host = rest.mid(2, slash < 0 ? -1 : slash - 2);
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) return {};
    rest = slash < 0 ? QStringLiteral("/") : rest.mid(slash);
  }
  // Collapse the extra slashes of "file:////path" and the like.
  while (rest.startsWith(QLatin1String("//"))) rest.remove(0, 1);
  if (rest.startsWith(QLatin1Char('/'))) return rest;
  // Joined as text: QDir would take a name that begins with ':' for one of the program's own
  // embedded resources instead of a file in the base folder.
  QString base = baseFolder.isEmpty() ? QDir::currentPath() : baseFolder;
  if (!base.endsWith(QLatin1Char('/'))) base += QLatin1Char('/');
  return base + rest;
}

bool exists(const QString& path) { return !path.isEmpty() && QFileInfo::exists(path); }

}  // namespace

bool isFileUrl(const QString& url) { return url.trimmed().startsWith(kScheme, Qt::CaseInsensitive); }

FileUrl resolveFileUrl(const QString& url, const QString& baseFolder) {
  QString rest = url.trimmed();
  if (!rest.startsWith(kScheme, Qt::CaseInsensitive)) return {};
  while (rest.startsWith(kScheme, Qt::CaseInsensitive)) rest.remove(0, kScheme.size());

  // First the path exactly as written: the program's own form carries no escapes.
  const QString literal = pathPart(rest, baseFolder);
  if (literal.isEmpty()) return {};
  const QString literalPath = nativePath(literal);
  if (exists(literalPath)) return {literalPath, {}};

  // Then as a URL: anchor and query cut off, escapes decoded.
  QString fragment;
  const qsizetype hash = rest.indexOf(QLatin1Char('#'));
  if (hash >= 0) {
    fragment = percentDecoded(rest.mid(hash + 1));
    rest.truncate(hash);
  }
  const qsizetype query = rest.indexOf(QLatin1Char('?'));
  if (query >= 0) rest.truncate(query);
  const QString decoded = pathPart(percentDecoded(rest), baseFolder);
  if (decoded.isEmpty()) return {};
  return {nativePath(decoded), fragment};
}

QString fileUrlOf(const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

}  // namespace vardel::platform

// Address and line splitting for the import of the displayed article.
#include "editor/import_text.h"

namespace vardel {
namespace {
const QLatin1String kScheme("file:");
}

QString importRequestAddress(const QString& displayed) {
  QString address = displayed;
  const qsizetype authority = address.indexOf(QLatin1String("file://"));
  if (authority >= 0) address.remove(authority, 7);
  const qsizetype dots = address.indexOf(QLatin1String("..."));
  if (dots >= 0) address.remove(dots, 3);
  if (address.startsWith(kScheme, Qt::CaseInsensitive)) return address;
  return kScheme + address;
}

QStringList splitImportedLines(const QString& text) {
  QStringList lines;
  const qsizetype zero = text.indexOf(QChar(0));
  const QStringView all = QStringView(text).left(zero < 0 ? text.size() : zero);
  qsizetype start = 0;
  const qsizetype n = all.size();
  while (start < n) {
    qsizetype end = start;
    while (end < n && all[end] != QLatin1Char('\r') && all[end] != QLatin1Char('\n')) ++end;
    lines << all.mid(start, end - start).toString();
    if (end < n && all[end] == QLatin1Char('\r')) ++end;
    if (end < n && all[end] == QLatin1Char('\n')) ++end;
    start = end;
  }
  return lines;
}

qsizetype linesThatFit(const QStringList& lines, qsizetype characters, qsizetype limit) {
  qsizetype total = characters;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (total + lines[i].size() + 1 > limit) return i;
    total += lines[i].size() + (i > 0 ? 1 : 0);  // the first line goes into the empty paragraph
  }
  return lines.size();
}

}  // namespace vardel

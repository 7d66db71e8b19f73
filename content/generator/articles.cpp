// Article encoding, almanac expansion and the articles' pictures.
#include "content/generator/articles.h"

#include "content/generator/almanac.h"
#include "content/generator/vignettes.h"
#include "platform/jpeg.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <stdexcept>

namespace vardel::content {
namespace {

QByteArray readSource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
  return file.readAll();
}

}  // namespace

ArticleEncoding declaredEncoding(const QString& html) {
  static const QRegularExpression charset(QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?([A-Za-z0-9_-]+)"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = charset.match(html);
  if (m.hasMatch() && m.captured(1).compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0) {
    return ArticleEncoding::Utf8;
  }
  return ArticleEncoding::Windows1252;
}

QString expandAlmanac(const QString& html) {
  static const QRegularExpression marker(QStringLiteral("<!--ALMANAQUE:(\\d+)-->"));
  QString out;
  qsizetype last = 0;
  auto it = marker.globalMatch(html);
  while (it.hasNext()) {
    const QRegularExpressionMatch m = it.next();
    const int month = m.captured(1).toInt();
    if (month < 1 || month > 12) throw std::runtime_error("almanac marker for month " + std::to_string(month));
    out += html.mid(last, m.capturedStart() - last);
    out += almanacMonthTable(month);
    last = m.capturedEnd();
  }
  out += html.mid(last);
  return out;
}

QByteArray encodeArticle(const QString& html, const QString& name) {
  if (declaredEncoding(html) == ArticleEncoding::Utf8) return html.toUtf8();
  const QByteArray bytes = platform::encodeWindows1252(html);
  if (platform::decodeWindows1252(bytes) != html) {
    throw std::runtime_error(name.toStdString() + ": text that Windows-1252 cannot hold");
  }
  return bytes;
}

void writeArticles(const QString& sourceDir, OutputFolder& out) {
  const QDir articles(sourceDir + QStringLiteral("/articles"));
  const QStringList names = articles.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
  if (names.isEmpty()) throw std::runtime_error("no articles in " + articles.path().toStdString());
  for (const QString& name : names) {
    const QByteArray source = readSource(articles.filePath(name));
    if (!platform::isValidUtf8(source)) throw std::runtime_error(name.toStdString() + ": source is not UTF-8");
    out.write(QStringLiteral("Ficheros/") + name, encodeArticle(expandAlmanac(QString::fromUtf8(source)), name));
  }
  const QByteArray list = readSource(articles.filePath(QStringLiteral("images.txt")));
  for (const QByteArray& raw : list.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QList<QByteArray> fields = line.simplified().split(' ');
    bool okSection = false, okWidth = false, okHeight = false;
    const int section = fields.value(1).toInt(&okSection);
    const int width = fields.value(2).toInt(&okWidth);
    const int height = fields.value(3).toInt(&okHeight);
    if (fields.size() != 4 || !okSection || !okWidth || !okHeight || section < 1 || section > 15 || width < 16 ||
        height < 16 || width > 800 || height > 600) {
      throw std::runtime_error("images.txt: bad line: " + line.toStdString());
    }
    out.write(QStringLiteral("Ficheros/") + QString::fromUtf8(fields[0]),
              platform::encodeJpeg(renderArticlePicture(section, width, height), 88));
  }
}

}  // namespace vardel::content

// The generated articles and Configuracion.ini: every file the program asks for exists, links
// resolve as they would on a disc, encodings are those a 1999 disc carried.
#include "tests/content/content_support.h"

#include "platform/inifile.h"
#include "platform/paths.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

namespace vardel::test {
namespace {

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ficheros() { return programDir() + QStringLiteral("Ficheros/"); }

QStringList articleNames() { return QDir(ficheros()).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name); }

QString decoded(const QByteArray& bytes) { return platform::decodeWindowsText(bytes); }

QString visibleText(QString html) {
  html.remove(
      QRegularExpression(QStringLiteral("<script.*?</script>"), QRegularExpression::DotMatchesEverythingOption));
  html.replace(QRegularExpression(QStringLiteral("<[^>]*>")), QStringLiteral(" "));
  return html;
}

int wordCount(const QString& html) {
  return int(visibleText(html).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size());
}

// A link target as the browser would resolve it inside Ficheros: the path without its
// fragment, looked up the way the program looks up content (without regard to case).
bool resolves(const QString& target) {
  const QString path = target.section(QLatin1Char('#'), 0, 0);
  if (path.isEmpty()) return true;
  return QFileInfo::exists(platform::nativePath(ficheros() + path));
}

struct Link {
  QString article, target, kind;
};

std::vector<Link> localLinks() {
  static const QRegularExpression attribute(QStringLiteral("(href|src)\\s*=\\s*\"([^\"]*)\""),
                                            QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression open(QStringLiteral("window\\.open\\(\\s*'([^']+)'"));
  std::vector<Link> links;
  for (const QString& name : articleNames()) {
    const QString html = decoded(readFile(ficheros() + name));
    for (auto it = attribute.globalMatch(html); it.hasNext();) {
      const auto m = it.next();
      const QString target = m.captured(2);
      if (target.contains(QLatin1Char(':'))) continue;  // http:, mailto:, javascript:
      links.push_back({name, target, m.captured(1).toLower()});
    }
    for (auto it = open.globalMatch(html); it.hasNext();)
      links.push_back({name, it.next().captured(1), QStringLiteral("open")});
  }
  return links;
}

TEST(Articles, ConfigurationNamesFifteenCitiesWithTheirArticles) {
  const QByteArray bytes = readFile(programDir() + QStringLiteral("Configuracion.ini"));
  ASSERT_FALSE(bytes.isEmpty());
  // Written as a Windows program writes: CRLF everywhere, Windows-1252 (so not UTF-8, since
  // the hints have accents).
  EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));
  EXPECT_FALSE(platform::isValidUtf8(bytes));
  const platform::IniFile ini = platform::IniFile::fromBytes(bytes);
  EXPECT_EQ(ini.readInteger(QStringLiteral("Mapa"), QStringLiteral("NCiudades"), 0), 15);
  bool accents = false;
  for (int n = 1; n <= 15; ++n) {
    const QString key = QStringLiteral("Ciudad%1").arg(n);
    const QString hint = ini.readString(QStringLiteral("Hints"), key, QString());
    EXPECT_GE(hint.size(), 10) << key.toStdString();
    accents = accents || hint.contains(QRegularExpression(QStringLiteral("[áéíóúñÁÉÍÓÚÑ¡]")));
    const QString file = ini.readString(QStringLiteral("Ficheros"), key, QString());
    ASSERT_FALSE(file.isEmpty()) << key.toStdString();
    EXPECT_TRUE(QFileInfo::exists(platform::contentPath(QStringLiteral("Ficheros\\") + file)) ||
                QFileInfo::exists(platform::nativePath(ficheros() + file)))
        << key.toStdString() << " " << file.toStdString();
    for (const char* size : {"Ancho", "Alto"}) {
      EXPECT_TRUE(ini.hasKey(QStringLiteral("Tamanios"), key + QLatin1String(size))) << key.toStdString();
    }
    for (const char* axis : {"X", "Y"}) {
      EXPECT_TRUE(ini.hasKey(QStringLiteral("Posiciones"), key + QLatin1String(axis))) << key.toStdString();
    }
  }
  EXPECT_TRUE(accents);
  EXPECT_FALSE(ini.hasKey(QStringLiteral("Hints"), QStringLiteral("Ciudad16")));
}

TEST(Articles, FifteenSectionsOfRealLengthPlusTheHiddenPage) {
  const QStringList names = articleNames();
  ASSERT_TRUE(names.contains(QStringLiteral("extra1.html")));
  EXPECT_EQ(names.size(), 16);
  int longOnes = 0;
  for (const QString& name : names) {
    const QByteArray bytes = readFile(ficheros() + name);
    if (bytes.size() > 100 * 1024) {
      // The long article for performance work: about 200 KB.
      ++longOnes;
      EXPECT_GT(bytes.size(), 150 * 1024) << name.toStdString();
      EXPECT_LT(bytes.size(), 260 * 1024) << name.toStdString();
      continue;
    }
    if (name == QLatin1String("extra1.html")) continue;
    const int words = wordCount(decoded(bytes));
    EXPECT_GE(words, 300) << name.toStdString();
    EXPECT_LE(words, 1500) << name.toStdString();
  }
  EXPECT_EQ(longOnes, 1);
}

TEST(Articles, EncodingsAreThoseOfTheDisc) {
  static const QRegularExpression meta(QStringLiteral("<meta[^>]*charset\\s*=\\s*([A-Za-z0-9_-]+)"),
                                       QRegularExpression::CaseInsensitiveOption);
  int windows = 0, undeclared = 0, utf8 = 0;
  for (const QString& name : articleNames()) {
    const QByteArray bytes = readFile(ficheros() + name);
    const QString text = QString::fromLatin1(bytes);  // the declaration itself is ASCII
    const auto m = meta.match(text);
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
    ASSERT_TRUE(nonAscii) << name.toStdString() << " has no accents at all";
    if (!m.hasMatch()) {
      ++undeclared;
      EXPECT_FALSE(platform::isValidUtf8(bytes)) << name.toStdString();
    } else if (m.captured(1).compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0) {
      ++utf8;
      EXPECT_TRUE(platform::isValidUtf8(bytes)) << name.toStdString();
      EXPECT_TRUE(QString::fromUtf8(bytes).contains(QStringLiteral("á"))) << name.toStdString();
    } else {
      ++windows;
      EXPECT_EQ(m.captured(1).toLower(), QStringLiteral("windows-1252")) << name.toStdString();
      EXPECT_FALSE(platform::isValidUtf8(bytes)) << name.toStdString();
    }
  }
  EXPECT_EQ(undeclared, 1);
  EXPECT_EQ(utf8, 1);
  EXPECT_GT(windows, utf8 + undeclared);
}

TEST(Articles, EveryLinkAndPictureResolvesAsOnADisc) {
  const std::vector<Link> links = localLinks();
  ASSERT_GT(links.size(), 50u);
  for (const Link& link : links) {
    EXPECT_TRUE(resolves(link.target)) << link.article.toStdString() << " -> " << link.target.toStdString();
  }
  // In-page and cross-page anchors name an anchor that exists.
  for (const Link& link : links) {
    const qsizetype hash = link.target.indexOf(QLatin1Char('#'));
    if (hash < 0) continue;
    const QString file = hash == 0 ? link.article : link.target.left(hash);
    const QString html = decoded(readFile(platform::nativePath(ficheros() + file)));
    const QString anchor = link.target.mid(hash + 1);
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1\"").arg(anchor), Qt::CaseInsensitive) ||
                html.contains(QStringLiteral("id=\"%1\"").arg(anchor), Qt::CaseInsensitive))
        << link.article.toStdString() << " -> " << link.target.toStdString();
  }
}

TEST(Articles, CarryTheLinksTheBrowserHandlesSpecially) {
  const std::vector<Link> links = localLinks();
  bool otherCase = false, inPage = false, opened = false;
  for (const Link& link : links) {
    const QString path = link.target.section(QLatin1Char('#'), 0, 0);
    if (!path.isEmpty() && !QFileInfo::exists(ficheros() + path) && resolves(path)) otherCase = true;
    inPage = inPage || link.target.startsWith(QLatin1Char('#'));
    opened = opened || link.kind == QLatin1String("open");
  }
  EXPECT_TRUE(otherCase) << "no link in another case than its file";
  EXPECT_TRUE(inPage) << "no in-page anchor";
  EXPECT_TRUE(opened) << "no window.open link";
  bool blank = false;
  for (const QString& name : articleNames()) {
    blank = blank ||
            decoded(readFile(ficheros() + name)).contains(QStringLiteral("target=\"_blank\""), Qt::CaseInsensitive);
  }
  EXPECT_TRUE(blank) << "no target=_blank link";
}

TEST(Articles, EveryArticleIsReachableFromTheIssue) {
  // Each section links onwards, and no page is an island except the hidden extra1.html.
  std::map<QString, int> incoming;
  for (const Link& link : localLinks()) {
    const QString target = link.target.section(QLatin1Char('#'), 0, 0).toLower();
    if (target.endsWith(QLatin1String(".html")) && target != link.article) ++incoming[target];
  }
  for (const QString& name : articleNames()) {
    if (name == QLatin1String("extra1.html")) {
      EXPECT_EQ(incoming[name], 0);
    } else {
      EXPECT_GT(incoming[name], 0) << name.toStdString();
    }
  }
}

}  // namespace
}  // namespace vardel::test

// Reading an article and the kept verdict on it.
#include "platform/html/html_article.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace vardel::platform::html {
namespace {

TEST(HtmlArticle, AVerdictLastsWhileItsFileStaysAsItWasAndAPipeIsNeverRead) {
  QTemporaryDir dir;
  const QString page = dir.filePath(QStringLiteral("pagina.html"));
  const auto write = [&](const QByteArray& bytes) {
    QFile file(page);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
  };
  ASSERT_TRUE(write("<p>caf\xe9</p>"));
  EXPECT_EQ(readArticle(page).text, QStringLiteral("<p>café</p>"));
  ArticleVerdicts verdicts;
  EXPECT_TRUE(verdicts.check(page).refusal.isEmpty());
  ASSERT_TRUE(write(QByteArray("<div>").repeated(1000)));  // rewritten: read again, and refused now
  EXPECT_TRUE(verdicts.check(page).refusal.startsWith(QStringLiteral("El documento anida")));
  const QString fifo = dir.filePath(QStringLiteral("tubo.html"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_EQ(verdicts.check(fifo).failure, FileRefusal::NotRegular);
  EXPECT_EQ(verdicts.check(fifo).refusal, QStringLiteral("No se ha encontrado el fichero: %1").arg(fifo));
}

}  // namespace
}  // namespace vardel::platform::html

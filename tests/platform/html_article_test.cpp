// Reading an article and the kept verdict on it.
#include "platform/html/html_article.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace vardel::platform::html {
namespace {

void write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST(HtmlArticle, AVerdictIsKeptOnlyWhileItsFileStaysAsItWas) {
  QTemporaryDir dir;
  const QString page = dir.filePath(QStringLiteral("pagina.html"));
  write(page, "<p>caf\xe9</p>");
  const Article read = readArticle(page);
  EXPECT_EQ(read.text, QStringLiteral("<p>café</p>"));
  EXPECT_TRUE(read.refusal.isEmpty());
  EXPECT_TRUE(read.current(page));

  ArticleVerdicts verdicts;
  EXPECT_TRUE(verdicts.check(page).refusal.isEmpty());
  EXPECT_TRUE(verdicts.check(page).text.isEmpty());  // only the verdict is kept
  // Rewritten, the file is read again and now refused.
  write(page, QByteArray("<div>").repeated(1000));
  EXPECT_FALSE(read.current(page));
  EXPECT_TRUE(verdicts.check(page).refusal.startsWith(QStringLiteral("El documento anida")));
  EXPECT_TRUE(readArticle(page).text.isEmpty());
}

TEST(HtmlArticle, WhatIsNoRegularFileIsRefusedAsMissing) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("tubo.html"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  ArticleVerdicts verdicts;
  for (const QString& path : {fifo, dir.path(), dir.filePath(QStringLiteral("falta.html"))}) {
    const Article& article = verdicts.check(path);
    EXPECT_NE(article.failure, FileRefusal::None);
    EXPECT_EQ(article.refusal, QStringLiteral("No se ha encontrado el fichero: %1").arg(path));
  }
  // A pipe turned into a page is read once it can be.
  ASSERT_TRUE(QFile::remove(fifo));
  write(fifo, "<p>hola</p>");
  EXPECT_EQ(verdicts.check(fifo).failure, FileRefusal::None);
}

}  // namespace
}  // namespace vardel::platform::html

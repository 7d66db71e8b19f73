// Reading an article file and judging whether the viewers may show it.
#include "platform/html/html_article.h"

#include "platform/html/html_nesting.h"
#include "platform/html/html_source.h"
#include "platform/regular_file.h"

namespace vardel::platform::html {

bool Article::current(const QString& path) const { return stamp && fileStamp(path) == stamp; }

Article readArticle(const QString& path) {
  Article article;
  QString reason;
  // Before the bytes: a write while they are read changes the stamp again.
  article.stamp = fileStamp(path);
  const std::optional<QByteArray> bytes = readRegularFile(path, kMaxArticleBytes, &article.failure, &reason);
  if (!bytes) {
    switch (article.failure) {
      case FileRefusal::TooLarge:
        article.refusal = QStringLiteral("El fichero %1 es demasiado grande").arg(path);
        break;
      case FileRefusal::Unreadable:
        article.refusal = QStringLiteral("No se puede leer el fichero %1: %2").arg(path, reason);
        break;
      default:
        article.refusal = QStringLiteral("No se ha encontrado el fichero: %1").arg(path);
    }
    return article;
  }
  article.text = decodeHtml(*bytes).text;
  article.refusal = refusalOf(article.text, path);
  if (!article.refusal.isEmpty()) article.text.clear();
  return article;
}

const Article& ArticleVerdicts::check(const QString& path) {
  if (path == path_ && last_.current(path)) return last_;
  last_ = readArticle(path);
  last_.text.clear();
  // One that could not be read may be readable the next time it is asked for.
  path_ = last_.failure == FileRefusal::None ? path : QString();
  return last_;
}

}  // namespace vardel::platform::html

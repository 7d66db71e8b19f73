// Reading an article file and judging whether the viewers may show it.
#pragma once

#include "platform/file_limits.h"
#include "platform/file_stamp.h"

#include <QString>

#include <optional>

namespace vardel::platform::html {

// An article file as read, and the verdict on it.
struct Article {
  QString text;                             // decoded (see decodeHtml); empty when it was not read or is refused
  QString refusal;                          // why it may not be shown, in words for the person; empty when it may
  FileRefusal failure = FileRefusal::None;  // why it could not be read; None when it was
  std::optional<FileStamp> stamp;           // of the file, taken before it was read

  // Whether `path` is still the file this was read from: neither replaced nor written since.
  bool current(const QString& path) const;
};

// Reads `path`, a regular file of at most kMaxArticleBytes (a pipe or a device would be read for
// ever), decodes it and judges it as refusalOf does. A file that cannot be read is refused with
// the reason: too large, unreadable (with the system's words), or else missing.
Article readArticle(const QString& path);

// The verdict on the article checked last, kept while its file stays as it was: a page is
// checked when it is asked for and again as it starts loading, and may hold many frames of one
// document. Only verdicts on files that could be read are kept; the text is not.
class ArticleVerdicts {
 public:
  // readArticle(path) without its text, read again only when the file changed since.
  const Article& check(const QString& path);

 private:
  QString path_;
  Article last_;
};

}  // namespace vardel::platform::html

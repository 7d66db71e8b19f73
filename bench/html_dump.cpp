// html_dump: prints the readable text of an HTML file as the viewer gives it, for side-by-side
// comparisons with text browsers.
//   html_dump file.html            the viewer's text
//   html_dump --qt file.html       what Qt's own HTML import makes of it, for comparison
//   html_dump --charset file.html  the character set the viewer reads the file in
//   html_dump --generate BYTES     writes a generated article of that size to standard output
#include "bench/article_generator.h"
#include "platform/html/html_source.h"
#include "platform/html/html_text.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const char* option = argc == 3 ? argv[1] : "";
  if (argc < 2 || argc > 3 ||
      (argc == 3 && std::strcmp(option, "--qt") != 0 && std::strcmp(option, "--charset") != 0 &&
       std::strcmp(option, "--generate") != 0)) {
    std::fprintf(stderr, "usage: html_dump [--qt | --charset | --generate] file.html|BYTES\n");
    return 2;
  }
  if (std::strcmp(option, "--generate") == 0) {
    const QByteArray article = vardel::bench::generateArticle(QByteArray(argv[2]).toLongLong());
    std::fwrite(article.constData(), 1, static_cast<size_t>(article.size()), stdout);
    return 0;
  }
  const bool qt = std::strcmp(option, "--qt") == 0;
  QFile file(QString::fromLocal8Bit(argv[argc - 1]));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "html_dump: %s\n", qPrintable(file.errorString()));
    return 1;
  }
  const vardel::platform::html::DecodedHtml decoded = vardel::platform::html::decodeHtml(file.readAll());
  if (std::strcmp(option, "--charset") == 0) {
    std::printf("%s\n", decoded.encoding.constData());
    return 0;
  }
  const QString& html = decoded.text;
  QString text;
  if (qt) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // the import needs fonts
    QTextDocument document;
    document.setHtml(html);
    text = document.toPlainText();
  } else {
    text = vardel::platform::html::htmlToText(html);
  }
  const QByteArray out = text.toUtf8();
  std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
  std::fputc('\n', stdout);
  return 0;
}

// html_dump: prints the readable text of an HTML file as the viewer gives it, for side-by-side
// comparisons with text browsers. "--qt" prints what Qt's own HTML import makes of it instead.
//   html_dump [--qt] file.html
#include "controls/html/html_source.h"
#include "controls/html/html_text.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const bool qt = argc == 3 && std::strcmp(argv[1], "--qt") == 0;
  if (argc != (qt ? 3 : 2)) {
    std::fprintf(stderr, "usage: html_dump [--qt] file.html\n");
    return 2;
  }
  QFile file(QString::fromLocal8Bit(argv[argc - 1]));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "html_dump: %s\n", qPrintable(file.errorString()));
    return 1;
  }
  const QString html = vardel::controls::decodeHtml(file.readAll()).text;
  QString text;
  if (qt) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // the import needs fonts
    QTextDocument document;
    document.setHtml(html);
    text = document.toPlainText();
  } else {
    text = vardel::controls::htmlToText(html);
  }
  const QByteArray out = text.toUtf8();
  std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
  std::fputc('\n', stdout);
  return 0;
}

// rtf_tool: the rich-text control from the command line.
//   rtf_tool text FILE        the plain text of FILE as the editor reads it, in UTF-8, a line
//                             per paragraph (soft line breaks end a line too); exit 1 with the
//                             error on standard error when the file cannot be opened. The
//                             document is read, not shown, so it is never laid out
//   rtf_tool roundtrip IN OUT opens IN and saves it as OUT with the editor's writer
#include "platform/richedit/richedit.h"

#include <QApplication>
#include <QTextBlock>

#include <cstdio>
#include <memory>
#include <stdexcept>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  const bool text = args.size() == 3 && args[1] == "text";
  const bool roundtrip = args.size() == 4 && args[1] == "roundtrip";
  if (!text && !roundtrip) {
    std::fprintf(stderr, "usage: rtf_tool text FILE | rtf_tool roundtrip IN OUT\n");
    return 2;
  }
  vardel::platform::TRichEdit edit;
  std::unique_ptr<QTextDocument> document;
  try {
    if (roundtrip) {
      edit.loadFromFile(args[2]);
      edit.saveToFile(args[3]);
      return 0;
    }
    document = edit.readFile(args[2]).document;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rtf_tool: %s\n", e.what());
    return 1;
  }
  QByteArray out;
  for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
    if (!b.next().isValid() && b.length() <= 1 && b != document->begin()) break;
    QString line = b.text();
    line.replace(QChar::LineSeparator, QChar(u'\n'));
    out += line.toUtf8();
    out += '\n';
  }
  if (document->characterCount() <= 1) out.clear();  // no text has no lines
  std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
  return 0;
}

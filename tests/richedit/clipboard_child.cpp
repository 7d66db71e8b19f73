// A program of its own for the clipboard tests, run on a private X display so that a crash
// ends this process and not the test runner.
//   clipboard_child paste        every way of pasting into a control holding "abc": Ctrl+V,
//                                Shift+Insert, a middle click, paste(); prints the text after
//                                them on one line and exits 0
//   clipboard_child own KIND     takes the clipboard and the primary selection with data of KIND
//                                (image, huge, odd), prints "owned" and serves them until its
//                                standard input closes
#include "platform/richedit/richedit.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QSocketNotifier>
#include <QTest>

#include <unistd.h>
#include <cstdio>

namespace {

using vardel::platform::TRichEdit;

int paste() {
  TRichEdit edit;
  edit.setPlainText(QStringLiteral("abc"));
  edit.resize(300, 200);
  edit.show();
  if (!QTest::qWaitForWindowExposed(&edit)) return 3;
  edit.moveCursor(QTextCursor::End);
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
  QTest::mouseClick(edit.viewport(), Qt::MiddleButton, Qt::NoModifier, QPoint(20, 10));
  edit.paste();
  QCoreApplication::processEvents();
  const QString text = edit.toPlainText().replace(QChar(u'\n'), QChar(u'|'));
  std::printf("%s\n", qPrintable(text.size() > 200 ? QStringLiteral("%1 characters").arg(text.size()) : text));
  return 0;
}

// Data a person may have on the clipboard: a picture only, a text of 70 million characters
// (more than the control takes), or a format the control takes announced beside others.
QMimeData* dataOf(const QByteArray& kind) {
  auto* data = new QMimeData;
  if (kind == "image") {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::red);
    data->setImageData(image);
  } else if (kind == "huge") {
    data->setText(QString(70 * 1024 * 1024, QChar(u'x')));
  } else {
    data->setData(QStringLiteral("application/x-unknown"), QByteArray(10, 'u'));
    data->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1 rtf}"));
    data->setText(QStringLiteral("plain"));
  }
  return data;
}

int own(const QByteArray& kind) {
  QGuiApplication::clipboard()->setMimeData(dataOf(kind), QClipboard::Clipboard);
  QGuiApplication::clipboard()->setMimeData(dataOf(kind), QClipboard::Selection);
  std::printf("owned\n");
  std::fflush(stdout);
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, qApp, [] {
    char buffer[64];
    if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) QCoreApplication::quit();
  });
  return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  const QByteArray mode = argc > 1 ? argv[1] : "";
  if (mode == "paste") return paste();
  if (mode == "own" && argc > 2) return own(argv[2]);
  std::fprintf(stderr, "usage: clipboard_child paste | own image|huge|odd\n");
  return 2;
}

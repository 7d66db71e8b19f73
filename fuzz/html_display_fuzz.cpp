// Fuzz target: a document through the light viewer the way a person meets it: read from its
// file, checked, parsed, laid out, its pictures loaded and the whole painted, then its text
// taken as the editor takes it. The folder holds a picture and a second page to point at.
#include "controls/html/html_viewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

struct Events : vardel::controls::ControlEvents {
  int completed = 0;
  void parseComplete() override { ++completed; }
};

QString folder;
Events* events = nullptr;
vardel::controls::HtmlViewerControl* viewer = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Never destroyed: the viewer and Qt's devices outlive every static at exit.
  new QApplication(*argc, *argv);
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static QTemporaryDir dir;
  folder = dir.path() + QLatin1Char('/');
  QDir(folder).mkpath(QStringLiteral("Graficos"));
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  picture.save(folder + QStringLiteral("Graficos/foto.jpg"), "JPEG");
  QFile other(folder + QStringLiteral("otra.html"));
  if (other.open(QIODevice::WriteOnly)) other.write("<p>otra <img src=\"Graficos/foto.jpg\"></p>");
  events = new Events;
  viewer = new vardel::controls::HtmlViewerControl(nullptr, events);
  viewer->setGeometry(0, 0, 600, 400);
  viewer->show();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString path = folder + QStringLiteral("articulo.html");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
  file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  file.close();

  const int before = events->completed;
  QString error;
  if (!viewer->loadDocument(QStringLiteral("file:") + path, error)) return 0;  // refused at once
  // Served on a later turn of the event loop; a few more turns lay it out and finish it.
  for (int turn = 0; turn < 1000 && events->completed == before; ++turn) QApplication::processEvents();
  if (events->completed != before + 1) __builtin_trap();  // one report for each request
  for (int turn = 0; turn < 5; ++turn) QApplication::processEvents();
  (void)viewer->grab();
  QString text;
  if (viewer->documentText(0, 0, text, error) && text.contains(QChar(0))) __builtin_trap();
  return 0;
}

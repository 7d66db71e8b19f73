// Tumblo, the game shipped with the magazine: keeps its records in its own folder, which the
// magazine makes the current folder before starting it.
#include "content/tumblo/tumblo_window.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tumblo"));
  // The game speaks Spanish, its standard dialogs too ("Aceptar", "Cancelar").
  QTranslator qtSpanish;
  if (qtSpanish.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtSpanish);
  }
  tumblo::TumbloWindow window(QDir::current().filePath(QString::fromLatin1(tumblo::kScoresFile)));
  // Centred on the screen: the magazine's map stays visible around it.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
  }
  window.show();
  return app.exec();
}

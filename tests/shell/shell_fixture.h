// A content folder of its own for the map and presentation tests: pictures of known colours,
// a configuration file and a few documents.
#pragma once

#include "platform/control_registry.h"
#include "platform/jpeg.h"
#include "platform/paths.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "tests/support/ui_support.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel::test {

// Colours of the test pictures (JPEG keeps flat colours within a few levels).
inline const QColor kP8(0, 0, 160);
inline const QColor kP3(0, 160, 0);
inline const QColor kP1(200, 200, 0);
inline const QColor kP2(200, 0, 200);
inline const QColor kP5(160, 0, 0);

inline QByteArray flatJpeg(QSize size, QColor color) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(color);
  return platform::encodeJpeg(image, 95);
}

inline bool near(QColor a, QColor b) {
  return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 && std::abs(a.blue() - b.blue()) < 12;
}

// The default configuration: three cities over the map.
inline const char* kThreeCities =
    "[Mapa]\r\nNCiudades=3\r\n"
    "[Tamanios]\r\nCiudad1Ancho=40\r\nCiudad1Alto=30\r\nCiudad2Ancho=60\r\nCiudad2Alto=40\r\n"
    "Ciudad3Ancho=20\r\nCiudad3Alto=20\r\n"
    "[Hints]\r\nCiudad1=Puerto Vardel\r\nCiudad2=\"Monte Ondra\"\r\nCiudad3=Sin fichero\r\n"
    "[Posiciones]\r\nCiudad1X=300\r\nCiudad1Y=200\r\nCiudad2X=400\r\nCiudad2Y=300\r\nCiudad3X=60\r\nCiudad3Y=150\r\n"
    "[Ficheros]\r\nCiudad1=uno.html\r\nCiudad2=dos.html\r\nCiudad3=falta.html\r\n";

class ContentFolder {
 public:
  // With `registerViewer`, html.ocx of the build is registered as an installed program has it.
  // With `subfolder`, the program folder lies that far below a temporary folder.
  explicit ContentFolder(const char* ini = kThreeCities, bool registerViewer = true,
                         const QString& subfolder = QString()) {
    root_ = dir_.path() + QLatin1Char('/') + (subfolder.isEmpty() ? QString() : subfolder + QLatin1Char('/'));
    if (ini) write("Configuracion.ini", ini);
    write("Graficos/p8", flatJpeg({800, 600}, kP8));
    write("Graficos/p3", flatJpeg({800, 600}, kP3));
    write("Graficos/p1", flatJpeg({800, 600}, kP1));
    write("Graficos/p2", flatJpeg({800, 600}, kP2));
    write("Graficos/p5", flatJpeg({136, 100}, kP5));
    write("Graficos/s1", flatJpeg({120, 300}, QColor(10, 10, 10)));
    write("Graficos/s2", flatJpeg({100, 200}, QColor(250, 250, 250)));
    write("Ficheros/uno.html",
          "<html><body><h1>Uno</h1><p>Texto del art\xed"
          "culo uno.</p></body></html>");
    write("Ficheros/dos.html", "<html><body><p>Dos</p></body></html>");
    write("Ficheros/extra1.html", "<html><body><p>Extra</p></body></html>");
    platform::overrideProgramFolder(root_);
    const QString viewer = QString::fromLatin1(platform::kHtmlViewerClassId);
    if (registerViewer) {
      platform::registerControl(viewer, QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx"));
    } else {
      platform::unregisterControl(viewer);
    }
  }
  ~ContentFolder() { platform::overrideProgramFolder(QString()); }

  QString write(const char* relative, const QByteArray& bytes) {
    return writeFile(root_, QString::fromLatin1(relative), bytes);
  }
  void remove(const char* relative) { QFile::remove(root_ + QString::fromLatin1(relative)); }
  const QString& root() const { return root_; }

 private:
  QTemporaryDir dir_;
  QString root_;
};

// The browser build's control without its engine, from the test fakes; forgotten again by
// forgetFakeBrowser().
inline void useFakeBrowser() {
  platform::registerControl(QLatin1String(platform::kWebBrowserClassId),
                            QStringLiteral(VARDEL_BINARY_DIR "/tests/fakes/fake-browser/webbrowser.so"));
}
inline void forgetFakeBrowser() { platform::unregisterControl(QLatin1String(platform::kWebBrowserClassId)); }

// The map of `variant` on screen at the top left corner, as frmMapa (the test deletes it).
inline TfrmMapa* showMap(Variant variant) {
  if (variant == Variant::WebBrowser) useFakeBrowser();
  frmMapa = new TfrmMapa(variant);
  frmMapa->show();
  frmMapa->move(0, 0);
  EXPECT_TRUE(QTest::qWaitForWindowExposed(frmMapa));
  return frmMapa;
}

}  // namespace vardel::test

// The light viewer confined to a magazine's folder: documents, links and pictures outside it
// are missing files.
#include "controls/host/html_control.h"
#include "tests/controls/control_fixture.h"
#include "tests/support/ui_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextBrowser>
#include <QTextDocument>

#include <memory>

namespace vardel {
namespace {

using test::ControlTest;
using test::kRealOcx;

// A magazine in "revista/" with secrets beside it, and a viewer confined to the magazine.
class ConfinedViewerTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_EQ(callExport(kRealOcx, "DllRegisterServer"), 0);
    world_ = scratch_.path();
    magazine_ = world_ + QStringLiteral("/revista");
    test::writeFile(world_, QStringLiteral("secreto.html"), "<p>SECRETO VECINO</p>");
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(world_ + QStringLiteral("/secreto.png")));
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(test::writeFile(magazine_, QStringLiteral("Graficos/dentro.png"), "")));
    test::writeFile(magazine_, QStringLiteral("Ficheros/portada.html"),
                    "<p>PORTADA <a href=\"../../secreto.html\">fuera</a> <img src=\"../../secreto.png\">"
                    "<img src=\"../Graficos/dentro.png\"></p>");
    ASSERT_TRUE(
        QFile::link(world_ + QStringLiteral("/secreto.html"), magazine_ + QStringLiteral("/Ficheros/enlace.html")));
    window_ = std::make_unique<QWidget>();
    window_->resize(800, 600);
    viewer_ = new THTML(window_.get());
    viewer_->setGeometry(140, 0, 660, 600);
    viewer_->OnParseComplete = [this](QObject*) { ++completed_; };
    viewer_->SetContentFolder(magazine_);
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    QDir::setCurrent(savedFolder_);
    ControlTest::TearDown();
  }
  QTextBrowser* browser() const { return viewer_->findChild<QTextBrowser*>(); }
  QString refusal(const QString& url) {
    try {
      viewer_->LoadDocument(url);
    } catch (const ui::Error& error) {
      return error.text();
    }
    return QStringLiteral("(accepted)");
  }
  void openCover() {
    viewer_->LoadDocument(QStringLiteral("file:") + magazine_ + QStringLiteral("/Ficheros/portada.html"));
    ASSERT_TRUE(test::waitUntil([&] { return completed_ == 1 && browser()->toPlainText().contains("PORTADA"); }));
  }

  QTemporaryDir scratch_;
  QString world_, magazine_;
  const QString savedFolder_ = QDir::currentPath();
  std::unique_ptr<QWidget> window_;
  THTML* viewer_ = nullptr;
  int completed_ = 0;
};

TEST_F(ConfinedViewerTest, DocumentsOutsideAreRefusedAsMissingFiles) {
  const QString missing = QStringLiteral("No se ha encontrado el fichero: ");
  const QString up = magazine_ + QStringLiteral("/Ficheros\\..\\..\\secreto.html");
  EXPECT_EQ(refusal(QStringLiteral("file:") + up),
            missing + magazine_ + QStringLiteral("/Ficheros/../../secreto.html"));
  EXPECT_EQ(refusal(QStringLiteral("file:///etc/passwd")), missing + QStringLiteral("/etc/passwd"));
  EXPECT_EQ(refusal(QStringLiteral("file:") + world_ + QStringLiteral("/secreto.html")),
            missing + world_ + QStringLiteral("/secreto.html"));
  // A link inside the folder that points out of it, and a folder outside: the same answer.
  EXPECT_EQ(refusal(QStringLiteral("file:") + magazine_ + QStringLiteral("/Ficheros/enlace.html")),
            missing + magazine_ + QStringLiteral("/Ficheros/enlace.html"));
  EXPECT_EQ(refusal(QStringLiteral("file:/etc")), missing + QStringLiteral("/etc"));
  test::pump(50);
  EXPECT_EQ(completed_, 0);
  EXPECT_EQ(viewer_->QueryTextMode(), 0);
  openCover();
  EXPECT_THAT(viewer_->GetDocumentText(0, 0).toStdString(), ::testing::HasSubstr("PORTADA"));
}

int pixelsOf(const QImage& image, QColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == colour;
  return count;
}

TEST_F(ConfinedViewerTest, LinksAndPicturesOutsideAreMissing) {
  // As the map has it: the folder of the documents is the current folder, from which Qt would
  // load a picture by its name when the viewer gives none.
  QDir::setCurrent(magazine_ + QStringLiteral("/Ficheros"));
  openCover();
  QImage shown;
  ASSERT_TRUE(test::waitUntil([&] {
    shown = browser()->viewport()->grab().toImage();
    return pixelsOf(shown, Qt::green) > 0;
  })) << "the picture inside the folder never showed";
  EXPECT_EQ(pixelsOf(shown, Qt::red), 0) << "the picture beside the folder showed";
  const auto picture = [&](const QString& url) {
    return browser()->document()->resource(QTextDocument::ImageResource, QUrl(url)).value<QImage>();
  };
  const QImage missing = picture(QStringLiteral("no-existe.png"));
  EXPECT_EQ(picture(world_ + QStringLiteral("/secreto.png")), missing);
  EXPECT_EQ(picture(QStringLiteral("file://") + world_ + QStringLiteral("/secreto.png")), missing);
  EXPECT_EQ(picture(QStringLiteral("file:///etc/passwd")), missing);

  for (const QString& link : {QStringLiteral("../../secreto.html"), QStringLiteral("enlace.html"),
                              QStringLiteral("file:") + world_ + QStringLiteral("/secreto.html")}) {
    const int before = completed_;
    emit browser()->anchorClicked(QUrl(link));
    ASSERT_TRUE(test::waitUntil([&] { return completed_ == before + 1; })) << link.toStdString();
    EXPECT_THROW(viewer_->GetDocumentText(0, 0), ui::Error) << link.toStdString();
    ASSERT_TRUE(test::waitUntil([&] { return browser()->toPlainText().contains("No se ha encontrado el fichero"); }))
        << link.toStdString();
    EXPECT_FALSE(browser()->toPlainText().contains(QStringLiteral("SECRETO"))) << link.toStdString();
  }
}

}  // namespace
}  // namespace vardel

// THTML: creation through the registry, its failures, and the request contract of the viewer.
#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "platform/html/html_source.h"
#include "platform/html/html_text.h"
#include "tests/controls/control_fixture.h"
#include "tests/support/ui_support.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>

#include <memory>

namespace vardel {
namespace {

using test::ControlTest;
using test::kArticles;
using test::kFakes;
using test::kRealOcx;

std::string creationError(const std::function<void()>& create) {
  try {
    create();
  } catch (const ControlError& error) {
    return error.text().toStdString();
  }
  return "(created)";
}

TEST_F(ControlTest, HtmlOcxRegistersAndUnregistersItself) {
  EXPECT_EQ(platform::registeredControl(QLatin1String(platform::kHtmlViewerClassId)), QString());
  EXPECT_EQ(callExport(kRealOcx, "DllRegisterServer"), 0);
  EXPECT_EQ(QFileInfo(platform::registeredControl(QLatin1String(platform::kHtmlViewerClassId))).canonicalFilePath(),
            QFileInfo(kRealOcx).canonicalFilePath());
  EXPECT_EQ(callExport(kRealOcx, "DllUnregisterServer"), 0);
  EXPECT_EQ(platform::registeredControl(QLatin1String(platform::kHtmlViewerClassId)), QString());
}

TEST_F(ControlTest, EveryCreationFailureIsAControlErrorThatSaysWhy) {
  QWidget parent;
  const auto create = [&] { THTML viewer(&parent); };
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("{B7FC355E-8CE7-11CF-9754-00AA00C00908} no está registrada"));

  platform::registerControl(QLatin1String(platform::kHtmlViewerClassId), program_.path() + QStringLiteral("/html.ocx"));
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("No se encuentra la biblioteca del control"));

  platform::registerControl(QLatin1String(platform::kHtmlViewerClassId),
                            kFakes + QStringLiteral("not-a-library/html.ocx"));
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("No se puede cargar la biblioteca del control"));

  // A copy without the factory registers itself all right, and then cannot create the viewer.
  EXPECT_EQ(callExport(kFakes + QStringLiteral("no-factory/html.ocx"), "DllRegisterServer"), 0);
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("no exporta VardelCreateControl"));

  // A copy without DllRegisterServer: the recovery path finds nothing to call.
  EXPECT_EQ(callExport(kFakes + QStringLiteral("no-register/html.ocx"), "DllRegisterServer"), -1);
  EXPECT_EQ(callExport(kFakes + QStringLiteral("no-register/html.ocx"), "DllUnregisterServer"), 0);
  platform::registerControl(QLatin1String(platform::kHtmlViewerClassId),
                            kFakes + QStringLiteral("no-register/html.ocx"));
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("esta copia rota no sabe crear"));

  // A registration that answers failure but registered the real library still gives a viewer.
  EXPECT_EQ(callExport(kFakes + QStringLiteral("register-fails/html.ocx"), "DllRegisterServer"), 1);
  EXPECT_EQ(creationError(create), "(created)");
  EXPECT_TRUE(parent.children().isEmpty());  // the failed and the destroyed viewers left nothing behind
}

TEST_F(ControlTest, AMissingOrBrokenBrowserIsACreationError) {
  QWidget parent;
  const auto create = [&] {
    TWebBrowser browser(&parent);
    browser.start();
  };
  if (QFile::exists(platform::systemControlFolder() + QLatin1String(platform::kWebBrowserLibrary)))
    GTEST_SKIP() << "an installed browser control would be found";
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("no está instalado"));
  test::writeFile(program_.path(), QLatin1String(platform::kWebBrowserLibrary), "no es una biblioteca");
  // Found, so made; the library itself is loaded only when the browser starts.
  EXPECT_NO_THROW(TWebBrowser browser(&parent));
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("No se puede cargar la biblioteca del control"));
  // A library that is not the browser: html.ocx refuses the class.
  platform::registerControl(QLatin1String(platform::kWebBrowserClassId), kRealOcx);
  EXPECT_THAT(creationError(create), ::testing::HasSubstr("html.ocx no proporciona la clase"));
}

// A registered viewer inside a shown window, with its events counted.
class ViewerTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_EQ(callExport(kRealOcx, "DllRegisterServer"), 0);
    window_ = std::make_unique<QWidget>();
    window_->resize(800, 600);
    viewer_ = new THTML(window_.get());
    viewer_->setGeometry(140, 0, 660, 600);
    viewer_->OnParseComplete = [this](QObject* sender) {
      EXPECT_EQ(sender, viewer_);
      ++completed_;
    };
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    ControlTest::TearDown();
  }
  QTextBrowser* browser() const { return viewer_->findChild<QTextBrowser*>(); }
  // Loads and waits for exactly one event.
  void load(const QString& url) {
    const int before = completed_;
    viewer_->LoadDocument(url);
    ASSERT_TRUE(test::waitUntil([&] { return completed_ == before + 1; })) << url.toStdString();
  }
  QString article(const char* name) const { return QStringLiteral("file:") + kArticles + QLatin1String(name); }

  std::unique_ptr<QWidget> window_;
  THTML* viewer_ = nullptr;
  int completed_ = 0;
};

TEST_F(ViewerTest, ParseCompleteComesOnceAfterLoadDocumentReturned) {
  viewer_->LoadDocument(article("geografia.html"));
  EXPECT_EQ(completed_, 0);
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 1; }));
  test::pump(100);
  EXPECT_EQ(completed_, 1);
  EXPECT_TRUE(
      viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("Mapa de Ondravia\r\n\r\nGeografía de Ondravia")));
}

TEST_F(ViewerTest, ANewerRequestReplacesOneNotYetServed) {
  viewer_->LoadDocument(article("geografia.html"));
  viewer_->LoadDocument(article("historia.html"));
  // Asked before the event, the text is already the newest document's.
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("Historia\r\n")));
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 1; }));
  test::pump(100);
  EXPECT_EQ(completed_, 1);
  EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("Historia")));
}

TEST_F(ViewerTest, RequestsThatCannotBeTakenFailAtOnceAndRaiseNothing) {
  for (const QString& url : {QStringLiteral("http://www.ondravia.es/geografia.html"), QStringLiteral("geografia.html"),
                             QStringLiteral("file:") + kArticles, article("no-existe.html"),
                             QStringLiteral("file://servidor/Ficheros/geografia.html")}) {
    try {
      viewer_->LoadDocument(url);
      ADD_FAILURE() << "accepted " << url.toStdString();
    } catch (const ui::Error& error) {
      EXPECT_FALSE(error.text().isEmpty());
    }
  }
  try {
    viewer_->LoadDocument(article("no-existe.html"));
  } catch (const ui::Error& error) {
    EXPECT_EQ(error.text(),
              QStringLiteral("No se ha encontrado el fichero: ") + kArticles + QStringLiteral("no-existe.html"));
  }
  test::pump(100);
  EXPECT_EQ(completed_, 0);
  // Nothing was requested, so there is no text, and no failure either.
  EXPECT_EQ(viewer_->QueryTextMode(), 0);
  EXPECT_EQ(viewer_->GetDocumentText(-1, -1), QString());
}

TEST_F(ViewerTest, AFileGoneBeforeItsTurnGivesAnErrorPageAndATextError) {
  QTemporaryDir dir;
  const QString path = test::writeFile(dir.path(), QStringLiteral("efimero.html"), "<p>hola");
  viewer_->LoadDocument(QStringLiteral("file:") + path);
  QFile::remove(path);
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 1; }));
  EXPECT_EQ(viewer_->QueryTextMode(), 0);
  EXPECT_THROW(viewer_->GetDocumentText(0, 0), ui::Error);
  test::pump(50);
  EXPECT_TRUE(browser()->toPlainText().contains(QStringLiteral("No se ha encontrado el fichero")));
}

TEST_F(ViewerTest, AFileRewrittenBeforeItsTurnShowsWhatItHoldsThen) {
  QTemporaryDir dir;
  const QString path = test::writeFile(dir.path(), QStringLiteral("cambia.html"), "<p>uno");
  viewer_->LoadDocument(QStringLiteral("file:") + path);
  test::writeFile(dir.path(), QStringLiteral("cambia.html"), "<p>dos");  // the same size, at once
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 1; }));
  EXPECT_EQ(viewer_->GetDocumentText(0, 0), QStringLiteral("dos"));
  test::pump(50);
  EXPECT_EQ(browser()->toPlainText(), QStringLiteral("dos"));
}

TEST_F(ViewerTest, ADocumentNestedTooDeepIsRefusedAtOnceAndTheHeldOneStays) {
  load(article("historia.html"));
  QTemporaryDir dir;
  const QString deep =
      test::writeFile(dir.path(), QStringLiteral("hostil.html"), "<p>" + QByteArray("<div>").repeated(100000));
  try {
    viewer_->LoadDocument(QStringLiteral("file:") + deep);
    ADD_FAILURE() << "accepted";
  } catch (const ui::Error& error) {
    EXPECT_EQ(error.text(), QStringLiteral("El documento anida más de 512 elementos unos dentro de otros y no se puede "
                                           "mostrar: ") +
                                deep);
  }
  test::pump(100);
  EXPECT_EQ(completed_, 1);
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("Historia")));
  EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("Historia")));
  // A million sibling elements, shallow: refused as well, for their number.
  const QString many =
      test::writeFile(dir.path(), QStringLiteral("muchos.html"), QByteArray("<span>a</span>").repeated(1000000));
  try {
    viewer_->LoadDocument(QStringLiteral("file:") + many);
    ADD_FAILURE() << "accepted";
  } catch (const ui::Error& error) {
    EXPECT_EQ(error.text(),
              QStringLiteral("El documento tiene más de 100000 elementos y no se puede mostrar: ") + many);
  }
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("Historia")));
  // Deep but within the limit: shown, with its text.
  load(QStringLiteral("file:") +
       test::writeFile(dir.path(), QStringLiteral("hondo.html"), QByteArray("<div>").repeated(500) + "fondo"));
  EXPECT_EQ(viewer_->GetDocumentText(0, 0), QStringLiteral("fondo"));
}

TEST_F(ViewerTest, TextArgumentsSelectAllOrARange) {
  load(article("historia.html"));
  const QString all = viewer_->GetDocumentText(0, 0);
  EXPECT_EQ(all, platform::html::htmlToText(platform::html::decodeHtml([&] {
                                              QFile f(kArticles + QStringLiteral("historia.html"));
                                              f.open(QIODevice::ReadOnly);
                                              return f.readAll();
                                            }())
                                                .text));
  EXPECT_EQ(viewer_->GetDocumentText(-1, -1), all);
  EXPECT_EQ(viewer_->GetDocumentText(5, 2), all);
  EXPECT_EQ(viewer_->GetDocumentText(0, 8), QStringLiteral("Historia"));
  EXPECT_EQ(viewer_->GetDocumentText(10, 1000000), all.mid(10));
  EXPECT_NE(viewer_->QueryTextMode(), 0);
}

TEST_F(ViewerTest, EveryCharsetCaseAndUrlFormReadsRight) {
  // Windows-1252 without a declaration, given the way the map forms the URL.
  QString mapForm = QStringLiteral("file:") + kArticles + QStringLiteral("geografia.html");
  mapForm.replace(mapForm.lastIndexOf(QLatin1Char('/')), 1, QLatin1Char('\\'));
  load(mapForm);
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).contains(QStringLiteral("Ríos y lagos")));
  // Declared Windows-1252, through "file:///" with escapes and a case-different name.
  load(QStringLiteral("file://") + QString(kArticles).replace(QStringLiteral(" "), QStringLiteral("%20")) +
       QStringLiteral("HISTORIA.HTML"));
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).contains(QStringLiteral("«desembarcaron")));
  // UTF-8 with a byte order mark, and declared UTF-8.
  load(article("fauna.html"));
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).contains(QStringLiteral("murciélago")));
  load(article("cultura.html"));
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).contains(QStringLiteral("pañuelos")));
  EXPECT_EQ(completed_, 4);
}

TEST_F(ViewerTest, HandlersMayFailOrAskForMoreWithoutHarm) {
  test::MessageRecorder messages;
  viewer_->OnParseComplete = [&](QObject*) {
    ++completed_;
    if (completed_ == 1) viewer_->LoadDocument(article("cultura.html"));
    if (completed_ == 2) throw ui::Error(QStringLiteral("fallo del manejador"));
  };
  viewer_->LoadDocument(article("historia.html"));
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 2; }));
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("fallo del manejador")});
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("Cultura")));
}

}  // namespace
}  // namespace vardel

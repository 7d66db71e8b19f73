// The map of `ondravia` and its browser's events, with a browser control that has no engine:
// the URLs the map remembers and where it sends the browser.
#include "controls/host/web_browser.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "tests/shell/shell_fixture.h"

#include <gtest/gtest.h>

namespace vardel {
namespace {

class NavegadorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::useFakeBrowser();
    frmMapa = new TfrmMapa(Variant::WebBrowser);
    m = frmMapa;
    m->startBrowser();
  }
  void TearDown() override {
    delete frmMapa.data();
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
  }
  QStringList navigations() const {
    const QWidget* browser = m->wIE4->findChild<QWidget*>(QStringLiteral("fakeBrowser"));
    return browser ? browser->property("navigations").toStringList() : QStringList{QStringLiteral("(no browser)")};
  }
  // The events as the control raises them, through the handlers the map bound.
  void statusText(const QString& text) { ui::fire(m->wIE4->OnStatusTextChange, m->wIE4, text); }
  bool beforeNavigate(const QString& url) {
    bool cancel = false;
    ui::fire(m->wIE4->OnBeforeNavigate2, m->wIE4, url, cancel);
    return cancel;
  }
  bool newWindow() {
    bool cancel = false;
    ui::fire(m->wIE4->OnNewWindow2, m->wIE4, cancel);
    return cancel;
  }

  test::ContentFolder folder_;
  TfrmMapa* m = nullptr;
};

TEST_F(NavegadorTest, OpeningADocumentRemembersItsUrlTwiceAndNavigatesThere) {
  m->AbrirFichero(QStringLiteral("uno.html"));
  const QString url = QStringLiteral("file:") + folder_.root() + QStringLiteral("Ficheros\\uno.html");
  EXPECT_EQ(m->URLActual, url);
  EXPECT_EQ(m->URLEnlace, url);
  EXPECT_EQ(navigations(), QStringList{url});
}

TEST_F(NavegadorTest, OnlyAStatusTextWithALowerCaseFileChangesTheRememberedLink) {
  m->URLEnlace = QStringLiteral("file:///antes.html");
  for (const char* text : {"FILE:///C:/OTRO.HTML", "http://ondravia.example/", "", "Fichero listo"}) {
    statusText(QString::fromLatin1(text));
    EXPECT_EQ(m->URLEnlace, QStringLiteral("file:///antes.html")) << text;
  }
  statusText(QStringLiteral("Abrir file:///revista/Ficheros/dos.html"));
  EXPECT_EQ(m->URLEnlace, QStringLiteral("file:///revista/Ficheros/dos.html"));
  EXPECT_TRUE(navigations().isEmpty());  // pointing at a link opens nothing
}

TEST_F(NavegadorTest, ANewWindowRequestIsCancelledAndTheRememberedLinkOpensInPlace) {
  m->URLEnlace = QStringLiteral("file:///revista/Ficheros/dos.html");
  EXPECT_TRUE(newWindow());
  EXPECT_EQ(navigations(), QStringList{QStringLiteral("file:///revista/Ficheros/dos.html")});
}

TEST_F(NavegadorTest, EveryNavigationIsRememberedFromFileOnAndNeverCancelled) {
  EXPECT_FALSE(beforeNavigate(QStringLiteral("view-source:file:///revista/Ficheros/tres.html")));
  EXPECT_EQ(m->URLActual, QStringLiteral("file:///revista/Ficheros/tres.html"));
  EXPECT_FALSE(beforeNavigate(QStringLiteral("https://ondravia.example/FILE")));
  EXPECT_EQ(m->URLActual, QStringLiteral("https://ondravia.example/FILE"));  // no "file": as it came
}

// The engine starts after the map is made: the start-up asks for it once the opening is on the
// screen, and a document that comes first starts it itself.
TEST(NavegadorStart, TheFirstDocumentStartsTheBrowserWhenTheStartUpHasNotYet) {
  test::ContentFolder folder;
  test::useFakeBrowser();
  frmMapa = new TfrmMapa(Variant::WebBrowser);
  EXPECT_FALSE(frmMapa->wIE4->started());
  frmMapa->AbrirFichero(QStringLiteral("uno.html"));
  ASSERT_TRUE(frmMapa->wIE4->started());
  const QWidget* browser = frmMapa->wIE4->findChild<QWidget*>(QStringLiteral("fakeBrowser"));
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->property("navigations").toStringList().size(), 1);
  delete frmMapa.data();
}

// Last in this program: it ends the application's loop for good.
TEST(NavegadorStart, AnEngineThatCannotStartIsAMissingBrowserAndEndsTheProgram) {
  test::ContentFolder folder;
  test::MessageRecorder messages;
  // Found beside the program, but not a library at all.
  const QString broken = folder.write("broken-webbrowser.so", "no es una biblioteca");
  platform::registerControl(QLatin1String(platform::kWebBrowserClassId), broken);
  frmMapa = new TfrmMapa(Variant::WebBrowser);
  EXPECT_TRUE(messages.texts().isEmpty());  // nothing is loaded yet
  frmMapa->AbrirFichero(QStringLiteral("uno.html"));
  EXPECT_FALSE(frmMapa->wIE4->started());
  EXPECT_EQ(messages.texts(),
            QStringList{QStringLiteral("Debes instalar primero la versión 4.x del Internet Explorer")});
  EXPECT_TRUE(ui::Application::instance().terminated());
  EXPECT_EQ(ui::Application::instance().run(), 1);  // the program's exit status: a failure
  EXPECT_TRUE(frmMapa->URLActual.isEmpty());        // no navigation was attempted
  delete frmMapa.data();
  test::forgetFakeBrowser();
}

}  // namespace
}  // namespace vardel

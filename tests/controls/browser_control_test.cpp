// The browser control on a real X server: navigation, link hover, link clicks, new windows,
// parking far outside the window. Run by browser_control_test.sh under Xvfb, with real pointer
// input from xdotool.
#include "controls/host/web_browser.h"
#include "tests/controls/control_fixture.h"
#include "tests/support/ui_support.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QUrl>

#include <memory>

#include <unistd.h>

namespace vardel {
namespace {

using test::kArticles;

// Where the links of enlaces.html are on the screen: the window at 0,0, the browser at 140,0.
const QPoint kHistoria(140 + 120, 40);
const QPoint kCulturaBlank(140 + 120, 120);
const QPoint kFaunaButton(140 + 120, 200);
const QPoint kEmpty(140 + 500, 500);

void pointer(const QStringList& arguments) {
  ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0) << arguments.join(' ').toStdString();
}
void moveTo(QPoint at) {
  // Without --sync, which waits for a motion that never comes when the pointer is there already.
  pointer({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
  ASSERT_TRUE(test::waitUntil([&] { return QCursor::pos() == at; }, 2000));
}
void clickAt(QPoint at) {
  moveTo(at);
  pointer({QStringLiteral("click"), QStringLiteral("1")});
}

QColor screenPixel(QPoint at) {
  return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
}

class BrowserTest : public test::ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    // The browser is found beside the program, without registration.
    platform::overrideProgramFolder(QStringLiteral(VARDEL_PROGRAM_DIR));
    window_ = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    window_->setGeometry(0, 0, 800, 600);
    browser_ = new TWebBrowser(window_.get());
    browser_->setGeometry(140, 0, 660, 600);
    browser_->start();
    browser_->OnBeforeNavigate2 = [this](QObject* sender, const QString& url, bool&) {
      EXPECT_EQ(sender, browser_);
      navigations_ << url;
    };
    browser_->OnStatusTextChange = [this](QObject*, const QString& text) { statusTexts_ << text; };
    browser_->OnNewWindow2 = [this](QObject*, bool& cancel) {
      ++newWindows_;
      cancel = cancelNewWindows_;
    };
    window_->show();
    ASSERT_TRUE(test::waitUntil([&] { return window_->isVisible(); }));
    // The engine reports hovering only in the window that has the input focus, as the map
    // has; without a window manager it must be asked for (a new window may have taken it).
    window_->activateWindow();
    test::pump(100);
    topLevels_ = QApplication::topLevelWidgets().size();
  }
  void TearDown() override {
    EXPECT_TRUE(messages_.texts().isEmpty()) << messages_.texts().join(' ').toStdString();
    window_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    test::pump(100);
    ControlTest::TearDown();
  }
  QWidget* view() const { return browser_->findChild<QWidget*>(QStringLiteral("WebBrowser")); }
  QString title() const { return view()->property("title").toString(); }
  QString article(const char* name) const { return QStringLiteral("file:") + kArticles + QLatin1String(name); }
  // Opens enlaces.html and waits until its green link is on the screen.
  void openLinks() {
    moveTo(kEmpty);  // so that reaching a link is a move the page sees
    browser_->Navigate(article("enlaces.html"));
    ASSERT_TRUE(test::waitUntil([&] { return screenPixel(kHistoria) == QColor(0, 255, 0); }, 20000))
        << "the page never showed; pixel " << screenPixel(kHistoria).name().toStdString();
  }

  test::MessageRecorder messages_;  // a message box would wait for a person forever
  std::unique_ptr<QWidget> window_;
  TWebBrowser* browser_ = nullptr;
  QStringList navigations_, statusTexts_;
  int newWindows_ = 0;
  bool cancelNewWindows_ = true;
  qsizetype topLevels_ = 0;
};

TEST_F(BrowserTest, NavigateReportsTheUrlFirstAndShowsTheArticle) {
  QString mapForm = article("enlaces.html");
  mapForm.replace(mapForm.lastIndexOf(QLatin1Char('/')), 1, QLatin1Char('\\'));
  browser_->Navigate(mapForm);
  ASSERT_TRUE(test::waitUntil([&] { return screenPixel(kHistoria) == QColor(0, 255, 0); }, 20000));
  ASSERT_FALSE(navigations_.isEmpty());
  EXPECT_EQ(navigations_.first(), QUrl::fromLocalFile(kArticles + QStringLiteral("enlaces.html")).toString());
  EXPECT_TRUE(navigations_.first().startsWith(QStringLiteral("file:///")));
  EXPECT_EQ(title(), QStringLiteral("Enlaces"));
  // The engine's sandbox is given up only by root, who cannot have it.
  EXPECT_EQ(qgetenv("QTWEBENGINE_DISABLE_SANDBOX") == "1", ::geteuid() == 0);
  QGuiApplication::primaryScreen()->grabWindow(0).save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/browser-enlaces.png"));
  EXPECT_THROW(browser_->Navigate(article("no-existe.html")), ui::Error);
}

TEST_F(BrowserTest, HoveringALinkShowsItsUrlAndLeavingClearsIt) {
  openLinks();
  moveTo(kEmpty);
  statusTexts_.clear();
  moveTo(kHistoria);
  ASSERT_TRUE(test::waitUntil([&] { return !statusTexts_.isEmpty(); }, 5000));
  EXPECT_TRUE(statusTexts_.last().startsWith(QStringLiteral("file:///"))) << statusTexts_.last().toStdString();
  EXPECT_TRUE(statusTexts_.last().endsWith(QStringLiteral("/Historia.HTML"))) << statusTexts_.last().toStdString();
  moveTo(kEmpty);
  ASSERT_TRUE(test::waitUntil([&] { return statusTexts_.last().isEmpty(); }, 5000));
}

TEST_F(BrowserTest, ALinkClickIsReportedBeforeItsNavigation) {
  openLinks();
  navigations_.clear();
  clickAt(kHistoria);
  ASSERT_TRUE(test::waitUntil([&] { return title() == QLatin1String("Historia de Ondravia"); }, 10000))
      << title().toStdString();
  ASSERT_FALSE(navigations_.isEmpty());
  EXPECT_TRUE(navigations_.first().startsWith(QStringLiteral("file:///")));
  EXPECT_TRUE(navigations_.first().endsWith(QStringLiteral("/Historia.HTML"))) << navigations_.first().toStdString();
}

TEST_F(BrowserTest, ACancelledNewWindowNeverOpens) {
  openLinks();
  clickAt(kCulturaBlank);
  ASSERT_TRUE(test::waitUntil([&] { return newWindows_ == 1; }, 5000));
  clickAt(kFaunaButton);
  ASSERT_TRUE(test::waitUntil([&] { return newWindows_ == 2; }, 5000));
  test::pump(500);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevels_);
  EXPECT_EQ(title(), QStringLiteral("Enlaces"));
}

TEST_F(BrowserTest, AnUncancelledNewWindowOpensLikeABrowsers) {
  cancelNewWindows_ = false;
  openLinks();
  clickAt(kCulturaBlank);
  ASSERT_TRUE(test::waitUntil([&] { return QApplication::topLevelWidgets().size() == topLevels_ + 1; }, 5000));
  QWidget* popup = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != window_.get() && w->isVisible()) popup = w;
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(test::waitUntil([&] { return popup->windowTitle() == QLatin1String("Cultura"); }, 10000));
  EXPECT_EQ(title(), QStringLiteral("Enlaces"));  // the control keeps its page
}

TEST_F(BrowserTest, TheMapsWayOpensANewWindowsDocumentInPlace) {
  // As the map does: remember the last local link shown, cancel the new window, go there.
  QString lastLink;
  browser_->OnStatusTextChange = [&](QObject*, const QString& text) {
    statusTexts_ << text;
    if (text.contains(QLatin1String("file"))) lastLink = text.mid(text.indexOf(QLatin1String("file")));
  };
  browser_->OnNewWindow2 = [&](QObject*, bool& cancel) {
    ++newWindows_;
    cancel = true;
    browser_->Navigate(lastLink);
  };
  openLinks();
  moveTo(kCulturaBlank);
  ASSERT_TRUE(test::waitUntil([&] { return lastLink.endsWith(QLatin1String("/cultura.html")); }, 5000))
      << statusTexts_.join(QLatin1Char('|')).toStdString();
  clickAt(kCulturaBlank);
  ASSERT_TRUE(test::waitUntil([&] { return title() == QLatin1String("Cultura"); }, 10000)) << title().toStdString();
  EXPECT_TRUE(messages_.texts().isEmpty()) << messages_.texts().join(' ').toStdString();
  EXPECT_EQ(newWindows_, 1);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), topLevels_);
}

TEST_F(BrowserTest, ItWorksParkedFarBelowAndShowsWhenBroughtBack) {
  browser_->move(140, 5000);
  browser_->Navigate(article("enlaces.html"));
  ASSERT_TRUE(test::waitUntil([&] { return title() == QLatin1String("Enlaces"); }, 20000));
  EXPECT_EQ(navigations_.size(), 1);
  EXPECT_NE(screenPixel(kHistoria), QColor(0, 255, 0));
  browser_->move(140, 0);
  ASSERT_TRUE(test::waitUntil([&] { return screenPixel(kHistoria) == QColor(0, 255, 0); }, 10000));
  browser_->move(140, 5000);
  browser_->Navigate(article("cultura.html"));
  ASSERT_TRUE(test::waitUntil([&] { return title() == QLatin1String("Cultura"); }, 10000));
  browser_->move(140, 0);
  ASSERT_TRUE(test::waitUntil([&] { return screenPixel(kHistoria) != QColor(0, 255, 0); }, 10000));
  QGuiApplication::primaryScreen()->grabWindow(0).save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/browser-cultura.png"));
}

}  // namespace
}  // namespace vardel

// The map's buttons that need no window of their own: close with its question, minimise,
// credits, and the game started or brought up again.
#include "platform/processes.h"
#include "platform/x11_windows.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/x_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace vardel {
namespace {

using test::ContentFolder;

const QString kGameCaption = QStringLiteral("Tumblo de ONDRAVIA Magazine");

class BotonesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const qint64 pid : games_) ::kill(pid_t(pid), SIGKILL);
    delete frmMapa.data();
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
    test::forgetFakeBrowser();
  }
  static TfrmMapa* make(Variant variant = Variant::Basic) { return test::showMap(variant); }

  // The game folder with the stand-in game, told what to do (see tests/fakes/fake_game.c).
  void installGame(const char* mode, int delayMs = 0) {
    folder_.write("Extras/Tumblo/Tumblo.exe", readAll(QStringLiteral(VARDEL_BINARY_DIR "/tests/fakes/fake_game")));
    QFile::setPermissions(gameFolder() + QStringLiteral("Tumblo.exe"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("VARDEL_FAKE_GAME", mode);
    qputenv("VARDEL_FAKE_GAME_DELAY", QByteArray::number(delayMs));
    qputenv("VARDEL_FAKE_GAME_REPORT", "informe.txt");
  }
  QString gameFolder() const { return folder_.root() + QStringLiteral("Extras/Tumblo/"); }
  // What the last game started wrote about itself; empty when none started since the last call.
  QString takeReport() {
    QFile file(gameFolder() + QStringLiteral("informe.txt"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromUtf8(file.readAll());
    file.remove();
    const qint64 pid = text.section(QStringLiteral("pid="), 1, 1).section(QLatin1Char('\n'), 0, 0).toLongLong();
    if (pid > 0) games_.push_back(pid);
    return text;
  }
  static QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void pressGameButton() { QTest::mousePress(frmMapa->Shape28, Qt::LeftButton, {}, QPoint(10, 10)); }

  ContentFolder folder_;
  std::vector<qint64> games_;
};

// Asks for the close question to be answered by `act` when it comes; `asked` counts it.
void answerClose(int& asked, std::function<void(QWidget*)> act) {
  test::whenModalShows([&asked, act](QWidget* dialog) {
    ++asked;
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Information"));
    const auto* text = dialog->findChild<QLabel*>(QStringLiteral("text"));
    EXPECT_TRUE(text && text->text() == QStringLiteral("¿Quieres cerrar ONDRAVIA VARDEL?"));
    act(dialog);
  });
}

TEST_F(BotonesTest, TheCloseQuestionComesOnPressInTheBasicProgramAndOnlyOkCloses) {
  TfrmMapa* m = make();
  ASSERT_EQ(ui::Application::instance().mainForm(), m);
  int asked = 0;
  answerClose(asked, [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
  QTest::mousePress(m->Shape22, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(asked, 1);
  QTest::mouseRelease(m->Shape22, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(asked, 1);  // the release asks nothing more
  EXPECT_TRUE(m->isVisible());
  EXPECT_TRUE(m->tmReloj->enabled());
  // Any button asks; "No" leaves everything as it was.
  answerClose(asked, [](QWidget* d) { QTest::keyClick(d, Qt::Key_N, Qt::AltModifier); });
  QTest::mousePress(m->Shape22, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(m->isVisible());
  EXPECT_FALSE(ui::Application::instance().terminated());
  answerClose(asked, [](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); });
  QTest::mousePress(m->Shape22, Qt::MiddleButton, {}, QPoint(5, 5));
  EXPECT_EQ(asked, 3);
  EXPECT_FALSE(m->isVisible());
  EXPECT_FALSE(m->tmReloj->enabled());  // the map's close ran
  EXPECT_EQ(m->cN[2], nullptr);
  EXPECT_TRUE(ui::Application::instance().terminated());
}

TEST_F(BotonesTest, TheCloseQuestionComesOnReleaseInTheBrowserProgram) {
  TfrmMapa* m = make(Variant::WebBrowser);
  int asked = 0;
  answerClose(asked, [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); });
  QTest::mousePress(m->Shape22, Qt::LeftButton, {}, QPoint(5, 5));
  test::pump(50);
  EXPECT_EQ(asked, 0);
  QTest::mouseRelease(m->Shape22, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(m->isVisible());
}

TEST_F(BotonesTest, MinimiseTakesTheMapAndItsOwnedWindowsAlong) {
  TfrmMapa* m = make();
  ui::Form owned(m);
  owned.show();
  QTest::mouseRelease(m->Shape24, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(m->isMinimized());  // it acts on the press
  QTest::mousePress(m->Shape24, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(m->isMinimized());
  EXPECT_TRUE(owned.isMinimized());
  m->showNormal();
  EXPECT_TRUE(test::waitUntil([&] { return !owned.isMinimized(); }, 1000));
}

TEST_F(BotonesTest, TheCreditsLoadTheirPictureEachTimeTheyOpenAndReleaseItWhenTheyClose) {
  folder_.write("Graficos/p4", test::flatJpeg({800, 600}, test::kP1));
  TfrmMapa* m = make();
  EXPECT_FALSE(m->panelAcercaDe->isVisible());
  QTest::mousePress(m->Shape26, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(m->panelAcercaDe->isVisible());
  ASSERT_TRUE(m->imgAcercaDe->hasPicture());
  EXPECT_TRUE(test::near(m->imgAcercaDe->picture().pixelColor(400, 300), test::kP1));
  EXPECT_EQ(m->Label12->caption(), QStringLiteral("VOLVER"));
  // The panel covers the map: the close button's place now belongs to it.
  EXPECT_EQ(m->client()->childAt(770, 5), m->imgAcercaDe);
  QTest::mousePress(m->Shape25, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_FALSE(m->panelAcercaDe->isVisible());
  EXPECT_FALSE(m->imgAcercaDe->hasPicture());

  folder_.write("Graficos/p4", test::flatJpeg({800, 600}, test::kP2));
  QTest::mousePress(m->Shape26, Qt::MiddleButton, {}, QPoint(10, 10));
  EXPECT_TRUE(test::near(m->imgAcercaDe->picture().pixelColor(400, 300), test::kP2));
  QTest::mousePress(m->Shape25, Qt::LeftButton, {}, QPoint(10, 10));

  folder_.remove("Graficos/p4");  // silently the silver panel
  QTest::mousePress(m->Shape26, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(m->panelAcercaDe->isVisible());
  EXPECT_FALSE(m->imgAcercaDe->hasPicture());
  EXPECT_EQ(m->panelAcercaDe->color(), ui::clSilver);
}

TEST_F(BotonesTest, TheGameStartsFromItsFolderAndTheMapWaitsForItsWindowThenBringsItUpAgain) {
  test::XServer x(true);
  if (!x.running()) GTEST_SKIP() << "no Xvfb or openbox";
  installGame("window", 400);
  TfrmMapa* m = make();
  QElapsedTimer clock;
  clock.start();
  pressGameButton();
  EXPECT_GE(clock.elapsed(), 400);  // it did not answer until the game was up
  const platform::WindowId game = platform::findTopLevelWindow(kGameCaption);
  EXPECT_NE(game, 0u);
  const QString report = takeReport();
  EXPECT_TRUE(report.contains(QStringLiteral("folder=") + QDir(gameFolder()).canonicalPath() + QLatin1Char('\n')))
      << report.toStdString();
  EXPECT_EQ(QDir::current().canonicalPath(), QDir(gameFolder()).canonicalPath());

  // Minimised, then the button again: the same game comes back, none is started.
  test::xTool(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QString::number(game)});
  const auto state = [&] {
    return test::xTool(QStringLiteral("xprop"),
                       {QStringLiteral("-id"), QString::number(game), QStringLiteral("WM_STATE")});
  };
  ASSERT_TRUE(test::waitUntil([&] { return state().contains(QStringLiteral("Iconic")); }));
  QTest::mousePress(m->Shape28, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_TRUE(test::waitUntil([&] { return state().contains(QStringLiteral("Normal")); }));
  EXPECT_TRUE(takeReport().isEmpty());
  EXPECT_EQ(platform::findTopLevelWindow(kGameCaption), game);
}

TEST_F(BotonesTest, OnlyAWindowWithTheExactCaptionCountsAsTheGame) {
  test::XServer x;
  if (!x.running()) GTEST_SKIP() << "no Xvfb";
  installGame("window");
  qputenv("VARDEL_FAKE_GAME_CAPTION", "Tumblo de ONDRAVIA magazine");
  QDir::setCurrent(gameFolder());
  const std::optional<std::int64_t> other = platform::startProcess(gameFolder() + QStringLiteral("Tumblo.exe"));
  ASSERT_TRUE(other);
  ASSERT_EQ(platform::waitUntilReady(*other), platform::ProcessReady::WindowShown);
  takeReport();
  qunsetenv("VARDEL_FAKE_GAME_CAPTION");
  make();
  pressGameButton();
  EXPECT_FALSE(takeReport().isEmpty());  // started: the other window is not the game
  EXPECT_NE(platform::findTopLevelWindow(kGameCaption), 0u);
}

TEST_F(BotonesTest, ABrokenOrMissingGameNeverHoldsTheMapAndIsNotReported) {
  TfrmMapa* m = make();
  for (const char* mode : {"exit", "crash"}) {
    installGame(mode, 100);
    QElapsedTimer clock;
    clock.start();
    pressGameButton();
    EXPECT_LT(clock.elapsed(), platform::kIdleMilliseconds) << mode;
    EXPECT_FALSE(takeReport().isEmpty()) << mode;
  }
  folder_.write("Extras/Tumblo/Tumblo.exe", "esto no es un programa");
  QFile::setPermissions(gameFolder() + QStringLiteral("Tumblo.exe"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  pressGameButton();
  folder_.remove("Extras/Tumblo/Tumblo.exe");
  QDir::setCurrent(QDir::tempPath());
  pressGameButton();
  EXPECT_EQ(QDir::current().canonicalPath(), QDir(gameFolder()).canonicalPath());  // only that changed
  QDir(gameFolder()).removeRecursively();
  QDir::setCurrent(QDir::tempPath());
  pressGameButton();
  EXPECT_EQ(QDir::current().canonicalPath(), QDir(QDir::tempPath()).canonicalPath());
  EXPECT_TRUE(m->isVisible());
}

}  // namespace
}  // namespace vardel

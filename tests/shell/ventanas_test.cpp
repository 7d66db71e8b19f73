// The map's buttons that open windows: the editor, the CD player and the MP3 player, their
// creation failures, the parse-complete notification, and the close that asks every editor.
#include "cdplayer/lector_form.h"
#include "controls/host/html_control.h"
#include "editor/editor_form.h"
#include "mp3/mp3_form.h"
#include "platform/mci/mci.h"
#include "platform/richedit/richedit.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "tests/mci/disc_fixture.h"
#include "tests/shell/shell_fixture.h"
#include "ui/message_dialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <new>

namespace vardel {
namespace {

using test::ContentFolder;
using test::MessageRecorder;

const QString kEditorFailure = QStringLiteral("No hay suficiente memoria para crear la pantalla de Edicion");
const QString kLectorFailure = QStringLiteral("No hay suficiente memoria para crear la pantalla del lector de Cd");
const QString kMP3Failure = QStringLiteral("No hay suficiente memoria para crear la pantalla del lector de MP3");

void freeDeferred() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class VentanasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("VARDEL_AUDIO_DRIVER", "dummy");
    disc_ = folder_.root() + QStringLiteral("disco");
    QDir().mkpath(disc_);
    test::writeTrackFolder(disc_);
    folder_.write("Graficos/p6", test::flatJpeg({289, 292}, test::kP1));
    folder_.write("Graficos/p9", test::flatJpeg({295, 296}, test::kP2));
    qputenv("VARDEL_CD_DEVICE", QFile::encodeName(disc_));
  }
  void TearDown() override {
    const platform::MCIDEVICEID device = frmLector ? frmLector->dispositivo() : 0;
    delete frmMapa.data();
    // The program never closes the drive; the next test must find it closed.
    if (device) platform::mciSendCommand(device, platform::MCI_CLOSE, 0, nullptr);
    freeDeferred();
    qunsetenv("VARDEL_CD_DEVICE");
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
    test::forgetFakeBrowser();
  }
  static TfrmMapa* make(Variant variant = Variant::Basic) { return test::showMap(variant); }
  static void press(TShape2* shape, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(shape, button, {}, QPoint(5, 5));
  }
  static void release(TShape2* shape, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(shape, button, {}, QPoint(5, 5));
  }
  static int editorCount(TfrmMapa* m) {
    int n = 0;
    for (TfrmEditor* e : m->findChildren<TfrmEditor*>(QString(), Qt::FindDirectChildrenOnly)) n += e->isVisible();
    return n;
  }

  ContentFolder folder_;
  QString disc_;
};

TEST_F(VentanasTest, TheEditorOpensOnReleaseAndEveryClickOpensAnotherOwnedByTheMap) {
  TfrmMapa* m = make();
  press(m->Shape21);
  EXPECT_EQ(frmEditor, nullptr);  // the press does nothing
  release(m->Shape21);
  ASSERT_NE(frmEditor, nullptr);
  TfrmEditor* first = frmEditor;
  EXPECT_EQ(first->parent(), m);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
  release(m->Shape21, Qt::RightButton);
  ASSERT_NE(frmEditor, nullptr);
  EXPECT_NE(frmEditor.data(), first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_EQ(editorCount(m), 2);
}

TEST_F(VentanasTest, EachWindowsCreationFailureHasItsMessageDiscardsThePartlyMadeWindowAndKeepsTheOthers) {
  TfrmMapa* m = make();
  release(m->Shape21);
  TfrmEditor* earlier = frmEditor;
  ASSERT_NE(earlier, nullptr);
  MessageRecorder messages;
  // A creation that gets as far as a window and then fails.
  QPointer<TfrmEditor> partial;
  m->factories.editor = [&partial](TfrmMapa& map) -> TfrmEditor* {
    partial = new TfrmEditor(&map, map);
    throw std::bad_alloc();
  };
  release(m->Shape21);
  EXPECT_EQ(messages.texts(), QStringList{kEditorFailure});
  EXPECT_EQ(partial, nullptr);
  EXPECT_EQ(frmEditor.data(), earlier);
  EXPECT_TRUE(earlier->isVisible());
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);

  messages.clear();
  m->factories.lector = [](TfrmMapa&) -> TfrmLector* { throw std::bad_alloc(); };
  press(m->Shape23);
  EXPECT_EQ(messages.texts(), QStringList{kLectorFailure});
  EXPECT_EQ(frmLector, nullptr);
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);

  messages.clear();
  m->factories.mp3 = [](TfrmMapa&) -> TfrmMP3* { throw std::bad_alloc(); };
  press(m->Shape27);
  EXPECT_EQ(messages.texts(), QStringList{kMP3Failure});
  EXPECT_EQ(frmMP3, nullptr);
  EXPECT_EQ(m->mp3, nullptr);  // the map's player went all the same
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);

  // The real windows come on the next click.
  m->factories = defaultWindowFactories();
  press(m->Shape27);
  EXPECT_NE(frmMP3, nullptr);
}

TEST_F(VentanasTest, ThePlayersOpenOnPressOnceAndComeBackWhereTheyWereHidden) {
  TfrmMapa* m = make();
  release(m->Shape23);
  release(m->Shape27);
  EXPECT_EQ(frmLector, nullptr);
  EXPECT_EQ(frmMP3, nullptr);
  MessageRecorder messages;  // the test folder has no decoder library: the MP3 window says so
  press(m->Shape23, Qt::RightButton);
  press(m->Shape27, Qt::MiddleButton);
  ASSERT_NE(frmLector, nullptr);
  ASSERT_NE(frmMP3, nullptr);
  EXPECT_EQ(frmLector->parent(), m);
  EXPECT_EQ(frmMP3->parent(), m);
  TfrmLector* lector = frmLector;
  TfrmMP3* player = frmMP3;
  for (ui::Form* window : {static_cast<ui::Form*>(lector), static_cast<ui::Form*>(player)}) {
    window->move(window->x() + 37, window->y() + 21);
    const QPoint where = window->pos();
    window->hide();
    press(window == lector ? m->Shape23 : m->Shape27);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->pos(), where);
  }
  EXPECT_EQ(frmLector.data(), lector);
  EXPECT_EQ(frmMP3.data(), player);
  EXPECT_EQ(m->findChildren<TfrmLector*>().size(), 1);
  EXPECT_EQ(m->findChildren<TfrmMP3*>().size(), 1);
}

TEST_F(VentanasTest, ACdPlayerThatFreedItselfForWantOfADriveIsMadeAnewByTheNextClick) {
  TfrmMapa* m = make();
  qputenv("VARDEL_CD_DEVICE", QFile::encodeName(folder_.root() + QStringLiteral("no-hay-lector")));
  MessageRecorder messages;
  press(m->Shape23);
  EXPECT_TRUE(messages.texts().contains(QStringLiteral("No es posible abrir el dispositivo del CD de Audio")));
  freeDeferred();
  EXPECT_EQ(frmLector, nullptr);
  qputenv("VARDEL_CD_DEVICE", QFile::encodeName(disc_));
  press(m->Shape23);
  ASSERT_NE(frmLector, nullptr);
  EXPECT_TRUE(frmLector->isVisible());
  EXPECT_NE(frmLector->dispositivo(), 0u);
}

TEST_F(VentanasTest, TheParseCompleteNotificationReachesTheNewestLivingEditorOnly) {
  TfrmMapa* m = make(Variant::WebBrowser);
  m->AbrirFichero(QStringLiteral("uno.html"));
  // Two editors ask for the article before either parse is reported: only the newest imports.
  release(m->Shape21);
  QPointer<TfrmEditor> older = frmEditor;
  release(m->Shape21);
  QPointer<TfrmEditor> newest = frmEditor;
  ASSERT_TRUE(older && newest && older != newest);
  ASSERT_TRUE(test::waitUntil([&] { return newest->imported(); }));
  EXPECT_TRUE(newest->Editor->toPlainText().contains(QStringLiteral("Uno")));
  test::pump(100);
  EXPECT_FALSE(older->imported());
  // The newest closes: a later notification reaches no editor, neither the freed one nor the
  // older one, which is not the newest.
  newest->Editor->setModified(false);  // nothing to ask about
  newest->closeForm();
  freeDeferred();
  EXPECT_EQ(newest, nullptr);
  EXPECT_EQ(frmEditor, nullptr);
  m->wParseComplete(m->w);
  EXPECT_FALSE(older->imported());
}

TEST_F(VentanasTest, TheBasicProgramsParseCompleteNotificationImportsNothing) {
  TfrmMapa* m = make();
  m->AbrirFichero(QStringLiteral("uno.html"));
  release(m->Shape21);
  ASSERT_NE(frmEditor, nullptr);
  frmEditor->tmCargarHTML->setEnabled(false);  // the editor's own road, held back
  m->wParseComplete(m->w);
  EXPECT_FALSE(frmEditor->imported());
}

using Answer = std::function<void(QWidget* dialog)>;
const Answer kReturn = [](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); };
const Answer kEscape = [](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); };
const Answer kNo = [](QWidget* d) {
  auto* no = d->findChild<QPushButton*>(QStringLiteral("button%1").arg(int(ui::DialogButton::mbNo)));
  ASSERT_NE(no, nullptr) << d->metaObject()->className();
  no->click();
};

// The map's close question answered OK, then the dialogs that follow by `answers` in turn.
// Each answer, given inside its dialog's loop, waits for the dialog after it.
void answerInTurn(QList<Answer> answers) {
  if (answers.isEmpty()) return;
  const Answer answer = answers.takeFirst();
  test::whenModalShows([answer, answers](QWidget* dialog) {
    answer(dialog);
    answerInTurn(answers);
  });
}

void closeAnswering(TfrmMapa* m, QList<Answer> answers) {
  answers.prepend(kReturn);  // OK, the default of the map's question
  answerInTurn(answers);
  QTest::mousePress(m->Shape22, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(VentanasTest, TheProgramEndsOnlyWhenEveryEditorAgreesToLetItsUnsavedTextGo) {
  TfrmMapa* m = make();
  release(m->Shape21);
  QPointer<TfrmEditor> first = frmEditor;
  release(m->Shape21);
  QPointer<TfrmEditor> second = frmEditor;
  for (TfrmEditor* e : {first.data(), second.data()}) {
    e->tmCargarHTML->setEnabled(false);
    e->Editor->setPlainText(QStringLiteral("Texto sin guardar"));
    e->Editor->setModified(true);
  }
  // No for the first, Cancel for the second: the program goes on; the second keeps its text.
  closeAnswering(m, {kNo, kEscape});
  freeDeferred();
  EXPECT_FALSE(ui::Application::instance().terminated());
  EXPECT_TRUE(m->isVisible());
  EXPECT_TRUE(m->tmReloj->enabled());
  EXPECT_EQ(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->isVisible());
  EXPECT_EQ(second->Editor->toPlainText(), QStringLiteral("Texto sin guardar"));

  // Yes, then the save dialog cancelled: nothing is written, so the program stays too.
  closeAnswering(m, {kReturn, kEscape});
  freeDeferred();
  EXPECT_FALSE(ui::Application::instance().terminated());
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->isVisible());

  // No: now the program ends.
  closeAnswering(m, {kNo});
  EXPECT_TRUE(ui::Application::instance().terminated());
  EXPECT_FALSE(m->isVisible());
}

}  // namespace
}  // namespace vardel

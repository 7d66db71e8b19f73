// The editor window: its state after opening, the tool bar of each program, the file commands
// with their questions, read-only documents, drops, the clipboard and failed saves.
#include "tests/editor/editor_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <sys/fsuid.h>
#include <unistd.h>

namespace vardel {
namespace {

using test::EditorTest;
using test::MessageRecorder;

// Types each character as a key press with its text (any character, not only ASCII).
void type(TfrmEditor* e, const QString& text) {
  e->Editor->setFocus();
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(e->Editor, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(e->Editor, &release);
  }
}

// The x of a tool bar item in the tool bar's own layout.
int itemX(TfrmEditor* e, QWidget* item) { return item->x() - e->ToolBar->innerOrigin().x(); }

TEST_F(EditorTest, OpensUntitledWholeScreenWithTheCaretAtLineOneColumnOne) {
  TfrmEditor* e = editor();
  EXPECT_EQ(e->DocumentName, QStringLiteral("SinTitulo"));
  EXPECT_EQ(e->windowTitle(), QStringLiteral("SinTitulo - VARDEL"));
  EXPECT_EQ(e->geometry(), QRect(0, 0, 800, 600));
  EXPECT_TRUE(e->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(e->StatusBar->panelText(0), QStringLiteral("Línea:   1   Columna:   1"));
  EXPECT_EQ(e->StatusBar->panelText(1), QString());
  EXPECT_FALSE(e->UndoButton->isEnabled());
  EXPECT_FALSE(e->CopyButton->isEnabled() || e->CutButton->isEnabled() || e->EditCopyItem->isEnabled());
  EXPECT_FALSE(e->PanelMensaje->isVisible());
  EXPECT_TRUE(e->Editor->isVisible());
  EXPECT_EQ(e->Editor->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

  // Another use of the map's button makes another, independent window.
  TfrmEditor* second = host().openEditor();
  EXPECT_NE(second, e);
  EXPECT_TRUE(second->isVisible() && e->isVisible());
}

TEST_F(EditorTest, TheToolBarOfEachProgramStandsWhereItsDefinitionSays) {
  for (const bool browser : {false, true}) {
    SCOPED_TRACE(browser ? "ondravia" : "ondravia-basic");
    host_.reset();
    TfrmEditor* e = editor(browser);
    EXPECT_EQ(itemX(e, e->FontSize), 325);
    EXPECT_EQ(e->FontSize->width(), browser ? 267 : 26);
    EXPECT_EQ(itemX(e, e->UpDown1), browser ? 592 : 351);
    EXPECT_EQ(itemX(e, e->BoldButton), browser ? 616 : 375);
    EXPECT_EQ(itemX(e, e->BulletsButton), browser ? 767 : 526);
    EXPECT_EQ(e->OpenButton->toolTip(), QStringLiteral("Open"));
  }
}

TEST_F(EditorTest, MenuShortcutsWinOverTheTextsOwnKeys) {
  TfrmEditor* e = editor();
  type(e, QStringLiteral("abc"));
  // Ctrl+A opens (not: select all): the save question, then the dialog, cancelled.
  dialogs.question(ui::DialogButton::mbNo);
  dialogs.file(QString());
  QTest::keyClick(e->Editor, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(test::waitUntil([&] { return dialogs.done(); }));
  EXPECT_EQ(e->Editor->selLength(), 0);
}

TEST_F(EditorTest, SaveAsAlwaysAppendsRtfAndAsksOnlyWhenThatNameExists) {
  TfrmEditor* e = editor();
  type(e, QStringLiteral("Hola"));
  EXPECT_EQ(e->StatusBar->panelText(1), QStringLiteral("Modificado"));

  // The first Save of an untitled text asks for a name.
  dialogs.file(folder() + QStringLiteral("carta"));
  e->FileSave(nullptr);
  const QString carta = folder() + QStringLiteral("carta.rtf");
  EXPECT_TRUE(test::readFile(carta).startsWith("{\\rtf"));
  EXPECT_EQ(e->DocumentName, carta);
  EXPECT_EQ(e->windowTitle(), QStringLiteral("carta.rtf - VARDEL"));
  EXPECT_EQ(e->StatusBar->panelText(1), QString());
  EXPECT_FALSE(e->Editor->modified());

  // A later Save writes the same file without a word.
  type(e, QStringLiteral(" otra vez"));
  e->FileSave(nullptr);
  EXPECT_TRUE(test::readFile(carta).contains("otra vez"));

  // carta.rtf chosen gives carta.rtf.rtf; the question comes only once that exists.
  dialogs.file(carta);
  e->FileSaveAs(nullptr);
  const QString twice = carta + QStringLiteral(".rtf");
  EXPECT_TRUE(QFile::exists(twice));
  QString question;
  dialogs.file(carta);
  dialogs.question(ui::DialogButton::mbNo, &question);
  type(e, QStringLiteral("!"));
  e->FileSaveAs(nullptr);
  EXPECT_EQ(question, QStringLiteral("¿Sobreescribir %1?").arg(twice));
  EXPECT_FALSE(test::readFile(twice).contains("!"));
  EXPECT_TRUE(e->Editor->modified());

  // The text filter still writes rich text, to a name ending in .rtf.
  dialogs.file(folder() + QStringLiteral("nota.txt"), false, QStringLiteral("Text Files (*.TXT)"));
  e->FileSaveAs(nullptr);
  EXPECT_TRUE(test::readFile(folder() + QStringLiteral("nota.txt.rtf")).startsWith("{\\rtf"));
  EXPECT_FALSE(QFile::exists(folder() + QStringLiteral("nota.txt")));
}

TEST_F(EditorTest, TheSaveQuestionCancelsOrGoesOnAndNewAsksItToo) {
  const QString a = test::writeFile(folder(), QStringLiteral("a.txt"), "primero");
  const QString b = test::writeFile(folder(), QStringLiteral("b.txt"), "segundo");
  const QString c = test::writeFile(folder(), QStringLiteral("c.txt"), "tercero");
  TfrmEditor* e = editor();
  type(e, QStringLiteral("sin guardar"));

  QString question;
  dialogs.question(ui::DialogButton::mbCancel, &question);
  e->FileOpen(nullptr);
  EXPECT_EQ(question, QStringLiteral("Guardar los cambios en SinTitulo?"));
  dialogs.question(ui::DialogButton::mbCancel);
  EXPECT_TRUE(e->HandleDroppedFiles({a}));
  dialogs.question(ui::DialogButton::mbCancel);
  e->FileNew(nullptr);
  EXPECT_EQ(e->Editor->toPlainText(), QStringLiteral("sin guardar"));
  EXPECT_TRUE(e->Editor->modified());

  // No goes on; of three dropped files only the first is opened.
  dialogs.question(ui::DialogButton::mbNo);
  EXPECT_TRUE(e->HandleDroppedFiles({b, a, c}));
  EXPECT_EQ(e->Editor->toPlainText(), QStringLiteral("segundo"));
  EXPECT_EQ(e->DocumentName, b);
  EXPECT_FALSE(e->HandleDroppedFiles({})) << "a drop without files is not the editor's";

  type(e, QStringLiteral("+"));
  dialogs.question(ui::DialogButton::mbNo);
  e->FileNew(nullptr);
  EXPECT_EQ(e->Editor->toPlainText(), QString());
  EXPECT_EQ(e->DocumentName, QStringLiteral("SinTitulo"));
  EXPECT_EQ(e->StatusBar->panelText(1), QString());
}

TEST_F(EditorTest, ClosingStaysOpenUntilTheTextIsSavedOrGivenUp) {
  TfrmEditor* e = editor();
  QPointer<TfrmEditor> alive(e);
  type(e, QStringLiteral("texto"));

  dialogs.question(ui::DialogButton::mbCancel);
  e->close();
  // Yes, and then the save dialog cancelled: nothing was kept, so the window stays.
  dialogs.question(ui::DialogButton::mbYes);
  dialogs.file(QString());
  e->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(alive);
  EXPECT_TRUE(e->isVisible());

  dialogs.question(ui::DialogButton::mbYes);
  dialogs.file(folder() + QStringLiteral("fin"));
  e->FileExit(nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(alive) << "a closed editor frees itself";
  EXPECT_TRUE(test::readFile(folder() + QStringLiteral("fin.rtf")).contains("texto"));

  TfrmEditor* other = host().openEditor();
  QPointer<TfrmEditor> second(other);
  type(other, QStringLiteral("nada"));
  dialogs.question(ui::DialogButton::mbNo);
  other->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(second);
  EXPECT_FALSE(host().frmEditor) << "the map's reference never names a freed editor";
}

TEST_F(EditorTest, ReadOnlyFromOpenLastsThroughNewAndDropsUntilTheNextOpen) {
  const QString a = test::writeFile(folder(), QStringLiteral("a.txt"), "uno");
  const QString b = test::writeFile(folder(), QStringLiteral("b.TXT"), "dos");
  TfrmEditor* e = editor();
  dialogs.file(a, true);
  e->FileOpen(nullptr);
  EXPECT_TRUE(e->Editor->isReadOnly());
  EXPECT_EQ(e->Editor->toPlainText(), QStringLiteral("uno"));
  e->FileNew(nullptr);
  EXPECT_TRUE(e->Editor->isReadOnly());
  e->HandleDroppedFiles({b});
  EXPECT_TRUE(e->Editor->isReadOnly());
  dialogs.file(b, false);
  e->FileOpen(nullptr);
  EXPECT_FALSE(e->Editor->isReadOnly());
}

// File access as the unprivileged user for as long as this lives, so that a folder's
// permissions hold for a test run as root as well.
class AsNobody {
 public:
  AsNobody() : previous_(setfsuid(65534)) { setfsgid(65534); }
  ~AsNobody() {
    setfsuid(previous_);
    setfsgid(getgid());
  }

 private:
  int previous_;
};

TEST_F(EditorTest, FilesThatCannotBeOpenedSayWhyAndChangeNothing) {
  TfrmEditor* e = editor();
  type(e, QStringLiteral("lo mío"));
  e->Editor->setModified(false);
  MessageRecorder messages;
  QDir(folder()).mkdir(QStringLiteral("carpeta"));
  // Larger than the control takes (sparse: nothing is written).
  QFile huge(folder() + QStringLiteral("enorme.txt"));
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(platform::TRichEdit::kMaxFileBytes + 1));
  huge.close();
  const QString locked = test::writeFile(folder(), QStringLiteral("cerrado.rtf"), "{\\rtf1 secreto}");
  QFile::setPermissions(locked, QFile::WriteOwner);
  for (const QString& bad : {folder() + QStringLiteral("carpeta"), folder() + QStringLiteral("no-existe.rtf"),
                             QStringLiteral("/dev/zero"), huge.fileName(), locked}) {
    SCOPED_TRACE(bad.toStdString());
    messages.clear();
    {
      AsNobody nobody;
      ui::guarded([&] { e->HandleDroppedFiles({bad}); });
    }
    EXPECT_EQ(messages.texts().size(), 1);
    EXPECT_EQ(e->Editor->toPlainText(), QStringLiteral("lo mío"));
    EXPECT_EQ(e->DocumentName, QStringLiteral("SinTitulo"));
  }
  EXPECT_EQ(commandLineDocument({QStringLiteral("ondravia"), QStringLiteral("carpeta")}, folder()), QString());
  EXPECT_EQ(commandLineDocument({QStringLiteral("ondravia")}, folder()), QString());
  test::writeFile(folder(), QStringLiteral("doc.rtf"), "{\\rtf1 x}");
  EXPECT_EQ(
      commandLineDocument({QStringLiteral("ondravia"), QStringLiteral("doc.rtf"), QStringLiteral("otro")}, folder()),
      folder() + QStringLiteral("doc.rtf"));
}

TEST_F(EditorTest, FilesDroppedOnTheTextOpenTheFirstInsteadOfGoingIntoIt) {
  const QString a = test::writeFile(folder(), QStringLiteral("a.txt"), "primero");
  const QString b = test::writeFile(folder(), QStringLiteral("b.txt"), "segundo");
  TfrmEditor* e = editor();
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl(QStringLiteral("https://ondravia.example/x"))});
  QDragEnterEvent enter(QPoint(40, 40), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(e->Editor->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(40, 40), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(e->Editor->viewport(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(e->DocumentName, a);
  EXPECT_EQ(e->Editor->toPlainText(), QStringLiteral("primero"));
}

TEST_F(EditorTest, ACaretPanelAndCutCopyFollowTheSelection) {
  TfrmEditor* e = editor();
  type(e, QStringLiteral("primera"));
  QTest::keyClick(e->Editor, Qt::Key_Return);
  type(e, QStringLiteral("segunda"));
  e->Editor->setSelStart(12);
  EXPECT_EQ(e->StatusBar->panelText(0), QStringLiteral("Línea:   2   Columna:   5"));
  EXPECT_FALSE(e->CopyButton->isEnabled());
  e->Editor->setSelLength(3);
  EXPECT_TRUE(e->CopyButton->isEnabled() && e->CutButton->isEnabled() && e->EditCutItem->isEnabled());
  EXPECT_TRUE(e->UndoButton->isEnabled() && e->EditUndoItem->isEnabled());
}

TEST_F(EditorTest, PasteFollowsTheClipboardInEveryEditorOfTheChain) {
  TfrmEditor* first = editor();
  TfrmEditor* second = host().openEditor();
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("algo"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(first->PasteButton->isEnabled() && second->PasteButton->isEnabled());
  clipboard->setMimeData(new QMimeData);
  QCoreApplication::processEvents();
  EXPECT_FALSE(first->PasteButton->isEnabled() || first->EditPasteItem->isEnabled());
  EXPECT_FALSE(second->PasteButton->isEnabled());

  // The newest leaves the chain; the older one still hears of changes.
  second->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  clipboard->setText(QStringLiteral("otra cosa"));
  QCoreApplication::processEvents();
  EXPECT_TRUE(first->PasteButton->isEnabled());
  clipboard->clear();
}

TEST_F(EditorTest, AFailedSaveKeepsNameFlagAndOldFileAndSaysSo) {
  QDir(folder()).mkdir(QStringLiteral("cerrada"));
  const QString closed = folder() + QStringLiteral("cerrada/");
  TfrmEditor* e = editor();
  type(e, QStringLiteral("versión buena"));
  dialogs.file(closed + QStringLiteral("carta"));
  e->FileSave(nullptr);
  const QString carta = closed + QStringLiteral("carta.rtf");
  const QByteArray good = test::readFile(carta);
  ASSERT_FALSE(good.isEmpty());
  type(e, QStringLiteral(" y lo que ya no se puede guardar"));
  QFile::setPermissions(closed, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);

  MessageRecorder messages;
  {
    AsNobody nobody;
    ui::guarded([&] { e->FileSave(nullptr); });
  }
  EXPECT_EQ(messages.texts().size(), 1);
  EXPECT_EQ(test::readFile(carta), good);
  EXPECT_EQ(e->DocumentName, carta);
  EXPECT_TRUE(e->Editor->modified());
  EXPECT_EQ(e->StatusBar->panelText(1), QStringLiteral("Modificado"));

  // Save As there: the name stays the old one.
  messages.clear();
  dialogs.file(closed + QStringLiteral("otra"));
  {
    AsNobody nobody;
    ui::guarded([&] { e->FileSaveAs(nullptr); });
  }
  EXPECT_EQ(messages.texts().size(), 1);
  EXPECT_EQ(e->DocumentName, carta);
  EXPECT_EQ(e->windowTitle(), QStringLiteral("carta.rtf - VARDEL"));
  EXPECT_TRUE(e->Editor->modified());

  // Closing with Yes and a failed save keeps the window and says why.
  messages.clear();
  QPointer<TfrmEditor> alive(e);
  dialogs.question(ui::DialogButton::mbYes);
  {
    AsNobody nobody;
    e->close();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive);
  EXPECT_EQ(messages.texts().size(), 1);
  EXPECT_EQ(test::readFile(carta), good);
  QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace
}  // namespace vardel

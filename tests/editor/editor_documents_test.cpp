// Documents at the edges of what the editor keeps and shows: embedded objects it cannot
// write back, texts too long for the layout, and font names as other programs know them.
#include "tests/editor/editor_fixture.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTest>

namespace vardel {
namespace {

using test::EditorTest;
using test::MessageRecorder;

TEST_F(EditorTest, SavingOverAFileWithAnObjectAsksOnceAndNoKeepsTheFile) {
  const QByteArray original = "{\\rtf1 antes {\\object\\objemb{\\*\\objdata 0102}{\\result tabla}} despues\\par}";
  const QString path = test::writeFile(folder(), QStringLiteral("objeto.rtf"), original);
  TfrmEditor* e = editor();
  ASSERT_TRUE(e->HandleDroppedFiles({path}));
  EXPECT_EQ(e->Editor->toPlainText(), QStringLiteral("antes  despues"));
  e->Editor->moveCursor(QTextCursor::End);
  e->Editor->insertPlainText(QStringLiteral("!"));

  // No: nothing is written, the text stays modified, and the next save asks again.
  QString question;
  dialogs.question(ui::DialogButton::mbNo, &question);
  e->FileSave(nullptr);
  EXPECT_EQ(question, QStringLiteral("El documento contiene elementos que se perderán al guardarlo. ¿Continuar?"));
  EXPECT_EQ(test::readFile(path), original);
  EXPECT_TRUE(e->Editor->modified());
  // Another file loses nothing of this one: no question.
  dialogs.file(folder() + QStringLiteral("copia"));
  e->FileSaveAs(nullptr);
  EXPECT_TRUE(test::readFile(folder() + QStringLiteral("copia.rtf")).contains("despues!"));

  ASSERT_TRUE(e->HandleDroppedFiles({path}));
  e->Editor->insertPlainText(QStringLiteral("?"));
  dialogs.question(ui::DialogButton::mbYes);
  e->FileSave(nullptr);
  EXPECT_FALSE(test::readFile(path).contains("\\object"));
  EXPECT_FALSE(e->Editor->modified());
  // Asked once: later saves write without a word (an unexpected question fails the test).
  e->Editor->insertPlainText(QStringLiteral("+"));
  e->FileSave(nullptr);
  EXPECT_TRUE(dialogs.done());
  EXPECT_FALSE(e->Editor->modified());
}

TEST_F(EditorTest, TextsTheLayoutCannotCarryAreRefusedAndOthersReachTheirEndAtOnce) {
  TfrmEditor* e = editor();
  e->Editor->setPlainText(QStringLiteral("lo mío"));
  e->Editor->setModified(false);
  MessageRecorder messages;
  // 500,000 short lines, a file of line breaks, paragraphs at 1,638 points beyond the height
  // Qt lays out, and a 10 MB RTF of \par: each refused with one message, nothing changed.
  QByteArray huge = "{\\rtf1\\fs3276 ";
  for (int i = 0; i < 6000; ++i) huge += "a\\par ";
  const QList<std::pair<QString, QByteArray>> refused = {
      {QStringLiteral("lineas.txt"), QByteArray("a\n").repeated(500000)},
      {QStringLiteral("saltos.txt"), QByteArray(2 * 1024 * 1024, '\n')},
      {QStringLiteral("enorme.rtf"), huge + "}"},
      {QStringLiteral("par.rtf"), "{\\rtf1 " + QByteArray("\\par ").repeated(2 * 1024 * 1024) + "}"}};
  for (const auto& [name, bytes] : refused) {
    SCOPED_TRACE(name.toStdString());
    messages.clear();
    ui::guarded([&] { e->HandleDroppedFiles({test::writeFile(folder(), name, bytes)}); });
    EXPECT_EQ(messages.texts().size(), 1);
    EXPECT_EQ(e->Editor->toPlainText(), QStringLiteral("lo mío"));
    EXPECT_EQ(e->DocumentName, QStringLiteral("SinTitulo"));
  }

  // Just inside the limits: Ctrl+End lays all of it out and shows the last line. The bound
  // only tells a slow layout (a second here) from one that runs for minutes.
  QByteArray tall = "{\\rtf1\\fs3276 ";
  for (int i = 0; i < 2800; ++i) tall += "a\\par ";
  for (const auto& [name, bytes, lines] :
       {std::tuple{QStringLiteral("largo.txt"), QByteArray("a\n").repeated(130000), 130001},
        std::tuple{QStringLiteral("alto.rtf"), tall + "}", 2800}}) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(e->HandleDroppedFiles({test::writeFile(folder(), name, bytes)}));
    EXPECT_EQ(e->Editor->lineCount(), lines);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(e->Editor, Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::processEvents();
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(e->Editor->lineFromChar(e->Editor->selStart()), lines - 1);
    EXPECT_TRUE(e->Editor->viewport()->rect().intersects(e->Editor->cursorRect()));
    EXPECT_GT(e->Editor->verticalScrollBar()->value(), 0);
  }
}

TEST_F(EditorTest, TheFontListNamesEachFamilyOnceWithoutItsFoundry) {
  TfrmEditor* e = editor();
  QStringList names;
  for (int i = 0; i < e->FontName->count(); ++i) names << e->FontName->itemText(i);
  ASSERT_FALSE(names.isEmpty());
  for (const QString& name : names) EXPECT_FALSE(name.endsWith(QLatin1Char(']'))) << name.toStdString();
  EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size());
  // A family chosen with its foundry (as Qt's font dialog gives it) is kept by its name.
  e->Editor->selectAll();
  e->Editor->selAttributes().setName(QStringLiteral("C059 [UKWN]"));
  EXPECT_EQ(e->Editor->selAttributes().name(), QStringLiteral("C059"));
}

}  // namespace
}  // namespace vardel

// TRichEdit as a control: lines and positions, selection, flags, undo, both attribute sets,
// paragraph attributes in points, the bullet rule, notifications and the formatting rectangle.
#include "platform/richedit/richedit.h"

#include "tests/support/ui_support.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit_ = std::make_unique<TRichEdit>();
    edit_->resize(400, 300);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(14);
    edit_->setFont(font);
  }
  TRichEdit& edit() { return *edit_; }
  void select(int start, int length) {
    edit().setSelStart(start);
    edit().setSelLength(length);
  }
  std::unique_ptr<TRichEdit> edit_;
};

TEST_F(RichEditTest, LinesArePararaphsAndPositionsCountFromTheStart) {
  EXPECT_EQ(edit().lineCount(), 0);
  edit().setLines({"", "      IMPORTANDO HTML..."});
  EXPECT_EQ(edit().lineCount(), 2);
  EXPECT_EQ(edit().line(1), "      IMPORTANDO HTML...");
  EXPECT_FALSE(edit().modified());
  EXPECT_FALSE(edit().canUndo());

  edit().setLines({"uno", "dos", "tres"});
  EXPECT_EQ(edit().lineIndex(0), 0);
  EXPECT_EQ(edit().lineIndex(1), 4);
  EXPECT_EQ(edit().lineIndex(2), 8);
  EXPECT_EQ(edit().lineIndex(3), -1);
  EXPECT_EQ(edit().lineIndex(-1), -1);
  EXPECT_EQ(edit().lineFromChar(0), 0);
  EXPECT_EQ(edit().lineFromChar(3), 0);  // the end of "uno"
  EXPECT_EQ(edit().lineFromChar(4), 1);
  EXPECT_EQ(edit().lineFromChar(12), 2);
  EXPECT_EQ(edit().lineFromChar(999), 2);

  edit().clear();
  EXPECT_EQ(edit().lineCount(), 0);
  edit().appendLine("primera");
  edit().appendLine("segunda");
  EXPECT_EQ(edit().lineCount(), 2);
  EXPECT_EQ(edit().line(0), "primera");
  EXPECT_EQ(edit().line(1), "segunda");
  EXPECT_EQ(edit().toPlainText(), "primera\nsegunda");
}

TEST_F(RichEditTest, SelectionStartAndLengthAreClampedToTheText) {
  edit().setLines({"hola mundo"});
  select(5, 3);
  EXPECT_EQ(edit().selStart(), 5);
  EXPECT_EQ(edit().selLength(), 3);
  EXPECT_EQ(edit().textCursor().selectedText(), "mun");
  select(8, 50);
  EXPECT_EQ(edit().selLength(), 2);
  edit().setSelStart(-4);
  EXPECT_EQ(edit().selStart(), 0);
  EXPECT_EQ(edit().selLength(), 0);
  edit().setSelStart(1000);
  EXPECT_EQ(edit().selStart(), 10);
}

TEST_F(RichEditTest, TypingSetsModifiedAndUndoRestoresTheText) {
  edit().setLines({"abc"});
  QSignalSpy changes(&edit(), &TRichEdit::change);
  QSignalSpy moves(&edit(), &TRichEdit::selectionChange);
  edit().setSelStart(3);
  QTest::keyClicks(&edit(), "de");
  EXPECT_EQ(edit().line(0), "abcde");
  EXPECT_TRUE(edit().modified());
  EXPECT_TRUE(edit().canUndo());
  EXPECT_GE(changes.count(), 2);
  EXPECT_GE(moves.count(), 3);
  edit().undo();
  EXPECT_EQ(edit().line(0), "abc");
  edit().setModified(false);
  EXPECT_FALSE(edit().modified());

  edit().setReadOnly(true);
  QTest::keyClicks(&edit(), "x");
  EXPECT_EQ(edit().line(0), "abc");
}

TEST_F(RichEditTest, SuspendedUpdatesSendOneChangeAtTheEnd) {
  QSignalSpy changes(&edit(), &TRichEdit::change);
  edit().beginUpdate();
  edit().beginUpdate();
  edit().appendLine("a");
  edit().appendLine("b");
  edit().endUpdate();
  EXPECT_EQ(changes.count(), 0);
  edit().endUpdate();
  EXPECT_EQ(changes.count(), 1);
  edit().beginUpdate();
  edit().endUpdate();
  EXPECT_EQ(changes.count(), 1);
}

TEST_F(RichEditTest, DefaultAttributesComeFromTheFontInWholePoints) {
  TTextAttributes& def = edit().defAttributes();
  EXPECT_EQ(def.name(), "MS Sans Serif");
  EXPECT_EQ(def.size(), 11);  // 14 pixels at 96 dpi is 10.5 points, rounded half up
  EXPECT_EQ(def.style(), 0u);
  def.setSize(12);
  def.setStyle(rfsBold | rfsItalic);
  def.setName("Arial");
  def.setColor(Qt::red);
  def.setCharset(204);
  def.setPitch(FontPitch::fpFixed);
  EXPECT_EQ(def.size(), 12);
  EXPECT_EQ(def.style(), rfsBold | rfsItalic);
  EXPECT_EQ(def.name(), "Arial");
  EXPECT_EQ(def.color(), QColor(Qt::red));
  EXPECT_EQ(def.charset(), 204);
  EXPECT_EQ(def.pitch(), FontPitch::fpFixed);
  // Text without a format of its own takes the defaults.
  edit().setLines({"texto"});
  select(1, 2);
  EXPECT_EQ(edit().selAttributes().style(), rfsBold | rfsItalic);
  EXPECT_EQ(edit().selAttributes().size(), 12);
  EXPECT_EQ(edit().selAttributes().name(), "Arial");
}

TEST_F(RichEditTest, SelectionAttributesChangeOnlyTheSelectedText) {
  edit().setLines({"uno dos tres"});
  select(4, 3);
  TTextAttributes& sel = edit().selAttributes();
  sel.setStyle(sel.style() | rfsBold);
  sel.setSize(20);
  sel.setColor(QColor(0, 128, 0));
  sel.setName("Courier New");
  EXPECT_EQ(sel.style(), rfsBold);
  EXPECT_EQ(sel.size(), 20);
  EXPECT_EQ(sel.color(), QColor(0, 128, 0));
  EXPECT_EQ(sel.name(), "Courier New");
  select(0, 3);
  EXPECT_EQ(sel.style(), 0u);
  EXPECT_EQ(sel.size(), 11);
  EXPECT_EQ(sel.name(), "MS Sans Serif");
  // With nothing selected the set reads at the caret: after "dos" it is the bold text.
  edit().setSelStart(6);
  EXPECT_EQ(sel.style(), rfsBold);
  EXPECT_EQ(edit().defAttributes().style(), 0u);
  // ... and the default set is another thing: making it underlined leaves "dos" alone.
  edit().defAttributes().setStyle(rfsUnderline);
  select(4, 3);
  EXPECT_EQ(sel.style(), rfsBold);
  select(0, 3);
  EXPECT_EQ(sel.style(), rfsUnderline);
  // assign() takes everything a font dialog gives, a pixel size in whole points.
  select(8, 4);
  QFont chosen(QStringLiteral("Times New Roman"));
  chosen.setPixelSize(20);
  chosen.setStrikeOut(true);
  sel.assign(chosen, Qt::blue, 238);
  EXPECT_EQ(sel.name(), "Times New Roman");
  EXPECT_EQ(sel.size(), 15);
  EXPECT_EQ(sel.style(), rfsStrikeOut);
  EXPECT_EQ(sel.color(), QColor(Qt::blue));
  EXPECT_EQ(sel.charset(), 238);
}

TEST_F(RichEditTest, ParagraphIndentsAreWholePointsOfTheTouchedParagraphs) {
  edit().setLines({"uno", "dos", "tres"});
  TParaAttributes& para = edit().paragraph();
  EXPECT_EQ(para.firstIndent(), 0);
  EXPECT_EQ(para.leftIndent(), 0);
  EXPECT_EQ(para.rightIndent(), 0);
  select(1, 5);  // "uno" and "dos"
  para.setFirstIndent(30);
  para.setLeftIndent(-12);
  para.setRightIndent(7);
  para.setAlignment(2);
  EXPECT_EQ(para.firstIndent(), 30);
  EXPECT_EQ(para.leftIndent(), -12);
  EXPECT_EQ(para.rightIndent(), 7);
  EXPECT_EQ(para.alignment(), 2);
  edit().setSelStart(5);
  EXPECT_EQ(para.firstIndent(), 30);
  EXPECT_EQ(para.alignment(), 2);
  edit().setSelStart(9);
  EXPECT_EQ(para.firstIndent(), 0);
  EXPECT_EQ(para.alignment(), 0);
  para.setAlignment(1);
  EXPECT_EQ(para.alignment(), 1);
  // Qt's margins follow, at 4/3 pixel a point: following lines at 18 pt, the first 12 pt further.
  const QTextBlockFormat f = edit().document()->firstBlock().blockFormat();
  EXPECT_DOUBLE_EQ(f.leftMargin(), 24.0);
  EXPECT_DOUBLE_EQ(f.textIndent(), 16.0);
  EXPECT_NEAR(f.rightMargin(), 9.333, 0.001);
  // Absurd indents are clamped, not wrapped round.
  para.setFirstIndent(2000000000);
  EXPECT_EQ(para.firstIndent(), 1584);
}

TEST_F(RichEditTest, BulletsRaiseTheLeftIndentToTenPointsAndClearingSetsItToZero) {
  edit().setLines({"uno", "dos"});
  TParaAttributes& para = edit().paragraph();
  select(0, 5);
  para.setLeftIndent(4);
  para.setBullets(true);
  EXPECT_TRUE(para.bullets());
  EXPECT_EQ(para.leftIndent(), 10);
  EXPECT_TRUE(edit().document()->lastBlock().textList());
  EXPECT_EQ(edit().document()->firstBlock().textList(), edit().document()->lastBlock().textList());
  para.setBullets(false);
  EXPECT_FALSE(para.bullets());
  EXPECT_EQ(para.leftIndent(), 0);
  para.setLeftIndent(25);
  para.setBullets(true);
  EXPECT_EQ(para.leftIndent(), 25);
  // One undo step takes the bullets away again.
  edit().undo();
  EXPECT_FALSE(para.bullets());
  EXPECT_EQ(para.leftIndent(), 25);
}

TEST_F(RichEditTest, FormatChangesAreUndoableButTheFormattingRectangleIsNot) {
  edit().setLines({"texto"});
  edit().show();
  edit().setFormattingRect(QRect(6, 0, edit().viewport()->width() - 12, edit().viewport()->height()));
  EXPECT_FALSE(edit().canUndo());
  EXPECT_FALSE(edit().modified());
  EXPECT_EQ(edit().formattingRect().left(), 6);
  // The text starts at the rectangle's left edge.
  EXPECT_EQ(
      edit().cursorRect(QTextCursor(edit().document())).left() + edit().viewport()->x() - edit().contentsRect().x(), 6);
  select(0, 5);
  edit().selAttributes().setStyle(rfsBold);
  EXPECT_TRUE(edit().canUndo());
  EXPECT_TRUE(edit().modified());
}

TEST_F(RichEditTest, PasteFormatsAreTextHtmlAndRichText) {
  EXPECT_TRUE(edit().canPasteFormat("text/plain"));
  EXPECT_TRUE(edit().canPasteFormat("text/plain;charset=utf-8"));
  EXPECT_TRUE(edit().canPasteFormat("text/html"));
  EXPECT_TRUE(edit().canPasteFormat("text/rtf"));
  EXPECT_FALSE(edit().canPasteFormat("image/png"));
  EXPECT_FALSE(edit().canPasteFormat("application/x-kde-cutselection"));
  // Rich text from another program keeps its bold run.
  auto* data = new QMimeData;
  data->setData("text/rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 uno {\\b dos} tres}");
  data->setText("uno dos tres");
  QApplication::clipboard()->setMimeData(data);
  edit().clear();
  edit().paste();
  EXPECT_EQ(edit().toPlainText(), "uno dos tres");
  select(5, 1);
  EXPECT_EQ(edit().selAttributes().style(), rfsBold);
  // Copying offers rich text of the selection.
  select(4, 3);
  edit().copy();
  const QByteArray copied = QApplication::clipboard()->mimeData()->data("text/rtf");
  EXPECT_TRUE(copied.startsWith("{\\rtf1"));
  EXPECT_TRUE(copied.contains("\\b\\cf0 dos}")) << copied.toStdString();
  EXPECT_TRUE(QApplication::clipboard()->mimeData()->hasText());
}

}  // namespace
}  // namespace vardel::platform

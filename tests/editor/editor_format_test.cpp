// The ruler's markers and the formatting controls of the editor window, worked as a person
// works them.
#include "tests/editor/editor_fixture.h"

#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace vardel {
namespace {

using test::EditorTest;
using test::MessageRecorder;

// An editor holding one paragraph of text, the caret in it.
TfrmEditor* withText(TfrmEditor* e, const QString& text = QStringLiteral("Un párrafo de prueba")) {
  e->Editor->setLines({text});
  e->Editor->setSelStart(3);
  e->SelectionChange(nullptr);
  return e;
}

// Presses in the middle of a marker, moves by `dx` and releases there.
void drag(QWidget* marker, int dx) {
  const QPoint middle(marker->width() / 2, marker->height() / 2);
  QTest::mousePress(marker, Qt::LeftButton, {}, middle);
  if (dx != 0) {
    QMouseEvent move(QEvent::MouseMove, QPointF(middle + QPoint(dx, 0)),
                     marker->mapToGlobal(QPointF(middle + QPoint(dx, 0))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(marker, &move);
  }
  QTest::mouseRelease(marker, Qt::LeftButton, {}, middle);
}

TEST_F(EditorTest, TheRefreshPlacesTheMarkersFromTheParagraphsIndents) {
  TfrmEditor* e = withText(editor());
  const int width = e->Ruler->width();
  EXPECT_EQ(width, 800);
  EXPECT_EQ(e->FirstInd->x(), 2);
  EXPECT_EQ(e->LeftInd->x(), 2);
  EXPECT_EQ(e->RightInd->x(), width - 14);
  EXPECT_EQ(e->RulerLine->width(), width - 10);
  EXPECT_EQ(e->FirstInd->size(), QSize(13, 12));
  EXPECT_EQ(e->RightInd->width(), 12);
  e->Editor->paragraph().setLeftIndent(-15);
  e->SelectionChange(nullptr);
  EXPECT_EQ(e->LeftInd->x(), -18);
}

TEST_F(EditorTest, AClickOnAMarkerWithoutMovingShiftsTheIndentByAPoint) {
  TfrmEditor* e = withText(editor());
  drag(e->FirstInd, 0);
  auto& paragraph = e->Editor->paragraph();
  EXPECT_EQ(paragraph.firstIndent(), 1);
  EXPECT_EQ(paragraph.leftIndent(), 0);
  EXPECT_EQ(e->FirstInd->x(), 3);
  EXPECT_FALSE(e->DraggingMarker);
  drag(e->RightInd, 0);
  EXPECT_EQ(paragraph.rightIndent(), 1);
}

TEST_F(EditorTest, DraggingMarkersSetsIndentsAndTheFollowingLinesStay) {
  TfrmEditor* e = withText(editor());
  auto& paragraph = e->Editor->paragraph();
  paragraph.setLeftIndent(30);
  e->SelectionChange(nullptr);
  ASSERT_EQ(e->LeftInd->x(), 42);

  // The first line alone moves: the following lines keep the place their marker shows.
  drag(e->FirstInd, 40);
  EXPECT_EQ(paragraph.firstIndent(), 31);
  EXPECT_EQ(paragraph.firstIndent() + paragraph.leftIndent(), 31);
  EXPECT_EQ(e->LeftInd->x(), 43);

  // Left of the ruler's start: a negative indent; no limit at either end.
  drag(e->LeftInd, -80);
  EXPECT_LT(paragraph.firstIndent() + paragraph.leftIndent(), 0);
  drag(e->RightInd, 60);
  EXPECT_LT(paragraph.rightIndent(), 0);
  EXPECT_GT(e->RightInd->x(), e->Ruler->width() - 14);
}

TEST_F(EditorTest, BulletsGiveATenPointIndentThatTheNextRefreshShows) {
  TfrmEditor* e = withText(editor());
  QTest::mouseClick(e->BulletsButton, Qt::LeftButton);
  EXPECT_TRUE(e->Editor->paragraph().bullets());
  EXPECT_EQ(e->Editor->paragraph().leftIndent(), 10);
  EXPECT_EQ(e->LeftInd->x(), 2) << "the ruler follows only at the next refresh";
  e->SelectionChange(nullptr);
  EXPECT_EQ(e->LeftInd->x(), 15);
  EXPECT_TRUE(e->BulletsButton->isChecked());
  QTest::mouseClick(e->BulletsButton, Qt::LeftButton);
  e->SelectionChange(nullptr);
  EXPECT_FALSE(e->Editor->paragraph().bullets());
  EXPECT_EQ(e->LeftInd->x(), 2);
}

TEST_F(EditorTest, TheSizeBoxAppliesEveryKeystrokeAndRefusesWhatIsNoNumber) {
  TfrmEditor* e = withText(editor());
  e->Editor->setSelStart(0);
  e->Editor->setSelLength(2);
  e->Editor->selAttributes().setSize(12);
  e->SelectionChange(nullptr);
  ASSERT_EQ(e->FontSize->text(), QStringLiteral("12"));

  e->FontSize->setFocus();
  e->FontSize->selectAll();
  QTest::keyClick(e->FontSize, Qt::Key_1);
  EXPECT_EQ(e->Editor->selAttributes().size(), 1);
  QTest::keyClick(e->FontSize, Qt::Key_4);
  EXPECT_EQ(e->Editor->selAttributes().size(), 14);

  MessageRecorder messages;
  QTest::keyClick(e->FontSize, Qt::Key_Backspace);
  QTest::keyClick(e->FontSize, Qt::Key_Backspace);
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("'' is not a valid integer value")});
  EXPECT_EQ(e->Editor->selAttributes().size(), 1);
  QTest::keyClicks(e->FontSize, QStringLiteral("x"));
  EXPECT_EQ(messages.texts().last(), QStringLiteral("'x' is not a valid integer value"));
}

TEST_F(EditorTest, TheSpinnerStepsFromTheNumberShownWithinZeroToAHundred) {
  TfrmEditor* e = withText(editor());
  e->FontSize->setText(QStringLiteral("99"));
  e->UpDown1->step(1);
  EXPECT_EQ(e->FontSize->text(), QStringLiteral("100"));
  e->UpDown1->step(1);
  EXPECT_EQ(e->FontSize->text(), QStringLiteral("100"));
  e->FontSize->setText(QStringLiteral("0"));
  QTest::keyClick(e->FontSize, Qt::Key_Down);
  EXPECT_EQ(e->FontSize->text(), QStringLiteral("0"));
  e->FontSize->setText(QStringLiteral("12"));
  QTest::keyClick(e->FontSize, Qt::Key_Up);
  EXPECT_EQ(e->FontSize->text(), QStringLiteral("13"));
  EXPECT_EQ(e->Editor->defAttributes().size(), 13);
  // A click on the upper half steps up.
  QTest::mouseClick(e->UpDown1, Qt::LeftButton, {}, QPoint(6, 4));
  EXPECT_EQ(e->FontSize->text(), QStringLiteral("14"));
}

TEST_F(EditorTest, StylesChangeTheSelectionOrElseTheDefaultsNeverBoth) {
  TfrmEditor* e = withText(editor(), QStringLiteral("negrita"));
  e->Editor->setSelStart(0);
  e->Editor->setSelLength(3);
  QTest::mouseClick(e->BoldButton, Qt::LeftButton);
  EXPECT_TRUE(e->Editor->selAttributes().style() & platform::rfsBold);
  EXPECT_FALSE(e->Editor->defAttributes().style() & platform::rfsBold);
  e->Editor->setSelStart(5);
  EXPECT_FALSE(e->BoldButton->isChecked()) << "the button shows the caret's attributes";

  e->Editor->setSelStart(4);
  e->Editor->setSelLength(2);
  EXPECT_FALSE(e->Editor->selAttributes().style() & platform::rfsBold) << "only the selection turned bold";
  e->Editor->setSelStart(5);
  QTest::mouseClick(e->ItalicButton, Qt::LeftButton);
  EXPECT_TRUE(e->Editor->defAttributes().style() & platform::rfsItalic);
  e->Editor->setSelStart(0);
  e->Editor->setSelLength(3);
  EXPECT_FALSE(e->Editor->selAttributes().style() & platform::rfsItalic) << "text with a format of its own keeps it";

  // While the controls follow the selection, their handlers change nothing.
  e->RefreshingControls = true;
  e->UnderlineButton->setChecked(true);
  e->UnderlineButtonClick(e->UnderlineButton);
  e->RefreshingControls = false;
  EXPECT_FALSE(e->Editor->selAttributes().style() & platform::rfsUnderline);
}

TEST_F(EditorTest, AlignmentButtonsAreOneGroupTaggedLeftCentreRight) {
  TfrmEditor* e = withText(editor());
  QTest::mouseClick(e->CenterAlign, Qt::LeftButton);
  EXPECT_EQ(e->Editor->paragraph().alignment(), 2);
  EXPECT_FALSE(e->LeftAlign->isChecked());
  QTest::mouseClick(e->CenterAlign, Qt::LeftButton);
  EXPECT_TRUE(e->CenterAlign->isChecked()) << "a pressed button stays down";
  e->Editor->paragraph().setAlignment(1);
  e->SelectionChange(nullptr);
  EXPECT_TRUE(e->RightAlign->isChecked());
  EXPECT_FALSE(e->CenterAlign->isChecked());
}

TEST_F(EditorTest, TheFontListIsTheSystemsTypefacesSortedAndPicksApply) {
  TfrmEditor* e = withText(editor());
  ASSERT_GT(e->FontName->count(), 2);
  for (int i = 1; i < e->FontName->count(); ++i) {
    EXPECT_LE(e->FontName->itemText(i - 1).compare(e->FontName->itemText(i), Qt::CaseInsensitive), 0);
  }
  const int serif = e->FontName->findText(QStringLiteral("Liberation Serif"));
  ASSERT_GE(serif, 0);
  e->Editor->setSelStart(0);
  e->Editor->setSelLength(2);
  e->FontName->setCurrentIndex(serif);
  EXPECT_EQ(e->Editor->selAttributes().name(), QStringLiteral("Liberation Serif"));
  e->FontName->setEditText(QStringLiteral("Liberation Se"));  // no entry yet: nothing changes
  EXPECT_EQ(e->Editor->selAttributes().name(), QStringLiteral("Liberation Serif"));
  e->Editor->setSelStart(10);
  EXPECT_EQ(e->FontName->currentText(), e->Editor->selAttributes().name());
}

TEST_F(EditorTest, TheFontDialogAppliesAllOnOkAndTheToolBarWaitsForTheNextSelection) {
  TfrmEditor* e = withText(editor());
  e->Editor->setSelStart(0);
  e->Editor->setSelLength(5);
  e->Editor->selAttributes().setName(QStringLiteral("Liberation Sans"));
  e->Editor->selAttributes().setStyle(platform::rfsItalic);
  const QString shownSize = e->FontSize->text();
  dialogs.then<QDialog>([](QDialog* dialog) {
    auto* fonts = dialog->findChild<QFontDialog*>();
    // The dialog shows the selection's style (under its own name, whatever the language).
    EXPECT_TRUE(fonts->currentFont().italic());
    EXPECT_FALSE(fonts->currentFont().bold());
    QFont chosen(QStringLiteral("Liberation Serif"));
    chosen.setPointSize(20);
    chosen.setStyleName(QStringLiteral("Bold"));  // as picked from the style list
    chosen.setStrikeOut(true);
    fonts->setCurrentFont(chosen);
    auto* colour = dialog->findChild<QComboBox*>(QStringLiteral("Color"));
    colour->setCurrentIndex(colour->findText(QStringLiteral("Rojo")));
    dialog->accept();
  });
  e->SelectFont(nullptr);
  auto& selection = e->Editor->selAttributes();
  EXPECT_EQ(selection.size(), 20);
  EXPECT_EQ(selection.style() & (platform::rfsBold | platform::rfsStrikeOut),
            platform::rfsBold | platform::rfsStrikeOut);
  EXPECT_EQ(selection.color(), QColor(255, 0, 0));
  EXPECT_EQ(e->FontSize->text(), shownSize);
  EXPECT_FALSE(e->BoldButton->isChecked());
  e->Editor->setSelStart(1);
  EXPECT_EQ(e->FontSize->text(), QStringLiteral("20"));

  // Cancel changes nothing.
  e->Editor->setSelStart(0);
  e->Editor->setSelLength(5);
  dialogs.then<QDialog>([](QDialog* dialog) { dialog->reject(); });
  e->SelectFont(nullptr);
  EXPECT_EQ(e->Editor->selAttributes().size(), 20);

  // A face this system lacks shows as its stand-in, and OK keeps the document's name for it.
  e->Editor->setSelStart(8);
  e->Editor->setSelLength(4);
  ASSERT_EQ(e->Editor->selAttributes().name(), QStringLiteral("MS Sans Serif"));
  dialogs.then<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->findChild<QFontDialog*>()->currentFont().family(), QStringLiteral("Liberation Sans"));
    dialog->accept();
  });
  e->SelectFont(nullptr);
  EXPECT_EQ(e->Editor->selAttributes().name(), QStringLiteral("MS Sans Serif"));
}

}  // namespace
}  // namespace vardel

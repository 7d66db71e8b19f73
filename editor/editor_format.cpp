// The ruler and the formatting controls: following the selection, and putting the person's
// choices into the text.
#include "editor/editor_form.h"

#include "editor/ruler_geometry.h"
#include "platform/integer_text.h"
#include "platform/richedit/format_properties.h"
#include "platform/richedit/richedit.h"
#include "ui/events.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QToolButton>

#include <algorithm>
#include <optional>

namespace vardel {

using platform::TTextAttributes;

TTextAttributes& TfrmEditor::TargetAttributes() {
  return Editor->selLength() > 0 ? Editor->selAttributes() : Editor->defAttributes();
}

void TfrmEditor::SelectionChange(QObject*) {
  const QScopedValueRollback refreshing(RefreshingControls, true);  // cleared however this ends
  auto& paragraph = Editor->paragraph();
  const int fi = paragraph.firstIndent();
  const int li = paragraph.leftIndent();
  const int ri = paragraph.rightIndent();
  FirstInd->move(ruler::firstIndLeft(fi), FirstInd->y());
  LeftInd->move(ruler::leftIndLeft(fi, li), LeftInd->y());
  RightInd->move(ruler::rightIndLeft(Ruler->width(), ri), RightInd->y());
  auto& selection = Editor->selAttributes();
  const platform::RichFontStyles style = selection.style();
  BoldButton->setChecked(style & platform::rfsBold);
  ItalicButton->setChecked(style & platform::rfsItalic);
  UnderlineButton->setChecked(style & platform::rfsUnderline);
  BulletsButton->setChecked(paragraph.bullets());
  FontSize->setText(QString::number(selection.size()));
  FontName->setEditText(selection.name());
  switch (paragraph.alignment()) {
    case 0:
      LeftAlign->setChecked(true);
      break;
    case 1:
      RightAlign->setChecked(true);
      break;
    case 2:
      CenterAlign->setChecked(true);
      break;
    default:
      break;
  }
  ShowCaretPosition();
}

void TfrmEditor::RulerResize(QObject*) {
  RulerLine->resize(ruler::rulerLineWidth(Ruler->width(), RulerLine->x()), RulerLine->height());
}

void TfrmEditor::BuildRulerCaption() { Ruler->setCaption(QStringLiteral("\t|").repeated(100)); }

void TfrmEditor::FillFontNames() {
  // One entry per typeface the screen offers, as they come, then in sorted order. Qt lists a
  // family that several foundries offer once per foundry ("C059 [UKWN]"); it is one typeface,
  // known to other programs by its family name alone.
  QStringList names;
  for (const QString& family : QFontDatabase::families()) {
    const QString name = platform::richtext::familyName(family);
    if (name == family || !names.contains(name)) names << name;
  }
  std::stable_sort(names.begin(), names.end(),
                   [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
  const QString shown = FontName->currentText();
  FontName->blockSignals(true);
  FontName->addItems(names);
  FontName->setEditText(shown);
  FontName->blockSignals(false);
}

void TfrmEditor::RulerItemMouseDown(QObject* sender, ui::MouseButton, ui::ShiftState, int x, int) {
  auto* marker = qobject_cast<QWidget*>(sender);
  if (!marker) return;
  DragGrabOffset = marker->width() / 2;
  // The marker jumps so that its middle is under the mouse.
  marker->move(marker->x() + x - DragGrabOffset, marker->y());
  DraggingMarker = true;
}

void TfrmEditor::RulerItemMouseMove(QObject* sender, ui::ShiftState, int x, int) {
  auto* marker = qobject_cast<QWidget*>(sender);
  if (!marker || !DraggingMarker) return;
  marker->move(marker->x() + x - DragGrabOffset, marker->y());
}

void TfrmEditor::FirstIndMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y) {
  DraggingMarker = false;
  Editor->paragraph().setFirstIndent(ruler::firstIndentAt(FirstInd->x(), DragGrabOffset));
  // The following lines keep the place their marker shows.
  LeftIndMouseUp(sender, button, shift, x, y);
}

void TfrmEditor::LeftIndMouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  DraggingMarker = false;
  auto& paragraph = Editor->paragraph();
  paragraph.setLeftIndent(ruler::leftIndentAt(LeftInd->x(), DragGrabOffset, paragraph.firstIndent()));
  SelectionChange(this);
}

void TfrmEditor::RightIndMouseUp(QObject*, ui::MouseButton, ui::ShiftState, int, int) {
  DraggingMarker = false;
  Editor->paragraph().setRightIndent(ruler::rightIndentAt(Ruler->width(), RightInd->x(), DragGrabOffset));
  SelectionChange(this);
}

void TfrmEditor::FontNameChange(QObject*) {
  if (RefreshingControls) return;
  // The entry the box stands at; text typed that names no entry changes nothing yet.
  const int index = FontName->findText(FontName->currentText(), Qt::MatchFixedString);
  if (index < 0) return;
  TargetAttributes().setName(FontName->itemText(index));
}

void TfrmEditor::FontSizeChange(QObject*) {
  if (RefreshingControls) return;
  const std::optional<std::int32_t> size = platform::parseInteger(FontSize->text(), platform::IntegerRules::Typed);
  if (!size) throw ui::Error(QStringLiteral("'%1' is not a valid integer value").arg(FontSize->text()));
  TargetAttributes().setSize(*size);
}

namespace {
void applyStyle(TTextAttributes& target, platform::RichFontStyle member, bool on) {
  const platform::RichFontStyles style = target.style();
  target.setStyle(on ? (style | member) : (style & ~platform::RichFontStyles(member)));
}
}  // namespace

void TfrmEditor::BoldButtonClick(QObject*) {
  if (RefreshingControls) return;
  applyStyle(TargetAttributes(), platform::rfsBold, BoldButton->isChecked());
}

void TfrmEditor::ItalicButtonClick(QObject*) {
  if (RefreshingControls) return;
  applyStyle(TargetAttributes(), platform::rfsItalic, ItalicButton->isChecked());
}

void TfrmEditor::UnderlineButtonClick(QObject*) {
  if (RefreshingControls) return;
  applyStyle(TargetAttributes(), platform::rfsUnderline, UnderlineButton->isChecked());
}

void TfrmEditor::AlignButtonClick(QObject* sender) {
  if (RefreshingControls || !sender) return;
  Editor->paragraph().setAlignment(sender->property("Tag").toInt());
}

void TfrmEditor::BulletsButtonClick(QObject*) {
  if (RefreshingControls) return;
  Editor->paragraph().setBullets(BulletsButton->isChecked());
}

void TfrmEditor::SelectFont(QObject*) {
  auto& selection = Editor->selAttributes();
  QFont font(selection.name());
  font.setPointSize(std::max(1, selection.size()));
  const platform::RichFontStyles style = selection.style();
  font.setBold(style & platform::rfsBold);
  font.setItalic(style & platform::rfsItalic);
  font.setUnderline(style & platform::rfsUnderline);
  font.setStrikeOut(style & platform::rfsStrikeOut);
  font.setFixedPitch(selection.pitch() == platform::FontPitch::fpFixed);
  FontDialog1->Font = font;
  FontDialog1->Color = selection.color();
  const int charset = selection.charset();
  if (FontDialog1->execute(this)) TargetAttributes().assign(FontDialog1->Font, FontDialog1->Color, charset);
  Editor->setFocus();
}

}  // namespace vardel

// The editor's file and edit commands: New, Open, Save, Save As, Print, Exit, Undo, Cut,
// Copy, Paste, and the question about unsaved changes.
#include "editor/editor_form.h"

#include "platform/paths.h"
#include "platform/richedit/richedit.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStandardPaths>

#include <stdexcept>

namespace vardel {
namespace {

using ui::DialogButton;

// A confirmation box with Yes, No and Cancel under the program's title; Yes is the default,
// and Escape or closing the box answers Cancel.
DialogButton confirm(QWidget* editor, const QString& text) {
  const QString title = ui::Application::exists() ? ui::Application::instance().title() : QString();
  return ui::messageDialog(title, text, ui::MessageIcon::Question,
                           {DialogButton::mbYes, DialogButton::mbNo, DialogButton::mbCancel}, DialogButton::mbYes,
                           DialogButton::mbCancel, editor);
}

}  // namespace

QString documentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QDir().mkpath(documents)) return documents;
  return QDir::homePath();
}

QString saveTarget(const QString& path) {
  const QFileInfo info(path);
  if (!info.isSymLink()) return path;
  if (platform::liesInside(path, platform::programFolder())) {
    throw std::runtime_error(
        QStringLiteral("No se puede crear el fichero \"%1\": es un enlace dentro de la carpeta de la revista")
            .arg(path)
            .toStdString());
  }
  // The end of the chain of links; a link to nothing names the file it would make.
  const QString real = info.canonicalFilePath();
  return real.isEmpty() ? info.symLinkTarget() : real;
}

bool TfrmEditor::OfferToSaveChanges() {
  if (!Editor->modified()) return true;
  switch (confirm(this, QStringLiteral("Guardar los cambios en %1?").arg(DocumentName))) {
    case DialogButton::mbYes:
      // Going on after Yes without a written file would lose the text the person meant to keep.
      return saveDocument();
    case DialogButton::mbNo:
      return true;
    default:
      return false;
  }
}

void TfrmEditor::OpenDocumentFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) throw ui::Error(QStringLiteral("No se encuentra el fichero %1").arg(path));
  // Only plain files: a folder holds no text, and a device or a pipe would be read for ever.
  if (!info.isFile()) throw ui::Error(QStringLiteral("%1 no es un fichero").arg(path));
  Editor->loadFromFile(path);
  unkeptFile_ = Editor->hasUnkeptElements() ? QFileInfo(path).absoluteFilePath() : QString();
  // A document opened before the article arrives is kept: the article replacing its text under
  // its name would have the next Save write the article over the document.
  if (!imported()) abandonImport();
  AssignDocumentName(path);
  Editor->setFocus();
  Editor->setModified(false);
  ShowModifiedState(false);
}

void TfrmEditor::FileNew(QObject*) {
  // Unsaved text is offered for saving first, as Open, a drop and closing do.
  if (!OfferToSaveChanges()) return;
  AssignDocumentName(kUntitled);
  unkeptFile_.clear();
  Editor->clear();
  Editor->setModified(false);
  ShowModifiedState(false);
}

void TfrmEditor::FileOpen(QObject*) {
  if (!OfferToSaveChanges()) return;
  if (!OpenDialog->execute(this)) return;
  OpenDocumentFile(OpenDialog->FileName);
  Editor->setReadOnly(OpenDialog->ReadOnlyChecked);
}

bool TfrmEditor::saveDocument() {
  if (DocumentName == kUntitled) return saveDocumentAs();
  const QString target = saveTarget(DocumentName);
  if (!mayLoseUnkeptElements(target)) return false;
  // A failed write throws before anything changes here: name and modified flag stay.
  Editor->saveToFile(target);
  Editor->setModified(false);
  ShowModifiedState(false);
  return true;
}

bool TfrmEditor::saveDocumentAs() {
  if (!SaveDialog->execute(this)) return false;
  // Documents are always rich text, and their names always say so. Through a link, the
  // question names the file that is really written.
  const QString target = saveTarget(SaveDialog->FileName + QStringLiteral(".rtf"));
  if (QFileInfo::exists(target) &&
      confirm(this, QStringLiteral("¿Sobreescribir %1?").arg(target)) != DialogButton::mbYes) {
    return false;
  }
  if (!mayLoseUnkeptElements(target)) return false;
  Editor->saveToFile(target);
  AssignDocumentName(target);
  Editor->setModified(false);
  ShowModifiedState(false);
  return true;
}

bool TfrmEditor::mayLoseUnkeptElements(const QString& target) {
  if (unkeptFile_.isEmpty() || QFileInfo(target).absoluteFilePath() != unkeptFile_) return true;
  const QString title = ui::Application::exists() ? ui::Application::instance().title() : QString();
  if (ui::messageDialog(title,
                        QStringLiteral("El documento contiene elementos que se perderán al guardarlo. ¿Continuar?"),
                        ui::MessageIcon::Question, {DialogButton::mbYes, DialogButton::mbNo}, DialogButton::mbNo,
                        DialogButton::mbNo, this) != DialogButton::mbYes) {
    return false;
  }
  unkeptFile_.clear();  // asked once: the next saves write what the text holds
  return true;
}

void TfrmEditor::FileSave(QObject*) { saveDocument(); }

void TfrmEditor::FileSaveAs(QObject*) { saveDocumentAs(); }

void TfrmEditor::FilePrint(QObject*) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(DocumentName);
  if (!PrintDialog->execute(printer, this)) return;
  Editor->print(&printer, DocumentName);
}

void TfrmEditor::FileExit(QObject*) { close(); }

void TfrmEditor::EditUndo(QObject*) {
  if (Editor) Editor->undo();
}

void TfrmEditor::EditCut(QObject*) { Editor->cut(); }

void TfrmEditor::EditCopy(QObject*) { Editor->copy(); }

void TfrmEditor::EditPaste(QObject*) { Editor->paste(); }

}  // namespace vardel

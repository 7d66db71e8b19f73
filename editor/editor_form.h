// TfrmEditor: the rich-text editor window, with its menus, tool bar, ruler, status bar, file
// commands, and the import of the article on display.
#pragma once

#include "editor/editor_dialogs.h"
#include "editor/editor_widgets.h"
#include "platform/clipboard_chain.h"
#include "ui/form.h"
#include "ui/timer.h"

#include <QPointer>
#include <QString>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QMenuBar;
class QToolButton;

namespace vardel {

class EditorHost;
namespace platform {
class TRichEdit;
class TTextAttributes;
}  // namespace platform

// The marker of a document that has no file yet.
inline const QString kUntitled = QStringLiteral("SinTitulo");

// The document of the command line: the first argument after the program's name, when it
// names an existing file (a relative name is taken from `startFolder`); empty otherwise.
QString commandLineDocument(const QStringList& arguments, const QString& startFolder);

// Where Save As starts when the content folder is not the person's own: their documents
// folder (made when missing), else their home folder.
QString documentsFolder();

// The file that saving under `path` writes: `path` itself, or for a link the file it leads to,
// so that the questions name what is really written. A link inside the content folder is
// refused (throws with the reason): a magazine's folder never decides where the person's text
// goes.
QString saveTarget(const QString& path);

class TfrmEditor : public ui::Form, private platform::ClipboardViewer {
  Q_OBJECT
  Q_PROPERTY(QString DocumentName MEMBER DocumentName)

 public:
  // Creates the window owned by `owner` (runs FormCreate) and shows it (FormShow). Throws when
  // the window cannot be created.
  TfrmEditor(ui::Form* owner, EditorHost& host);
  ~TfrmEditor() override;

  // Replaces the text with the article the viewer holds (the map's parse-complete handler
  // calls it on the newest editor in the browser build; the timer does in the basic build).
  // Runs once in an editor's life, and not at all once a document has been opened in it;
  // other calls do nothing.
  void ImportDisplayedDocument();

  // Controls, in the order of the window definition.
  QMenuBar* MainMenu = nullptr;
  QMenu* FileMenu = nullptr;
  QAction* FileNewItem = nullptr;
  QAction* FileOpenItem = nullptr;
  QAction* FileSaveItem = nullptr;
  QAction* FileSaveAsItem = nullptr;
  QAction* FilePrintItem = nullptr;
  QAction* FileExitItem = nullptr;
  QMenu* EditMenu = nullptr;
  QAction* EditUndoItem = nullptr;
  QAction* EditCutItem = nullptr;
  QAction* EditCopyItem = nullptr;
  QAction* EditPasteItem = nullptr;
  QAction* miEditFont = nullptr;
  TToolBar* ToolBar = nullptr;
  QToolButton* OpenButton = nullptr;
  QToolButton* SaveButton = nullptr;
  QToolButton* PrintButton = nullptr;
  QToolButton* UndoButton = nullptr;
  QToolButton* CutButton = nullptr;
  QToolButton* CopyButton = nullptr;
  QToolButton* PasteButton = nullptr;
  QComboBox* FontName = nullptr;
  QLineEdit* FontSize = nullptr;
  TUpDown* UpDown1 = nullptr;
  QToolButton* BoldButton = nullptr;
  QToolButton* ItalicButton = nullptr;
  QToolButton* UnderlineButton = nullptr;
  QToolButton* LeftAlign = nullptr;
  QToolButton* CenterAlign = nullptr;
  QToolButton* RightAlign = nullptr;
  QToolButton* BulletsButton = nullptr;
  TPanel* Ruler = nullptr;
  TRulerMarker* FirstInd = nullptr;
  TRulerMarker* LeftInd = nullptr;
  TBevelLine* RulerLine = nullptr;
  TRulerMarker* RightInd = nullptr;
  platform::TRichEdit* Editor = nullptr;
  TStatusBar* StatusBar = nullptr;
  TPanel* PanelMensaje = nullptr;
  TFileDialog* OpenDialog = nullptr;
  TFileDialog* SaveDialog = nullptr;
  TPrintDialog* PrintDialog = nullptr;
  TFontDialog* FontDialog1 = nullptr;
  ui::Timer* tmCargarHTML = nullptr;

  // The file being edited as it was chosen, dropped or named, or kUntitled.
  QString DocumentName;
  // Set while the tool bar and the ruler follow the selection: formatting handlers then do
  // nothing.
  bool RefreshingControls = false;
  // Pixels from a dragged marker's left edge to the point that follows the mouse.
  int DragGrabOffset = 0;
  bool DraggingMarker = false;
  platform::ViewerHandle NextClipboardViewer = 0;

  // Operations shared by the handlers.
  void AssignDocumentName(const QString& name);
  // Asks whether to save a modified text. False when the operation that asked must be
  // abandoned: Cancel, or Yes followed by a save that did not happen. A failed save throws.
  bool OfferToSaveChanges();
  // Loads a file (rich text, else plain text); throws and keeps everything as it was when the
  // file cannot be read.
  void OpenDocumentFile(const QString& path);
  void ShowModifiedState(bool modified);
  void ShowCaretPosition();
  void RefreshPasteState();
  void ApplyTextMargins();
  // The attributes formatting changes: the selection's, or the defaults when nothing is
  // selected.
  platform::TTextAttributes& TargetAttributes();
  void FillFontNames();
  void BuildRulerCaption();

  // Handlers.
  void FormCreate(QObject* sender);
  void FormShow(QObject* sender);
  void FormCloseQuery(QObject* sender, bool& canClose);
  void FormClose(QObject* sender, ui::CloseAction& action);
  void FormDestroy(QObject* sender);
  void FormResize(QObject* sender);
  void RichEditChange(QObject* sender);
  // The local files of a drop from the file manager; true when the drop held one.
  bool HandleDroppedFiles(const QStringList& paths);
  void HandleClipboardChainChange(platform::ViewerHandle removed, platform::ViewerHandle next);
  void HandleClipboardUpdate();
  void FileNew(QObject* sender);
  void FileOpen(QObject* sender);
  void FileSave(QObject* sender);
  void FileSaveAs(QObject* sender);
  void FilePrint(QObject* sender);
  void FileExit(QObject* sender);
  void EditUndo(QObject* sender);
  void EditCut(QObject* sender);
  void EditCopy(QObject* sender);
  void EditPaste(QObject* sender);
  void SelectFont(QObject* sender);
  void SelectionChange(QObject* sender);
  void RulerResize(QObject* sender);
  void RulerItemMouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void RulerItemMouseMove(QObject* sender, ui::ShiftState shift, int x, int y);
  void FirstIndMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void LeftIndMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void RightIndMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void FontNameChange(QObject* sender);
  void FontSizeChange(QObject* sender);
  void BoldButtonClick(QObject* sender);
  void ItalicButtonClick(QObject* sender);
  void UnderlineButtonClick(QObject* sender);
  void AlignButtonClick(QObject* sender);
  void BulletsButtonClick(QObject* sender);
  void tmCargarHTMLTimer(QObject* sender);

  bool browserBuild() const { return browser_; }
  // True once the import has run (whatever its outcome).
  bool imported() const { return imported_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The text size of the view (a step of ui::kTextZooms), kept for the editors opened later;
  // without a step, the size last chosen.
  void ZoomView(int step);
  void ZoomView();
  void clipboardUpdate() override { HandleClipboardUpdate(); }
  void clipboardChainChange(platform::ViewerHandle removed, platform::ViewerHandle next) override {
    HandleClipboardChainChange(removed, next);
  }

  void defineControls();
  void defineMenus();
  void defineToolBar();
  void defineRuler();
  void layoutControls();
  void requestDisplayedDocument();
  // No import will come into this editor (nothing to import, or a document took its place).
  void abandonImport();
  // Writes the document; false when nothing was written because the user cancelled.
  bool saveDocument();
  bool saveDocumentAs();
  // Before `target` is written: when it is the file whose embedded objects the text could not
  // keep, asks once whether to go on; false when the person says no.
  bool mayLoseUnkeptElements(const QString& target);
  void markerDropped();

  EditorHost& host_;
  bool browser_;
  bool shown_ = false;
  bool imported_ = false;
  platform::ViewerHandle viewerHandle_ = 0;
  // The file opened last, while writing over it would lose what the text could not keep.
  QString unkeptFile_;
  QWidget* area_ = nullptr;  // the client area below the menu bar
};

}  // namespace vardel

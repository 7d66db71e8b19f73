// The editor window: its definition, set-up, showing, closing, status bar, clipboard chain and
// dropped files.
#include "editor/editor_form.h"

#include "editor/editor_host.h"
#include "platform/paths.h"
#include "platform/richedit/richedit.h"
#include "ui/application.h"
#include "ui/fonts.h"
#include "ui/text_zoom.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QToolButton>
#include <QUrl>

namespace vardel {

using platform::TRichEdit;
using ui::Application;

namespace {

using ui::kSansSerif;

// The folder the program was started from, taken before anything changes the current folder
// (the map makes its articles' folder current), so that a relative name on the command line
// still names what the person meant.
const QString gStartFolder = QDir::currentPath();

// The local files of a drop, in the drop's order.
QStringList droppedFiles(const QMimeData* mime) {
  QStringList files;
  if (!mime || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && !url.toLocalFile().isEmpty()) files << url.toLocalFile();
  }
  return files;
}

// Whether a key press is one of the menu's shortcuts, which win over the text control's own
// use of the same keys (Ctrl+A opens, Ctrl+I prints, as the menus say).
bool isMenuShortcut(const QKeyEvent* key, const QList<QAction*>& actions) {
  const QKeySequence pressed(key->keyCombination());
  for (const QAction* action : actions) {
    if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
  }
  return false;
}

}  // namespace

QString commandLineDocument(const QStringList& arguments, const QString& startFolder) {
  if (arguments.size() < 2 || arguments.at(1).isEmpty()) return {};
  const QString path = QDir(startFolder).absoluteFilePath(arguments.at(1));
  return QFileInfo(path).isFile() ? path : QString();
}

TfrmEditor::TfrmEditor(ui::Form* owner, EditorHost& host)
    : ui::Form(owner), host_(host), browser_(host.browserBuild()) {
  setObjectName(QStringLiteral("frmEditor"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setBorderStyle(ui::BorderStyle::bsNone);
  setFont(ui::pixelFont(kSansSerif, 14));
  setCaption(QStringLiteral("EDITOR DE ONDRAVIA VARDEL"));
  viewerHandle_ = platform::registerClipboardViewer(this);
  defineControls();
  onCloseQuery = [this](QObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  onClose = [this](QObject* sender, ui::CloseAction& action) { FormClose(sender, action); };
  FormCreate(this);
  show();
}

TfrmEditor::~TfrmEditor() {
  ui::guarded([this] { FormDestroy(this); });
  platform::releaseClipboardViewer(viewerHandle_);
}

void TfrmEditor::FormCreate(QObject*) {
  PanelMensaje->show();
  if (browser_) {
    try {
      requestDisplayedDocument();
    } catch (const std::exception& error) {
      // Nothing will arrive to import: the placeholder goes, and the rest of the set-up still
      // runs so the window is whole (placed, named, the cursor restored).
      abandonImport();
      Editor->clear();
      Editor->setModified(false);
      Application::instance().showException(error);
    }
  }
  setBounds(0, 0, 800, 600);
  OpenDialog->InitialDir = platform::programFolder();
  // Nothing of the person's is saved unasked into a folder that is not theirs (a disc's run
  // folder is renewed from the disc).
  SaveDialog->InitialDir = host_.contentFolderIsOwn() ? platform::programFolder() : documentsFolder();
  AssignDocumentName(kUntitled);
  FillFontNames();
  BuildRulerCaption();
  SelectionChange(this);
  NextClipboardViewer = platform::joinClipboardChain(viewerHandle_);
  Application::instance().setCursor(ui::Cursor::crDefault);
}

// Runs FormShow when the window is shown by the program, not when the desktop restores it.
void TfrmEditor::showEvent(QShowEvent* event) {
  ui::Form::showEvent(event);
  if (event->spontaneous() || shown_) return;
  shown_ = true;
  ui::guarded([this] { FormShow(this); });
}

void TfrmEditor::FormShow(QObject*) {
  ShowCaretPosition();
  setAcceptDrops(true);
  RichEditChange(this);
  Editor->setFocus();
  RefreshPasteState();
  const QString document = commandLineDocument(QCoreApplication::arguments(), gStartFolder);
  if (!document.isEmpty()) OpenDocumentFile(document);
}

void TfrmEditor::FormCloseQuery(QObject*, bool& canClose) {
  // Yes that does not end in a written file keeps the window open, and a failed save says why.
  try {
    canClose = OfferToSaveChanges();
  } catch (const std::exception& error) {
    canClose = false;
    Application::instance().showException(error);
  }
}

void TfrmEditor::FormClose(QObject*, ui::CloseAction& action) { action = ui::CloseAction::caFree; }

void TfrmEditor::FormDestroy(QObject*) {
  if (viewerHandle_ && platform::leaveClipboardChain(viewerHandle_, NextClipboardViewer)) NextClipboardViewer = 0;
}

void TfrmEditor::resizeEvent(QResizeEvent* event) {
  ui::Form::resizeEvent(event);
  if (!Editor) return;
  layoutControls();
  ui::guarded([this] { FormResize(this); });
}

void TfrmEditor::FormResize(QObject*) {
  ApplyTextMargins();
  SelectionChange(this);
}

void TfrmEditor::ApplyTextMargins() {
  // In the control's client coordinates: inside its frame, without the scroll bar.
  const QRect inside = Editor->contentsRect();
  const int bar = Editor->verticalScrollBar()->sizeHint().width();  // always shown
  const QRect wanted(6, 0, std::max(0, inside.width() - bar - 12), inside.height());
  if (Editor->formattingRect() != wanted) Editor->setFormattingRect(wanted);
}

void TfrmEditor::RichEditChange(QObject*) {
  ShowModifiedState(Editor->modified());
  const bool canUndo = Editor->canUndo();
  UndoButton->setEnabled(canUndo);
  EditUndoItem->setEnabled(canUndo);
}

void TfrmEditor::AssignDocumentName(const QString& name) {
  DocumentName = name;
  setCaption(QStringLiteral("%1 - %2").arg(QFileInfo(name).fileName(), Application::instance().title()));
}

void TfrmEditor::ShowModifiedState(bool modified) {
  StatusBar->setPanelText(1, modified ? QStringLiteral("Modificado") : QString());
}

void TfrmEditor::ShowCaretPosition() {
  const int start = Editor->selStart();
  const int line = Editor->lineFromChar(start);
  const int column = start - Editor->lineIndex(line);
  StatusBar->setPanelText(0, QString::asprintf("Línea: %3d   Columna: %3d", line + 1, column + 1));
  const bool selected = Editor->selLength() > 0;
  CopyButton->setEnabled(selected);
  EditCopyItem->setEnabled(selected);
  CutButton->setEnabled(selected);
  EditCutItem->setEnabled(selected);
}

void TfrmEditor::RefreshPasteState() {
  bool canPaste = false;
  if (const QMimeData* mime = QGuiApplication::clipboard()->mimeData()) {
    for (const QString& format : mime->formats()) {
      if (Editor->canPasteFormat(format)) {
        canPaste = true;
        break;
      }
    }
  }
  PasteButton->setEnabled(canPaste);
  EditPasteItem->setEnabled(canPaste);
}

void TfrmEditor::HandleClipboardChainChange(platform::ViewerHandle removed, platform::ViewerHandle next) {
  if (removed == NextClipboardViewer) {
    NextClipboardViewer = next;
  } else {
    platform::passChainChange(NextClipboardViewer, removed, next);
  }
}

void TfrmEditor::HandleClipboardUpdate() {
  platform::passClipboardUpdate(NextClipboardViewer);
  ui::guarded([this] { RefreshPasteState(); });
}

bool TfrmEditor::HandleDroppedFiles(const QStringList& paths) {
  if (paths.isEmpty()) return false;
  // The first file only; the others of the same drop are left alone.
  if (OfferToSaveChanges()) OpenDocumentFile(paths.constFirst());
  return true;
}

void TfrmEditor::dragEnterEvent(QDragEnterEvent* event) {
  if (acceptDrops() && !droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TfrmEditor::dragMoveEvent(QDragMoveEvent* event) {
  if (acceptDrops() && !droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TfrmEditor::dropEvent(QDropEvent* event) {
  const QStringList files = droppedFiles(event->mimeData());
  if (!acceptDrops() || files.isEmpty()) return;
  // The drop is taken (and so released by its source) whatever happens to the files.
  event->acceptProposedAction();
  ui::guarded([&] { HandleDroppedFiles(files); });
}

namespace {
// The text size of the editors' view, kept for every editor of the run.
int viewZoomStep = ui::kNormalTextZoom;
}  // namespace

void TfrmEditor::ZoomView(int step) {
  viewZoomStep = step;
  Editor->setViewZoom(ui::kTextZooms[step]);
}

void TfrmEditor::ZoomView() { ZoomView(viewZoomStep); }

bool TfrmEditor::eventFilter(QObject* watched, QEvent* event) {
  if (Editor && watched == Editor && event->type() == QEvent::KeyPress) {
    // Ctrl++, Ctrl+- and Ctrl+0 size the text on the screen only.
    if (const int step = ui::textZoomForKey(*static_cast<QKeyEvent*>(event), viewZoomStep); step >= 0) {
      ui::guarded([&] { ZoomView(step); });
      return true;
    }
  }
  if (Editor && watched == Editor->viewport() && event->type() == QEvent::Wheel) {
    if (const int step = ui::textZoomForWheel(*static_cast<QWheelEvent*>(event), viewZoomStep); step >= 0) {
      ui::guarded([&] { ZoomView(step); });
      return true;
    }
  }
  if (Editor && watched == Editor->viewport()) {
    // Files dropped onto the text open, as anywhere on the window; other drags are the
    // text's own.
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (droppedFiles(drop->mimeData()).isEmpty()) break;
        if (event->type() == QEvent::Drop) {
          dropEvent(drop);
        } else if (acceptDrops()) {
          drop->acceptProposedAction();
        } else {
          drop->ignore();
        }
        return true;
      }
      case QEvent::Resize:
        ui::guarded([this] { ApplyTextMargins(); });
        break;
      default:
        break;
    }
  } else if (Editor && watched == Editor && event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    QList<QAction*> actions = FileMenu->actions();
    actions += EditMenu->actions();
    // Left unaccepted, the key goes to the menu's shortcut instead of the text.
    if (isMenuShortcut(key, actions)) return true;
  } else if (watched == Ruler && event->type() == QEvent::Resize) {
    ui::guarded([this] { RulerResize(Ruler); });
  }
  return ui::Form::eventFilter(watched, event);
}

}  // namespace vardel

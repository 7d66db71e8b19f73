// The editor window: its definition, set-up, showing, closing, status bar, clipboard chain and
// dropped files.
#include "editor/editor_form.h"

#include "editor/editor_host.h"
#include "editor/toolbar_images.h"
#include "platform/paths.h"
#include "platform/richedit/richedit.h"
#include "ui/application.h"
#include "ui/definition.h"
#include "ui/fonts.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QUrl>

namespace vardel {

using platform::TRichEdit;
using ui::Application;

namespace {

const QString kSansSerif = QStringLiteral("MS Sans Serif");
const QString kFilter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
constexpr ui::Color kBarColour = 0x00929BA5;  // red 165, green 155, blue 146
constexpr int kMenuHeight = 19;
constexpr int kToolBarHeight = 28;
constexpr int kRulerHeight = 32;
constexpr int kStatusHeight = 23;

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

// List entries of a fixed height, as an owner-drawn list gives them.
class FixedHeightItems : public QStyledItemDelegate {
 public:
  FixedHeightItems(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), height_);
  }

 private:
  int height_;
};

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

// The window definition, top to bottom.
void TfrmEditor::defineControls() {
  // clang-format off
  area_ = new QWidget(client());
  area_->setObjectName(QStringLiteral("area"));
  defineMenus();
  defineToolBar();
  defineRuler();

  Editor = new TRichEdit(area_);
  Editor->setObjectName(QStringLiteral("Editor"));
  Editor->setFont(ui::pixelFont(kSansSerif, 14));
  Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Editor->setTabChangesFocus(false);
  Editor->setLines({QString(), QStringLiteral("      IMPORTANDO HTML...")});
  Editor->document()->clearUndoRedoStacks();
  Editor->setModified(false);
  Editor->installEventFilter(this);
  Editor->viewport()->installEventFilter(this);
  connect(Editor, &TRichEdit::change, this, [this] { ui::guarded([this] { RichEditChange(Editor); }); });
  connect(Editor, &TRichEdit::selectionChange, this, [this] { ui::guarded([this] { SelectionChange(Editor); }); });

  StatusBar = new TStatusBar(area_);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  StatusBar->setFont(ui::pixelFont(kSansSerif, 11));
  StatusBar->addPanel(200);
  StatusBar->addPanel(120, Qt::AlignHCenter);
  StatusBar->addPanel(200);

  PanelMensaje = new TPanel(area_);
  PanelMensaje->setObjectName(QStringLiteral("PanelMensaje"));
  PanelMensaje->setGeometry(275, 217, 234, 70);
  PanelMensaje->setColor(0x00C08000);  // red 0, green 128, blue 192
  PanelMensaje->setFont(ui::pixelFont(QStringLiteral("Arial"), 16, ui::fsBold));
  PanelMensaje->setFontColor(ui::clWhite);
  PanelMensaje->setCaption(QStringLiteral("Convirtiendo Html"));
  PanelMensaje->hide();

  OpenDialog = new TFileDialog(this, TFileDialog::Kind::Open);
  OpenDialog->setObjectName(QStringLiteral("OpenDialog"));
  OpenDialog->Filter = kFilter;
  SaveDialog = new TFileDialog(this, TFileDialog::Kind::Save);
  SaveDialog->setObjectName(QStringLiteral("SaveDialog"));
  SaveDialog->Filter = kFilter;
  PrintDialog = new TPrintDialog(this);
  PrintDialog->setObjectName(QStringLiteral("PrintDialog"));
  FontDialog1 = new TFontDialog(this);
  FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
  FontDialog1->Font = ui::pixelFont(kSansSerif, 11);
  FontDialog1->Color = ui::toQColor(ui::clWindowText);

  ui::Definition d(this, area_);
  d.timer(tmCargarHTML, "tmCargarHTML").interval(10).enabled(!browser_).onTimer(&TfrmEditor::tmCargarHTMLTimer);
  layoutControls();
  // clang-format on
}

void TfrmEditor::defineMenus() {
  // clang-format off
  MainMenu = new QMenuBar(client());
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  MainMenu->setFont(ui::pixelFont(kSansSerif, 11));
  MainMenu->setNativeMenuBar(false);
  const auto item = [this](QMenu* menu, QAction*& field, const char* name, const QString& caption, const QKeySequence& key,
                           const QString& hint, void (TfrmEditor::*handler)(QObject*)) {
    field = menu->addAction(caption);
    field->setObjectName(QString::fromLatin1(name));
    field->setShortcut(key);
    field->setStatusTip(hint);  // the long hint; nothing in the window displays it
    connect(field, &QAction::triggered, this, [this, handler, field] { ui::guarded([&] { (this->*handler)(field); }); });
  };
  FileMenu = MainMenu->addMenu(QStringLiteral("&Ficheros"));
  FileMenu->setObjectName(QStringLiteral("FileMenu"));
  item(FileMenu, FileNewItem, "FileNewItem", QStringLiteral("&Nuevo"), QKeySequence(Qt::CTRL | Qt::Key_N),
       QStringLiteral("Create a new file"), &TfrmEditor::FileNew);
  item(FileMenu, FileOpenItem, "FileOpenItem", QStringLiteral("&Abrir..."), QKeySequence(Qt::CTRL | Qt::Key_A),
       QStringLiteral("Open an existing file"), &TfrmEditor::FileOpen);
  item(FileMenu, FileSaveItem, "FileSaveItem", QStringLiteral("&Guardar"), QKeySequence(Qt::CTRL | Qt::Key_G),
       QStringLiteral("Save current file"), &TfrmEditor::FileSave);
  item(FileMenu, FileSaveAsItem, "FileSaveAsItem", QStringLiteral("Guardar c&omo..."), QKeySequence(Qt::CTRL | Qt::Key_O),
       QStringLiteral("Save current file under a new name"), &TfrmEditor::FileSaveAs);
  FileMenu->addSeparator();
  item(FileMenu, FilePrintItem, "FilePrintItem", QStringLiteral("&Imprimir"), QKeySequence(Qt::CTRL | Qt::Key_I),
       QStringLiteral("Print current file"), &TfrmEditor::FilePrint);
  FileMenu->addSeparator();
  item(FileMenu, FileExitItem, "FileExitItem", QStringLiteral("&Salir"), QKeySequence(Qt::ALT | Qt::Key_X),
       QStringLiteral("Exit this application"), &TfrmEditor::FileExit);
  EditMenu = MainMenu->addMenu(QStringLiteral("&Edicion"));
  EditMenu->setObjectName(QStringLiteral("EditMenu"));
  FileMenu->setFont(MainMenu->font());
  EditMenu->setFont(MainMenu->font());
  item(EditMenu, EditUndoItem, "EditUndoItem", QStringLiteral("&Deshacer"), QKeySequence(Qt::CTRL | Qt::Key_D),
       QStringLiteral("Undo the last action"), &TfrmEditor::EditUndo);
  EditMenu->addSeparator();
  item(EditMenu, EditCutItem, "EditCutItem", QStringLiteral("Cor&tar"), QKeySequence(Qt::CTRL | Qt::Key_X),
       QStringLiteral("Delete selected item"), &TfrmEditor::EditCut);
  item(EditMenu, EditCopyItem, "EditCopyItem", QStringLiteral("&Copiar"), QKeySequence(Qt::CTRL | Qt::Key_C),
       QStringLiteral("Copy selected item to clipboard"), &TfrmEditor::EditCopy);
  item(EditMenu, EditPasteItem, "EditPasteItem", QStringLiteral("&Pegar"), QKeySequence(Qt::CTRL | Qt::Key_V),
       QStringLiteral("Paste contents of clipboard"), &TfrmEditor::EditPaste);
  EditMenu->addSeparator();
  item(EditMenu, miEditFont, "miEditFont", QStringLiteral("&Fuente..."), QKeySequence(), QString(), &TfrmEditor::SelectFont);
  // clang-format on
}

QToolButton* TfrmEditor::toolButton(QToolButton*& field, const char* name, int x, int image, const QString& hint) {
  field = new QToolButton(ToolBar);
  field->setObjectName(QString::fromLatin1(name));
  field->setGeometry(QRect(ToolBar->innerOrigin() + QPoint(x, 0), QSize(23, 22)));
  field->setAutoRaise(true);
  field->setFocusPolicy(Qt::NoFocus);
  field->setIcon(QIcon(toolbarImage(image)));
  field->setIconSize(QSize(16, 16));
  field->setProperty("Hint", hint);
  field->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
  return field;
}

// Tool bar positions: the two programs differ from the size box on.
void TfrmEditor::defineToolBar() {
  // clang-format off
  ToolBar = new TToolBar(area_, kBarColour, 2);
  ToolBar->setObjectName(QStringLiteral("ToolBar"));
  const auto clicked = [this](QToolButton* button, void (TfrmEditor::*handler)(QObject*)) {
    connect(button, &QToolButton::clicked, this, [this, button, handler] { ui::guarded([&] { (this->*handler)(button); }); });
  };
  const QPoint at = ToolBar->innerOrigin();
  clicked(toolButton(OpenButton, "OpenButton", 3, 0, QStringLiteral("Open|Open an existing file")), &TfrmEditor::FileOpen);
  clicked(toolButton(SaveButton, "SaveButton", 26, 1, QStringLiteral("Save|Save current file")), &TfrmEditor::FileSave);
  clicked(toolButton(PrintButton, "PrintButton", 49, 2, QStringLiteral("Print|Print current file")), &TfrmEditor::FilePrint);
  ToolBar->addDivider(72, 8);
  clicked(toolButton(UndoButton, "UndoButton", 80, 3, QStringLiteral("Undo|Undo the last action")), &TfrmEditor::EditUndo);
  UndoButton->setEnabled(false);
  clicked(toolButton(CutButton, "CutButton", 103, 4, QStringLiteral("Cut|Delete selected item")), &TfrmEditor::EditCut);
  clicked(toolButton(CopyButton, "CopyButton", 126, 5, QStringLiteral("Copy|Copy selected item to clipboard")),
          &TfrmEditor::EditCopy);
  clicked(toolButton(PasteButton, "PasteButton", 149, 6, QStringLiteral("Paste|Paste contents of clipboard")),
          &TfrmEditor::EditPaste);

  FontName = new QComboBox(ToolBar);
  FontName->setObjectName(QStringLiteral("FontName"));
  FontName->setGeometry(QRect(at + QPoint(180, 0), QSize(145, 21)));
  FontName->setEditable(true);
  FontName->setInsertPolicy(QComboBox::NoInsert);
  FontName->setFrame(true);
  FontName->setFont(ui::pixelFont(kSansSerif, 11));
  FontName->setMaxVisibleItems(16);
  FontName->setItemDelegate(new FixedHeightItems(13, FontName));
  FontName->setEditText(QStringLiteral("FontName"));
  FontName->setProperty("Hint", QStringLiteral("Font Name|Select font name"));
  FontName->setToolTip(QStringLiteral("Font Name"));
  connect(FontName, &QComboBox::editTextChanged, this, [this] { ui::guarded([this] { FontNameChange(FontName); }); });
  connect(FontName, &QComboBox::textActivated, this, [this] { ui::guarded([this] { FontNameChange(FontName); }); });

  const int sizeWidth = browser_ ? 267 : 26;
  const int right = browser_ ? 592 : 351;  // the spinner; everything after it follows
  FontSize = new QLineEdit(ToolBar);
  FontSize->setObjectName(QStringLiteral("FontSize"));
  FontSize->setGeometry(QRect(at + QPoint(325, 0), QSize(sizeWidth, 22)));
  FontSize->setFont(ui::pixelFont(kSansSerif, 11));
  FontSize->setText(QStringLiteral("0"));
  FontSize->setProperty("Hint", QStringLiteral("Font Size|Select font size"));
  FontSize->setToolTip(QStringLiteral("Font Size"));
  connect(FontSize, &QLineEdit::textChanged, this, [this] { ui::guarded([this] { FontSizeChange(FontSize); }); });
  UpDown1 = new TUpDown(ToolBar);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setGeometry(QRect(at + QPoint(right, 0), QSize(12, 22)));
  UpDown1->setRange(0, 100);
  UpDown1->setIncrement(1);
  UpDown1->setBuddy(FontSize);

  ToolBar->addDivider(right + 12, 12);
  const int b = right + 24;
  clicked(toolButton(BoldButton, "BoldButton", b, 7, QStringLiteral("Bold")), &TfrmEditor::BoldButtonClick);
  clicked(toolButton(ItalicButton, "ItalicButton", b + 23, 8, QStringLiteral("Italic")), &TfrmEditor::ItalicButtonClick);
  clicked(toolButton(UnderlineButton, "UnderlineButton", b + 46, 9, QStringLiteral("Underline")),
          &TfrmEditor::UnderlineButtonClick);
  for (QToolButton* button : {BoldButton, ItalicButton, UnderlineButton}) button->setCheckable(true);
  const int a = b + 69 + 13;  // after a 13-pixel separator
  clicked(toolButton(LeftAlign, "LeftAlign", a, 10, QStringLiteral("Align Left")), &TfrmEditor::AlignButtonClick);
  clicked(toolButton(CenterAlign, "CenterAlign", a + 23, 11, QStringLiteral("Center")), &TfrmEditor::AlignButtonClick);
  clicked(toolButton(RightAlign, "RightAlign", a + 46, 12, QStringLiteral("Align Right")), &TfrmEditor::AlignButtonClick);
  auto* group = new QButtonGroup(ToolBar);
  group->setExclusive(true);
  for (auto [button, tag] : {std::pair{LeftAlign, 0}, std::pair{CenterAlign, 2}, std::pair{RightAlign, 1}}) {
    button->setCheckable(true);
    button->setProperty("Tag", tag);
    group->addButton(button);
  }
  LeftAlign->setChecked(true);
  clicked(toolButton(BulletsButton, "BulletsButton", a + 69, 13, QStringLiteral("Bullets|Enter bullet mode")),
          &TfrmEditor::BulletsButtonClick);
  BulletsButton->setCheckable(true);
  ToolBar->addDivider(a + 92, 13);
  // clang-format on
}

void TfrmEditor::defineRuler() {
  // clang-format off
  Ruler = new TPanel(area_);
  Ruler->setObjectName(QStringLiteral("Ruler"));
  Ruler->setBevels(BevelCut::bvNone, BevelCut::bvLowered, 1);
  Ruler->setColor(kBarColour);
  Ruler->setFont(ui::pixelFont(QStringLiteral("Arial"), 15));
  Ruler->setCaptionAlignment(Qt::AlignLeft);
  Ruler->installEventFilter(this);

  const auto marker = [this](TRulerMarker*& field, const char* name, TRulerMarker::Shape shape, QRect place,
                             void (TfrmEditor::*up)(QObject*, ui::MouseButton, ui::ShiftState, int, int)) {
    field = new TRulerMarker(Ruler, shape);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(place);
    field->onMouseDown = [this](QObject* s, ui::MouseButton b, ui::ShiftState st, int x, int y) { RulerItemMouseDown(s, b, st, x, y); };
    field->onMouseMove = [this](QObject* s, ui::ShiftState st, int x, int y) { RulerItemMouseMove(s, st, x, y); };
    field->onMouseUp = [this, up](QObject* s, ui::MouseButton b, ui::ShiftState st, int x, int y) { (this->*up)(s, b, st, x, y); };
  };
  marker(FirstInd, "FirstInd", TRulerMarker::Shape::DownArrow, QRect(2, 2, 13, 12), &TfrmEditor::FirstIndMouseUp);
  marker(LeftInd, "LeftInd", TRulerMarker::Shape::UpArrow, QRect(2, 15, 13, 13), &TfrmEditor::LeftIndMouseUp);
  RulerLine = new TBevelLine(Ruler);
  RulerLine->setObjectName(QStringLiteral("RulerLine"));
  RulerLine->setGeometry(5, 15, 713, 2);
  RulerLine->lower();
  marker(RightInd, "RightInd", TRulerMarker::Shape::HollowUpArrow, QRect(708, 17, 12, 16), &TfrmEditor::RightIndMouseUp);
  // clang-format on
}

// The client area below the menu: tool bar and ruler at the top, status bar at the bottom,
// the text in between, the import's message over the text.
void TfrmEditor::layoutControls() {
  const QSize size = clientSize();
  MainMenu->setGeometry(0, 0, size.width(), kMenuHeight);
  area_->setGeometry(0, kMenuHeight, size.width(), std::max(0, size.height() - kMenuHeight));
  const int w = area_->width();
  const int h = area_->height();
  ToolBar->setGeometry(0, 0, w, kToolBarHeight);
  Ruler->setGeometry(0, kToolBarHeight, w, kRulerHeight);
  StatusBar->setGeometry(0, std::max(0, h - kStatusHeight), w, kStatusHeight);
  const int top = kToolBarHeight + kRulerHeight;
  Editor->setGeometry(0, top, w, std::max(0, h - top - kStatusHeight));
  PanelMensaje->raise();
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

bool TfrmEditor::eventFilter(QObject* watched, QEvent* event) {
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

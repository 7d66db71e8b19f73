// The editor window's definition: its menus, tool bar, ruler and status bar as tables, read top
// to bottom, and the layout of the client area.
#include "editor/editor_form.h"
#include "editor/toolbar_images.h"
#include "platform/richedit/richedit.h"
#include "ui/application.h"
#include "ui/definition.h"
#include "ui/fonts.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStyledItemDelegate>
#include <QToolButton>

#include <algorithm>

namespace vardel {

using platform::TRichEdit;
using ui::kSansSerif;

namespace {

constexpr ui::Color kBarColour = 0x00929BA5;  // red 165, green 155, blue 146
constexpr int kMenuHeight = 19;
constexpr int kToolBarHeight = 28;
constexpr int kRulerHeight = 32;
constexpr int kStatusHeight = 23;

using Command = void (TfrmEditor::*)(QObject*);
using MarkerUp = void (TfrmEditor::*)(QObject*, ui::MouseButton, ui::ShiftState, int, int);

// A line of the menu bar's table: a menu, one of its commands, or a separator.
struct MenuLine {
  enum class Kind { Menu, Item, Separator } kind;
  QMenu* TfrmEditor::*menu = nullptr;
  QAction* TfrmEditor::*item = nullptr;
  const char* name = nullptr;
  const char* caption = nullptr;
  QKeyCombination key = {};
  const char* hint = "";  // the long hint; nothing in the window displays it
  Command command = nullptr;
};

MenuLine menu(QMenu* TfrmEditor::*field, const char* name, const char* caption) {
  return {MenuLine::Kind::Menu, field, nullptr, name, caption};
}
MenuLine item(QAction* TfrmEditor::*field, const char* name, const char* caption, QKeyCombination key, const char* hint,
              Command command) {
  return {MenuLine::Kind::Item, nullptr, field, name, caption, key, hint, command};
}
MenuLine separator() { return {MenuLine::Kind::Separator}; }

// A tool bar button or divider. Positions count from the bar's inner edge, or from the font
// size spinner, whose place differs between the two programs.
enum class From { Start, Spinner };
enum class Toggle { None, Check, Align };  // Align: one of the exclusive alignment buttons
struct ToolLine {
  QToolButton* TfrmEditor::*field;  // null for a divider
  const char* name;
  From from;
  int x;
  int image;  // for a divider, its width
  const char* hint;
  Command command;
  Toggle toggle = Toggle::None;
  int tag = 0;
};

ToolLine button(QToolButton* TfrmEditor::*field, const char* name, From from, int x, int image, const char* hint,
                Command command, Toggle toggle = Toggle::None, int tag = 0) {
  return {field, name, from, x, image, hint, command, toggle, tag};
}
ToolLine divider(From from, int x, int width) { return {nullptr, nullptr, from, x, width, nullptr, nullptr}; }

struct MarkerLine {
  TRulerMarker* TfrmEditor::*field;
  const char* name;
  TRulerMarker::Shape shape;
  QRect place;
  MarkerUp up;
};

struct StatusPanel {
  int width;
  Qt::Alignment alignment;
};

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

}  // namespace

// The window definition, top to bottom.
void TfrmEditor::defineControls() {
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
  ZoomView();
  connect(Editor, &TRichEdit::change, this, [this] { ui::guarded([this] { RichEditChange(Editor); }); });
  connect(Editor, &TRichEdit::selectionChange, this, [this] { ui::guarded([this] { SelectionChange(Editor); }); });

  static const StatusPanel panels[] = {{200, Qt::AlignLeft}, {120, Qt::AlignHCenter}, {200, Qt::AlignLeft}};
  StatusBar = new TStatusBar(area_);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  StatusBar->setFont(ui::pixelFont(kSansSerif, 11));
  for (const StatusPanel& panel : panels) StatusBar->addPanel(panel.width, panel.alignment);

  PanelMensaje = new TPanel(area_);
  PanelMensaje->setObjectName(QStringLiteral("PanelMensaje"));
  PanelMensaje->setGeometry(275, 217, 234, 70);
  PanelMensaje->setColor(0x00C08000);  // red 0, green 128, blue 192
  PanelMensaje->setFont(ui::pixelFont(QStringLiteral("Arial"), 16, ui::fsBold));
  PanelMensaje->setFontColor(ui::clWhite);
  PanelMensaje->setCaption(QStringLiteral("Convirtiendo Html"));
  PanelMensaje->hide();

  const QString filter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
  OpenDialog = new TFileDialog(this, TFileDialog::Kind::Open);
  OpenDialog->setObjectName(QStringLiteral("OpenDialog"));
  OpenDialog->Filter = filter;
  SaveDialog = new TFileDialog(this, TFileDialog::Kind::Save);
  SaveDialog->setObjectName(QStringLiteral("SaveDialog"));
  SaveDialog->Filter = filter;
  PrintDialog = new TPrintDialog(this);
  PrintDialog->setObjectName(QStringLiteral("PrintDialog"));
  FontDialog1 = new TFontDialog(this);
  FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
  FontDialog1->Font = ui::pixelFont(kSansSerif, 11);
  FontDialog1->Color = ui::toQColor(ui::clWindowText);

  ui::Definition d(this, area_);
  d.timer(tmCargarHTML, "tmCargarHTML").interval(10).enabled(!browser_).onTimer(&TfrmEditor::tmCargarHTMLTimer);
  layoutControls();
}

void TfrmEditor::defineMenus() {
  using F = TfrmEditor;
  // clang-format off
  static const MenuLine lines[] = {
    menu(&F::FileMenu, "FileMenu", "&Ficheros"),
    item(&F::FileNewItem, "FileNewItem", "&Nuevo", Qt::CTRL | Qt::Key_N, "Create a new file", &F::FileNew),
    item(&F::FileOpenItem, "FileOpenItem", "&Abrir...", Qt::CTRL | Qt::Key_A, "Open an existing file", &F::FileOpen),
    item(&F::FileSaveItem, "FileSaveItem", "&Guardar", Qt::CTRL | Qt::Key_G, "Save current file", &F::FileSave),
    item(&F::FileSaveAsItem, "FileSaveAsItem", "Guardar c&omo...", Qt::CTRL | Qt::Key_O,
         "Save current file under a new name", &F::FileSaveAs),
    separator(),
    item(&F::FilePrintItem, "FilePrintItem", "&Imprimir", Qt::CTRL | Qt::Key_I, "Print current file", &F::FilePrint),
    separator(),
    item(&F::FileExitItem, "FileExitItem", "&Salir", Qt::ALT | Qt::Key_X, "Exit this application", &F::FileExit),
    menu(&F::EditMenu, "EditMenu", "&Edicion"),
    item(&F::EditUndoItem, "EditUndoItem", "&Deshacer", Qt::CTRL | Qt::Key_D, "Undo the last action", &F::EditUndo),
    separator(),
    item(&F::EditCutItem, "EditCutItem", "Cor&tar", Qt::CTRL | Qt::Key_X, "Delete selected item", &F::EditCut),
    item(&F::EditCopyItem, "EditCopyItem", "&Copiar", Qt::CTRL | Qt::Key_C, "Copy selected item to clipboard",
         &F::EditCopy),
    item(&F::EditPasteItem, "EditPasteItem", "&Pegar", Qt::CTRL | Qt::Key_V, "Paste contents of clipboard",
         &F::EditPaste),
    separator(),
    item(&F::miEditFont, "miEditFont", "&Fuente...", {}, "", &F::SelectFont),
  };
  // clang-format on
  MainMenu = new QMenuBar(client());
  MainMenu->setObjectName(QStringLiteral("MainMenu"));
  MainMenu->setFont(ui::pixelFont(kSansSerif, 11));
  MainMenu->setNativeMenuBar(false);
  QMenu* current = nullptr;
  for (const MenuLine& line : lines) {
    switch (line.kind) {
      case MenuLine::Kind::Menu:
        current = this->*line.menu = MainMenu->addMenu(QString::fromUtf8(line.caption));
        current->setObjectName(QString::fromLatin1(line.name));
        current->setFont(MainMenu->font());
        break;
      case MenuLine::Kind::Separator:
        current->addSeparator();
        break;
      case MenuLine::Kind::Item: {
        QAction* action = this->*line.item = current->addAction(QString::fromUtf8(line.caption));
        action->setObjectName(QString::fromLatin1(line.name));
        action->setShortcut(QKeySequence(line.key));
        action->setStatusTip(QString::fromUtf8(line.hint));
        const Command command = line.command;
        connect(action, &QAction::triggered, this,
                [this, command, action] { ui::guarded([&] { (this->*command)(action); }); });
        break;
      }
    }
  }
}

// Tool bar positions: the two programs differ from the size box on.
void TfrmEditor::defineToolBar() {
  using F = TfrmEditor;
  // clang-format off
  static const ToolLine lines[] = {
    button(&F::OpenButton, "OpenButton", From::Start, 3, 0, "Open|Open an existing file", &F::FileOpen),
    button(&F::SaveButton, "SaveButton", From::Start, 26, 1, "Save|Save current file", &F::FileSave),
    button(&F::PrintButton, "PrintButton", From::Start, 49, 2, "Print|Print current file", &F::FilePrint),
    divider(From::Start, 72, 8),
    button(&F::UndoButton, "UndoButton", From::Start, 80, 3, "Undo|Undo the last action", &F::EditUndo),
    button(&F::CutButton, "CutButton", From::Start, 103, 4, "Cut|Delete selected item", &F::EditCut),
    button(&F::CopyButton, "CopyButton", From::Start, 126, 5, "Copy|Copy selected item to clipboard", &F::EditCopy),
    button(&F::PasteButton, "PasteButton", From::Start, 149, 6, "Paste|Paste contents of clipboard", &F::EditPaste),
    // The font name box at 180 and the size box at 325 up to the spinner.
    divider(From::Spinner, 12, 12),
    button(&F::BoldButton, "BoldButton", From::Spinner, 24, 7, "Bold", &F::BoldButtonClick, Toggle::Check),
    button(&F::ItalicButton, "ItalicButton", From::Spinner, 47, 8, "Italic", &F::ItalicButtonClick, Toggle::Check),
    button(&F::UnderlineButton, "UnderlineButton", From::Spinner, 70, 9, "Underline", &F::UnderlineButtonClick,
           Toggle::Check),
    button(&F::LeftAlign, "LeftAlign", From::Spinner, 106, 10, "Align Left", &F::AlignButtonClick, Toggle::Align, 0),
    button(&F::CenterAlign, "CenterAlign", From::Spinner, 129, 11, "Center", &F::AlignButtonClick, Toggle::Align, 2),
    button(&F::RightAlign, "RightAlign", From::Spinner, 152, 12, "Align Right", &F::AlignButtonClick, Toggle::Align, 1),
    button(&F::BulletsButton, "BulletsButton", From::Spinner, 175, 13, "Bullets|Enter bullet mode",
           &F::BulletsButtonClick, Toggle::Check),
    divider(From::Spinner, 198, 13),
  };
  // clang-format on
  ToolBar = new TToolBar(area_, kBarColour, 2);
  ToolBar->setObjectName(QStringLiteral("ToolBar"));
  const QPoint at = ToolBar->innerOrigin();
  const int spinner = browser_ ? 592 : 351;
  auto* alignment = new QButtonGroup(ToolBar);
  alignment->setExclusive(true);
  for (const ToolLine& line : lines) {
    const int x = line.x + (line.from == From::Spinner ? spinner : 0);
    if (!line.field) {
      ToolBar->addDivider(x, line.image);
      continue;
    }
    QToolButton* b = this->*line.field = new QToolButton(ToolBar);
    b->setObjectName(QString::fromLatin1(line.name));
    b->setGeometry(QRect(at + QPoint(x, 0), QSize(23, 22)));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(QIcon(toolbarImage(line.image)));
    b->setIconSize(QSize(16, 16));
    const QString hint = QString::fromUtf8(line.hint);
    b->setProperty("Hint", hint);
    b->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    b->setCheckable(line.toggle != Toggle::None);
    if (line.toggle == Toggle::Align) {
      b->setProperty("Tag", line.tag);
      alignment->addButton(b);
    }
    const Command command = line.command;
    connect(b, &QToolButton::clicked, this, [this, b, command] { ui::guarded([&] { (this->*command)(b); }); });
  }
  UndoButton->setEnabled(false);
  LeftAlign->setChecked(true);

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

  FontSize = new QLineEdit(ToolBar);
  FontSize->setObjectName(QStringLiteral("FontSize"));
  FontSize->setGeometry(QRect(at + QPoint(325, 0), QSize(spinner - 325, 22)));
  FontSize->setFont(ui::pixelFont(kSansSerif, 11));
  FontSize->setText(QStringLiteral("0"));
  FontSize->setProperty("Hint", QStringLiteral("Font Size|Select font size"));
  FontSize->setToolTip(QStringLiteral("Font Size"));
  connect(FontSize, &QLineEdit::textChanged, this, [this] { ui::guarded([this] { FontSizeChange(FontSize); }); });
  UpDown1 = new TUpDown(ToolBar);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setGeometry(QRect(at + QPoint(spinner, 0), QSize(12, 22)));
  UpDown1->setRange(0, 100);
  UpDown1->setIncrement(1);
  UpDown1->setBuddy(FontSize);
}

void TfrmEditor::defineRuler() {
  using F = TfrmEditor;
  using Shape = TRulerMarker::Shape;
  static const MarkerLine markers[] = {
      {&F::FirstInd, "FirstInd", Shape::DownArrow, QRect(2, 2, 13, 12), &F::FirstIndMouseUp},
      {&F::LeftInd, "LeftInd", Shape::UpArrow, QRect(2, 15, 13, 13), &F::LeftIndMouseUp},
      {&F::RightInd, "RightInd", Shape::HollowUpArrow, QRect(708, 17, 12, 16), &F::RightIndMouseUp},
  };
  Ruler = new TPanel(area_);
  Ruler->setObjectName(QStringLiteral("Ruler"));
  Ruler->setBevels(BevelCut::bvNone, BevelCut::bvLowered, 1);
  Ruler->setColor(kBarColour);
  Ruler->setFont(ui::pixelFont(QStringLiteral("Arial"), 15));
  Ruler->setCaptionAlignment(Qt::AlignLeft);
  Ruler->installEventFilter(this);
  for (const MarkerLine& line : markers) {
    TRulerMarker* marker = this->*line.field = new TRulerMarker(Ruler, line.shape);
    marker->setObjectName(QString::fromLatin1(line.name));
    marker->setGeometry(line.place);
    marker->onMouseDown = [this](QObject* s, ui::MouseButton b, ui::ShiftState st, int x, int y) {
      RulerItemMouseDown(s, b, st, x, y);
    };
    marker->onMouseMove = [this](QObject* s, ui::ShiftState st, int x, int y) { RulerItemMouseMove(s, st, x, y); };
    const MarkerUp up = line.up;
    marker->onMouseUp = [this, up](QObject* s, ui::MouseButton b, ui::ShiftState st, int x, int y) {
      (this->*up)(s, b, st, x, y);
    };
  }
  // The line the markers stand on, under them.
  RulerLine = new TBevelLine(Ruler);
  RulerLine->setObjectName(QStringLiteral("RulerLine"));
  RulerLine->setGeometry(5, 15, 713, 2);
  RulerLine->lower();
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

}  // namespace vardel

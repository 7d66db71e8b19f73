// Open, save, print and font dialogs, and the Yes/No/Cancel question.
#include "editor/editor_dialogs.h"

#include "ui/application.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace vardel {

QStringList qtNameFilters(const QString& filter) {
  QStringList out;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      if (!p.trimmed().isEmpty()) patterns << p.trimmed();
    }
    if (patterns.isEmpty()) continue;
    const QString list = patterns.join(QLatin1Char(' '));
    // Qt reads the patterns from the parentheses that end an entry.
    out << (description.endsWith(QLatin1Char('(') + list + QLatin1Char(')'))
                ? description
                : description + QStringLiteral(" (") + list + QLatin1Char(')'));
  }
  return out;
}

TFileDialog::TFileDialog(QObject* owner, Kind kind) : QObject(owner), kind_(kind) {}

bool TFileDialog::execute(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setObjectName(kind_ == Kind::Open ? QStringLiteral("OpenDialog") : QStringLiteral("SaveDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(kind_ == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(kind_ == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // The editor asks its own overwrite question, about the name it really writes.
  if (kind_ == Kind::Save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // Names match the patterns in any case, as on the discs' own file system.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  const QStringList filters = qtNameFilters(Filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!InitialDir.isEmpty()) dialog.setDirectory(InitialDir);
  QCheckBox* readOnly = nullptr;
  if (kind_ == Kind::Open) {
    readOnly = new QCheckBox(QStringLiteral("Abrir como de sólo &lectura"), &dialog);
    readOnly->setObjectName(QStringLiteral("ReadOnly"));
    readOnly->setChecked(ReadOnlyChecked);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (dialog.layout()) {
      dialog.layout()->addWidget(readOnly);
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  FileName = dialog.selectedFiles().constFirst();
  if (readOnly) ReadOnlyChecked = readOnly->isChecked();
  return true;
}

TPrintDialog::TPrintDialog(QObject* owner) : QObject(owner) {}

bool TPrintDialog::execute(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  return dialog.exec() == QDialog::Accepted;
}

namespace {

struct NamedColour {
  const char* name;
  QRgb rgb;
};

// The sixteen basic colours, in the order the desktop's font dialog lists them.
constexpr std::array<NamedColour, 16> kColours{{{"Negro", 0x000000},
                                                {"Granate", 0x800000},
                                                {"Verde", 0x008000},
                                                {"Aceituna", 0x808000},
                                                {"Azul marino", 0x000080},
                                                {"Púrpura", 0x800080},
                                                {"Verde azulado", 0x008080},
                                                {"Gris", 0x808080},
                                                {"Plateado", 0xC0C0C0},
                                                {"Rojo", 0xFF0000},
                                                {"Verde lima", 0x00FF00},
                                                {"Amarillo", 0xFFFF00},
                                                {"Azul", 0x0000FF},
                                                {"Fucsia", 0xFF00FF},
                                                {"Aguamarina", 0x00FFFF},
                                                {"Blanco", 0xFFFFFF}}};

QIcon swatch(const QColor& colour) {
  QPixmap pixmap(24, 12);
  pixmap.fill(colour);
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
  return QIcon(pixmap);
}

}  // namespace

TFontDialog::TFontDialog(QObject* owner) : QObject(owner) {}

namespace {

// Enter and Escape reaching a dialog embedded in another answer the outer dialog.
class KeysToDialog : public QObject {
 public:
  explicit KeysToDialog(QDialog* outer) : outer_(outer) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->matches(QKeySequence::Cancel)) {
        outer_->reject();
        return true;
      }
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
          (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        outer_->accept();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QDialog* outer_;
};

// The font with the name of its typeface's own style for its weight and slant. Qt's dialog
// otherwise looks the style up by its translated name ("Negrita"), which no typeface's style
// list holds, and shows another style.
QFont withOwnStyleName(QFont font) {
  const QString family = font.family();
  for (const QString& style : QFontDatabase::styles(family)) {
    const bool bold = QFontDatabase::weight(family, style) >= QFont::DemiBold;
    if (bold == (font.weight() >= QFont::DemiBold) && QFontDatabase::italic(family, style) == font.italic()) {
      font.setStyleName(style);
      break;
    }
  }
  return font;
}

}  // namespace

bool TFontDialog::execute(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("FontDialog"));
  dialog.setWindowTitle(QStringLiteral("Fuente"));
  auto* layout = new QVBoxLayout(&dialog);
  // Qt's font dialog, embedded without its own buttons: face, style, size, effects.
  auto* fonts = new QFontDialog(&dialog);
  fonts->setObjectName(QStringLiteral("Fonts"));
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  // A face the system lacks (the documents' "MS Sans Serif") is shown as the typeface that
  // stands in for it; keeping that typeface keeps the document's own name for it.
  const QString requested = Font.family();
  QFont shown = Font;
  const bool known = QFontDatabase::families().contains(requested, Qt::CaseInsensitive);
  if (!known) shown.setFamily(QFontInfo(Font).family());
  fonts->setCurrentFont(withOwnStyleName(shown));
  layout->addWidget(fonts);
  // Enter and Escape answer the whole dialog; the embedded one would take them for itself
  // (and hide itself on Escape).
  KeysToDialog keys(&dialog);
  fonts->installEventFilter(&keys);

  auto* row = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("&Color:"), &dialog);
  auto* colours = new QComboBox(&dialog);
  colours->setObjectName(QStringLiteral("Color"));
  label->setBuddy(colours);
  for (const NamedColour& c : kColours)
    colours->addItem(swatch(QColor(c.rgb)), QString::fromUtf8(c.name), QColor(c.rgb));
  int current = colours->findData(QColor(Color.rgb()));
  if (current < 0) {
    // A colour of the text that is none of the sixteen stays choosable as it is.
    colours->addItem(swatch(Color), QStringLiteral("Personalizado"), QColor(Color.rgb()));
    current = colours->count() - 1;
  }
  colours->setCurrentIndex(current);
  row->addWidget(label);
  row->addWidget(colours, 1);
  row->addStretch(2);
  layout->addLayout(row);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return false;
  Font = fonts->currentFont();
  if (!known && Font.family() == shown.family()) Font.setFamily(requested);
  Color = colours->currentData().value<QColor>();
  return true;
}

}  // namespace vardel

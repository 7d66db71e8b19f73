// A message dialog laid out as the program's own: icon and text above, buttons in a row below.
#include "ui/message_dialog.h"

#include "ui/stage.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace vardel::ui {
namespace {

// Escape and the close command give the escape button instead of a plain rejection.
class Dialog : public QDialog {
 public:
  Dialog(QWidget* parent, DialogButton escape) : QDialog(parent), escape_(escape) {}
  DialogButton answer() const { return answer_; }
  void choose(DialogButton button) {
    answer_ = button;
    accept();
  }

 protected:
  void reject() override {
    answer_ = escape_;
    QDialog::accept();
  }
  // As in the system's own message boxes, a button's access letter works without Alt too.
  void keyPressEvent(QKeyEvent* event) override {
    if (event->modifiers() == Qt::NoModifier) {
      for (QPushButton* button : findChildren<QPushButton*>()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
        if (!mnemonic.isEmpty() && mnemonic[0].key() == Qt::Key(event->key())) {
          button->animateClick();
          return;
        }
      }
    }
    QDialog::keyPressEvent(event);
  }

 private:
  DialogButton escape_;
  DialogButton answer_ = escape_;
};

QStyle::StandardPixmap iconPixmap(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return QStyle::SP_MessageBoxCritical;
    case MessageIcon::Question:
      return QStyle::SP_MessageBoxQuestion;
    default:
      return QStyle::SP_MessageBoxInformation;
  }
}

}  // namespace

QString dialogButtonCaption(DialogButton button) {
  switch (button) {
    case DialogButton::mbYes:
      return QStringLiteral("&Sí");
    case DialogButton::mbNo:
      return QStringLiteral("&No");
    case DialogButton::mbOK:
      return QStringLiteral("OK");
    case DialogButton::mbCancel:
      return QStringLiteral("Cancelar");
  }
  return {};
}

DialogButton messageDialog(const QString& caption, const QString& text, MessageIcon icon,
                           std::initializer_list<DialogButton> buttons, DialogButton defaultButton,
                           DialogButton escapeButton, QWidget* parent) {
  Dialog dialog(parent ? parent : QApplication::activeWindow(), escapeButton);
  dialog.setObjectName(QStringLiteral("MessageDialog"));
  dialog.setWindowTitle(caption);
  dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  auto* layout = new QVBoxLayout(&dialog);
  auto* top = new QHBoxLayout;
  if (icon != MessageIcon::None) {
    auto* picture = new QLabel(&dialog);
    picture->setObjectName(QStringLiteral("icon"));
    const int size = dialog.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dialog);
    picture->setPixmap(dialog.style()->standardIcon(iconPixmap(icon), nullptr, &dialog).pixmap(size, size));
    top->addWidget(picture, 0, Qt::AlignTop);
  }
  auto* label = new QLabel(text, &dialog);
  label->setObjectName(QStringLiteral("text"));
  top->addWidget(label, 1);
  top->setSpacing(16);
  layout->addLayout(top);
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (const DialogButton button : buttons) {
    auto* push = new QPushButton(dialogButtonCaption(button), &dialog);
    push->setObjectName(QStringLiteral("button%1").arg(int(button)));
    push->setAutoDefault(false);
    if (button == defaultButton) {
      push->setDefault(true);
      push->setFocus();
    }
    QObject::connect(push, &QPushButton::clicked, &dialog, [&dialog, button] { dialog.choose(button); });
    row->addWidget(push);
  }
  row->addStretch();
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  dialog.adjustSize();
  // A real dialog of the desktop: centred over the stage when there is one, else on the screen.
  const Stage* stage = Stage::instance();
  if (stage && stage->isVisible()) {
    dialog.move(stage->frameGeometry().center() - QPoint(dialog.width() / 2, dialog.height() / 2));
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
  }
  dialog.exec();
  return dialog.answer();
}

}  // namespace vardel::ui

// The message dialog with a choice of buttons: layout, default and escape answers.
#include "ui/message_dialog.h"

#include "tests/support/ui_support.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace vardel::ui {
namespace {

// Runs `act` on the dialog as soon as it is up, then asks the question the map asks.
DialogButton askWhile(const std::function<void(QWidget*)>& act) {
  test::whenModalShows(act);
  return messageDialog(QStringLiteral("Information"), QStringLiteral("¿Quieres cerrar ONDRAVIA VARDEL?"),
                       MessageIcon::Information, {DialogButton::mbNo, DialogButton::mbOK}, DialogButton::mbOK,
                       DialogButton::mbNo);
}

QList<QPushButton*> buttonsLeftToRight(QWidget* dialog) {
  QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
  std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
  return buttons;
}

TEST(MessageDialog, ShowsItsCaptionIconTextAndButtonsInTheirOrderWithOkTheDefault) {
  QString title;
  QString text;
  QStringList captions;
  bool icon = false;
  bool okIsDefault = false;
  const DialogButton answer = askWhile([&](QWidget* dialog) {
    title = dialog->windowTitle();
    const auto* label = dialog->findChild<QLabel*>(QStringLiteral("text"));
    text = label ? label->text() : QString();
    const auto* picture = dialog->findChild<QLabel*>(QStringLiteral("icon"));
    icon = picture && !picture->pixmap().isNull();
    const QList<QPushButton*> buttons = buttonsLeftToRight(dialog);
    for (const QPushButton* b : buttons) captions << b->text();
    okIsDefault = buttons.size() == 2 && buttons[1]->isDefault() && buttons[1]->hasFocus();
    QTest::keyClick(dialog, Qt::Key_Return);
  });
  EXPECT_EQ(title, QStringLiteral("Information"));
  EXPECT_EQ(text, QStringLiteral("¿Quieres cerrar ONDRAVIA VARDEL?"));
  EXPECT_TRUE(icon);
  EXPECT_EQ(captions, (QStringList{QStringLiteral("&No"), QStringLiteral("OK")}));
  EXPECT_TRUE(okIsDefault);
  EXPECT_EQ(answer, DialogButton::mbOK);
}

TEST(MessageDialog, EscapeTheCloseCommandTheAccessKeyAndAClickAnswerAsExpected) {
  EXPECT_EQ(askWhile([](QWidget* d) { QTest::keyClick(d, Qt::Key_Escape); }), DialogButton::mbNo);
  EXPECT_EQ(askWhile([](QWidget* d) { d->close(); }), DialogButton::mbNo);
  EXPECT_EQ(askWhile([](QWidget* d) { QTest::keyClick(d, Qt::Key_N, Qt::AltModifier); }), DialogButton::mbNo);
  EXPECT_EQ(askWhile([](QWidget* d) { QTest::keyClick(d, Qt::Key_N); }), DialogButton::mbNo);
  // A letter that is no button's access key answers nothing; Return then gives the default.
  EXPECT_EQ(askWhile([](QWidget* d) {
              QTest::keyClick(d, Qt::Key_K);
              QTest::keyClick(d, Qt::Key_Return);
            }),
            DialogButton::mbOK);
  EXPECT_EQ(askWhile([](QWidget* d) { QTest::mouseClick(buttonsLeftToRight(d)[0], Qt::LeftButton); }),
            DialogButton::mbNo);
  EXPECT_EQ(askWhile([](QWidget* d) { QTest::mouseClick(buttonsLeftToRight(d)[1], Qt::LeftButton); }),
            DialogButton::mbOK);
}

}  // namespace
}  // namespace vardel::ui

// Tab, Enter and Escape over hotspots, and the push button a screen reader sees in one.
#include "ui/keyboard_navigation.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/hotspot_access.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel::ui {
namespace {

struct Hotspots : ::testing::Test {
  Form form;
  Shape* stops[4] = {new Shape(form.client()), new Shape(form.client()), new Shape(form.client()),
                     new Shape(form.client())};
  HotspotNavigator* keys = new HotspotNavigator(&form, [this] { return QList<QWidget*>(stops, stops + 4); });
  int presses = 0, releases = 0, clicks = 0;

  Hotspots() {
    form.setBounds(0, 0, 200, 100);
    for (int i = 0; i < 4; ++i) stops[i]->setGeometry(10 + 40 * i, 10, 20, 20);
    stops[1]->hide();
    (new Shape(form.client()))->setGeometry(125, 5, 40, 40);  // covers the last stop
    stops[2]->onMouseDown = [this](QObject*, MouseButton b, ShiftState, int, int) {
      presses += b == MouseButton::mbLeft;
    };
    stops[2]->onMouseUp = [this](QObject*, MouseButton, ShiftState, int, int) { ++releases; };
    stops[2]->onClick = [this](QObject*) { ++clicks; };
    form.show();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
  }
  void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&form, Qt::Key(k), m); }
};

TEST_F(Hotspots, TabVisitsTheStopsTheMouseCouldClickInOrderAndEnterClicksTheCurrent) {
  EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("marcaTeclado")), nullptr);
  key(Qt::Key_Return);
  EXPECT_EQ(presses + releases + clicks, 0);
  key(Qt::Key_Tab);
  EXPECT_EQ(keys->current(), stops[0]);
  ASSERT_NE(form.findChild<QWidget*>(QStringLiteral("marcaTeclado")), nullptr);
  key(Qt::Key_Tab);
  EXPECT_EQ(keys->current(), stops[2]);  // the hidden one passed over
  key(Qt::Key_Tab);
  EXPECT_EQ(keys->current(), stops[0]);  // the covered one too, round to the first
  key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(keys->current(), stops[2]);
  key(Qt::Key_Return);
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(releases, 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Hotspots, KeysTypedIntoATextFieldPassBy) {
  int escapes = 0;
  keys->onEscape = [&] { return ++escapes > 0; };
  auto* field = new QLineEdit(form.client());
  field->show();
  field->setFocus();
  key(Qt::Key_Tab);
  key(Qt::Key_Escape);
  EXPECT_EQ(keys->current(), nullptr);
  EXPECT_EQ(escapes, 0);
}

TEST_F(Hotspots, AScreenReaderSeesAButtonNamedByItsHintWhosePressIsTheClickAndALabelByItsText) {
  stops[2]->setProperty("Hint", QStringLiteral("  Abre el lector  "));
  markAsButton(stops[2]);
  QAccessibleInterface* button = QAccessible::queryAccessibleInterface(stops[2]);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->role(), QAccessible::Button);
  EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("Abre el lector"));
  button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(clicks, 1);
  markAsButton(stops[3], QStringLiteral("Volver"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(stops[3])->text(QAccessible::Name), QStringLiteral("Volver"));
  auto* hint = new Label(form.client());
  hint->setCaption(QStringLiteral("Santa Oria"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(hint)->text(QAccessible::Name), QStringLiteral("Santa Oria"));
}

}  // namespace
}  // namespace vardel::ui

// TShape2: invisible, clickable, and told when the pointer moves onto and off it.
#include "components/shape2.h"

#include "tests/support/ui_support.h"
#include "ui/controls.h"
#include "ui/pointer_tracking.h"

#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace vardel {
namespace {

class Shape2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 300);
    window_->setAutoFillBackground(true);
    QPalette p = window_->palette();
    p.setColor(QPalette::Window, Qt::white);
    window_->setPalette(p);
    a_ = make("a", QRect(10, 10, 100, 50));
    b_ = make("b", QRect(110, 10, 100, 50));   // adjacent to a
    c_ = make("c", QRect(180, 30, 100, 100));  // overlaps b, created later so on top
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    moveTo(QPoint(390, 290));
    events_.clear();
  }

  TShape2* make(const char* name, QRect geometry) {
    auto* shape = new TShape2(window_.get());
    shape->setName(QString::fromLatin1(name));
    shape->setGeometry(geometry);
    shape->OnEnter = [this](QObject* s) { events_ << QStringLiteral("enter ") + s->objectName(); };
    shape->OnExit = [this](QObject* s) { events_ << QStringLiteral("exit ") + s->objectName(); };
    return shape;
  }

  void moveTo(QPoint p) {
    QTest::mouseMove(window_.get(), p);
    ui::PointerTracker::instance()->check();
  }

  std::unique_ptr<QWidget> window_;
  TShape2* a_ = nullptr;
  TShape2* b_ = nullptr;
  TShape2* c_ = nullptr;
  QStringList events_;
};

TEST_F(Shape2Test, PaintsNothingYetTakesClicksOverItsWholeRectangle) {
  const QImage shot = window_->grab().toImage();
  EXPECT_EQ(shot.pixelColor(11, 11), QColor(Qt::white));
  EXPECT_EQ(shot.pixelColor(109, 59), QColor(Qt::white));
  EXPECT_EQ(a_->brushStyle(), ui::BrushStyle::bsClear);
  EXPECT_EQ(a_->penStyle(), ui::PenStyle::psClear);
  int clicks = 0;
  a_->onClick = [&](QObject*) { ++clicks; };
  QTest::mouseClick(a_, Qt::LeftButton, {}, QPoint(0, 0));
  QTest::mouseClick(a_, Qt::LeftButton, {}, QPoint(99, 49));
  EXPECT_EQ(clicks, 2);
}

TEST_F(Shape2Test, MovingStraightOntoAnAdjacentShapeGivesExitThenEnter) {
  moveTo(QPoint(50, 30));
  moveTo(QPoint(120, 30));
  moveTo(QPoint(350, 250));
  EXPECT_EQ(events_, QStringList({"enter a", "exit a", "enter b", "exit b"}));
}

TEST_F(Shape2Test, OnlyTheTopmostOfOverlappingShapesIsEntered) {
  moveTo(QPoint(190, 40));  // inside both b and c: c lies on top
  moveTo(QPoint(150, 40));  // only b
  EXPECT_EQ(events_, QStringList({"enter c", "exit c", "enter b"}));
}

TEST_F(Shape2Test, AControlLyingOverAShapeHidesIt) {
  auto* cover = new ui::Label(window_.get());
  cover->setAutoSize(false);
  cover->setGeometry(0, 0, 60, 300);
  cover->show();
  moveTo(QPoint(30, 30));  // over a, but under the label
  EXPECT_TRUE(events_.isEmpty());
  moveTo(QPoint(80, 30));
  EXPECT_EQ(events_, QStringList({"enter a"}));
  // A shape hidden from view is not found either.
  a_->hide();
  ui::PointerTracker::instance()->check();
  EXPECT_EQ(events_, QStringList({"enter a", "exit a"}));
}

TEST_F(Shape2Test, WhileAShapeHoldsTheCaptureOnlyItIsTold) {
  moveTo(QPoint(50, 30));
  QTest::mousePress(a_, Qt::LeftButton, {}, QPoint(40, 20));
  moveTo(QPoint(120, 30));  // onto b with the button held on a: a hears it left, b hears nothing
  moveTo(QPoint(50, 30));   // back onto a: a hears it entered
  moveTo(QPoint(120, 30));
  QTest::mouseRelease(a_, Qt::LeftButton, {}, QPoint(110, 20));  // the release goes to the capture
  ui::PointerTracker::instance()->check();
  moveTo(QPoint(121, 31));
  moveTo(QPoint(350, 250));
  EXPECT_EQ(events_, QStringList({"enter a", "exit a", "enter a", "exit a", "exit b"}));
}

TEST_F(Shape2Test, AModalBoxOpenedByAPressEndsThatPressesHoldOnThePointer) {
  moveTo(QPoint(50, 30));
  a_->onMouseDown = [](QObject*, ui::MouseButton, ui::ShiftState, int, int) {
    QDialog box;
    QTimer::singleShot(0, &box, &QDialog::accept);
    box.exec();  // the release is lost to the box
  };
  QTest::mousePress(a_, Qt::LeftButton, {}, QPoint(40, 20));
  moveTo(QPoint(120, 30));
  moveTo(QPoint(350, 250));
  EXPECT_EQ(events_, QStringList({"enter a", "exit a", "enter b", "exit b"}));
}

TEST_F(Shape2Test, ShapesWithoutHandlersIgnoreThePointer) {
  a_->OnEnter = nullptr;
  a_->OnExit = nullptr;
  moveTo(QPoint(50, 30));
  moveTo(QPoint(350, 250));
  EXPECT_TRUE(events_.isEmpty());
}

TEST_F(Shape2Test, KeepsItsTextHintAndTag) {
  a_->Cadena = QStringLiteral("geografia.html");
  a_->Hint = QStringLiteral("Puerto Vardel");
  a_->tag = 4;
  EXPECT_EQ(a_->Cadena, QStringLiteral("geografia.html"));
  EXPECT_TRUE(a_->toolTip().isEmpty());
  EXPECT_EQ(a_->Name(), QStringLiteral("a"));
}

}  // namespace
}  // namespace vardel

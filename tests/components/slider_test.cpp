// TSlider as a control: configuration, range rules, mouse, keys, painting and streaming.
#include "components/slider.h"

#include "components/slider_images.h"
#include "components/transparent_draw.h"
#include "tests/support/ui_support.h"
#include "ui/cursors.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel {
namespace {

using test::pump;
using test::waitUntil;

const QColor kOlive(128, 128, 0);
const ui::Color kMp3Colour = 9421024;  // 0x008FC0E0

class SliderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 300);
  }

  // The MP3 player's slider, as its window description sets it.
  TSlider* mp3Slider() {
    auto* s = new TSlider(window_.get());
    s->setBounds(20, 20, 108, 56);
    s->setEdgeSize(1);
    s->setNumThumbStates(2);
    s->setOptions(soSmooth);
    s->setIncrement(10);
    s->setMinValue(0);
    s->setMaxValue(100);
    s->setValue(0);
    s->setColor(kMp3Colour);
    return s;
  }

  void show() {
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }

  // Mouse events straight to a control, with the buttons held after the event.
  static void send(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }

  std::unique_ptr<QWidget> window_;
};

TEST_F(SliderTest, ConstructionGivesTheDocumentedDefaults) {
  TSlider slider(window_.get());
  EXPECT_EQ(slider.size(), QSize(140, 40));
  EXPECT_EQ(slider.Orientation(), soHorizontal);
  EXPECT_EQ(slider.Options(), soShowFocus | soShowPoints | soSmooth);
  EXPECT_EQ(slider.EdgeSize(), 2);
  EXPECT_EQ(slider.MinValue(), 0);
  EXPECT_EQ(slider.MaxValue(), 100);
  EXPECT_EQ(slider.Increment(), 10);
  EXPECT_EQ(slider.Value(), 0);
  EXPECT_EQ(slider.NumThumbStates(), 2);
  EXPECT_TRUE(slider.TabStop());
  EXPECT_EQ(slider.focusPolicy(), Qt::StrongFocus);
  EXPECT_TRUE(slider.ParentColor());
  EXPECT_EQ(slider.UserImageMask(), 0);
  EXPECT_EQ(slider.ImageHThumb().size(), QSize(18, 17));
  EXPECT_EQ(slider.ImageHRuler().size(), QSize(10, 10));
  EXPECT_EQ(slider.ImageVThumb().size(), QSize(34, 9));
  EXPECT_EQ(slider.ImageVRuler().size(), QSize(8, 10));
  EXPECT_EQ(slider.Thumb()->size(), QSize(9, 17));
  EXPECT_EQ(slider.RulerCache().size(), QSize(128, 10));
  EXPECT_EQ(slider.RangeLength(), 119);
  // The thumb shows the hand cursor, registered as number 14000.
  ASSERT_TRUE(ui::hasCursor(kHandCursor));
  EXPECT_EQ(slider.Thumb()->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(slider.Thumb()->cursor().hotSpot(), QPoint(5, 0));
  EXPECT_EQ(slider.Thumb()->cursor().pixmap().cacheKey(), ui::screenCursor(kHandCursor).pixmap().cacheKey());
}

TEST_F(SliderTest, DefaultBitmapsUseTheSixteenColoursWithOliveSeeThroughAndTwoThumbStates) {
  const QList<QRgb> vga = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                           qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                           qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                           qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
  for (const char* name : {"W95_HTB", "W95_HRL", "W95_VTB", "W95_VRL"}) {
    const QImage image = loadResourceBitmap(QString::fromLatin1(name));
    ASSERT_FALSE(image.isNull()) << name;
    bool olive = false;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y) | 0xFF000000u;
        EXPECT_TRUE(vga.contains(p)) << name << " " << x << "," << y;
        olive |= QColor(p) == kOlive;
      }
    }
    EXPECT_TRUE(olive) << name;
  }
  EXPECT_TRUE(loadResourceBitmap(QStringLiteral("W95_XXX")).isNull());
  // The pressed half differs from the normal one (its checkered face).
  const QImage thumb = loadResourceBitmap(QStringLiteral("W95_HTB"));
  EXPECT_NE(thumb.copy(0, 0, 9, 17), thumb.copy(9, 0, 9, 17));
}

TEST_F(SliderTest, TheMp3SlidersConfiguration) {
  TSlider* s = mp3Slider();
  EXPECT_EQ(s->RulerCache().size(), QSize(96, 10));
  EXPECT_EQ(rulerPieces(96, s->ImageHRuler().width(), s->EdgeSize()).size(), 12u);
  EXPECT_EQ(s->Thumb()->size(), QSize(9, 17));
  EXPECT_EQ(s->Thumb()->pos(), QPoint(6, 6));
  EXPECT_EQ(s->RulerOrigin(), QPoint(6, 9));
  EXPECT_EQ(s->RangeLength(), 87);
  // The cache starts with the pattern's start edge and ends with its end edge.
  const QImage& cache = s->RulerCache();
  const QImage& pattern = s->ImageHRuler();
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(cache.pixel(0, y), pattern.pixel(0, y));
    EXPECT_EQ(cache.pixel(95, y), pattern.pixel(9, y));
    EXPECT_EQ(cache.pixel(50, y), pattern.pixel(5, y));
  }
  s->setValue(100);
  EXPECT_EQ(s->Thumb()->x(), 93);
  s->setValue(50);
  EXPECT_EQ(s->Thumb()->x(), 50);  // 43.5 rounds to 44
}

TEST_F(SliderTest, TheRangeKeepsAtLeastOneIncrementAndLeavesValueAlone) {
  TSlider s(window_.get());
  s.setMaxValue(5);
  EXPECT_EQ(s.MaxValue(), 100);  // below 0 + 10
  s.setMaxValue(10);
  EXPECT_EQ(s.MaxValue(), 10);
  s.setMaxValue(100);
  s.setMinValue(95);
  EXPECT_EQ(s.MinValue(), 0);  // above 100 - 10
  s.setMinValue(90);
  EXPECT_EQ(s.MinValue(), 90);
  s.setMinValue(0);
  // Changing the range neither moves the thumb nor clamps the value...
  s.setValue(80);
  const QPoint at = s.Thumb()->pos();
  s.setMaxValue(50);
  EXPECT_EQ(s.Value(), 80);
  EXPECT_EQ(s.Thumb()->pos(), at);
  // ...until the next value change.
  s.setValue(80);
  EXPECT_EQ(s.Value(), 50);
  EXPECT_EQ(s.Thumb()->x(), s.ValueToPos(50));
}

TEST_F(SliderTest, ValueIsClampedAndOnChangeFiresOnlyForARealChange) {
  TSlider s(window_.get());
  int changes = 0;
  s.OnChange = [&](QObject* sender) {
    EXPECT_EQ(sender, &s);
    ++changes;
  };
  s.setValue(150);
  EXPECT_EQ(s.Value(), 100);
  s.setValue(100);
  s.setValue(-5);
  EXPECT_EQ(s.Value(), 0);
  EXPECT_EQ(changes, 2);
  s.setValue(37);
  s.setIncrement(0);
  s.setIncrement(-4);
  EXPECT_EQ(s.Increment(), 10);
  s.setIncrement(5);  // re-sets the value, which stays
  EXPECT_EQ(s.Increment(), 5);
  EXPECT_EQ(s.Value(), 37);
  EXPECT_EQ(changes, 3);
}

TEST_F(SliderTest, EdgeSizeMustLeaveAMiddleInTheRulerPattern) {
  TSlider s(window_.get());
  s.setEdgeSize(5);  // 2 * 5 is the whole pattern
  EXPECT_EQ(s.EdgeSize(), 2);
  s.setEdgeSize(-1);
  EXPECT_EQ(s.EdgeSize(), 2);
  s.setEdgeSize(4);
  EXPECT_EQ(s.EdgeSize(), 4);
  EXPECT_EQ(s.RulerCache().width(), 128);
}

TEST_F(SliderTest, ImagesFromTheUserAreMarkedAndNoImageRestoresTheDefault) {
  TSlider s(window_.get());
  QImage thumb(24, 20, QImage::Format_RGB32);
  thumb.fill(Qt::red);
  s.setImageHThumb(thumb);
  EXPECT_EQ(s.UserImageMask(), 1u);
  EXPECT_EQ(s.Thumb()->size(), QSize(12, 20));
  EXPECT_EQ(s.RangeLength(), 128 - 12);
  s.setNumThumbStates(1);
  EXPECT_EQ(s.Thumb()->size(), QSize(24, 20));
  s.setNumThumbStates(3);
  EXPECT_EQ(s.NumThumbStates(), 1);
  s.setNumThumbStates(2);
  s.setImageHThumb(QImage());
  EXPECT_EQ(s.UserImageMask(), 0u);
  EXPECT_EQ(s.Thumb()->size(), QSize(9, 17));
  // The vertical thumb image does not touch a horizontal slider's thumb.
  s.setImageVThumb(thumb);
  EXPECT_EQ(s.UserImageMask(), 4u);
  EXPECT_EQ(s.Thumb()->size(), QSize(9, 17));
}

TEST_F(SliderTest, OrientationSwapsThumbAndRulerButNotTheControlSize) {
  TSlider s(window_.get());
  s.setBounds(0, 0, 40, 140);
  s.setOrientation(soVertical);
  EXPECT_EQ(s.size(), QSize(40, 140));
  EXPECT_EQ(s.Thumb()->size(), QSize(17, 9));
  EXPECT_EQ(s.RulerCache().size(), QSize(8, 128));
  EXPECT_EQ(s.RulerOrigin(), QPoint(10, 6));
  EXPECT_EQ(s.Thumb()->pos(), QPoint(6, 140 - 9 - 6));  // value 0 at the bottom
}

TEST_F(SliderTest, AVerticalSlidersKeysGoUpWithUpAndReachTheEnds) {
  TSlider s(window_.get());
  s.setBounds(0, 0, 40, 140);
  s.setOrientation(soVertical);
  show();
  s.setFocus();
  QStringList keys;
  s.onKeyDown = [&](QObject*, int& key, ui::ShiftState) {
    if (key != Qt::Key_Shift && key != Qt::Key_Control) keys << QString::number(key);
  };
  QTest::keyClick(&s, Qt::Key_Up);
  EXPECT_EQ(s.Value(), 10);
  QTest::keyClick(&s, Qt::Key_Up);
  QTest::keyClick(&s, Qt::Key_Down);
  EXPECT_EQ(s.Value(), 10);
  QTest::keyClick(&s, Qt::Key_Right);  // not an axis key of a vertical slider
  QTest::keyClick(&s, Qt::Key_Left);
  EXPECT_EQ(s.Value(), 10);
  QTest::keyClick(&s, Qt::Key_End);
  EXPECT_EQ(s.Value(), 100);
  EXPECT_EQ(s.Thumb()->y(), 6);                        // the maximum is at the top
  QTest::keyClick(&s, Qt::Key_Up, Qt::ShiftModifier);  // keys with a modifier do nothing
  QTest::keyClick(&s, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(s.Value(), 100);
  QTest::keyClick(&s, Qt::Key_Home);
  EXPECT_EQ(s.Value(), 0);
  EXPECT_EQ(s.Thumb()->y(), 125);
  // Handled keys reach the key event as 0; others keep their code.
  EXPECT_EQ(keys, QStringList({"0", "0", "0", QString::number(Qt::Key_Right), QString::number(Qt::Key_Left), "0",
                               QString::number(Qt::Key_Up), QString::number(Qt::Key_Home), "0"}));
}

TEST_F(SliderTest, AHorizontalSliderStepsWithLeftAndRightOnIncrementsFromZero) {
  TSlider s(window_.get());
  show();
  s.setFocus();
  s.setValue(37);
  QTest::keyClick(&s, Qt::Key_Right);
  EXPECT_EQ(s.Value(), 40);
  s.setValue(37);
  QTest::keyClick(&s, Qt::Key_Left);
  EXPECT_EQ(s.Value(), 20);
  QTest::keyClick(&s, Qt::Key_Down);
  QTest::keyClick(&s, Qt::Key_Up);
  EXPECT_EQ(s.Value(), 20);
}

TEST_F(SliderTest, ArrowKeysBelongToTheFocusedSliderNotToWindowShortcuts) {
  TSlider s(window_.get());
  int shortcuts = 0;
  auto* left = new QShortcut(QKeySequence(Qt::Key_Left), window_.get());
  QObject::connect(left, &QShortcut::activated, [&] { ++shortcuts; });
  auto* tab = new QShortcut(QKeySequence(Qt::Key_F2), window_.get());
  QObject::connect(tab, &QShortcut::activated, [&] { ++shortcuts; });
  show();
  QApplication::setActiveWindow(window_.get());
  s.setFocus();
  s.setValue(50);
  QTest::keyClick(&s, Qt::Key_Left);
  EXPECT_EQ(s.Value(), 40);
  EXPECT_EQ(shortcuts, 0);
  QTest::keyClick(&s, Qt::Key_F2);  // other keys still reach the window's shortcuts
  EXPECT_EQ(shortcuts, 1);
}

TEST_F(SliderTest, PressingTheRulerStepsAtOnceThenEvery400MsUntilTheThumbReachesThePointer) {
  TSlider* s = mp3Slider();
  show();
  QElapsedTimer clock;
  std::vector<std::pair<int, qint64>> steps;
  s->OnChange = [&](QObject*) { steps.emplace_back(s->Value(), clock.elapsed()); };
  clock.start();
  send(s, QEvent::MouseButtonPress, QPoint(40, 14), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(s->Value(), 10);
  EXPECT_TRUE(s->Pressed());
  EXPECT_TRUE(s->TimerActive());
  EXPECT_TRUE(s->hasFocus());
  // 10, 20, 30: at 30 the thumb spans 32..41 and covers the pointer.
  ASSERT_TRUE(waitUntil([&] { return steps.size() >= 3; }, 2000));
  pump(900);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[1].first, 20);
  EXPECT_EQ(steps[2].first, 30);
  EXPECT_GE(steps[1].second - steps[0].second, 380);
  EXPECT_LE(steps[1].second - steps[0].second, 650);
  EXPECT_GE(steps[2].second - steps[1].second, 380);
  EXPECT_TRUE(s->TimerActive());  // the timer runs on until the release
  // Moving the pointer beyond the thumb again resumes the stepping.
  send(s, QEvent::MouseMove, QPoint(60, 14), Qt::NoButton, Qt::LeftButton);
  ASSERT_TRUE(waitUntil([&] { return s->Value() == 50; }, 2000));
  send(s, QEvent::MouseButtonRelease, QPoint(60, 14), Qt::LeftButton, Qt::NoButton);
  EXPECT_FALSE(s->Pressed());
  EXPECT_FALSE(s->TimerActive());
  const size_t count = steps.size();
  pump(500);
  EXPECT_EQ(steps.size(), count);
  EXPECT_EQ(s->Value(), 50);
}

TEST_F(SliderTest, PressingLeftOfTheThumbStepsDownAndAQuickReleaseStepsOnce) {
  TSlider* s = mp3Slider();
  s->setValue(70);
  show();
  send(s, QEvent::MouseButtonPress, QPoint(8, 14), Qt::LeftButton, Qt::LeftButton);
  send(s, QEvent::MouseButtonRelease, QPoint(8, 14), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(s->Value(), 60);
  pump(500);
  EXPECT_EQ(s->Value(), 60);
  // A double click's second press does not step.
  send(s, QEvent::MouseButtonDblClick, QPoint(8, 14), Qt::LeftButton, Qt::LeftButton);
  send(s, QEvent::MouseButtonRelease, QPoint(8, 14), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(s->Value(), 60);
  // Neither does the right button.
  send(s, QEvent::MouseButtonPress, QPoint(8, 14), Qt::RightButton, Qt::RightButton);
  send(s, QEvent::MouseButtonRelease, QPoint(8, 14), Qt::RightButton, Qt::NoButton);
  EXPECT_EQ(s->Value(), 60);
}

TEST_F(SliderTest, DraggingTheThumbChangesTheValueAsItGoesAndReportsTheReleaseOnce) {
  TSlider* s = mp3Slider();
  show();
  std::vector<int> values;
  int stops = 0;
  s->OnChange = [&](QObject*) { values.push_back(s->Value()); };
  s->OnStopTracking = [&](QObject*) { ++stops; };
  TSliderThumb* thumb = s->Thumb();
  send(thumb, QEvent::MouseButtonPress, QPoint(4, 8), Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(s->Tracking());
  EXPECT_TRUE(thumb->Down());
  EXPECT_TRUE(s->hasFocus());
  // The pressed half is shown.
  const QImage pressed = thumb->grab().toImage();
  EXPECT_EQ(pressed.pixelColor(3, 2), QColor(255, 255, 255));  // checkered face
  send(thumb, QEvent::MouseMove, QPoint(4 + 20, 8), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(thumb->x(), 26);
  EXPECT_EQ(s->Value(), s->PosToValue(26));
  send(thumb, QEvent::MouseMove, QPoint(4 + 500, 8), Qt::NoButton, Qt::LeftButton);  // far past the end
  EXPECT_EQ(thumb->x(), 93);
  EXPECT_EQ(s->Value(), 100);
  send(thumb, QEvent::MouseMove, QPoint(4 - 500, 8), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(thumb->x(), 6);
  EXPECT_EQ(values, (std::vector<int>{s->PosToValue(26), 100, 0}));
  EXPECT_EQ(stops, 0);
  send(thumb, QEvent::MouseButtonRelease, QPoint(-496, 8), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(s->Tracking());
  EXPECT_FALSE(thumb->Down());
  EXPECT_EQ(thumb->grab().toImage().pixelColor(3, 2), QColor(192, 192, 192));  // normal face again
  // Moves without the left button held do not drag.
  send(thumb, QEvent::MouseMove, QPoint(30, 8), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(thumb->x(), 6);
}

TEST_F(SliderTest, WithoutSmoothDraggingMovesInWholeIncrements) {
  TSlider* s = mp3Slider();
  s->setOptions(0);
  show();
  std::vector<int> values;
  s->OnChange = [&](QObject*) { values.push_back(s->Value()); };
  TSliderThumb* thumb = s->Thumb();
  send(thumb, QEvent::MouseButtonPress, QPoint(4, 8), Qt::LeftButton, Qt::LeftButton);
  for (int dx = 1; dx <= 87; ++dx)
    send(thumb, QEvent::MouseMove, QPoint(4 + dx - (thumb->x() - 6), 8), Qt::NoButton, Qt::LeftButton);
  send(thumb, QEvent::MouseButtonRelease, QPoint(4, 8), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(values, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(thumb->x(), 93);
}

TEST_F(SliderTest, PaintsTheRulerSeeThroughTheTickMarksAndTheFocusRectangle) {
  auto* s = new TSlider(window_.get());
  s->setColor(ui::clRed);
  s->move(10, 10);
  show();
  s->clearFocus();
  ASSERT_TRUE(waitUntil([&] { return !s->Focused(); }));
  QImage shot = s->grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/slider-default.png"));
  // Olive rows of the ruler show the background; the groove shows its own colours.
  EXPECT_EQ(shot.pixelColor(60, 9), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(60, 12), QColor(128, 128, 128));
  EXPECT_EQ(shot.pixelColor(60, 13), QColor(0, 0, 0));
  // The thumb's see-through corner shows the background too; its face is silver.
  EXPECT_EQ(shot.pixelColor(6, 22), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(9, 12), QColor(192, 192, 192));
  // Tick marks: at 0 (end, 4 long), at 10 (3 long) and at 100 (end).
  const int top = s->PointsRect().top();
  EXPECT_EQ(top, 24);
  EXPECT_EQ(shot.pixelColor(10, top + 3), QColor(Qt::black));
  EXPECT_EQ(shot.pixelColor(10, top + 4), QColor(Qt::red));
  const int x10 = s->ValueToPos(10) + 4;
  EXPECT_EQ(shot.pixelColor(x10, top + 2), QColor(Qt::black));
  EXPECT_EQ(shot.pixelColor(x10, top + 3), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(x10 + 1, top), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(s->ValueToPos(100) + 4, top + 3), QColor(Qt::black));
  // No focus rectangle without the focus; with it, every other pixel of the outline inverted.
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::red));
  s->setFocus();
  ASSERT_TRUE(waitUntil([&] { return s->Focused(); }));
  shot = s->grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/slider-focused.png"));
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(0, 255, 255));
  EXPECT_EQ(shot.pixelColor(3, 2), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(136, 37), QColor(0, 255, 255));
  // Without the options, neither marks nor focus rectangle.
  s->setOptions(soSmooth);
  shot = s->grab().toImage();
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(10, top), QColor(Qt::red));
}

TEST_F(SliderTest, OnDrawPointsReplacesTheMarksAndDrawsOnTheCanvas) {
  auto* s = new TSlider(window_.get());
  s->setColor(ui::clWhite);
  int calls = 0;
  s->OnDrawPoints = [&](QObject*) {
    ++calls;
    ASSERT_NE(s->Canvas(), nullptr);
    s->Canvas()->fillRect(s->PointsRect(), Qt::blue);
  };
  show();
  const QImage shot = s->grab().toImage();
  EXPECT_GT(calls, 0);
  EXPECT_EQ(shot.pixelColor(10, 30), QColor(Qt::blue));
  EXPECT_EQ(s->Canvas(), nullptr);
}

TEST_F(SliderTest, ASliderWithNoRoomForTheThumbKeepsWorking) {
  auto* s = new TSlider(window_.get());
  s->setBounds(0, 0, 20, 40);  // ruler 8 long, thumb 9 wide
  EXPECT_EQ(s->RangeLength(), 0);
  show();
  s->setValue(50);
  EXPECT_EQ(s->Value(), 50);
  EXPECT_EQ(s->Thumb()->x(), 6);
  send(s->Thumb(), QEvent::MouseButtonPress, QPoint(4, 8), Qt::LeftButton, Qt::LeftButton);
  send(s->Thumb(), QEvent::MouseMove, QPoint(30, 8), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(s->Value(), 0);
  send(s->Thumb(), QEvent::MouseButtonRelease, QPoint(30, 8), Qt::LeftButton, Qt::NoButton);
  s->grab();  // tick marks on a zero range
  auto* v = new TSlider(window_.get());
  v->setOrientation(soVertical);
  v->setBounds(0, 0, 40, 8);
  EXPECT_EQ(v->RulerCache().height(), 0);
  v->setValue(100);
  v->grab();
}

TEST_F(SliderTest, AHiddenSliderResizedWithoutEventsIsLaidOutBeforeUse) {
  TSlider* s = mp3Slider();
  s->setGeometry(20, 20, 200, 56);  // hidden: Qt delivers no resize event
  s->setValue(100);
  EXPECT_EQ(s->RulerCache().width(), 188);
  EXPECT_EQ(s->Thumb()->x(), 6 + 188 - 9);
}

// ---- streaming ----

TEST_F(SliderTest, TheStreamCarriesTheSettingsAndBringsTheMp3SliderBack) {
  TSlider* original = mp3Slider();
  original->setMaxValue(300);
  original->setValue(120);
  original->hide();
  const QByteArray stream = writeComponent(*original);
  TSlider copy(window_.get());
  int changes = 0;
  copy.OnChange = [&](QObject*) { ++changes; };
  EXPECT_EQ(readComponent(copy, stream), QString());
  EXPECT_EQ(copy.geometry(), QRect(20, 20, 108, 56));
  EXPECT_TRUE(copy.isHidden());
  EXPECT_EQ(copy.EdgeSize(), 1);
  EXPECT_EQ(copy.Options(), TSliderOptions(soSmooth));
  EXPECT_EQ(copy.MaxValue(), 300);
  EXPECT_EQ(copy.Value(), 120);
  EXPECT_EQ(copy.Color(), kMp3Colour);
  EXPECT_FALSE(copy.ParentColor());
  EXPECT_EQ(copy.componentState() & (csReading | csLoading), 0u);
  // The size read from the stream is laid out once loading ends.
  EXPECT_EQ(copy.RulerCache().size(), QSize(96, 10));
  EXPECT_EQ(copy.RangeLength(), 87);
  EXPECT_EQ(copy.Thumb()->x(), copy.ValueToPos(120));
  EXPECT_GT(changes, 0);
  // Default images are not stored, nor the mask.
  EXPECT_FALSE(stream.contains("ImageHThumb"));
  EXPECT_FALSE(stream.contains("UserImages"));
}

TEST_F(SliderTest, UserImagesTravelWithTheirMaskAndAreReappliedAfterLoading) {
  TSlider original(window_.get());
  QImage thumb(30, 15, QImage::Format_RGB32);
  thumb.fill(Qt::blue);
  thumb.setPixel(0, 0, qRgb(128, 128, 0));
  original.setImageHThumb(thumb);
  const QByteArray stream = writeComponent(original);
  EXPECT_TRUE(stream.contains("UserImages"));
  TSlider copy(window_.get());
  ASSERT_EQ(readComponent(copy, stream), QString());
  EXPECT_EQ(copy.UserImageMask(), 1u);
  EXPECT_EQ(copy.ImageHThumb().pixel(1, 1), thumb.pixel(1, 1));
  EXPECT_EQ(copy.Thumb()->size(), QSize(15, 15));
  EXPECT_EQ(copy.RangeLength(), 128 - 15);
  // Compared with an ancestor that has the same picture, the mask is not written again.
  const QByteArray inherited = writeComponent(copy, &original);
  EXPECT_FALSE(inherited.contains("UserImages"));
  TSlider plain(window_.get());
  EXPECT_TRUE(writeComponent(plain, &original).contains("UserImages"));
}

TEST_F(SliderTest, IncrementIsReadBeforeTheRangeSoWideStepsLoad) {
  TSlider original(window_.get());
  original.setIncrement(50);
  original.setMinValue(-100);
  original.setMaxValue(-40);
  original.setValue(-70);
  TSlider copy(window_.get());
  ASSERT_EQ(readComponent(copy, writeComponent(original)), QString());
  EXPECT_EQ(copy.Increment(), 50);
  EXPECT_EQ(copy.MinValue(), -100);
  EXPECT_EQ(copy.MaxValue(), -40);
  EXPECT_EQ(copy.Value(), -70);
}

TEST_F(SliderTest, BadStreamsGiveAnErrorAndLeaveAUsableSlider) {
  TSlider s(window_.get());
  EXPECT_EQ(readComponent(s, QByteArray("not a stream")), QStringLiteral("Invalid stream format"));
  PropertyWriter unknown(QStringLiteral("TSlider"), QStringLiteral("Slider1"));
  unknown.writeInteger(QStringLiteral("Colour"), 5);
  EXPECT_EQ(readComponent(s, unknown.finish()), QStringLiteral("Property Colour does not exist"));
  PropertyWriter wrongType(QStringLiteral("TSlider"), QString());
  wrongType.writeString(QStringLiteral("Value"), QStringLiteral("50"));
  EXPECT_EQ(readComponent(s, wrongType.finish()), QStringLiteral("Invalid property value"));
  PropertyWriter badPicture(QStringLiteral("TSlider"), QString());
  badPicture.writeBinary(QStringLiteral("ImageHRuler"), QByteArray("BMnonsense"));
  EXPECT_EQ(readComponent(s, badPicture.finish()), QStringLiteral("Bitmap image is not valid"));
  PropertyWriter badMask(QStringLiteral("TSlider"), QString());
  badMask.writeBinary(QStringLiteral("UserImages"), QByteArray(2, 1));
  EXPECT_EQ(readComponent(s, badMask.finish()), QStringLiteral("Invalid property value"));
  PropertyWriter badOption(QStringLiteral("TSlider"), QString());
  badOption.writeSet(QStringLiteral("Options"), {QStringLiteral("soSmooth"), QStringLiteral("soFancy")});
  EXPECT_EQ(readComponent(s, badOption.finish()), QStringLiteral("Invalid property value"));
  PropertyWriter otherClass(QStringLiteral("TButton"), QString());
  EXPECT_EQ(readComponent(s, otherClass.finish()), QStringLiteral("Invalid stream format"));
  // Truncated anywhere: an error, never a crash, and the slider is out of reading.
  const QByteArray good = writeComponent(s);
  for (qsizetype cut = 0; cut < good.size() - 1; ++cut) EXPECT_FALSE(readComponent(s, good.left(cut)).isEmpty()) << cut;
  EXPECT_EQ(s.componentState() & (csReading | csLoading), 0u);
  s.setValue(30);
  EXPECT_EQ(s.Value(), 30);
}

// ---- masked drawing ----

TEST(TransparentDraw, TheKeyColourShowsTheDestinationAndStretchingRepeatsPixels) {
  QImage bitmap(2, 2, QImage::Format_RGB32);
  bitmap.setPixel(0, 0, qRgb(128, 128, 0));
  bitmap.setPixel(1, 0, qRgb(255, 0, 0));
  bitmap.setPixel(0, 1, qRgb(0, 0, 255));
  bitmap.setPixel(1, 1, qRgb(0, 255, 0));
  QImage target(8, 8, QImage::Format_RGB32);
  target.fill(Qt::white);
  {
    QPainter p(&target);
    StretchBitmapRectTransparent(p, 2, 2, 4, 4, QRect(), bitmap, kSliderTransparentColor);
  }
  EXPECT_EQ(target.pixelColor(2, 2), QColor(Qt::white));
  EXPECT_EQ(target.pixelColor(3, 3), QColor(Qt::white));
  EXPECT_EQ(target.pixelColor(4, 2), QColor(255, 0, 0));
  EXPECT_EQ(target.pixelColor(5, 3), QColor(255, 0, 0));
  EXPECT_EQ(target.pixelColor(2, 5), QColor(0, 0, 255));
  EXPECT_EQ(target.pixelColor(6, 6), QColor(Qt::white));
  // No transparent colour: every pixel; the bottom-left pixel as the key; a source part.
  target.fill(Qt::white);
  {
    QPainter p(&target);
    StretchBitmapRectTransparent(p, 0, 0, 0, 0, QRect(), bitmap, kNoTransparentColor);
    StretchBitmapRectTransparent(p, 4, 4, 0, 0, QRect(), bitmap, kBottomLeftTransparentColor);
    StretchBitmapRectTransparent(p, 6, 0, 0, 0, QRect(1, 1, 1, 1), bitmap, kSliderTransparentColor);
  }
  EXPECT_EQ(target.pixelColor(0, 0), QColor(128, 128, 0));
  EXPECT_EQ(target.pixelColor(4, 5), QColor(Qt::white));
  EXPECT_EQ(target.pixelColor(5, 5), QColor(0, 255, 0));
  EXPECT_EQ(target.pixelColor(6, 0), QColor(0, 255, 0));
  EXPECT_EQ(target.pixelColor(7, 0), QColor(Qt::white));
  // A system colour as the key is resolved; a null bitmap draws nothing.
  QPainter p(&target);
  StretchBitmapRectTransparent(p, 0, 0, 0, 0, QRect(), QImage(), ui::clBtnFace);
}

}  // namespace
}  // namespace vardel

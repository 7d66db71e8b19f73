// The window-framework layer: timers, forms, controls, the handler guard, the application.
#include "platform/jpeg.h"
#include "tests/support/ui_support.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/cursors.h"
#include "ui/form.h"
#include "ui/metrics.h"
#include "ui/probe.h"
#include "ui/system_settings.h"
#include "ui/timer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel::ui {
namespace {

using test::MessageRecorder;
using test::pump;
using test::waitUntil;

TEST(Timer, TicksAtItsIntervalAndAChangedIntervalCountsFromTheChange) {
  Timer timer;
  QElapsedTimer clock;
  std::vector<qint64> ticks;
  timer.setInterval(60);
  clock.start();
  timer.setOnTimer([&](QObject* sender) {
    EXPECT_EQ(sender, &timer);
    ticks.push_back(clock.elapsed());
    if (timer.tag++ == 0)
      timer.setInterval(150);  // as the map's end-of-presentation timer does
    else
      timer.setEnabled(false);
  });
  ASSERT_TRUE(waitUntil([&] { return ticks.size() == 2; }, 2000));
  EXPECT_GE(ticks[0], 55);
  EXPECT_LT(ticks[0], 120);
  EXPECT_GE(ticks[1] - ticks[0], 145);
  EXPECT_LT(ticks[1] - ticks[0], 230);
  pump(250);
  EXPECT_EQ(ticks.size(), 2u);
  EXPECT_FALSE(timer.isActive());
}

TEST(Timer, NoTicksWhenDisabledWithoutHandlerOrWithIntervalZero) {
  Timer timer;
  int ticks = 0;
  timer.setInterval(10);
  EXPECT_FALSE(timer.isActive());  // no handler yet
  timer.setOnTimer([&](QObject*) { ++ticks; });
  EXPECT_TRUE(timer.isActive());
  timer.setInterval(0);
  EXPECT_FALSE(timer.isActive());
  timer.setInterval(10);
  timer.setEnabled(false);
  pump(60);
  EXPECT_EQ(ticks, 0);
  timer.setEnabled(true);
  EXPECT_TRUE(waitUntil([&] { return ticks > 0; }, 500));
}

TEST(Guard, AnExceptionFromAHandlerIsShownWithItsOwnTextAndTheLoopCarriesOn) {
  MessageRecorder messages;
  Timer timer;
  timer.setInterval(5);
  int ticks = 0;
  timer.setOnTimer([&](QObject*) {
    if (++ticks == 1) throw Error(QStringLiteral("No se ha encontrado el fichero: x"));
    if (ticks == 2) throw std::runtime_error("plain error");
  });
  ASSERT_TRUE(waitUntil([&] { return ticks >= 3; }, 1000));
  ASSERT_GE(messages.texts().size(), 2);
  EXPECT_EQ(messages.texts()[0], QStringLiteral("No se ha encontrado el fichero: x"));
  EXPECT_EQ(messages.texts()[1], QStringLiteral("plain error"));
}

TEST(Application, MessageBoxesCarryTheTitleAndCursorOverridesAreBalanced) {
  Application& app = Application::instance();
  QString title;
  app.setMessageHook([&](const MessageRequest& r) { title = r.title; });
  app.messageBox(QStringLiteral("hola"));
  EXPECT_EQ(title, QStringLiteral("VARDEL"));
  app.setMessageHook({});

  app.setCursor(Cursor::crHourGlass);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  app.setCursor(Cursor::crHourGlass);
  app.setCursor(Cursor::crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Form, CloseActionsHideFreeOrKeepAndTheQueryMayRefuse) {
  auto* owner = new Form();  // first form of the test binary: it is the main form
  auto* form = new Form(owner);
  form->show();
  bool allow = false;
  CloseAction chosen = CloseAction::caHide;
  form->onCloseQuery = [&](QObject*, bool& canClose) { canClose = allow; };
  form->onClose = [&](QObject*, CloseAction& action) { action = chosen; };
  EXPECT_FALSE(form->closeForm());
  EXPECT_TRUE(form->isVisible());
  allow = true;
  chosen = CloseAction::caNone;
  EXPECT_FALSE(form->closeForm());
  EXPECT_TRUE(form->isVisible());
  chosen = CloseAction::caHide;
  EXPECT_TRUE(form->closeForm());
  EXPECT_FALSE(form->isVisible());
  form->show();
  QPointer<Form> watch(form);
  chosen = CloseAction::caFree;
  form->close();  // the window manager's close goes the same way
  EXPECT_FALSE(form->isVisible());
  ASSERT_TRUE(waitUntil([&] { return watch.isNull(); }, 1000));
  // Owned forms go with their owner.
  QPointer<Form> owned(new Form(owner));
  delete owner;
  EXPECT_TRUE(owned.isNull());
}

TEST(Application, MinimisingTakesEveryShownWindowAlongAndTheyComeBackWithTheMainForm) {
  Application& app = Application::instance();
  std::unique_ptr<Form> made;
  if (!app.mainForm()) made = std::make_unique<Form>();
  Form* main = app.mainForm();
  ASSERT_NE(main, nullptr);
  main->show();
  auto owned = std::make_unique<Form>(main);
  owned->show();
  Form hidden;
  app.minimize();
  EXPECT_TRUE(main->isMinimized());
  EXPECT_TRUE(owned->isMinimized());
  EXPECT_FALSE(hidden.isVisible());
  main->showNormal();  // as the window manager restores it
  EXPECT_TRUE(waitUntil([&] { return !owned->isMinimized(); }, 1000));
  EXPECT_TRUE(owned->isVisible());
  EXPECT_FALSE(hidden.isVisible());
  // And through the application; a window freed while minimised is simply left out.
  app.minimize();
  owned.reset();
  app.restore();
  EXPECT_FALSE(main->isMinimized());
  main->hide();
}

TEST(Form, SingleBorderWindowsDrawTheirOwnFrameAroundTheClientArea) {
  Form form;
  form.setBorderStyle(BorderStyle::bsSingle);
  form.setBorderIcons(0);
  form.setClientSize(283, 263);
  EXPECT_EQ(form.size(), QSize(283 + 6, 263 + 6 + 19));
  EXPECT_EQ(form.client()->geometry(), QRect(3, 22, 283, 263));
  EXPECT_EQ(form.captionRect(), QRect(3, 3, 283, 18));
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  form.setBorderStyle(BorderStyle::bsNone);
  EXPECT_EQ(form.client()->geometry(), form.rect());
  EXPECT_TRUE(form.captionRect().isEmpty());
}

// Records what reaches it and passes everything on to the hook it replaced.
class RecordingHook : public NonClientHook {
 public:
  explicit RecordingHook(Form& form) : form_(form) { previous_ = form.setNonClientHook(this); }
  ~RecordingHook() override { form_.setNonClientHook(previous_); }
  void paintNonClient(QPainter& painter, const QRegion& region) override {
    ++paints;
    previous_->paintNonClient(painter, region);
  }
  void activate(bool active, const QRegion& allowed) override {
    activations.push_back(active);
    previous_->activate(active, allowed);
  }
  void systemSettingsChanged() override { ++settings; }
  int paints = 0;
  int settings = 0;
  std::vector<bool> activations;

 private:
  Form& form_;
  NonClientHook* previous_ = nullptr;
};

TEST(Form, NonClientPaintAndActivationReachAnInstalledHookFirst) {
  Form form;
  form.setBorderStyle(BorderStyle::bsSingle);
  form.setCaption(QStringLiteral("Lector"));
  form.setClientSize(200, 100);
  RecordingHook hook(form);
  EXPECT_EQ(form.nonClientHook(), &hook);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(waitUntil([&] { return !hook.activations.empty(); }, 2000));
  EXPECT_TRUE(hook.activations.back());
  const QImage shot = form.grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/form-classic-caption.png"));
  EXPECT_GT(hook.paints, 0);
  // The classic caption: the active caption colour behind the title.
  EXPECT_EQ(shot.pixelColor(100, 6), toQColor(clActiveCaption));
  QEvent paletteChange(QEvent::PaletteChange);
  QApplication::sendEvent(&form, &paletteChange);
  EXPECT_EQ(hook.settings, 1);
}

TEST(Form, DesktopSettingsChangesReachTheHookOfEveryForm) {
  Form first;
  Form second;
  first.setBorderStyle(BorderStyle::bsSingle);
  RecordingHook a(first);
  RecordingHook b(second);
  int emitted = 0;
  QObject::connect(&first, &Form::systemSettingsChanged, [&] { ++emitted; });
  // A system colour change, as the colour settings of the desktop make it.
  const Color saved = sysColor(COLOR_GRADIENTACTIVECAPTION);
  setSysColor(COLOR_GRADIENTACTIVECAPTION, rgb(1, 2, 3));
  EXPECT_EQ(sysColor(COLOR_GRADIENTACTIVECAPTION), rgb(1, 2, 3));
  EXPECT_EQ(colorToRgb(clGradientActiveCaption), rgb(1, 2, 3));
  setSysColor(COLOR_GRADIENTACTIVECAPTION, saved);
  EXPECT_EQ(a.settings, 2);
  EXPECT_EQ(b.settings, 2);
  EXPECT_EQ(emitted, 2);
  // A caption font change and a display change.
  setCaptionLogFont(LogFont{QStringLiteral("Arial"), -13, 400, false});
  EXPECT_EQ(captionLogFont()->faceName, QStringLiteral("Arial"));
  setCaptionLogFont(classicCaptionLogFont());
  SystemSettings::instance().notifyChanged();
  EXPECT_EQ(a.settings, 5);
  // The application's font reaches every form as a font change.
  const QFont appFont = QApplication::font();
  QFont bigger = appFont;
  bigger.setPixelSize(appFont.pixelSize() > 0 ? appFont.pixelSize() + 3 : 20);
  QApplication::setFont(bigger);
  pump(20);  // delivered through the event queue
  QApplication::setFont(appFont);
  pump(20);
  EXPECT_GE(b.settings, 6);
  // Invalid colour indexes change nothing and announce nothing.
  const int before = a.settings;
  setSysColor(kSystemColorCount, 0);
  setSysColor(-1, 0);
  EXPECT_EQ(a.settings, before);
}

TEST(Metrics, TheClassicTableAnswersCaptionFrameAndButtonSizes) {
  EXPECT_EQ(systemMetric(SM_CYCAPTION), 19);
  EXPECT_EQ(systemMetric(SM_CXDLGFRAME), 3);
  EXPECT_EQ(systemMetric(SM_CXFRAME), 4);
  EXPECT_EQ(systemMetric(SM_CXSIZE), 18);
  EXPECT_EQ(systemMetric(SM_CXSMICON), 16);
  EXPECT_EQ(systemMetric(SM_CYSMCAPTION), 16);
  EXPECT_EQ(systemMetric(SM_CXSCREEN), 800);
  EXPECT_EQ(systemMetric(SM_CYSCREEN), 600);
  EXPECT_EQ(systemMetric(9999), 0);
  EXPECT_EQ(classicCaptionLogFont(), (LogFont{QStringLiteral("MS Sans Serif"), -11, 700, false}));
}

// A component that unhooks itself when freed, as the caption bar does.
class HookingComponent : public QObject {
 public:
  explicit HookingComponent(Form& form) : QObject(&form), form_(form), hook_(form) {}
  ~HookingComponent() override {
    sawDestroying = form_.destroying();
    sawWholeForm = form_.metaObject() == &Form::staticMetaObject;  // not yet a mere QWidget
  }
  static inline bool sawDestroying = false;
  static inline bool sawWholeForm = false;

 private:
  Form& form_;
  RecordingHook hook_;
};

TEST(Form, ComponentsAreFreedWhileTheirFormIsStillWhole) {
  auto* form = new Form();
  new HookingComponent(*form);
  delete form;
  EXPECT_TRUE(HookingComponent::sawDestroying);
  EXPECT_TRUE(HookingComponent::sawWholeForm);
}

TEST(Cursors, NumberedCursorsAreMadeOnFirstUseAndUnknownNumbersGiveTheArrow) {
  int made = 0;
  registerCursor(14999, [&] {
    ++made;
    return QCursor(Qt::CrossCursor);
  });
  EXPECT_TRUE(hasCursor(14999));
  EXPECT_EQ(made, 0);
  EXPECT_EQ(screenCursor(14999).shape(), Qt::CrossCursor);
  EXPECT_EQ(screenCursor(14999).shape(), Qt::CrossCursor);
  EXPECT_EQ(made, 1);
  EXPECT_FALSE(hasCursor(14998));
  EXPECT_EQ(screenCursor(14998).shape(), Qt::ArrowCursor);
}

TEST(Form, DraggingTheCaptionMovesTheWindow) {
  Form form;
  form.setBorderStyle(BorderStyle::bsSingle);
  form.setClientSize(200, 100);
  form.move(100, 100);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QTest::mousePress(&form, Qt::LeftButton, {}, QPoint(50, 10));
  QTest::mouseMove(&form, QPoint(80, 30));
  QTest::mouseRelease(&form, Qt::LeftButton, {}, QPoint(80, 30));
  EXPECT_EQ(form.pos(), QPoint(130, 120));
}

QImage picture(int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

TEST(Image, LoadsSizesItselfAndKeepsItsPictureWhenALoadFails) {
  QTemporaryDir dir;
  test::writeFile(dir.path(), QStringLiteral("Graficos/s4"), platform::encodeJpeg(picture(120, 90, Qt::red), 90));
  test::writeFile(dir.path(), QStringLiteral("Graficos/roto"), "not a picture");
  QWidget parent;
  Image image(&parent);
  image.setAutoSize(true);
  image.loadPicture(dir.path() + QStringLiteral("/Graficos\\s4."));
  EXPECT_EQ(image.size(), QSize(120, 90));
  EXPECT_THROW(image.loadPicture(dir.path() + QStringLiteral("/Graficos\\roto.")), Error);
  EXPECT_THROW(image.loadPicture(dir.path() + QStringLiteral("/Graficos\\p7.")), Error);
  ASSERT_TRUE(image.hasPicture());
  EXPECT_EQ(image.picture().size(), QSize(120, 90));
  image.clearPicture();
  EXPECT_FALSE(image.hasPicture());
}

TEST(Image, CentresItsPicture) {
  Image image(nullptr);
  image.resize(100, 100);
  image.setCenter(true);
  image.setPicture(picture(20, 10, Qt::blue));
  const QImage shot = image.grab().toImage();
  EXPECT_EQ(shot.pixelColor(50, 50), QColor(Qt::blue));
  EXPECT_NE(shot.pixelColor(5, 5), QColor(Qt::blue));
}

TEST(Image, APartlyCoveredPictureOnAScaledScreenIsDrawnAsTheWholeWouldBe) {
  QImage quarters(40, 30, QImage::Format_RGB32);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) quarters.setPixelColor(x, y, QColor(x * 6, y * 8, (x + y) * 3));
  Image image(nullptr);
  image.resize(40, 30);
  image.setPicture(quarters);
  const auto shot = [&](const QRegion& exposed) {
    QImage screen(QSize(40, 30) * 1.75, QImage::Format_RGB32);
    screen.setDevicePixelRatio(1.75);
    screen.fill(Qt::black);
    image.render(&screen, QPoint(), exposed);
    return screen;
  };
  const QRegion pieces = QRegion(0, 0, 40, 7) + QRegion(0, 7, 9, 23) + QRegion(25, 20, 15, 10);
  ASSERT_GT(pieces.rectCount(), 1);
  const QImage whole = shot(QRegion(0, 0, 40, 30));
  const QImage inPieces = shot(pieces);
  const QRegion onScreen = QRegion(0, 0, 70, 12) + QRegion(0, 13, 15, 39) + QRegion(44, 35, 26, 17);
  for (const QRect& r : onScreen)
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) ASSERT_EQ(inPieces.pixel(x, y), whole.pixel(x, y)) << x << "," << y;
}

TEST(Controls, AClickComesBeforeTheReleaseAndOnlyForALeftPressAndReleaseInside) {
  QWidget window;
  window.resize(200, 200);
  Image image(&window);
  image.setGeometry(10, 10, 50, 50);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QStringList order;
  image.onClick = [&](QObject*) { order << QStringLiteral("click"); };
  image.onMouseDown = [&](QObject*, MouseButton b, ShiftState s, int x, int y) {
    order << QStringLiteral("down %1 %2 %3,%4").arg(int(b)).arg(s & (ssLeft | ssCtrl | ssAlt)).arg(x).arg(y);
  };
  image.onMouseUp = [&](QObject*, MouseButton b, ShiftState, int, int) {
    order << QStringLiteral("up %1").arg(int(b));
  };
  QTest::mouseClick(&image, Qt::LeftButton, Qt::ControlModifier | Qt::AltModifier, QPoint(5, 6));
  QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(5, 6));
  const unsigned ctrlAltLeft = ssLeft | ssCtrl | ssAlt;
  EXPECT_EQ(order, QStringList({QStringLiteral("down 0 %1 5,6").arg(ctrlAltLeft), QStringLiteral("click"),
                                QStringLiteral("up 0"), QStringLiteral("down 1 0 5,6"), QStringLiteral("up 1")}));
}

TEST(Label, AutoSizesToItsTextAndWrapsWithinItsWidth) {
  QWidget window;
  Label label(&window);
  label.setLabelFont(QFont(QStringLiteral("Liberation Sans")));
  label.setCaption(QStringLiteral("PRESENTA"));
  const QFontMetrics metrics(label.font());
  EXPECT_EQ(label.size(), QSize(metrics.horizontalAdvance(QStringLiteral("PRESENTA")), metrics.height()));
  Label wrapped(&window);
  wrapped.setAutoSize(false);
  wrapped.resize(60, 200);
  wrapped.setWordWrap(true);
  wrapped.setCaption(QStringLiteral("una frase bastante larga para varias líneas"));
  EXPECT_EQ(wrapped.size(), QSize(60, 200));
  EXPECT_GT(wrapped.textRect().height(), metrics.height() * 2);
}

TEST(Probe, DescribesNamedWidgetsWithTheirTexts) {
  Form form;
  form.setObjectName(QStringLiteral("frmPrueba"));
  auto* label = new Label(form.client());
  label->setObjectName(QStringLiteral("lbReloj"));
  label->setCaption(QStringLiteral("12:00:00"));
  label->move(43, 443);
  form.setBorderStyle(BorderStyle::bsNone);
  form.setBounds(0, 0, 800, 600);
  form.show();
  const QString dump = describeWidgets();
  EXPECT_TRUE(dump.contains(QStringLiteral("frmPrueba/client/lbReloj\tvardel::ui::Label\t1\t43,443,")))
      << dump.toStdString();
  EXPECT_TRUE(dump.contains(QStringLiteral("\t12:00:00\t\t0\n")));  // no properties, no focus
}

// A widget class that declares properties of its own.
class Navigator : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Nivel MEMBER nivel)
  Q_PROPERTY(QString URLActual MEMBER url)

 public:
  int nivel = 2;
  QString url = QStringLiteral("file:///x;y");
};

TEST(Probe, ListsThePropertiesAClassDeclaresBeyondAPlainWidget) {
  Navigator navigator;
  navigator.setObjectName(QStringLiteral("nav"));
  navigator.show();
  const QString dump = describeWidgets();
  EXPECT_TRUE(dump.contains(QStringLiteral("\tNivel=2;URLActual=file:///x;y\t0\n"))) << dump.toStdString();
}

}  // namespace
}  // namespace vardel::ui

#include "ui_test.moc"

// The stage: the scale it fits to, and how it manages the forms on its screen.
#include "ui/stage.h"
#include "platform/processes.h"
#include "tests/support/ui_support.h"
#include "ui/form.h"
#include "ui/metrics.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace vardel::ui {
namespace {

std::optional<StageDesktop> desktop(int w, int h, int usableW, int usableH) {
  return StageDesktop{QSize(w, h), QSize(usableW, usableH)};
}

TEST(StageScale, FitsTheUsableAreaWithATitleBarAndNeverShrinks) {
  // 1080 - 32 of title bar leaves 1048 rows: 1.7466 across 600.
  EXPECT_DOUBLE_EQ(*stageScale("", desktop(1920, 1080, 1920, 1080)), 1.74);
  // A 40-pixel panel on 1920x1200: 1128 rows left, 1.88; not 2, which would not fit.
  EXPECT_DOUBLE_EQ(*stageScale("auto", desktop(1920, 1200, 1920, 1160)), 1.88);
  // Width can be the narrower side too.
  EXPECT_DOUBLE_EQ(*stageScale("", desktop(1000, 2000, 1000, 2000)), 1.25);
  EXPECT_DOUBLE_EQ(*stageScale("", desktop(640, 480, 640, 480)), 1.0);
  // No display known: unscaled on a stage.
  EXPECT_DOUBLE_EQ(*stageScale("", std::nullopt), 1.0);
}

TEST(StageScale, OffAndTheProgramsOwnScreenKeepTheWindowsOfTheDisplay) {
  EXPECT_FALSE(stageScale("off", desktop(1920, 1080, 1920, 1080)));
  EXPECT_FALSE(stageScale(" OFF ", std::nullopt));
  EXPECT_FALSE(stageScale("", desktop(800, 600, 800, 560)));
  EXPECT_FALSE(stageScale("auto", desktop(800, 600, 800, 600)));
  // A number is a wish, also on an 800x600 screen; nonsense is taken as "auto".
  EXPECT_DOUBLE_EQ(*stageScale("1.5", desktop(800, 600, 800, 600)), 1.5);
  EXPECT_DOUBLE_EQ(*stageScale("2", desktop(1920, 1080, 1920, 1080)), 2.0);
  EXPECT_DOUBLE_EQ(*stageScale("big", desktop(1920, 1080, 1920, 1080)), 1.74);
  EXPECT_DOUBLE_EQ(*stageScale("0.1", desktop(1920, 1080, 1920, 1080)), 1.74);
}

// QT_SCALE_FACTOR and QT_SCREEN_SCALE_FACTORS as a program started from here finds them;
// "ninguna" for one that is not set.
QByteArray scalingSeenByAStartedProgram() {
  QTemporaryDir dir;
  const QString script = dir.filePath(QStringLiteral("escala.sh"));
  QFile file(script);
  EXPECT_TRUE(
      file.open(QIODevice::WriteOnly) &&
      file.write("#!/bin/sh\nprintf '%s %s' \"${QT_SCALE_FACTOR-ninguna}\" \"${QT_SCREEN_SCALE_FACTORS-ninguna}\""
                 " > \"$0.txt\"\n") > 0);
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
  const std::optional<std::int64_t> pid = platform::startProcess(script);
  EXPECT_TRUE(pid && platform::waitUntilReady(*pid) == platform::ProcessReady::Exited);
  QFile seen(script + QStringLiteral(".txt"));
  return seen.open(QIODevice::ReadOnly) ? seen.readAll() : "sin respuesta";
}

TEST(StageScale, ProgramsStartedFromTheStageGetThePersonsOwnScale) {
  qputenv("VARDEL_SCALE", "2");
  // The person's own: none, or a scale of their own and the desktop's factor for a screen.
  for (const auto& [scale, screens] : {std::pair{"", ""}, std::pair{"1.25", "1.5"}}) {
    *scale ? qputenv("QT_SCALE_FACTOR", scale) : qunsetenv("QT_SCALE_FACTOR");
    *screens ? qputenv("QT_SCREEN_SCALE_FACTORS", screens) : qunsetenv("QT_SCREEN_SCALE_FACTORS");
    ASSERT_TRUE(prepareStage());
    // For the QApplication to take: the stage's scale alone, not multiplied by the desktop's.
    EXPECT_EQ(qgetenv("QT_SCALE_FACTOR"), "2");
    EXPECT_FALSE(qEnvironmentVariableIsSet("QT_SCREEN_SCALE_FACTORS"));
    const Stage stage;
    EXPECT_EQ(scalingSeenByAStartedProgram(), *scale ? "1.25 1.5" : "ninguna ninguna");
  }
  qunsetenv("VARDEL_SCALE");
  qunsetenv("QT_SCALE_FACTOR");
  qunsetenv("QT_SCREEN_SCALE_FACTORS");
}

TEST(StageScale, OnWaylandAlwaysAStageBelowAPanel) {
  // The compositor places windows: even an 800x600 output gets a stage. 1080 - 48 - 32: 1.66.
  EXPECT_DOUBLE_EQ(*stageScale("", StageDesktop{QSize(800, 600), QSize(800, 552), false}), 1.0);
  EXPECT_DOUBLE_EQ(*stageScale("", StageDesktop{QSize(1920, 1080), QSize(1920, 1032), false}), 1.66);
  // As Qt chooses: QT_QPA_PLATFORM's first choice, else the session.
  EXPECT_TRUE(qtChoosesWayland("wayland-egl;xcb", "", "x11"));
  EXPECT_FALSE(qtChoosesWayland("xcb;wayland", "wayland-0", "wayland"));
  EXPECT_TRUE(qtChoosesWayland("", "", "wayland"));
  EXPECT_TRUE(qtChoosesWayland("", "wayland-0", "x11"));  // Qt 6.4 tries the compositor first even so
  EXPECT_FALSE(qtChoosesWayland("", "", "x11"));
}

// A form with one edit box, shown on the stage.
struct EditForm {
  std::unique_ptr<Form> form;
  QLineEdit* edit;
  explicit EditForm(const QString& name, Form* owner = nullptr) : form(std::make_unique<Form>(owner)) {
    form->setObjectName(name);
    form->setBorderStyle(BorderStyle::bsSingle);
    form->setBounds(10, 10, 300, 200);
    edit = new QLineEdit(form->client());
    edit->setObjectName(name + QStringLiteral("Edit"));
  }
};

class StageTest : public ::testing::Test {
 protected:
  Stage stage;
  bool onTop(const Form* upper, const Form* lower) {
    const QList<Form*> stack = stage.forms();
    return stack.indexOf(const_cast<Form*>(upper)) > stack.indexOf(const_cast<Form*>(lower));
  }
};

TEST_F(StageTest, FormsAreWindowsOfAnEightHundredBySixHundredScreen) {
  EditForm a(QStringLiteral("a"));
  EXPECT_FALSE(a.form->isWindow());
  EXPECT_EQ(a.form->parentWidget(), stage.desktop());
  EXPECT_FALSE(stage.isVisible());  // not before a form is shown
  a.form->show();
  EXPECT_TRUE(stage.isVisible());
  EXPECT_EQ(systemMetric(SM_CXSCREEN), 800);
  EXPECT_EQ(systemMetric(SM_CYSCREEN), 600);
  // A larger stage (full screen, a person's resize) keeps the screen in its middle.
  stage.resize(1000, 700);
  QCoreApplication::processEvents();
  EXPECT_EQ(stage.desktop()->geometry(), QRect(100, 50, 800, 600));
}

TEST_F(StageTest, AShownFormIsActiveAndTakesTheKeyboardAgainWhenActivatedLater) {
  EditForm a(QStringLiteral("a"));
  EditForm b(QStringLiteral("b"));
  a.form->show();
  QApplication::setActiveWindow(&stage);
  QCoreApplication::processEvents();
  EXPECT_EQ(stage.activeForm(), a.form.get());
  EXPECT_TRUE(a.form->isActiveForm());
  EXPECT_EQ(QApplication::focusWidget(), a.edit);
  b.form->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(stage.activeForm(), b.form.get());
  EXPECT_FALSE(a.form->isActiveForm());
  EXPECT_TRUE(b.form->isActiveForm());
  EXPECT_EQ(QApplication::focusWidget(), b.edit);
  // A click on the lower form brings it up with its keyboard.
  b.form->move(200, 200);
  QTest::mouseClick(a.form.get(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(stage.activeForm(), a.form.get());
  EXPECT_TRUE(onTop(a.form.get(), b.form.get()));
  EXPECT_EQ(QApplication::focusWidget(), a.edit);
  // Hidden, the active form hands over to the one left.
  a.form->hide();
  EXPECT_EQ(stage.activeForm(), b.form.get());
  EXPECT_EQ(QApplication::focusWidget(), b.edit);
}

TEST_F(StageTest, StayOnTopFormsStayAboveEveryOtherAlsoWhenTheOthersAreRaised) {
  EditForm player(QStringLiteral("player"));
  EditForm editor(QStringLiteral("editor"));
  player.form->setStayOnTop(true);
  player.form->show();
  editor.form->show();  // shown later, and active, still below
  EXPECT_EQ(stage.activeForm(), editor.form.get());
  EXPECT_TRUE(onTop(player.form.get(), editor.form.get()));
  editor.form->raise();
  EXPECT_TRUE(onTop(player.form.get(), editor.form.get()));
  QTest::mouseClick(editor.form.get(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(onTop(player.form.get(), editor.form.get()));
  editor.form->activateWindow();
  EXPECT_TRUE(onTop(player.form.get(), editor.form.get()));
}

TEST_F(StageTest, OwnedFormsGoWithTheirOwnerAndHandTheActivationBack) {
  auto owner = std::make_unique<EditForm>(QStringLiteral("owner"));
  EditForm other(QStringLiteral("other"));
  QPointer<Form> owned = new Form(owner->form.get());
  owner->form->show();
  other.form->show();
  owned->show();
  owned->hide();
  EXPECT_EQ(stage.activeForm(), owner->form.get());  // its owner, not the topmost
  owner.reset();
  EXPECT_TRUE(owned.isNull());
}

}  // namespace
}  // namespace vardel::ui

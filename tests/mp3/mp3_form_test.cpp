// The MP3 player window against the scripted fake decoder library: hotspot states, both ways
// the end of play is taken up, looping, the slider's maximum rule, hiding, a close request,
// creation failures, the open dialog and the file-stream handlers.
#include "mp3/mp3_form.h"

#include "components/shape2.h"
#include "components/slider.h"
#include "mp3/mpegplayer.h"
#include "platform/jpeg.h"
#include "platform/paths.h"
#include "tests/mp3/fake_library.h"
#include "tests/mp3/open_dialog_answer.h"
#include "tests/support/ui_support.h"
#include "ui/controls.h"
#include "ui/timer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace vardel {
namespace {

class Mp3Window : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fake.ok());
    fake.reset();
    QImage panel(289, 292, QImage::Format_RGB32);
    panel.fill(Qt::darkBlue);
    test::writeFile(dir.path(), QStringLiteral("Graficos/p9"), platform::encodeJpeg(panel, 90));
    QFile::link(test::kFake, dir.filePath(QStringLiteral("mpegdll.dll")));
    platform::overrideProgramFolder(dir.path());
  }
  void TearDown() override {
    delete window.data();
    platform::overrideProgramFolder(QString());
    fake.reset();
  }
  TfrmMP3* create() {
    ui::Application::instance().setCursor(ui::Cursor::crHourGlass);  // as the map does
    window = new TfrmMP3(&owner);
    // The tests tick Timer1 themselves, so that its calls land in the log only when asked for.
    window->Timer1->setEnabled(false);
    fake.take();
    return window;
  }
  void open(const char* name, int length) {
    fake.set("length", length);
    window->MPlayer->setStreamName(QString::fromLatin1(name));
    window->OpenCurrentFile();
  }
  // A click on a hotspot through the window, as the pointer gives it: a disabled hotspot lets
  // it fall through to the picture.
  void click(TShape2* hotspot) {
    const QPoint at = hotspot->mapTo(window->window(), hotspot->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
  }
  // The enabled hotspots among play, stop and pause.
  std::string enabled() const {
    std::string s;
    for (auto [shape, name] :
         {std::pair{window->PlayBtn, "play"}, {window->StopBtn, "stop"}, {window->PauseBtn, "pause"}})
      if (shape->isEnabled()) s += s.empty() ? name : std::string(" ") + name;
    return s;
  }

  test::Fake fake;
  QTemporaryDir dir;
  ui::Form owner;
  QPointer<TfrmMP3> window;
  test::MessageRecorder messages;
};

TEST_F(Mp3Window, CreationLoadsPictureAndLibraryAndRestoresTheCursor) {
  fake.reset();
  create();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window->imgFondo->size(), QSize(289, 292));
  EXPECT_TRUE(window->MPlayer->IsLoaded());
  EXPECT_EQ(window->MPlayer->PosTimer()->interval(), 500);
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
  EXPECT_EQ(enabled(), "play stop pause");  // all enabled before a file is opened
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Mp3Window, FailedCreationIsReportedAndTheWindowLivesOnWithoutTheLibrary) {
  QFile::remove(dir.filePath(QStringLiteral("Graficos/p9")));
  create();
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->imgFondo->hasPicture());
  EXPECT_FALSE(window->MPlayer->IsLoaded());
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
  // Every hotspot then fails silently, and Timer1 does nothing.
  for (TShape2* hotspot : {window->PlayBtn, window->PauseBtn, window->StopBtn}) click(hotspot);
  window->Timer1Timer(window->Timer1);
  EXPECT_EQ(messages.texts().size(), 1);
  delete window.data();

  messages.clear();
  QFile::remove(dir.filePath(QStringLiteral("mpegdll.dll")));
  test::writeFile(dir.path(), QStringLiteral("Graficos/p9"),
                  platform::encodeJpeg(QImage(10, 10, QImage::Format_RGB32), 90));
  create();
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Can't load MPEG library")});
  EXPECT_TRUE(window->imgFondo->hasPicture());
}

TEST_F(Mp3Window, HotspotsThroughOpenPlayPauseResumeAndStop) {
  create();
  open("/musica/uno.mp3", 215);
  EXPECT_EQ(fake.take(), "Open(/musica/uno.mp3,0,null,null) GetLength");
  EXPECT_EQ(window->LengthLabel->caption(), QStringLiteral("215"));
  EXPECT_EQ(enabled(), "play");
  click(window->PlayBtn);  // the component's timer reports the position at once
  EXPECT_EQ(fake.take(), "SetPriority(0) SetOutputDevice(0,) Play(0,0) GetCurrentPos GetCurrentPos");
  EXPECT_EQ(enabled(), "stop pause");
  click(window->PauseBtn);
  EXPECT_EQ(fake.take(), "Pause(0)");
  EXPECT_EQ(enabled(), "play stop");
  click(window->PlayBtn);  // resumes, does not restart
  EXPECT_EQ(fake.take(), "Pause(1)");
  EXPECT_EQ(enabled(), "stop pause");
  click(window->PauseBtn);
  fake.take();
  click(window->StopBtn);  // closes, so the next play opens again from the beginning
  EXPECT_EQ(fake.take(), "Close");
  EXPECT_EQ(enabled(), "play");
  EXPECT_FALSE(window->MPlayer->Paused());
  click(window->PlayBtn);
  EXPECT_EQ(fake.take(),
            "Open(/musica/uno.mp3,0,null,null) GetLength SetPriority(0) SetOutputDevice(0,) Play(0,0) GetCurrentPos "
            "GetCurrentPos");
  EXPECT_EQ(enabled(), "stop pause");
  click(window->PlayBtn);  // disabled while playing: the click falls through
  EXPECT_EQ(fake.take(), "");
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Mp3Window, ErrorsOfTheHotspotsAreIgnoredExceptThatOfResuming) {
  create();
  click(window->PlayBtn);   // no file chosen yet: "Can't play non-specified stream"
  click(window->PauseBtn);  // "Incorrect mode"
  EXPECT_EQ(enabled(), "play stop pause");
  open("/musica/uno.mp3", 215);
  fake.set("play", 1);
  fake.set("error:Play", 5);
  click(window->PlayBtn);  // a failed play leaves the hotspots as they were
  EXPECT_EQ(enabled(), "play");
  EXPECT_TRUE(messages.texts().isEmpty());
  fake.set("play", 0);
  fake.set("error:Play", 0);
  click(window->PlayBtn);
  click(window->PauseBtn);
  fake.set("error:Pause", 1);
  click(window->PlayBtn);
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Internal decoder error")});
  EXPECT_EQ(enabled(), "play stop");
}

TEST_F(Mp3Window, EndTakenUpByTimer1ResetsThePositionAndRepeatsWhileTheLibrarySaysSo) {
  create();
  open("/musica/uno.mp3", 215);
  click(window->PlayBtn);
  fake.set("mode", 3);
  fake.set("pos", 42);
  window->Timer1Timer(window->Timer1);
  EXPECT_EQ(window->Label5->caption(), QStringLiteral("42"));
  EXPECT_EQ(window->Slider1->Value(), 42);
  EXPECT_FALSE(window->UpdatingSlider);
  fake.set("mode", 5);
  fake.set("reset", 1);
  fake.end();
  fake.take();
  window->Timer1Timer(window->Timer1);
  EXPECT_EQ(fake.take(), "GetPlayerMode ResetPlayerMode");
  EXPECT_EQ(window->Label5->caption(), QStringLiteral("0"));
  EXPECT_EQ(window->Slider1->Value(), 0);
  EXPECT_EQ(enabled(), "play");
  // The component no longer plays, so its own timer raises no end; Timer1 asks again.
  window->MPlayer->TimerTick(window->MPlayer->PosTimer());
  window->Timer1Timer(window->Timer1);
  EXPECT_EQ(fake.take(), "GetPlayerMode ResetPlayerMode");
  fake.set("reset", 0);
  click(window->PlayBtn);  // the same file again, from its beginning
  EXPECT_EQ(fake.take(), "Restart GetCurrentPos GetCurrentPos");
  EXPECT_EQ(enabled(), "stop pause");
}

TEST_F(Mp3Window, EndTakenUpByTheComponentsTimerKeepsThePosition) {
  create();
  open("/musica/uno.mp3", 215);
  click(window->PlayBtn);
  fake.set("mode", 3);
  fake.set("pos", 7);
  window->Timer1Timer(window->Timer1);
  fake.end();
  window->MPlayer->TimerTick(window->MPlayer->PosTimer());
  EXPECT_EQ(window->Slider1->Value(), 0);
  EXPECT_EQ(enabled(), "play");
  fake.set("mode", 2);
  fake.take();
  window->Timer1Timer(window->Timer1);  // the end flag was cleared: nothing to take up
  EXPECT_EQ(fake.take(), "GetPlayerMode");
  EXPECT_EQ(window->Label5->caption(), QStringLiteral("7"));
}

TEST_F(Mp3Window, LoopingRestartsAtTheEndWhicheverTimerSeesIt) {
  create();
  window->LoopedCB->setChecked(true);
  open("/musica/uno.mp3", 215);
  click(window->PlayBtn);
  fake.end();
  fake.take();
  window->MPlayer->TimerTick(window->MPlayer->PosTimer());
  EXPECT_EQ(fake.take(), "GetCurrentPos GetCurrentPos Restart GetCurrentPos GetCurrentPos");
  EXPECT_EQ(enabled(), "stop pause");
  fake.set("reset", 1);
  fake.end();
  window->Timer1Timer(window->Timer1);
  EXPECT_EQ(fake.take(), "GetPlayerMode ResetPlayerMode Restart GetCurrentPos GetCurrentPos");
  EXPECT_EQ(enabled(), "stop pause");
}

TEST_F(Mp3Window, OpeningAnotherFileClosesTheFirstAndAShortOneShowsThePreviousMaximum) {
  create();
  open("/musica/corto.mp3", 7);  // below the slider's increment: the maximum stays 100
  EXPECT_EQ(window->LengthLabel->caption(), QStringLiteral("100"));
  open("/musica/uno.mp3", 215);
  click(window->PlayBtn);
  fake.take();
  open("/musica/corto.mp3", 7);  // while the first plays
  EXPECT_EQ(fake.take(), "Close Open(/musica/corto.mp3,0,null,null) GetLength");
  EXPECT_EQ(window->LengthLabel->caption(), QStringLiteral("215"));
  EXPECT_EQ(window->Slider1->Value(), 0);
  EXPECT_EQ(enabled(), "play");
  EXPECT_FALSE(window->MPlayer->Playing());
}

TEST_F(Mp3Window, CloseHotspotOnlyHides) {
  create();
  open("/musica/uno.mp3", 215);
  click(window->PlayBtn);
  click(window->Shape21);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(window->MPlayer->Playing());
  EXPECT_TRUE(window->MPlayer->PosTimer()->isActive());
  window->show();
  EXPECT_EQ(enabled(), "stop pause");
  EXPECT_EQ(window->LengthLabel->caption(), QStringLiteral("215"));
  EXPECT_EQ(fake.take().find("Close"), std::string::npos);
}

TEST_F(Mp3Window, CloseRequestUnloadsTheLibraryAndASecondOneReportsIt) {
  create();
  open("/musica/uno.mp3", 215);
  click(window->PlayBtn);
  fake.take();
  EXPECT_TRUE(window->closeForm());
  EXPECT_EQ(fake.take(), "Close deinit");
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->MPlayer->IsLoaded());
  window->show();
  click(window->PlayBtn);
  window->Timer1Timer(window->Timer1);
  EXPECT_TRUE(messages.texts().isEmpty());
  window->close();  // through the window system, as a close request comes
  EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("MPEG library not loaded")});
  EXPECT_TRUE(window->isVisible());
}

TEST_F(Mp3Window, HintsSliderAndPriority) {
  create();
  window->PauseBtn->pointerEntered();
  EXPECT_EQ(window->Label3->caption(), QStringLiteral("Detiene la Reproducción actual del fichero MP3"));
  window->PauseBtn->pointerLeft();
  EXPECT_EQ(window->Label3->caption(), QString());
  open("/musica/uno.mp3", 215);
  fake.take();
  window->Slider1->setValue(30);
  window->Slider1Change(window->Slider1);  // not playing: no seek
  fake.set("mode", 4);
  window->Slider1->setValue(40);
  window->Slider1Change(window->Slider1);
  EXPECT_EQ(fake.take(), "GetPlayerMode GetPlayerMode Seek(40)");
  EXPECT_EQ(window->Label5->caption(), QStringLiteral("40"));
  window->PriorityCombo->setCurrentIndex(0);
  window->PriorityComboChange(window->PriorityCombo);
  window->PriorityCombo->setCurrentIndex(-1);
  window->PriorityComboChange(window->PriorityCombo);
  EXPECT_EQ(fake.take(), "SetPriority(-15)");
}

TEST_F(Mp3Window, OpenHotspotOpensTheChosenFileAndLeavesTheCurrentFolder) {
  create();
  const QString file = test::writeFile(dir.path(), QStringLiteral("Música del año/canción.mp3"), "ID3");
  const QString current = QDir::currentPath();
  test::answerOpenDialog(QString());  // cancelled: nothing changes
  click(window->OpenBtn);
  EXPECT_EQ(fake.take(), "");
  fake.set("length", 33);
  test::answerOpenDialog(file);
  click(window->OpenBtn);
  EXPECT_EQ(fake.take(), "Open(" + QFile::encodeName(file).toStdString() + ",0,null,null) GetLength");
  EXPECT_EQ(window->LengthLabel->caption(), QStringLiteral("33"));
  EXPECT_EQ(QDir::currentPath(), current);
  fake.set("error:Open", 3);  // a file that is not MP3: ignored
  test::answerOpenDialog(file);
  click(window->OpenBtn);
  EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Mp3Window, FileStreamHandlersServeTheStreamName) {
  create();
  const QString file = test::writeFile(dir.path(), QStringLiteral("datos.mp3"), "0123456789");
  window->MPlayer->setStreamName(file);
  bool nonseekable = true;
  void* context = nullptr;
  window->MPlayerOpenStream(nonseekable, context);
  ASSERT_NE(context, nullptr);
  EXPECT_FALSE(nonseekable);
  char buffer[8] = {};
  int32_t read = 0, result = 0;
  bool ok = false;
  window->MPlayerReadStream(context, buffer, 4, read, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(std::string(buffer, size_t(read)), "0123");
  window->MPlayerSeekStream(context, 2, 1, result);
  EXPECT_EQ(result, 6);
  window->MPlayerSeekStream(context, -3, 2, result);
  EXPECT_EQ(result, 7);
  window->MPlayerSeekStream(context, -1, 0, result);
  EXPECT_EQ(result, -1);
  window->MPlayerGetStreamSize(context, result);
  EXPECT_EQ(result, 10);
  window->MPlayerRestartStream(context, ok);
  window->MPlayerReadStream(context, buffer, 8, read, ok);
  EXPECT_EQ(std::string(buffer, size_t(read)), "01234567");
  window->MPlayerCloseStream(context);
  window->MPlayer->setStreamName(dir.filePath(QStringLiteral("falta.mp3")));
  EXPECT_THROW(window->MPlayerOpenStream(nonseekable, context), std::exception);
}

}  // namespace
}  // namespace vardel

// TMPEGPlayer against a scripted fake decoder library: binding, call order, state rules,
// errors, the position timer and the stream events.
#include "mp3/mpegplayer.h"

#include "platform/paths.h"
#include "tests/mp3/fake_library.h"
#include "tests/support/ui_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace vardel {
namespace {

using test::Fake;
using test::kFake;
using test::kFakeDir;
using test::kFakeWithoutBitrate;
using test::since;

class Player : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fake.ok()) << "fake library missing: " << kFake.toStdString();
    fake.reset();
    player = std::make_unique<TMPEGPlayer>();
  }
  void TearDown() override {
    player.reset();
    fake.reset();
  }
  void load() {
    player->setPathToDLL(kFakeDir);
    player->LoadDLL();
  }
  void openFile() {
    player->setStreamName(QStringLiteral("/music/tune.mp3"));
    player->Open();
  }
  // Runs `f` and returns the library calls it made.
  template <typename F>
  std::string calls(F&& f) {
    const std::string before = fake.log();
    f();
    return since(before, fake.log());
  }
  // The error `f` raises: its code and message.
  template <typename F>
  std::pair<int, std::string> error(F&& f) {
    try {
      f();
    } catch (const TMPEGError& e) {
      return {e.ErrorCode, e.what()};
    }
    return {-1, "no error"};
  }

  Fake fake;
  std::unique_ptr<TMPEGPlayer> player;
  test::MessageRecorder messages;
};

using Error = std::pair<int, std::string>;
const Error kNotLoaded{0, "MPEG library not loaded"};
const Error kIncorrectMode{2, "Incorrect mode"};

TEST_F(Player, NewComponentHoldsItsDefaults) {
  EXPECT_FALSE(player->IsLoaded());
  EXPECT_EQ(player->PlayerPriority(), TPlayPriority::Normal);
  EXPECT_EQ(player->OutputDevice(), TOutputDevice::wavemapper);
  EXPECT_FALSE(player->UseTimer());
  EXPECT_EQ(player->TimerFreq(), 0);
  EXPECT_EQ(player->PlayedXTimes(), 0);
  EXPECT_EQ(player->PosTimer(), nullptr);
}

TEST_F(Player, LibraryPathGetsASeparatorOnlyWhenItLacksOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::copy(kFake, dir.filePath(QStringLiteral("mpegdll.dll"))));
  ASSERT_TRUE(QFile::copy(kFake, dir.filePath(QStringLiteral("d:mpegdll.dll"))));
  struct Case {
    QString path, expected;
  } cases[] = {
      {dir.path(), dir.path() + QStringLiteral("/mpegdll.dll")},
      {dir.path() + QStringLiteral("/"), dir.path() + QStringLiteral("/mpegdll.dll")},
      {dir.path() + QStringLiteral("\\"), dir.path() + QStringLiteral("\\mpegdll.dll")},
      {dir.path() + QStringLiteral("/d:"), dir.path() + QStringLiteral("/d:mpegdll.dll")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    TMPEGPlayer component;
    component.setPathToDLL(c.path);
    EXPECT_NO_THROW(component.LoadDLL());
    EXPECT_TRUE(component.IsLoaded());
    EXPECT_EQ(component.DLLPath(), c.expected);
    component.UnloadDLL();
  }
}

TEST_F(Player, EmptyLibraryPathLooksInTheProgramFolderFirst) {
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::copy(kFake, dir.filePath(QStringLiteral("mpegdll.dll"))));
  platform::overrideProgramFolder(dir.path());
  EXPECT_NO_THROW(player->LoadDLL());
  platform::overrideProgramFolder(QString());
  EXPECT_TRUE(player->IsLoaded());
  EXPECT_EQ(player->DLLPath(), QStringLiteral("mpegdll.dll"));
}

TEST_F(Player, LoadFailures) {
  player->setPathToDLL(QStringLiteral("/no/such/folder"));
  EXPECT_EQ(error([&] { player->LoadDLL(); }), Error(0, "Can't load MPEG library"));
  EXPECT_FALSE(player->IsLoaded());

  player->setPathToDLL(kFakeWithoutBitrate);
  EXPECT_EQ(error([&] { player->LoadDLL(); }), kNotLoaded);
  EXPECT_FALSE(player->IsLoaded());
  EXPECT_EQ(player->PosTimer(), nullptr);

  fake.set("init", 0);
  fake.set("error:init", 5);
  EXPECT_EQ(error([&] { load(); }), Error(5, "Output device failure"));
  EXPECT_FALSE(player->IsLoaded());
  EXPECT_EQ(player->LastErrorCode(), 5);
  fake.set("error:init", 0);
  EXPECT_EQ(error([&] { load(); }), kNotLoaded);  // a failed init without a code
  // Only the low byte of init's answer counts.
  fake.set("init", 0x100);
  EXPECT_EQ(error([&] { load(); }), kNotLoaded);
  fake.set("init", 0x101);
  EXPECT_NO_THROW(load());
  EXPECT_TRUE(player->IsLoaded());
}

TEST_F(Player, EveryOperationNeedsTheLibraryButStopTestsItsModeFirst) {
  EXPECT_EQ(error([&] { player->Open(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->Play(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->Pause(true); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->Restart(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->Close(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->Seek(3); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->GetPlayerMode(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->GetCurrentPos(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->GetLength(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->ResetPlayerMode(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->UnloadDLL(); }), kNotLoaded);
  EXPECT_EQ(error([&] { player->Stop(); }), kIncorrectMode);
}

TEST_F(Player, LoadCallsInitAndFixesTheTimer) {
  player->setUseTimer(true);
  player->setTimerFreq(500);
  EXPECT_EQ(calls([&] { load(); }), "init");
  ASSERT_NE(player->PosTimer(), nullptr);
  EXPECT_EQ(player->PosTimer()->interval(), 500);
  EXPECT_FALSE(player->PosTimer()->enabled());
  player->setTimerFreq(100);  // too late: the interval was fixed by LoadDLL
  EXPECT_EQ(player->PosTimer()->interval(), 500);
  EXPECT_EQ(player->StreamLength(), 0);
}

TEST_F(Player, TimerFreqZeroTurnsTheTimerOff) {
  player->setUseTimer(true);
  player->setTimerFreq(0);  // as a stored window definition would, after UseTimer
  EXPECT_FALSE(player->UseTimer());
  load();
  EXPECT_EQ(player->PosTimer()->interval(), 0);
  player->setUseTimer(true);
  player->setTimerFreq(250);
  EXPECT_TRUE(player->UseTimer());
  EXPECT_EQ(player->PosTimer()->interval(), 0);
}

TEST_F(Player, OpenNeedsAStreamNameAndMapsIt) {
  load();
  EXPECT_EQ(error([&] { player->Open(); }), Error(254, "Can't play non-specified stream"));
  EXPECT_FALSE(player->Opened());
  fake.set("length", 215);
  player->setStreamName(QStringLiteral("/music\\Musica\\tune.mp3"));
  EXPECT_EQ(calls([&] { player->Open(); }), "Open(/music/Musica/tune.mp3,0,null,null) GetLength");
  EXPECT_TRUE(player->Opened());
  EXPECT_EQ(player->PlayedXTimes(), 1);
  EXPECT_EQ(player->StreamLength(), 215);
}

TEST_F(Player, OpenErrorComesFromTheLibrary) {
  load();
  fake.set("error:Open", 3);
  EXPECT_EQ(error([&] { openFile(); }), Error(3, "Input stream error"));
  EXPECT_FALSE(player->Opened());
  EXPECT_EQ(player->PlayedXTimes(), 0);
  fake.set("error:Open", 9);  // a code without a text of its own
  const Error unknown = error([&] { openFile(); });
  EXPECT_EQ(unknown.first, 9);
  EXPECT_FALSE(unknown.second.empty());
  EXPECT_LE(unknown.second.size(), 50u);
}

TEST_F(Player, FirstPlaySetsUpTheLibraryAndLaterOnesOnlyRestart) {
  load();
  openFile();
  player->setPlayerPriority(TPlayPriority::AboveNormal);
  EXPECT_EQ(calls([&] { player->Play(); }), "SetPriority(1) SetOutputDevice(0,) Play(0,0)");
  EXPECT_TRUE(player->Playing());
  EXPECT_EQ(player->PlayedXTimes(), 2);
  EXPECT_EQ(fake.endAddress() != nullptr, true);
  EXPECT_EQ(calls([&] { player->Play(); }), "");  // already playing
  EXPECT_EQ(calls([&] { player->Stop(); }), "Stop");
  EXPECT_FALSE(player->Playing());
  EXPECT_EQ(calls([&] { player->Play(); }), "Restart");
  EXPECT_EQ(player->PlayedXTimes(), 3);
  EXPECT_EQ(calls([&] { player->Close(); }), "Close");
  EXPECT_EQ(player->PlayedXTimes(), 0);
  // After the end has been taken up by the timer, the next Play restarts too.
  openFile();
  player->Play();
  fake.end();
  player->OnPlayEnd = [](QObject*) {};
  player->TimerTick(nullptr);
  EXPECT_EQ(calls([&] { player->Play(); }), "Restart");
}

TEST_F(Player, PlayPassesPositionsDeviceAndEndByte) {
  load();
  openFile();
  player->setStartPos(12);
  player->setEndPos(40);
  player->setOutFilename(QStringLiteral("/tmp\\out.pcm"));
  player->setOutputDevice(TOutputDevice::pcmfile);
  EXPECT_EQ(calls([&] { player->Play(); }), "SetPriority(0) SetOutputDevice(2,/tmp/out.pcm) Play(12,40)");
  fake.end();
  EXPECT_TRUE(player->EndReached());
}

TEST_F(Player, PcmFileWithoutAFileNameStaysTheWaveOutput) {
  player->setOutputDevice(TOutputDevice::pcmfile);
  EXPECT_EQ(player->OutputDevice(), TOutputDevice::wavemapper);
  player->setOutFilename(QStringLiteral("/tmp/out.pcm"));
  EXPECT_EQ(player->OutputDevice(), TOutputDevice::wavemapper);  // not re-evaluated
  player->setOutputDevice(TOutputDevice::pcmfile);
  EXPECT_EQ(player->OutputDevice(), TOutputDevice::pcmfile);
}

TEST_F(Player, FailedPlayLeavesTheStateAsItWas) {
  load();
  openFile();
  fake.set("play", 1);
  fake.set("error:Play", 5);
  EXPECT_EQ(error([&] { player->Play(); }), Error(5, "Output device failure"));
  EXPECT_FALSE(player->Playing());
  EXPECT_EQ(player->PlayedXTimes(), 1);
  fake.set("error:Play", 0);  // refused without a code
  EXPECT_EQ(error([&] { player->Play(); }), kNotLoaded);
  fake.set("play", 0);
  fake.set("error:SetOutputDevice", 5);
  // A failing step ends Play before the library is asked to play.
  EXPECT_EQ(calls([&] { EXPECT_EQ(error([&] { player->Play(); }), Error(5, "Output device failure")); }),
            "SetPriority(0) SetOutputDevice(0,)");
  EXPECT_FALSE(player->Playing());
}

TEST_F(Player, PlayOpensWhenNeededAndAutoPlayStartsOnce) {
  load();
  player->setStreamName(QStringLiteral("/music/tune.mp3"));
  EXPECT_EQ(calls([&] { player->Play(); }),
            "Open(/music/tune.mp3,0,null,null) GetLength SetPriority(0) SetOutputDevice(0,) Play(0,0)");
  player->Close();
  player->setAutoPlay(true);
  EXPECT_EQ(calls([&] { player->Play(); }),
            "Open(/music/tune.mp3,0,null,null) GetLength SetPriority(0) SetOutputDevice(0,) Play(0,0)");
  EXPECT_EQ(player->PlayedXTimes(), 2);
}

TEST_F(Player, PlayedXTimesCountsStarts) {
  load();
  openFile();
  EXPECT_EQ(player->PlayedXTimes(), 1);
  player->Play();
  EXPECT_EQ(player->PlayedXTimes(), 2);
  player->Restart();
  EXPECT_EQ(player->PlayedXTimes(), 3);
  player->Close();
  EXPECT_EQ(player->PlayedXTimes(), 0);
}

TEST_F(Player, PauseAndResume) {
  load();
  openFile();
  player->Play();
  EXPECT_EQ(calls([&] { player->Pause(true); }), "Pause(0)");
  EXPECT_TRUE(player->Paused());
  // Play while paused resumes and does not restart.
  EXPECT_EQ(calls([&] { player->Play(); }), "Pause(1)");
  EXPECT_FALSE(player->Paused());
  EXPECT_TRUE(player->Playing());
  player->Pause(true);
  EXPECT_EQ(calls([&] { player->Stop(); }), "Stop");
  EXPECT_FALSE(player->Paused());
  // On a stopped stream: pausing is out of turn, resuming passes silently.
  EXPECT_EQ(error([&] { player->Pause(true); }), kIncorrectMode);
  EXPECT_EQ(calls([&] { player->Pause(false); }), "");
  fake.set("error:Pause", 1);
  player->Play();
  EXPECT_EQ(error([&] { player->Pause(true); }), Error(1, "Internal decoder error"));
  EXPECT_FALSE(player->Paused());
}

TEST_F(Player, StopAndRestartNeedTheRightMode) {
  load();
  EXPECT_EQ(error([&] { player->Stop(); }), kIncorrectMode);
  EXPECT_EQ(error([&] { player->Restart(); }), kIncorrectMode);
  openFile();
  EXPECT_EQ(error([&] { player->Stop(); }), kIncorrectMode);
  player->Play();
  fake.end();
  EXPECT_EQ(error([&] { player->Stop(); }), kIncorrectMode);  // after the end
  EXPECT_EQ(calls([&] { player->Restart(); }), "Restart");
  EXPECT_FALSE(player->EndReached());  // cleared before the library restarts
  EXPECT_TRUE(player->Playing());
}

TEST_F(Player, EndWithoutOnPlayEndStaysSet) {
  load();
  openFile();
  player->Play();
  fake.end();
  player->TimerTick(nullptr);
  EXPECT_FALSE(player->Playing());
  EXPECT_TRUE(player->EndReached());
  EXPECT_EQ(error([&] { player->Pause(true); }), kIncorrectMode);
  fake.set("reset", 1);
  EXPECT_EQ(calls([&] { EXPECT_EQ(player->ResetPlayerMode(), 1); }), "ResetPlayerMode");
  EXPECT_TRUE(player->EndReached());  // ResetPlayerMode leaves it set
}

TEST_F(Player, ResetPlayerModeAsksTheLibraryOnlyAfterTheEnd) {
  load();
  openFile();
  player->Play();
  fake.set("reset", 1);
  EXPECT_EQ(calls([&] { EXPECT_EQ(player->ResetPlayerMode(), 0); }), "");
  EXPECT_TRUE(player->Playing());
  fake.end();
  EXPECT_EQ(player->ResetPlayerMode(), 1);
  EXPECT_FALSE(player->Playing());
}

TEST_F(Player, TimerTickReportsPositionAndTheEnd) {
  load();
  fake.set("length", 100);
  openFile();
  std::vector<std::pair<int, int>> updates;
  int ends = 0;
  player->OnPosUpdate = [&](int32_t pos, int32_t len) { updates.emplace_back(pos, len); };
  player->OnPlayEnd = [&](QObject* sender) {
    EXPECT_EQ(sender, player.get());
    ++ends;
  };
  player->Play();
  fake.set("pos", 42);
  player->TimerTick(nullptr);
  fake.set("pos", 101);  // beyond the length: reported as 0
  player->TimerTick(nullptr);
  fake.set("pos", 100);
  fake.end();
  player->TimerTick(nullptr);
  EXPECT_EQ(updates, (std::vector<std::pair<int, int>>{{42, 100}, {0, 100}, {100, 100}}));
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(player->EndReached());
  EXPECT_FALSE(player->Playing());
  EXPECT_EQ(calls([&] { player->TimerTick(nullptr); }), "");  // nothing playing: nothing asked
  EXPECT_EQ(updates.size(), 3u);
}

TEST_F(Player, PositionTimerRunsWhilePlaying) {
  player->setUseTimer(true);
  player->setTimerFreq(20);
  load();
  openFile();
  int updates = 0, ends = 0;
  player->OnPosUpdate = [&](int32_t, int32_t) { ++updates; };
  player->OnPlayEnd = [&](QObject*) { ++ends; };
  player->Play();
  EXPECT_EQ(updates, 1);  // once at once
  EXPECT_TRUE(player->PosTimer()->enabled());
  EXPECT_TRUE(test::waitUntil([&] { return updates >= 4; }, 2000));
  fake.end();
  EXPECT_TRUE(test::waitUntil([&] { return ends == 1; }, 2000));
  EXPECT_FALSE(player->PosTimer()->enabled());
  test::pump(100);
  EXPECT_EQ(ends, 1);
}

TEST_F(Player, ErrorInTheTimerReachesTheErrorReport) {
  player->setUseTimer(true);
  player->setTimerFreq(20);
  load();
  openFile();
  player->Play();
  fake.set("error:GetCurrentPos", 1);
  EXPECT_TRUE(test::waitUntil([&] { return !messages.texts().isEmpty(); }, 2000));
  EXPECT_EQ(messages.texts().first(), QStringLiteral("Internal decoder error"));
  fake.set("error:GetCurrentPos", 0);
}

TEST_F(Player, WithoutTheTimerNoEventsAreRaised) {
  load();  // UseTimer false
  openFile();
  int events = 0;
  player->OnPosUpdate = [&](int32_t, int32_t) { ++events; };
  player->OnPlayEnd = [&](QObject*) { ++events; };
  player->Play();
  fake.end();
  test::pump(100);
  EXPECT_EQ(events, 0);
  EXPECT_FALSE(player->PosTimer()->enabled());
}

TEST_F(Player, PriorityMapsToTheLibrarysValues) {
  const std::pair<TPlayPriority, int> mapping[] = {{TPlayPriority::Idle, -15},       {TPlayPriority::Lowest, -2},
                                                   {TPlayPriority::BelowNormal, -1}, {TPlayPriority::Normal, 0},
                                                   {TPlayPriority::AboveNormal, 1},  {TPlayPriority::Highest, 2},
                                                   {TPlayPriority::TimeCritical, 15}};
  for (const auto& [priority, value] : mapping) {
    player->setPlayerPriority(priority);  // not loaded: stored only
    EXPECT_EQ(player->PlayerPriority(), priority);
  }
  load();
  for (const auto& [priority, value] : mapping) {
    EXPECT_EQ(calls([&] { player->setPlayerPriority(priority); }), "SetPriority(" + std::to_string(value) + ")");
    EXPECT_EQ(player->PlayerPriority(), priority);
  }
}

TEST_F(Player, NewStreamNameClosesTheOpenedStream) {
  load();
  openFile();
  EXPECT_EQ(calls([&] { player->setStreamName(QStringLiteral("/music/other.mp3")); }), "Close");
  EXPECT_FALSE(player->Opened());
  EXPECT_EQ(calls([&] { player->setStreamName(QStringLiteral("/music/third.mp3")); }), "");
}

TEST_F(Player, UnloadClosesAndReleases) {
  player->setUseTimer(true);
  player->setTimerFreq(20);
  load();
  openFile();
  player->Play();
  EXPECT_EQ(calls([&] { player->UnloadDLL(); }), "Close deinit");
  EXPECT_FALSE(player->IsLoaded());
  EXPECT_NE(player->PosTimer(), nullptr);  // left as it was; its next tick stops it
  test::waitUntil([&] { return !player->PosTimer()->enabled(); }, 1000);
  EXPECT_FALSE(player->PosTimer()->enabled());
  EXPECT_EQ(error([&] { player->Play(); }), kNotLoaded);
}

TEST_F(Player, CloseClearsTheFlagsEvenWhenTheLibraryFails) {
  load();
  openFile();
  player->Play();
  fake.set("error:Close", 1);
  EXPECT_EQ(error([&] { player->Close(); }), Error(1, "Internal decoder error"));
  EXPECT_FALSE(player->Opened());
  EXPECT_FALSE(player->Playing());
}

TEST_F(Player, SeekAndQueriesGoToTheLibrary) {
  load();
  openFile();
  fake.set("mode", 3);
  fake.set("pos", 17);
  EXPECT_EQ(calls([&] { player->Seek(30); }), "Seek(30)");
  EXPECT_EQ(player->GetPlayerMode(), 3);
  EXPECT_EQ(player->GetCurrentPos(), 17);
  fake.set("error:Seek", 4);
  EXPECT_EQ(error([&] { player->Seek(1); }), Error(4, "Input stream is non-seekable"));
}

TEST_F(Player, DestroyedWhilePlayingStopsAndClosesFirst) {
  load();
  openFile();
  player->Play();
  const std::string before = fake.log();
  player.reset();
  EXPECT_EQ(since(before, fake.log()), "Stop Close");
}

TEST_F(Player, StreamEventsAreForwarded) {
  load();
  player->setFromStream(true);
  EXPECT_EQ(calls([&] { player->Open(); }), "Open(null,1,callbacks,user) GetLength");
  const FakeStream s = fake.stream();
  ASSERT_EQ(s.user, player.get());

  int context = 0;
  player->OnOpenStream = [&](bool& nonseekable, void*& ctx) {
    nonseekable = true;
    ctx = &context;
  };
  uint8_t nonseekable = 0;
  void* ctx = nullptr;
  s.open(s.user, &nonseekable, &ctx);
  EXPECT_EQ(nonseekable, 1);
  EXPECT_EQ(ctx, &context);

  player->OnReadStream = [&](void* c, void* buffer, int32_t want, int32_t& got, bool& res) {
    EXPECT_EQ(c, &context);
    std::memset(buffer, 'x', size_t(want));
    got = want;
    res = true;
  };
  char buffer[8] = {};
  int32_t got = 0;
  uint8_t res = 0;
  s.read(s.user, &context, buffer, 4, &got, &res);
  EXPECT_EQ(got, 4);
  EXPECT_EQ(res, 1);
  EXPECT_EQ(std::string(buffer), "xxxx");

  player->OnSeekStream = [&](void*, int32_t numbytes, int32_t method, int32_t& r) { r = numbytes * 10 + method; };
  int32_t position = 0;
  s.seek(s.user, &context, 7, 2, &position);
  EXPECT_EQ(position, 72);
  player->OnGetStreamSize = [&](void*, int32_t& r) { r = 1234; };
  int32_t size = 0;
  s.size(s.user, &context, &size);
  EXPECT_EQ(size, 1234);
  player->OnRestartStream = [&](void*, bool& r) { r = true; };
  res = 0;
  s.restart(s.user, &context, &res);
  EXPECT_EQ(res, 1);
  void* closed = nullptr;
  player->OnCloseStream = [&](void* c) { closed = c; };
  s.close(s.user, &context);
  EXPECT_EQ(closed, &context);
}

TEST_F(Player, StreamCallbacksWithoutHandlersAnswerFailure) {
  load();
  player->setFromStream(true);
  player->Open();
  const FakeStream s = fake.stream();
  uint8_t nonseekable = 0;
  int dummy = 0;
  void* ctx = &dummy;
  s.open(s.user, &nonseekable, &ctx);
  EXPECT_EQ(ctx, nullptr);
  EXPECT_EQ(nonseekable, 0);  // untouched
  uint8_t res = 1;
  s.restart(s.user, ctx, &res);
  EXPECT_EQ(res, 0);
  res = 1;
  char buffer[4];
  int32_t got = 0;
  s.read(s.user, ctx, buffer, 4, &got, &res);
  EXPECT_EQ(res, 0);
  int32_t value = 0;
  s.seek(s.user, ctx, 0, 0, &value);
  EXPECT_EQ(value, -1);
  value = 0;
  s.size(s.user, ctx, &value);
  EXPECT_EQ(value, -1);
  s.close(s.user, ctx);  // nothing to do, and no crash

  // A handler that throws gives the failure answer too.
  player->OnReadStream = [](void*, void*, int32_t, int32_t&, bool& r) {
    r = true;
    throw std::runtime_error("disk gone");
  };
  res = 1;
  s.read(s.user, ctx, buffer, 4, &got, &res);
  EXPECT_EQ(res, 0);
  player->OnGetStreamSize = [](void*, int32_t&) { throw std::runtime_error("disk gone"); };
  value = 0;
  s.size(s.user, ctx, &value);
  EXPECT_EQ(value, -1);
}

}  // namespace
}  // namespace vardel

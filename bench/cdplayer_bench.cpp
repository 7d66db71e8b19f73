// The CD player's figures on a virtual disc, run by cdplayer_bench.sh beside a sound server of
// its own: play request to the first samples handed to the output, CPU while playing (the
// server included) beside paplay playing the same track, and the work of one 500 ms tick.
//   cdplayer_bench <pid of the sound server>
#include "cdplayer/lector_form.h"
#include "components/shape2.h"
#include "platform/mci/mci.h"
#include "platform/mci/player.h"
#include "ui/application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

using namespace vardel;
using namespace vardel::platform;
using Clock = std::chrono::steady_clock;

namespace {

void writeTone(const QString& path, double seconds, double hertz) {
  const int frames = int(seconds * 44100);
  QByteArray b;
  const auto u32 = [&](std::uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
  const auto u16 = [&](std::uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
  b.append("RIFF");
  u32(36 + std::uint32_t(frames) * 4);
  b.append("WAVEfmt ");
  u32(16), u16(1), u16(2), u32(44100), u32(44100 * 4), u16(4), u16(16);
  b.append("data");
  u32(std::uint32_t(frames) * 4);
  for (int i = 0; i < frames; ++i) {
    const auto s = std::int16_t(8000 * std::sin(2 * M_PI * hertz * i / 44100));
    u16(std::uint16_t(s)), u16(std::uint16_t(s));
  }
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(b);
}

double seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }
double selfCpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return seconds(u.ru_utime) + seconds(u.ru_stime);
}
double childrenCpu() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return seconds(u.ru_utime) + seconds(u.ru_stime);
}
double processCpu(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string field;
  double ticks = 0;
  for (int i = 1; i <= 15 && stat >> field; ++i)
    if (i >= 14) ticks += std::stod(field);
  return ticks / double(sysconf(_SC_CLK_TCK));
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

MCIDEVICEID openCd() {
  MCI_OPEN_PARMS open;
  open.lpstrDeviceType = "CDAudio";
  if (mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open) != 0) return 0;
  MCI_SET_PARMS set;
  set.dwTimeFormat = MCI_FORMAT_TMSF;
  mciSendCommand(open.wDeviceID, MCI_SET, MCI_SET_TIME_FORMAT, &set);
  return open.wDeviceID;
}

void startLatency(const QString& folder) {
  const auto disc = cd::openFolderDisc(folder);
  cd::Player player;
  std::vector<double> ms;
  for (int i = 0; i < 15; ++i) {
    const std::int32_t from = disc->toc().tracks[size_t(i % 3)].start;
    player.play(disc, from, disc->toc().end());
    while (player.stats().starts <= i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ms.push_back(player.stats().lastStartMs);
    if (std::getenv("VARDEL_BENCH_VERBOSE")) std::printf("  start %d: %.1f ms\n", i, ms.back());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    player.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  std::printf(
      "play request to the first samples handed to '%s': median %.1f ms, max %.1f ms "
      "(target 100 ms: ratio %.2f)\n",
      player.stats().driver.c_str(), median(ms), *std::max_element(ms.begin(), ms.end()), median(ms) / 100);
}

void playingCpu(long server, const QString& track) {
  const MCIDEVICEID cd = openCd();
  MCI_PLAY_PARMS from;
  from.dwFrom = MCI_MAKE_TMSF(1, 0, 0, 0);
  const auto requested = Clock::now();
  mciSendCommand(cd, MCI_PLAY, MCI_FROM, &from);
  const double requestUs = std::chrono::duration<double, std::micro>(Clock::now() - requested).count();
  std::this_thread::sleep_for(std::chrono::seconds(2));  // past the output's start
  const double ours0 = selfCpu(), server0 = processCpu(server);
  const auto t0 = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(20));
  const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
  const double ours = (selfCpu() - ours0) / wall * 100, serverShare = (processCpu(server) - server0) / wall * 100;
  mciSendCommand(cd, MCI_STOP, 0, nullptr);
  mciSendCommand(cd, MCI_CLOSE, 0, nullptr);

  const double paplay0 = childrenCpu(), pserver0 = processCpu(server);
  const auto p0 = Clock::now();
  const QByteArray command = "timeout -s INT 20 paplay '" + QFile::encodeName(track) + "' >/dev/null 2>&1";
  [[maybe_unused]] const int status = std::system(command.constData());
  const double pwall = std::chrono::duration<double>(Clock::now() - p0).count();
  const double paplay = (childrenCpu() - paplay0) / pwall * 100,
               pserver = (processCpu(server) - pserver0) / pwall * 100;
  std::printf("play request returns in %.1f us\n", requestUs);
  std::printf(
      "CPU while the virtual disc plays: %.2f%% of a core (player %.2f%% + sound server %.2f%%; "
      "target 3%%: ratio %.2f)\n",
      ours + serverShare, ours, serverShare, (ours + serverShare) / 3);
  std::printf("paplay playing the same track: %.2f%% (paplay %.2f%% + sound server %.2f%%); ratio ours/paplay %.2f\n",
              paplay + pserver, paplay, pserver, (ours + serverShare) / (paplay + pserver));
}

void tickWork(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ui::Application application;
  ui::Form owner;
  auto* form = new TfrmLector(&owner);
  const auto wait = [&](unsigned mode) {
    for (int i = 0; i < 400 && form->modoAnterior() != mode; ++i) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  };
  wait(MCI_MODE_STOP);
  const auto measure = [&](int rounds) {
    std::vector<double> us;
    for (int i = 0; i < rounds; ++i) {
      const auto t = Clock::now();
      form->RelojTimer(form->Reloj);
      us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t).count());
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return us;
  };
  const std::vector<double> stopped = measure(100);
  form->Shape24MouseDown(form->Shape24, ui::MouseButton::mbLeft, 0, 0, 0);
  wait(MCI_MODE_PLAY);
  const std::vector<double> playing = measure(200);
  std::printf(
      "work of one 500 ms tick: stopped median %.1f us; playing median %.1f us, max %.1f us "
      "(target 1 ms: ratio %.3f)\n",
      median(stopped), median(playing), *std::max_element(playing.begin(), playing.end()), median(playing) / 1000);
  mciSendCommand(form->dispositivo(), MCI_STOP, 0, nullptr);
  const MCIDEVICEID device = form->dispositivo();
  delete form;
  mciSendCommand(device, MCI_CLOSE, 0, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <pid of the sound server>\n", argv[0]);
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const long server = std::atol(argv[1]);
  QTemporaryDir dir;
  for (int i = 1; i <= 3; ++i) writeTone(dir.path() + QStringLiteral("/0%1.wav").arg(i), 25, 220.0 * i);
  qputenv("VARDEL_CD_DEVICE", QFile::encodeName(dir.path()));
  startLatency(dir.path());
  playingCpu(server, dir.path() + QStringLiteral("/01.wav"));
  tickWork(argc, argv);
  return 0;
}

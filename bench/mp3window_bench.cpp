// The MP3 player window while it plays the demo tune through a PulseAudio server of its own:
// CPU of the program and the sound server beside the mpg123 command line playing the same file
// to the same server, the cost of each Timer1 tick, and the delay from the play hotspot to the
// first sample handed to the sound output. Figures only; run it on an idle machine.
//   build/bench/mp3window_bench [seconds of playback, default 20]
// With DISPLAY set it runs on that X server (the X server's own share is not counted), else on
// the offscreen platform.
#include "components/shape2.h"
#include "mp3/mp3_form.h"
#include "mp3/mpegplayer.h"
#include "mpegdll/mpegdll.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "tests/support/pulse_server.h"
#include "ui/application.h"
#include "ui/controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace vardel;

namespace {

const QString kTune = QStringLiteral(VARDEL_PROGRAM_DIR "Musica/Ondravia.mp3");

double selfCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double processCpuSeconds(qint64 pid) {
  QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!file.open(QIODevice::ReadOnly)) return 0;
  const QByteArray stat = file.readAll();
  const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
  if (fields.size() < 13) return 0;
  return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

int64_t monotonicNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Runs the event loop for `ms`, idle in between as the program is.
void pump(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void press(TfrmMP3& window, QWidget* hotspot) {
  QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, hotspot->mapTo(&window, hotspot->rect().center()));
}

struct Cpu {
  double percent = 0, serverPercent = 0;
};

// The window plays for `seconds` while its CPU and the server's are measured.
Cpu windowCpu(TfrmMP3& window, const test::PulseServer& server, int seconds) {
  press(window, window.PlayBtn);
  pump(1000);  // past the start
  const double self = selfCpuSeconds(), other = processCpuSeconds(server.pid());
  QElapsedTimer clock;
  clock.start();
  pump(seconds * 1000);
  const double wall = double(clock.elapsed()) / 1000;
  Cpu cpu{100 * (selfCpuSeconds() - self) / wall, 100 * (processCpuSeconds(server.pid()) - other) / wall};
  press(window, window.StopBtn);
  return cpu;
}

// mpg123 plays the same file to the same server for as long.
Cpu mpg123Cpu(const test::PulseServer& server, int seconds) {
  QProcess player;
  player.start(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-o"), QStringLiteral("pulse"), kTune});
  if (!player.waitForStarted(5000)) return {};
  QThread::msleep(1000);
  const double own = processCpuSeconds(player.processId()), other = processCpuSeconds(server.pid());
  QElapsedTimer clock;
  clock.start();
  QThread::msleep(unsigned(seconds) * 1000);
  const double wall = double(clock.elapsed()) / 1000;
  Cpu cpu{100 * (processCpuSeconds(player.processId()) - own) / wall,
          100 * (processCpuSeconds(server.pid()) - other) / wall};
  player.kill();
  player.waitForFinished(3000);
  return cpu;
}

struct Spread {
  double mean = 0, p99 = 0, worst = 0;
};

Spread spread(std::vector<double> values) {
  Spread s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  for (double v : values) s.mean += v / double(values.size());
  s.p99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
  s.worst = values.back();
  return s;
}

// Timer1's handler while the tune plays, called as its timer calls it, milliseconds each.
Spread timerTicks(TfrmMP3& window, int count) {
  press(window, window.PlayBtn);
  pump(500);
  std::vector<double> ms;
  for (int i = 0; i < count; ++i) {
    const int64_t start = monotonicNs();
    window.Timer1Timer(window.Timer1);
    ms.push_back(double(monotonicNs() - start) / 1e6);
    pump(20);
  }
  press(window, window.StopBtn);
  return spread(ms);
}

// From the release of the button on the play hotspot to the first sample handed to the output:
// after the file was opened (`reopen` false), or after stop, when play opens it again.
Spread playLatency(TfrmMP3& window, MpegGetPlaybackStats stats, int count, bool reopen) {
  std::vector<double> ms;
  for (int i = 0; i < count; ++i) {
    if (!reopen) window.OpenCurrentFile();
    pump(100);
    const int64_t start = monotonicNs();
    press(window, window.PlayBtn);
    MpegPlaybackStats s{};
    QElapsedTimer clock;
    clock.start();
    do {
      QThread::usleep(200);
      stats(&s);
    } while ((s.firstOutputNs == 0 || s.firstOutputNs < start) && clock.elapsed() < 5000);
    ms.push_back(double(s.firstOutputNs - start) / 1e6);
    pump(300);
    press(window, window.StopBtn);
  }
  return spread(ms);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qtApplication(argc, argv);
  ui::Application application;
  application.setTitle(QStringLiteral("VARDEL"));
  const int seconds = argc > 1 ? std::max(2, atoi(argv[1])) : 20;
  if (!QFile::exists(kTune)) {
    std::fprintf(stderr, "no demo tune: build the content first\n");
    return 1;
  }
  test::PulseServer server;
  if (!server.ready()) {
    std::fprintf(stderr, "no PulseAudio server could be started\n");
    return 1;
  }
  qputenv("VARDEL_AUDIO_DRIVER", "pulse");
  platform::overrideProgramFolder(QStringLiteral(VARDEL_PROGRAM_DIR));
  platform::Library library;
  library.load(QStringLiteral(VARDEL_PROGRAM_DIR "mpegdll.dll"));
  const auto stats = library.resolveAs<MpegGetPlaybackStats>("GetPlaybackStats");
  if (!stats) return 1;

  ui::Form owner;
  TfrmMP3 window(&owner);
  window.MPlayer->setStreamName(kTune);
  window.OpenCurrentFile();
  pump(300);

  const Cpu ours = windowCpu(window, server, seconds);
  const Cpu theirs = mpg123Cpu(server, seconds);
  const Spread ticks = timerTicks(window, 500);
  const Spread latency = playLatency(window, stats, 20, false);
  const Spread reopened = playLatency(window, stats, 20, true);

  const double oursTotal = ours.percent + ours.serverPercent, theirsTotal = theirs.percent + theirs.serverPercent;
  std::printf("MP3 window playing the demo tune to a PulseAudio null sink (%d s, platform %s)\n", seconds,
              qPrintable(QGuiApplication::platformName()));
  std::printf("  CPU, %% of one core        window %.2f + server %.2f = %.2f   mpg123 %.2f + server %.2f = %.2f\n",
              ours.percent, ours.serverPercent, oursTotal, theirs.percent, theirs.serverPercent, theirsTotal);
  std::printf("    ratio to mpg123 %.2f, to the 2%% target %.2f\n", theirsTotal > 0 ? oursTotal / theirsTotal : 0,
              oursTotal / 2.0);
  std::printf(
      "  Timer1 tick, ms            mean %.4f  p99 %.4f  worst %.4f   ratio of worst to the 0.5 ms target %.3f\n",
      ticks.mean, ticks.p99, ticks.worst, ticks.worst / 0.5);
  std::printf(
      "  play hotspot to first sample, ms  mean %.2f  p99 %.2f  worst %.2f   ratio of worst to the 50 ms target %.3f\n",
      latency.mean, latency.p99, latency.worst, latency.worst / 50);
  std::printf("    after stop (play opens the file again)  mean %.2f  p99 %.2f  worst %.2f   ratio %.3f\n",
              reopened.mean, reopened.p99, reopened.worst, reopened.worst / 50);
  return 0;
}

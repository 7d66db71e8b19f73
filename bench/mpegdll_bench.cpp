// The decoder library side by side with the mpg123 command line, its CPU use while playing in
// real time, and the delay from Play to the first sample handed to the sound output.
#include "mpegdll/mpegdll.h"
#include "platform/library.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <random>

namespace {

struct Mpeg {
  vardel::platform::Library library;
  MpegInit init;
  MpegDeinit deinit;
  MpegOpen Open;
  MpegSetOutputDevice SetOutputDevice;
  MpegPlay Play;
  MpegStop Stop;
  MpegClose Close;
  MpegLastError LastError;
  MpegGetPlaybackStats GetPlaybackStats;

  Mpeg() {
    library.load(QStringLiteral(VARDEL_PROGRAM_DIR "mpegdll.dll"));
    init = library.resolveAs<MpegInit>("init");
    deinit = library.resolveAs<MpegDeinit>("deinit");
    Open = library.resolveAs<MpegOpen>("Open");
    SetOutputDevice = library.resolveAs<MpegSetOutputDevice>("SetOutputDevice");
    Play = library.resolveAs<MpegPlay>("Play");
    Stop = library.resolveAs<MpegStop>("Stop");
    Close = library.resolveAs<MpegClose>("Close");
    LastError = library.resolveAs<MpegLastError>("LastError");
    GetPlaybackStats = library.resolveAs<MpegGetPlaybackStats>("GetPlaybackStats");
    if (!GetPlaybackStats || init() != 1) std::abort();
  }
  ~Mpeg() { deinit(); }
  void open(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    Open(name.constData(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  }
};

Mpeg& mpeg() {
  static Mpeg instance;
  return instance;
}

void waitFor(const uint8_t& byte) {
  while (!__atomic_load_n(&byte, __ATOMIC_ACQUIRE)) QThread::usleep(1000);
}

// A five-minute 128 kbit/s stereo MP3 of changing chords and noise, made once with lame and
// kept beside the benchmark.
QString fiveMinuteTune() {
  const QString folder = QStringLiteral(VARDEL_BINARY_DIR "/bench/data");
  const QString mp3 = folder + QStringLiteral("/five-minutes-128k.mp3");
  if (QFile::exists(mp3)) return mp3;
  QDir().mkpath(folder);
  const int rate = 44100, seconds = 300;
  QByteArray wav(44 + rate * seconds * 4, Qt::Uninitialized);
  auto put32 = [&](int at, uint32_t v) { memcpy(wav.data() + at, &v, 4); };
  auto put16 = [&](int at, uint16_t v) { memcpy(wav.data() + at, &v, 2); };
  memcpy(wav.data(), "RIFF", 4);
  put32(4, uint32_t(wav.size() - 8));
  memcpy(wav.data() + 8, "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);
  put16(22, 2);
  put32(24, rate);
  put32(28, rate * 4);
  put16(32, 4);
  put16(34, 16);
  memcpy(wav.data() + 36, "data", 4);
  put32(40, uint32_t(rate * seconds * 4));
  auto* samples = reinterpret_cast<int16_t*>(wav.data() + 44);
  std::mt19937 random(1);
  std::normal_distribution<double> noise(0, 800);
  const double chords[4][3] = {
      {261.6, 329.6, 392.0}, {220.0, 261.6, 329.6}, {174.6, 220.0, 261.6}, {196.0, 246.9, 293.7}};
  for (int i = 0; i < rate * seconds; ++i) {
    const double t = double(i) / rate;
    const auto& chord = chords[(i / (rate * 2)) % 4];
    double left = 0, right = 0;
    for (int n = 0; n < 3; ++n) {
      left += 3000 * std::sin(2 * M_PI * chord[n] * t);
      right += 3000 * std::sin(2 * M_PI * chord[n] * 1.002 * t + n);
    }
    samples[2 * i] = int16_t(left + noise(random));
    samples[2 * i + 1] = int16_t(right + noise(random));
  }
  const QString wavPath = folder + QStringLiteral("/five-minutes.wav");
  QFile file(wavPath);
  if (!file.open(QIODevice::WriteOnly)) std::abort();
  file.write(wav);
  file.close();
  QProcess::execute(QStringLiteral("lame"), {"--quiet", "-b", "128", wavPath, mp3});
  QFile::remove(wavPath);
  return mp3;
}

double seconds(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e9; }

// User and system time of this process, or of its finished children.
double cpuSeconds(int who = RUSAGE_SELF) {
  rusage usage{};
  getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Decoding the whole tune to a PCM file, against `mpg123 -s FILE > /dev/null`, alternately.
// Wall time is what counts; CPU time is shown too, as other work on a shared machine blurs it.
void BM_DecodeToPcmFileVersusMpg123(benchmark::State& state) {
  const QString tune = fiveMinuteTune();
  const QByteArray name = QFile::encodeName(tune);
  const std::string command = "mpg123 -q -s '" + name.toStdString() + "' > /dev/null";
  double ours = 0, theirs = 0, oursCpu = 0, theirsCpu = 0;
  for (auto _ : state) {
    QElapsedTimer timer;
    const double cpuBefore = cpuSeconds();
    timer.start();
    mpeg().open(tune);
    mpeg().SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, "/dev/null");
    uint8_t end = 0;
    if (mpeg().Play(0, 0, &end) != 0) std::abort();
    waitFor(end);
    mpeg().Close();
    const double t = seconds(timer);
    oursCpu += cpuSeconds() - cpuBefore;
    state.SetIterationTime(t);
    ours += t;
    const double childBefore = cpuSeconds(RUSAGE_CHILDREN);
    timer.restart();
    if (std::system(command.c_str()) != 0) std::abort();
    theirs += seconds(timer);
    theirsCpu += cpuSeconds(RUSAGE_CHILDREN) - childBefore;
  }
  const double n = double(state.iterations());
  state.counters["mpegdll_s"] = ours / n;
  state.counters["mpg123_s"] = theirs / n;
  state.counters["ratio"] = ours / theirs;
  state.counters["mpegdll_cpu_s"] = oursCpu / n;
  state.counters["mpg123_cpu_s"] = theirsCpu / n;
  state.counters["cpu_ratio"] = oursCpu / theirsCpu;
}
BENCHMARK(BM_DecodeToPcmFileVersusMpg123)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// User and system time of another process, from /proc.
double processCpuSeconds(qint64 pid) {
  QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!file.open(QIODevice::ReadOnly)) return 0;
  const QByteArray stat = file.readAll();
  const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
  if (fields.size() < 13) return 0;
  return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

// A PulseAudio server with a null sink of its own, for as long as it lives.
struct PulseServer {
  QTemporaryDir runtime;
  QProcess process;
  bool ready = false;
  PulseServer() {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()) return;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    process.start(QStringLiteral("pulseaudio"),
                  {"-n", "--daemonize=no", "--exit-idle-time=-1", "-L", "module-null-sink", "-L",
                   "module-native-protocol-unix auth-anonymous=1"});
    for (int i = 0; i < 200 && !QFile::exists(runtime.path() + QStringLiteral("/pulse/native")); ++i)
      QThread::msleep(50);
    ready = QFile::exists(runtime.path() + QStringLiteral("/pulse/native"));
  }
  ~PulseServer() {
    process.terminate();
    if (!process.waitForFinished(5000)) process.kill();
  }
};

// Forces the sound driver for a playback benchmark, starting a PulseAudio server of its own
// for "pulse". False (the benchmark skipped) when that server cannot start.
bool useDriver(benchmark::State& state, const char* driver, std::unique_ptr<PulseServer>& server) {
  if (QByteArray(driver) == "pulse") {
    server = std::make_unique<PulseServer>();
    if (!server->ready) {
      state.SkipWithError("no PulseAudio server");
      return false;
    }
  }
  qputenv("VARDEL_AUDIO_DRIVER", driver);
  return true;
}

// CPU of this process (decoder thread, output driver) over 30 s of real-time playback.
void wavemapperCpu(benchmark::State& state, const char* driver) {
  std::unique_ptr<PulseServer> server;
  if (!useDriver(state, driver, server)) return;
  const QString tune = fiveMinuteTune();
  for (auto _ : state) {
    mpeg().open(tune);
    mpeg().SetOutputDevice(MPEGDLL_DEVICE_WAVEMAPPER, "");
    uint8_t end = 0;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    if (mpeg().Play(0, 0, &end) != 0) {
      state.SkipWithError("the sound output cannot be opened");
      break;
    }
    const double serverBefore = server ? processCpuSeconds(server->process.processId()) : 0;
    QThread::sleep(30);
    const double cpu = cpuSeconds() - cpuBefore;
    state.counters["cpu_percent_of_a_core"] = 100 * cpu / seconds(timer);
    // The sound server's share, which a desktop pays for any player.
    if (server)
      state.counters["server_cpu_percent"] =
          100 * (processCpuSeconds(server->process.processId()) - serverBefore) / seconds(timer);
    mpeg().Stop();
    mpeg().Close();
  }
  qunsetenv("VARDEL_AUDIO_DRIVER");
}
BENCHMARK_CAPTURE(wavemapperCpu, dummy, "dummy")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(wavemapperCpu, pulse, "pulse")->Iterations(1)->Unit(benchmark::kSecond);

// From the entry of Play to the first decoded sample handed to the sound output.
void playLatency(benchmark::State& state, const char* driver) {
  std::unique_ptr<PulseServer> server;
  if (!useDriver(state, driver, server)) return;
  const QString tune = fiveMinuteTune();
  double worst = 0, total = 0;
  for (auto _ : state) {
    mpeg().open(tune);
    mpeg().SetOutputDevice(MPEGDLL_DEVICE_WAVEMAPPER, "");
    uint8_t end = 0;
    if (mpeg().Play(0, 0, &end) != 0) {
      state.SkipWithError("the sound output cannot be opened");
      break;
    }
    MpegPlaybackStats stats{};
    do {
      QThread::usleep(500);
      mpeg().GetPlaybackStats(&stats);
    } while (stats.firstOutputNs == 0);
    const double latency = double(stats.firstOutputNs - stats.playCalledNs) / 1e9;
    state.SetIterationTime(latency);
    worst = std::max(worst, latency);
    total += latency;
    mpeg().Stop();
    mpeg().Close();
  }
  state.counters["mean_ms"] = 1000 * total / double(std::max<int64_t>(1, state.iterations()));
  state.counters["worst_ms"] = 1000 * worst;
  qunsetenv("VARDEL_AUDIO_DRIVER");
}
BENCHMARK_CAPTURE(playLatency, dummy, "dummy")->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(playLatency, pulse, "pulse")->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Test helpers for the decoder library.
#include "tests/mpegdll/mpeg_library.h"

#include "tests/mpegdll/memory_stream.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <limits>

namespace vardel::test {

MpegLibrary::MpegLibrary() {
  if (!library.load(QStringLiteral(VARDEL_PROGRAM_DIR "mpegdll.dll"))) return;
  GetPlaybackStats = library.resolveAs<MpegGetPlaybackStats>("GetPlaybackStats");
  complete = resolve(library) && GetPlaybackStats;
}

int MpegLibrary::openFile(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  Open(name.constData(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  return LastError();
}

uint8_t loadByte(const uint8_t& byte) { return __atomic_load_n(&byte, __ATOMIC_ACQUIRE); }

bool waitForByte(const uint8_t& byte, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!loadByte(byte)) {
    if (timer.elapsed() > timeoutMs) return false;
    QThread::usleep(500);
  }
  return true;
}

Decoded decodeFile(MpegLibrary& mpeg, const QString& path, bool stream, bool nonseekable, int startPos) {
  Decoded result;
  QTemporaryDir dir;
  const QByteArray out = QFile::encodeName(dir.filePath(QStringLiteral("out.pcm")));
  MemoryStream memory;
  if (stream) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) memory.data = file.readAll();
    memory.nonseekable = nonseekable;
    memory.openWith(mpeg.Open);
    result.openError = mpeg.LastError();
  } else {
    result.openError = mpeg.openFile(path);
  }
  if (result.openError != 0) return result;
  result.length = mpeg.GetLength();
  result.rate = mpeg.GetFrequency();
  mpeg.SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, out.constData());
  uint8_t end = 0;
  mpeg.Play(startPos, 0, &end);
  result.playError = mpeg.LastError();
  if (result.playError == 0) result.ended = waitForByte(end, 60000);
  mpeg.Close();
  QFile file(QFile::decodeName(out));
  if (file.open(QIODevice::ReadOnly)) result.pcm = file.readAll();
  return result;
}

std::vector<int16_t> samples(const QByteArray& pcm) {
  std::vector<int16_t> result(size_t(pcm.size()) / 2);
  for (size_t i = 0; i < result.size(); ++i) {
    const auto lo = uint8_t(pcm[qsizetype(2 * i)]);
    const auto hi = uint8_t(pcm[qsizetype(2 * i + 1)]);
    result[i] = int16_t(uint16_t(lo | (hi << 8)));
  }
  return result;
}

double psnr(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t count) {
  count = std::min({count, a.size(), b.size()});
  if (count == 0) return 0;
  double sum = 0;
  for (size_t i = 0; i < count; ++i) {
    const double d = double(a[i]) - double(b[i]);
    sum += d * d;
  }
  if (sum == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(32767.0 * 32767.0 / (sum / double(count)));
}

double rms(const std::vector<int16_t>& a) {
  if (a.empty()) return 0;
  double sum = 0;
  for (int16_t s : a) sum += double(s) * double(s);
  return std::sqrt(sum / double(a.size()));
}

QByteArray runTool(const QString& program, const QStringList& arguments, bool* ok, int timeoutMs) {
  QProcess process;
  process.setProcessChannelMode(QProcess::SeparateChannels);
  process.start(program, arguments);
  const bool finished = process.waitForStarted(10000) && process.waitForFinished(timeoutMs);
  *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
  return *ok ? process.readAllStandardOutput() : QByteArray();
}

QByteArray mpg123Decode(const QString& path, bool* ok) {
  return runTool(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-s"), path}, ok);
}

void writeWav(const QString& path, const std::vector<int16_t>& interleaved, int rate, int channels) {
  QByteArray bytes;
  auto put32 = [&](uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
  auto put16 = [&](uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
  const uint32_t dataBytes = uint32_t(interleaved.size() * 2);
  bytes.append("RIFF");
  put32(36 + dataBytes);
  bytes.append("WAVEfmt ");
  put32(16);
  put16(1);
  put16(uint16_t(channels));
  put32(uint32_t(rate));
  put32(uint32_t(rate * channels * 2));
  put16(uint16_t(channels * 2));
  put16(16);
  bytes.append("data");
  put32(dataBytes);
  bytes.append(reinterpret_cast<const char*>(interleaved.data()), qsizetype(dataBytes));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

}  // namespace vardel::test

// Test helpers for the decoder library: its exports loaded from the program folder, PCM files
// decoded through it, signals to compare, and external tools.
#pragma once

#include "mp3/mpeg_exports.h"
#include "mpegdll/mpegdll.h"
#include "platform/library.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace vardel::test {

// The library's exports, resolved by name from build/Ondravia/mpegdll.dll.
struct MpegLibrary : MpegExports {
  MpegLibrary();
  bool loaded() const { return library.isLoaded() && complete; }

  platform::Library library;
  bool complete = false;
  MpegGetPlaybackStats GetPlaybackStats = nullptr;

  // Opens a file (error code of Open).
  int openFile(const QString& path);
};

// The end byte, read the way the library writes it.
uint8_t loadByte(const uint8_t& byte);
// Waits until the byte turns nonzero; false after `timeoutMs`.
bool waitForByte(const uint8_t& byte, int timeoutMs);

// The outcome of decoding a whole input to a PCM file through the library.
struct Decoded {
  int openError = -1;  // LastError after Open
  int playError = -1;  // LastError after Play (when opened)
  bool ended = false;  // the end byte was set in time
  int length = 0;      // GetLength after Open
  int rate = 0;
  QByteArray pcm;
};
// Opens `path` (or, with `stream`, the same file through the stream callbacks), plays it to a
// PCM file from `startPos`, waits for the end and closes.
Decoded decodeFile(MpegLibrary& mpeg, const QString& path, bool stream = false, bool nonseekable = false,
                   int startPos = 0);

// Samples of 16-bit little-endian PCM.
std::vector<int16_t> samples(const QByteArray& pcm);
// 10*log10(32767^2 / MSE) over the first `count` samples of both (infinity when equal).
double psnr(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t count);
// Root mean square of the samples.
double rms(const std::vector<int16_t>& a);

// Runs a program; its standard output, or an empty array with `ok` false when it failed.
QByteArray runTool(const QString& program, const QStringList& arguments, bool* ok, int timeoutMs = 60000);
// PCM of `path` as decoded by the mpg123 command line (`mpg123 -s`).
QByteArray mpg123Decode(const QString& path, bool* ok);
// Writes a 16-bit PCM WAV file.
void writeWav(const QString& path, const std::vector<int16_t>& interleaved, int rate, int channels);

}  // namespace vardel::test

// TMPEGPlayer, the MPEG player component over the decoder library mpegdll.dll, and TMPEGError.
#pragma once

#include "mpegdll/mpegdll.h"
#include "platform/library.h"
#include "ui/events.h"
#include "ui/timer.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>

namespace vardel {

// An error of the player or of its library. ErrorCode is the library's code (1 to 5), 0 for
// "not loaded", 254 for a missing stream name.
class TMPEGError : public ui::Error {
 public:
  TMPEGError(const QString& message, uint8_t code) : ui::Error(message), ErrorCode(code) {}
  uint8_t ErrorCode;
};

enum class TPlayPriority { Idle, Lowest, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };
enum class TOutputDevice { wavemapper, pcmfile };

// Stream events: "var" parameters are references the handler may change.
using TOpenStreamEvent = std::function<void(bool& Nonseekable, void*& Context)>;
using TCloseStreamEvent = std::function<void(void* Context)>;
using TRestartStreamEvent = std::function<void(void* Context, bool& res)>;
using TGetStreamSizeEvent = std::function<void(void* Context, int32_t& res)>;
using TSeekStreamEvent = std::function<void(void* Context, int32_t numbytes, int32_t MoveMethod, int32_t& res)>;
using TReadStreamEvent = std::function<void(void* Context, void* read_buffer, int32_t nNumberOfBytesToRead,
                                            int32_t& nNumberOfBytesRead, bool& res)>;
using TPosUpdateEvent = std::function<void(int32_t Pos, int32_t Len)>;

// Plays one MPEG audio stream through mpegdll.dll, which it loads at run time (LoadDLL). It
// keeps the play state (opened, playing, paused, ended), turns every error of the library into
// a TMPEGError, and reports position and end of play from its timer PosTimer on the
// user-interface thread. Positions and lengths are the library's unit: whole seconds.
//
// The library holds one player for the whole process. Several components may have it loaded at
// once (each load takes a hold, and the last one to let go ends the player), but they share that
// player: only one of them plays at a time. Every operation runs on the user-interface thread;
// the stream events run on the library's own thread (a handler must not touch widgets, and an
// exception in one is taken as that callback's failure answer).
class TMPEGPlayer : public QObject {
  Q_OBJECT
 public:
  explicit TMPEGPlayer(QObject* owner = nullptr);
  // Stops and closes a stream the library still plays (it would otherwise write its end byte
  // into freed memory), without calling any event; the library stays loaded until the module
  // handle is released with this object.
  ~TMPEGPlayer() override;

  // Stored setting only.
  bool Seekable() const { return seekable_; }
  void setSeekable(bool value) { seekable_ = value; }
  // Open reads through the stream events instead of the file StreamName.
  bool FromStream() const { return fromStream_; }
  void setFromStream(bool value) { fromStream_ = value; }
  // Also set in the library at once when it is loaded.
  TPlayPriority PlayerPriority() const;
  void setPlayerPriority(TPlayPriority value);
  bool UseTimer() const { return useTimer_; }
  void setUseTimer(bool value) { useTimer_ = value; }
  // Milliseconds; 0 also turns UseTimer off. Fixed into PosTimer by LoadDLL.
  int TimerFreq() const { return timerFreq_; }
  void setTimerFreq(int value);
  bool AutoPlay() const { return autoPlay_; }
  void setAutoPlay(bool value) { autoPlay_ = value; }
  // Writing it closes an opened stream (and may raise as Close does).
  QString StreamName() const { return streamName_; }
  void setStreamName(const QString& value);
  // pcmfile holds only when OutFilename was set before; otherwise the wave output.
  TOutputDevice OutputDevice() const { return deviceCode_ != 0 ? TOutputDevice::pcmfile : TOutputDevice::wavemapper; }
  void setOutputDevice(TOutputDevice value);
  QString OutFilename() const { return outFilename_; }
  void setOutFilename(const QString& value) { outFilename_ = value; }
  // Folder of mpegdll.dll; empty: the program folder, then the system's library search.
  QString PathToDLL() const { return pathToDLL_; }
  void setPathToDLL(const QString& value) { pathToDLL_ = value; }
  int StartPos() const { return startPos_; }
  void setStartPos(int value) { startPos_ = value; }
  // 0: to the end of the stream.
  int EndPos() const { return endPos_; }
  void setEndPos(int value) { endPos_ = value; }
  // 1 after Open, +1 at each start of playback, 0 after Close.
  int PlayedXTimes() const { return playedXTimes_; }

  bool IsLoaded() const { return library_.isLoaded(); }
  bool Paused() const { return paused_; }
  int StreamLength() const { return streamLength_; }
  // Read-only views of the rest of the play state.
  bool Opened() const { return opened_; }
  bool Playing() const { return playing_; }
  bool EndReached() const;
  int LastErrorCode() const { return lastErrorCode_; }
  // The path LoadDLL tried last.
  QString DLLPath() const { return dllPath_; }

  void LoadDLL();
  void UnloadDLL();
  void Open();
  void Play();
  // true pauses, false resumes.
  void Pause(bool Value);
  void Stop();
  void Restart();
  void Close();
  void Seek(int Pos);
  int GetPlayerMode();
  int GetCurrentPos();
  int GetLength();
  // Nonzero low byte: the library has left its end-of-play mode.
  int ResetPlayerMode();
  // PosTimer's handler: position report and the end of play.
  virtual void TimerTick(QObject* Sender);

  // Created by LoadDLL, owned by this component; null before.
  ui::Timer* PosTimer() const { return posTimer_; }

  TOpenStreamEvent OnOpenStream;
  TCloseStreamEvent OnCloseStream;
  TRestartStreamEvent OnRestartStream;
  TGetStreamSizeEvent OnGetStreamSize;
  TSeekStreamEvent OnSeekStream;
  TReadStreamEvent OnReadStream;
  TPosUpdateEvent OnPosUpdate;
  ui::NotifyEvent OnPlayEnd;

 private:
  struct Entries;
  [[noreturn]] static void raise(int code);
  // Reads LastError into LastErrorCode and raises a code above 0.
  void check();
  void requireLoaded() const;
  void clearEndReached();
  void startTimer();

  static void streamOpen(void* user, uint8_t* nonseekable, void** context);
  static void streamClose(void* user, void* context);
  static void streamRestart(void* user, void* context, uint8_t* res);
  static void streamRead(void* user, void* context, void* buffer, int32_t bytesToRead, int32_t* bytesRead,
                         uint8_t* res);
  static void streamSeek(void* user, void* context, int32_t numbytes, int32_t moveMethod, int32_t* res);
  static void streamSize(void* user, void* context, int32_t* res);

  platform::Library library_;
  Entries* entries_;
  QPointer<ui::Timer> posTimer_;
  QString dllPath_;

  bool seekable_ = false, fromStream_ = false, useTimer_ = false, autoPlay_ = false;
  int timerFreq_ = 0;
  QString streamName_, outFilename_, pathToDLL_;
  int startPos_ = 0, endPos_ = 0;
  int playedXTimes_ = 0;
  int32_t priorityValue_ = 0;
  int32_t deviceCode_ = 0;
  int streamLength_ = 0;
  int lastErrorCode_ = 0;
  bool opened_ = false, playing_ = false, paused_ = false;
  // Held while a stream event runs on the library's thread.
  std::mutex streamMutex_;
  // Written by the library's thread, read and cleared here: accessed atomically only.
  alignas(4) uint8_t endReached_ = 0;
};

}  // namespace vardel

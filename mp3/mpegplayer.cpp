// The MPEG player component: library binding, play state, errors, position timer, stream events.
#include "mp3/mpegplayer.h"

#include "mp3/mpeg_exports.h"

#include "platform/paths.h"

#include <QFile>

#include <atomic>
#include <mutex>
#include <utility>

namespace vardel {

namespace {

// Indexed by error code.
const char* const kMessages[] = {
    "MPEG library not loaded", "Internal decoder error",       "Incorrect mode",
    "Input stream error",      "Input stream is non-seekable", "Output device failure",
};
constexpr int kNotLoaded = 0;
constexpr int kIncorrectMode = 2;

// Library values of TPlayPriority, in the order of the enumeration.
constexpr int32_t kPriorityValues[] = {-15, -2, -1, 0, 1, 2, 15};

std::atomic_ref<uint8_t> atomicByte(uint8_t& byte) { return std::atomic_ref<uint8_t>(byte); }

// A name as the program forms it ("...\Musica\Ondravia.mp3") for this file system.
QByteArray nativeName(const QString& name) {
  return name.isEmpty() ? QByteArray() : QFile::encodeName(platform::nativePath(name));
}

}  // namespace

// The nineteen exports, looked up in their order.
struct TMPEGPlayer::Entries : MpegExports {};

TMPEGPlayer::TMPEGPlayer(QObject* owner) : QObject(owner), entries_(new Entries) {}

TMPEGPlayer::~TMPEGPlayer() {
  // The library must not call back into this object, nor write its end byte, once it is gone.
  // The stream events go first (under the lock the library's thread holds while it calls
  // one): the owner that bound them may be half destroyed already.
  std::unique_lock events(streamMutex_);
  OnOpenStream = nullptr;
  OnCloseStream = nullptr;
  OnRestartStream = nullptr;
  OnGetStreamSize = nullptr;
  OnSeekStream = nullptr;
  OnReadStream = nullptr;
  events.unlock();
  if (IsLoaded() && (opened_ || playing_)) {
    if (playing_) entries_->Stop();
    entries_->Close();
  }
  delete entries_;
}

void TMPEGPlayer::raise(int code) {
  const QString message = code >= 0 && code <= 5         ? QString::fromLatin1(kMessages[code])
                          : code == MPEGDLL_ERR_PRIORITY ? QStringLiteral("Priority not permitted")
                                                         : QStringLiteral("MPEG library error %1").arg(code);
  throw TMPEGError(message, uint8_t(code));
}

void TMPEGPlayer::check() {
  lastErrorCode_ = entries_->LastError();
  if (lastErrorCode_ > 0) raise(lastErrorCode_);
}

void TMPEGPlayer::requireLoaded() const {
  if (!IsLoaded()) raise(kNotLoaded);
}

bool TMPEGPlayer::EndReached() const { return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(endReached_)).load() != 0; }

void TMPEGPlayer::clearEndReached() { atomicByte(endReached_).store(0); }

TPlayPriority TMPEGPlayer::PlayerPriority() const {
  for (int i = 0; i < 7; ++i)
    if (kPriorityValues[i] == priorityValue_) return TPlayPriority(i);
  return TPlayPriority::Normal;
}

void TMPEGPlayer::setPlayerPriority(TPlayPriority value) {
  const int index = int(value);
  priorityValue_ = index >= 0 && index < 7 ? kPriorityValues[index] : 0;
  if (IsLoaded()) {
    entries_->SetPriority(priorityValue_);
    check();
  }
}

void TMPEGPlayer::setTimerFreq(int value) {
  timerFreq_ = value;
  if (value == 0) useTimer_ = false;
}

void TMPEGPlayer::setStreamName(const QString& value) {
  streamName_ = value;
  if (opened_) Close();
}

void TMPEGPlayer::setOutputDevice(TOutputDevice value) {
  deviceCode_ =
      value == TOutputDevice::pcmfile && !outFilename_.isEmpty() ? MPEGDLL_DEVICE_PCMFILE : MPEGDLL_DEVICE_WAVEMAPPER;
}

void TMPEGPlayer::LoadDLL() {
  if (IsLoaded()) UnloadDLL();  // a second load starts afresh
  QString path = pathToDLL_;
  if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\')) &&
      !path.endsWith(QLatin1Char(':')))
    path += QLatin1Char('/');
  path += QStringLiteral("mpegdll.dll");
  dllPath_ = path;
  if (!library_.load(path)) throw TMPEGError(QStringLiteral("Can't load MPEG library"), 0);
  *entries_ = Entries{};
  if (!entries_->resolve(library_)) {
    library_.free();
    *entries_ = Entries{};
    raise(kNotLoaded);
  }
  if ((entries_->init() & 0xFF) == 0) {
    lastErrorCode_ = entries_->LastError();
    library_.free();
    *entries_ = Entries{};
    raise(lastErrorCode_);
  }
  delete posTimer_;
  posTimer_ = new ui::Timer(this);
  posTimer_->setEnabled(false);
  posTimer_->setInterval(useTimer_ ? timerFreq_ : 0);
  posTimer_->setOnTimer([this](QObject* sender) { TimerTick(sender); });
  streamLength_ = 0;
}

void TMPEGPlayer::UnloadDLL() {
  requireLoaded();
  if (opened_) Close();
  entries_->deinit();
  library_.free();
  *entries_ = Entries{};
}

void TMPEGPlayer::Open() {
  requireLoaded();
  if (opened_) Close();
  opened_ = false;
  if (fromStream_) {
    entries_->Open(nullptr, 1, &streamOpen, &streamClose, &streamRestart, &streamRead, &streamSeek, &streamSize, this);
  } else {
    if (streamName_.isEmpty()) throw TMPEGError(QStringLiteral("Can't play non-specified stream"), 254);
    // The whole name goes to the library, which takes any length.
    const QByteArray name = nativeName(streamName_);
    entries_->Open(name.constData(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  }
  check();
  opened_ = true;
  playedXTimes_ = 1;
  streamLength_ = GetLength();
  if (autoPlay_) Play();
}

void TMPEGPlayer::Play() {
  requireLoaded();
  if (paused_) {
    Pause(false);
    return;
  }
  if (playing_) return;
  if (!opened_) {
    Open();
    if (!opened_) return;
    if (playing_) return;  // AutoPlay has started it
  }
  if (playedXTimes_ > 1) {
    Restart();
    return;
  }
  entries_->SetPriority(priorityValue_);
  check();
  const QByteArray out = nativeName(outFilename_);
  entries_->SetOutputDevice(deviceCode_, out.constData());
  check();
  const int32_t result = entries_->Play(startPos_, endPos_, &endReached_);
  lastErrorCode_ = entries_->LastError();
  if (result != 0 || lastErrorCode_ > 0) raise(lastErrorCode_ > 0 ? lastErrorCode_ : 0);
  playing_ = true;
  ++playedXTimes_;
  startTimer();
}

void TMPEGPlayer::startTimer() {
  if (useTimer_ && posTimer_ && posTimer_->interval() != 0) {
    posTimer_->setEnabled(true);
    TimerTick(posTimer_);
  }
}

void TMPEGPlayer::Restart() {
  requireLoaded();
  if (!opened_) raise(kIncorrectMode);
  clearEndReached();
  entries_->Restart();
  check();
  playing_ = true;
  ++playedXTimes_;
  startTimer();
}

void TMPEGPlayer::Pause(bool Value) {
  requireLoaded();
  if (!playing_ || EndReached()) {
    paused_ = false;
    if (Value) raise(kIncorrectMode);
    return;
  }
  entries_->Pause(Value ? 0 : 1);
  check();
  paused_ = Value;
}

void TMPEGPlayer::Stop() {
  if (!playing_ || EndReached()) raise(kIncorrectMode);
  requireLoaded();
  entries_->Stop();
  check();
  playing_ = false;
  paused_ = false;
}

void TMPEGPlayer::Close() {
  requireLoaded();
  opened_ = false;
  paused_ = false;
  playing_ = false;
  playedXTimes_ = 0;
  entries_->Close();
  check();
}

void TMPEGPlayer::Seek(int Pos) {
  requireLoaded();
  entries_->Seek(Pos);
  check();
}

int TMPEGPlayer::GetPlayerMode() {
  requireLoaded();
  const int result = entries_->GetPlayerMode();
  check();
  return result;
}

int TMPEGPlayer::GetCurrentPos() {
  requireLoaded();
  const int result = entries_->GetCurrentPos();
  check();
  return result;
}

int TMPEGPlayer::GetLength() {
  requireLoaded();
  const int result = entries_->GetLength();
  check();
  return result;
}

int TMPEGPlayer::ResetPlayerMode() {
  requireLoaded();
  if (!EndReached()) return 0;
  const int result = entries_->ResetPlayerMode();
  check();
  playing_ = false;
  return result;
}

void TMPEGPlayer::TimerTick(QObject* /*Sender*/) {
  if (!opened_ || !playing_) {
    if (posTimer_) posTimer_->setEnabled(false);
    return;
  }
  int position = GetCurrentPos();
  if (position > streamLength_) position = 0;
  ui::fire(OnPosUpdate, position, streamLength_);
  if (EndReached()) {
    if (posTimer_) posTimer_->setEnabled(false);
    playing_ = false;
    if (OnPlayEnd) {
      clearEndReached();
      ui::fire(OnPlayEnd, this);
    }
  }
}

// Stream callbacks: each forwards to its event, or gives the failure answer without one. They
// run on the library's thread, so an exception from a handler becomes the failure answer too.

void TMPEGPlayer::streamOpen(void* user, uint8_t* nonseekable, void** context) {
  auto* self = static_cast<TMPEGPlayer*>(user);
  std::unique_lock events = self ? std::unique_lock(self->streamMutex_) : std::unique_lock<std::mutex>();
  if (!self || !self->OnOpenStream) {
    *context = nullptr;
    return;
  }
  bool flag = *nonseekable != 0;
  void* handle = *context;
  try {
    self->OnOpenStream(flag, handle);
  } catch (...) {
    *context = nullptr;
    return;
  }
  *nonseekable = flag ? 1 : 0;
  *context = handle;
}

void TMPEGPlayer::streamClose(void* user, void* context) {
  auto* self = static_cast<TMPEGPlayer*>(user);
  std::unique_lock events = self ? std::unique_lock(self->streamMutex_) : std::unique_lock<std::mutex>();
  if (!self || !self->OnCloseStream) return;
  try {
    self->OnCloseStream(context);
  } catch (...) {
  }
}

void TMPEGPlayer::streamRestart(void* user, void* context, uint8_t* res) {
  auto* self = static_cast<TMPEGPlayer*>(user);
  std::unique_lock events = self ? std::unique_lock(self->streamMutex_) : std::unique_lock<std::mutex>();
  bool result = false;
  if (self && self->OnRestartStream) {
    result = *res != 0;
    try {
      self->OnRestartStream(context, result);
    } catch (...) {
      result = false;
    }
  }
  *res = result ? 1 : 0;
}

void TMPEGPlayer::streamRead(void* user, void* context, void* buffer, int32_t bytesToRead, int32_t* bytesRead,
                             uint8_t* res) {
  auto* self = static_cast<TMPEGPlayer*>(user);
  std::unique_lock events = self ? std::unique_lock(self->streamMutex_) : std::unique_lock<std::mutex>();
  bool result = false;
  if (self && self->OnReadStream) {
    int32_t count = *bytesRead;
    result = *res != 0;
    try {
      self->OnReadStream(context, buffer, bytesToRead, count, result);
      *bytesRead = count;
    } catch (...) {
      result = false;
    }
  }
  *res = result ? 1 : 0;
}

void TMPEGPlayer::streamSeek(void* user, void* context, int32_t numbytes, int32_t moveMethod, int32_t* res) {
  auto* self = static_cast<TMPEGPlayer*>(user);
  std::unique_lock events = self ? std::unique_lock(self->streamMutex_) : std::unique_lock<std::mutex>();
  int32_t result = -1;
  if (self && self->OnSeekStream) {
    result = *res;
    try {
      self->OnSeekStream(context, numbytes, moveMethod, result);
    } catch (...) {
      result = -1;
    }
  }
  *res = result;
}

void TMPEGPlayer::streamSize(void* user, void* context, int32_t* res) {
  auto* self = static_cast<TMPEGPlayer*>(user);
  std::unique_lock events = self ? std::unique_lock(self->streamMutex_) : std::unique_lock<std::mutex>();
  int32_t result = -1;
  if (self && self->OnGetStreamSize) {
    result = *res;
    try {
      self->OnGetStreamSize(context, result);
    } catch (...) {
      result = -1;
    }
  }
  *res = result;
}

}  // namespace vardel

/* The C interface of mpegdll.dll, the MPEG audio decoder library: exports, callbacks, codes. */
#ifndef VARDEL_MPEGDLL_H
#define VARDEL_MPEGDLL_H

#include <stdint.h>

/*
 * One player for the whole process: no function takes a handle. Call init(), then
 * Open, SetOutputDevice, Play, ... from one thread (the caller's user-interface thread); the
 * library decodes and plays on a thread of its own. Every function except LastError sets the
 * code that LastError() then answers (0 = the call succeeded).
 *
 * Units: positions and lengths (Play's StartPos and EndPos, Seek, GetCurrentPos, GetLength)
 * are whole seconds of audio from the beginning of the stream, rounded down. GetLength is
 * exact for every file, constant or variable bit rate: Open scans the whole stream (a
 * non-seekable stream is not scanned; its length is estimated, or 0 when unknown).
 *
 * Booleans passed by address are single bytes: 0 false, nonzero true. Integers are int32_t.
 */

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes answered by LastError(). */
enum {
  MPEGDLL_OK = 0,
  MPEGDLL_ERR_INTERNAL = 1,    /* internal decoder error (also: init failed) */
  MPEGDLL_ERR_MODE = 2,        /* the call is not valid in the player's present mode */
  MPEGDLL_ERR_INPUT = 3,       /* the input cannot be read or is not MPEG audio */
  MPEGDLL_ERR_NONSEEKABLE = 4, /* a seek was asked of a non-seekable input stream */
  MPEGDLL_ERR_OUTPUT = 5,      /* the output device or file cannot be opened or written */
  MPEGDLL_ERR_PRIORITY = 6     /* SetPriority: the level is above what this user may give */
};

/* Player modes answered by GetPlayerMode(). */
enum {
  MPEGDLL_MODE_CLOSED = 0,  /* nothing opened (also before init) */
  MPEGDLL_MODE_OPENED = 1,  /* a stream is open and has not been played */
  MPEGDLL_MODE_STOPPED = 2, /* stopped by Stop(), or the end was taken up by ResetPlayerMode() */
  MPEGDLL_MODE_PLAYING = 3,
  MPEGDLL_MODE_PAUSED = 4,
  MPEGDLL_MODE_ENDED = 5 /* the last sample was played out; the end byte is set */
};

/* Output devices for SetOutputDevice(). */
enum {
  MPEGDLL_DEVICE_WAVEMAPPER = 0, /* the system's default sound output, in real time */
  MPEGDLL_DEVICE_PCMFILE = 2     /* headerless s16le interleaved PCM at the stream's own rate and
                                    channel count, written as fast as decoding goes */
};

/* Stream callbacks (Open with FromStream 1). All are called on the library's own thread, and
 * each receives Open's UserData first. Failure answers: res false, or -1. */
typedef void (*MpegOpenStream)(void* user, uint8_t* nonseekable, void** context);
typedef void (*MpegCloseStream)(void* user, void* context);
typedef void (*MpegRestartStream)(void* user, void* context, uint8_t* res);
typedef void (*MpegReadStream)(void* user, void* context, void* buffer, int32_t bytesToRead, int32_t* bytesRead,
                               uint8_t* res);
/* moveMethod: 0 from the beginning, 1 from the current position, 2 from the end; res := the
 * new position. */
typedef void (*MpegSeekStream)(void* user, void* context, int32_t numbytes, int32_t moveMethod, int32_t* res);
typedef void (*MpegStreamSize)(void* user, void* context, int32_t* res);

/* The nineteen exports, in the order a caller looks them up. */
/* 1 when ready, 0 on failure (LastError says why). Each init takes a hold on the player: two
 * components that have the library loaded at once share it. */
typedef int32_t (*MpegInit)(void);
/* Gives up one hold; the last stops, closes and ends the playback thread. */
typedef void (*MpegDeinit)(void);
typedef int32_t (*MpegOpen)(const char* fileName, int32_t fromStream, MpegOpenStream open, MpegCloseStream close,
                            MpegRestartStream restart, MpegReadStream read, MpegSeekStream seek, MpegStreamSize size,
                            void* user);
typedef int32_t (*MpegPause)(int32_t resume); /* 0 pauses, 1 resumes */
typedef int32_t (*MpegRestart)(void);         /* plays the opened stream again from its beginning */
typedef int32_t (*MpegStop)(void);
/* -15 idle ... 0 normal ... 15 time critical, relative to the calling thread's own priority (the
 * playback thread's nice value becomes the caller's minus this). Every level from idle to normal
 * can be set again at any time, in any order, by any user. A higher one that the system refuses
 * answers MPEGDLL_ERR_PRIORITY, once for the same level: the nearest permitted level applies. */
typedef int32_t (*MpegSetPriority)(int32_t priority);
typedef int32_t (*MpegSetOutputDevice)(int32_t device, const char* fileName);
/* Plays from StartPos to EndPos (0: to the end). When the last sample has been played out the
 * library stores nonzero into *endReached (an atomic byte store). 0 means playback started. */
typedef int32_t (*MpegPlay)(int32_t startPos, int32_t endPos, uint8_t* endReached);
typedef int32_t (*MpegClose)(void);
typedef int32_t (*MpegGetFrequency)(void); /* output sample rate in Hz, 0 when nothing is open */
typedef int32_t (*MpegGetBitrate)(void);   /* bit rate of the current frame in kbit/s */
typedef int32_t (*MpegGetLayer)(void);     /* 1, 2 or 3 */
typedef int32_t (*MpegGetPlayerMode)(void);
typedef int32_t (*MpegGetCurrentPos)(void);
typedef int32_t (*MpegGetLength)(void);
/* Leaves the ended mode (to STOPPED) and answers 1; answers 0 in any other mode. */
typedef int32_t (*MpegResetPlayerMode)(void);
typedef int32_t (*MpegSeek)(int32_t position);
typedef int32_t (*MpegLastError)(void);

/* Not part of the nineteen: figures of the latest playback, for benchmarks and tests. Times are
 * CLOCK_MONOTONIC nanoseconds, 0 when the event has not happened yet. */
typedef struct MpegPlaybackStats {
  int64_t playCalledNs;   /* entry of the latest Play or Restart */
  int64_t firstOutputNs;  /* the first decoded sample of that playback was handed to the output */
  int64_t samplesOut;     /* sample frames handed to the output since then */
  int32_t rate, channels; /* output format */
  char driver[32];        /* the output driver in use ("raw" for pcmfile) */
} MpegPlaybackStats;
typedef void (*MpegGetPlaybackStats)(MpegPlaybackStats* stats);

#ifdef __cplusplus
}
#endif

#endif

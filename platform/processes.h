// Programs started as processes of their own, and the wait until one is ready for the person.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

namespace vardel::platform {

// Starts `program` (a path as the program forms it, see nativePath) as a new process: no
// arguments, this process's current folder and environment, normal priority, a session of its
// own (so a terminal's signals to this program do not reach it), standard input from
// /dev/null, and no open file of this process but standard output and error (so its messages
// go where ours go). Returns its process id, or nothing with the reason in `error`.
std::optional<std::int64_t> startProcess(const QString& program, QString* error = nullptr);

enum class ProcessReady {
  WindowShown,  // it has a top-level window on the screen
  Idle,         // it has been waiting, using no processor time, for kIdleMilliseconds
  Exited,       // it ended (and has been collected)
  TimedOut,     // the time limit given passed first
};

// How long a process started by startProcess must sit idle without showing a window before
// waitUntilReady takes it as ready: a program whose window cannot be seen on this display.
inline constexpr int kIdleMilliseconds = 2000;

// Blocks the calling thread until the process `pid` (a child started by startProcess) is ready
// for input: it shows a window, or sits idle, or it ends; with no time limit unless one is given
// (in milliseconds), for a caller whose display cannot show the process's windows.
ProcessReady waitUntilReady(std::int64_t pid, std::optional<int> limitMilliseconds = std::nullopt);

// Gives up the process `pid` (a child started by startProcess): when it ends, it is collected
// through the event loop of the calling thread, so no defunct process is left behind.
void releaseProcess(std::int64_t pid);

// The state letter and the processor time (user plus system, in clock ticks) read from the
// text of /proc/<pid>/stat; nothing when the text is not such a line.
struct ProcessTimes {
  char state = '?';
  std::uint64_t ticks = 0;
};
std::optional<ProcessTimes> parseProcessStat(QByteArrayView text);

}  // namespace vardel::platform

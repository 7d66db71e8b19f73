// Helpers shared by the widget tests.
#pragma once

#include "tests/support/qt_printers.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

namespace vardel::test {

// Runs the event loop until `done` answers true or `timeoutMs` passes; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Runs the event loop for `ms` milliseconds.
void pump(int ms);

// Writes `bytes` to `folder`/`relative`, creating folders; returns the full path.
QString writeFile(const QString& folder, const QString& relative, const QByteArray& bytes);
// The whole file, empty when it cannot be read.
QByteArray readFile(const QString& path);

// Runs `read` against the pipe `fifo` that nobody writes to; true when it returned by itself.
// Should it block, a watchdog opens the pipe's other end after a generous wait so that the read
// ends, and the test fails instead of hanging.
bool returnsWithoutWaitingOnAPipe(const QString& fifo, const std::function<void()>& read);

}  // namespace vardel::test

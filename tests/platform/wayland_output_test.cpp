// The Wayland compositor's outputs: the size a window may take, and a compositor that fails.
#include "platform/wayland_output.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vardel::platform {
namespace {

TEST(WaylandOutput, TheSmallestOutputCountsTurnedAndDividedByItsScale) {
  EXPECT_EQ(logicalOutputSize({QSize(3840, 2160), 2, 0}), QSize(1920, 1080));
  // Quarter turns, plain (1, 3) or flipped (5, 7), swap the sides; a half turn (2) does not.
  EXPECT_EQ(logicalOutputSize({QSize(2560, 1440), 2, 7}), QSize(720, 1280));
  EXPECT_EQ(logicalOutputSize({QSize(1920, 1080), 1, 2}), QSize(1920, 1080));
  EXPECT_EQ(smallestOutput({{QSize(3840, 2160), 1, 0}, {QSize(), 1, 0}, {QSize(3840, 2160), 2, 0}}), QSize(1920, 1080));
  EXPECT_FALSE(smallestOutput({{QSize(), 1, 0}}));
}

TEST(WaylandOutput, ACompositorThatNeverAnswersIsGivenUp) {
  // A socket that takes the connection and says nothing: an unbounded wait hangs here.
  QTemporaryDir runtime;
  const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
  const auto restore = qScopeGuard([&] {
    savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
    qunsetenv("WAYLAND_DISPLAY");
  });
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray path = QFile::encodeName(runtime.filePath(QStringLiteral("silent-0")));
  ASSERT_LT(std::size_t(path.size()), sizeof address.sun_path);
  qstrcpy(address.sun_path, path.constData());
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
  qputenv("WAYLAND_DISPLAY", "silent-0");
  EXPECT_FALSE(waylandOutputSize());
  ::close(listener);
}

}  // namespace
}  // namespace vardel::platform

// The Wayland compositor's outputs: the size a window may take, and a compositor that fails.
#include "platform/wayland_output.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace vardel::platform {
namespace {

TEST(WaylandOutput, LogicalSizeIsTheModeTurnedAndDividedByTheScale) {
  EXPECT_EQ(logicalOutputSize({QSize(1920, 1080), 1, 0}), QSize(1920, 1080));
  EXPECT_EQ(logicalOutputSize({QSize(3840, 2160), 2, 0}), QSize(1920, 1080));
  // A quarter turn, plain (1, 3) or flipped (5, 7), swaps the sides; a half turn does not.
  EXPECT_EQ(logicalOutputSize({QSize(1920, 1080), 1, 1}), QSize(1080, 1920));
  EXPECT_EQ(logicalOutputSize({QSize(2560, 1440), 2, 7}), QSize(720, 1280));
  EXPECT_EQ(logicalOutputSize({QSize(1920, 1080), 1, 2}), QSize(1920, 1080));
  // A scale the compositor should never send is taken as 1.
  EXPECT_EQ(logicalOutputSize({QSize(1280, 1024), 0, 0}), QSize(1280, 1024));
}

TEST(WaylandOutput, TheSmallestOutputWithAModeCounts) {
  EXPECT_EQ(smallestOutput({{QSize(3840, 2160), 1, 0}, {QSize(1920, 1200), 1, 0}, {QSize(3840, 2160), 2, 0}}),
            QSize(1920, 1080));
  EXPECT_EQ(smallestOutput({{QSize(), 1, 0}, {QSize(1366, 768), 1, 0}}), QSize(1366, 768));
  EXPECT_FALSE(smallestOutput({}));
  EXPECT_FALSE(smallestOutput({{QSize(), 1, 0}}));
}

class WaylandDisplayVariables : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDisplay_ = qgetenv("WAYLAND_DISPLAY");
    savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
  }
  void TearDown() override {
    restore("WAYLAND_DISPLAY", savedDisplay_);
    restore("XDG_RUNTIME_DIR", savedRuntime_);
  }
  static void restore(const char* name, const QByteArray& value) {
    if (value.isNull())
      qunsetenv(name);
    else
      qputenv(name, value);
  }
  QTemporaryDir runtime_;
  QByteArray savedDisplay_;
  QByteArray savedRuntime_;
};

TEST_F(WaylandDisplayVariables, NoCompositorMeansNoSize) {
  qunsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(waylandOutputSize());
  qputenv("WAYLAND_DISPLAY", "nobody-listens");
  EXPECT_FALSE(waylandOutputSize());
}

TEST_F(WaylandDisplayVariables, ACompositorThatNeverAnswersIsGivenUp) {
  // A socket that takes the connection and says nothing: the program must start anyway (an
  // unbounded wait would hang here until the test's time-out).
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray path = QFile::encodeName(runtime_.filePath(QStringLiteral("silent-0")));
  ASSERT_LT(std::size_t(path.size()), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  qputenv("WAYLAND_DISPLAY", "silent-0");
  EXPECT_FALSE(waylandOutputSize());
  ::close(listener);
}

}  // namespace
}  // namespace vardel::platform

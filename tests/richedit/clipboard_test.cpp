// Pasting through the real X clipboard, in a process of its own (clipboard_child) so that a
// crash fails the test instead of ending the runner: with no owner at all, and with owners
// offering a picture only, more text than the control takes, or rich text among odd formats.
#include "tests/support/x_server.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

const QString kChild = QStringLiteral(VARDEL_BINARY_DIR "/tests/clipboard_child");

// The child's own leaks (the X platform's, at exit) are not what these tests look at: under
// the sanitizers they would turn a clean exit into a failed one. Nor are the strict string
// checks: the X keyboard library copies the server's key names with strndup, which needs no
// terminator, and those checks report that as an overflow before the child gets anywhere.
void startChild(QProcess& child, const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
  environment.insert(QStringLiteral("ASAN_OPTIONS"),
                     asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0:strict_string_checks=0");
  child.setProcessEnvironment(environment);
  child.start(kChild, arguments);
}

// Runs the paste program; its one line of output, or a description of how it failed.
QString pasteInChild() {
  QProcess child;
  startChild(child, {QStringLiteral("paste")});
  if (!child.waitForFinished(120000)) return QStringLiteral("did not finish");
  if (child.exitStatus() != QProcess::NormalExit) return QStringLiteral("crashed");
  if (child.exitCode() != 0) return QStringLiteral("exit code %1").arg(child.exitCode());
  return QString::fromUtf8(child.readAllStandardOutput()).trimmed();
}

// A program that owns the clipboard and the primary selection while it lives.
class Owner {
 public:
  explicit Owner(const char* kind) {
    startChild(process_, {QStringLiteral("own"), QString::fromLatin1(kind)});
    QByteArray said;
    while (!said.contains("owned\n") && process_.waitForReadyRead(60000)) said += process_.readAllStandardOutput();
    owns_ = said.contains("owned\n");
  }
  ~Owner() {
    process_.closeWriteChannel();  // the owner ends when its input closes
    if (!process_.waitForFinished(30000)) process_.kill();
    process_.waitForFinished(5000);
  }
  bool owns() const { return owns_; }

 private:
  QProcess process_;
  bool owns_ = false;
};

TEST(XClipboard, PastingWithNoOwnerChangesNothingAndDoesNotCrash) {
  test::XServer x;
  if (!x.running()) GTEST_SKIP() << "no Xvfb";
  // Ctrl+V, Shift+Insert, a middle click and paste(), into "abc".
  EXPECT_EQ(pasteInChild(), "abc");
}

TEST(XClipboard, WhatTheControlCannotTakeIsIgnoredAndRichTextIsPasted) {
  test::XServer x;
  if (!x.running()) GTEST_SKIP() << "no Xvfb";
  for (const auto& [kind, expected] : {std::pair{"image", "abc"}, std::pair{"huge", "abc"},
                                       // four pastes of the rich text: the clipboard three
                                       // times, the primary selection once
                                       std::pair{"odd", "abcrtfrtfrtfrtf"}}) {
    Owner owner(kind);
    ASSERT_TRUE(owner.owns()) << kind;
    EXPECT_EQ(pasteInChild(), expected) << kind;
  }
}

}  // namespace
}  // namespace vardel::platform

// The clipboard-viewer chain: notifications run down the chain, viewers leave it without
// breaking it, and the system clipboard's changes reach it.
#include "platform/clipboard_chain.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vardel::platform {
namespace {

// A viewer that behaves as a well-written window does, and writes down what reached it.
class Viewer : public ClipboardViewer {
 public:
  Viewer(std::vector<int>& log, int id) : log_(log), id_(id) { handle = registerClipboardViewer(this); }
  ~Viewer() override { releaseClipboardViewer(handle); }
  void join() { next = joinClipboardChain(handle); }
  void leave() { ASSERT_TRUE(leaveClipboardChain(handle, next)); }

  void clipboardUpdate() override {
    log_.push_back(id_);
    passClipboardUpdate(next);
  }
  void clipboardChainChange(ViewerHandle removed, ViewerHandle successor) override {
    if (removed == next) {
      next = successor;
    } else {
      passChainChange(next, removed, successor);
    }
  }

  ViewerHandle handle = 0;
  ViewerHandle next = 0;

 private:
  std::vector<int>& log_;
  int id_;
};

class ClipboardChain : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(clipboardChainHead(), 0u) << "a viewer of another test is still in the chain"; }
  std::vector<int> log;
};

TEST_F(ClipboardChain, ViewersJoinAtTheHeadAndLeaveWithoutBreakingTheChain) {
  Viewer a(log, 1), b(log, 2), c(log, 3);
  a.join();
  b.join();
  c.join();
  EXPECT_EQ(c.next, b.handle);
  // Each new viewer hears once on joining, before it knows its next one.
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
  log.clear();
  notifyClipboardChanged();
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1}));
  // From the middle: the viewer before it takes its successor; then the head.
  b.leave();
  EXPECT_EQ(c.next, a.handle);
  c.leave();
  EXPECT_EQ(clipboardChainHead(), a.handle);
  log.clear();
  notifyClipboardChanged();
  EXPECT_EQ(log, (std::vector<int>{1}));
  EXPECT_FALSE(leaveClipboardChain(c.handle, 0)) << "a viewer that has left is no longer in the chain";
  a.leave();
}

TEST_F(ClipboardChain, ReleasedViewersAndCirclesAreNeverReachedForEver) {
  Viewer a(log, 1);
  a.join();
  {
    Viewer gone(log, 9);
    gone.join();
  }
  log.clear();
  notifyClipboardChanged();
  EXPECT_TRUE(log.empty());
  a.join();
  a.next = a.handle;  // names itself as its next one
  log.clear();
  notifyClipboardChanged();
  EXPECT_LE(log.size(), 3u);
  a.next = 0;
  a.leave();
}

TEST_F(ClipboardChain, TheSystemClipboardFeedsTheChain) {
  Viewer a(log, 1);
  a.join();
  log.clear();
  QGuiApplication::clipboard()->setText(QStringLiteral("texto copiado"));
  QCoreApplication::processEvents();
  EXPECT_FALSE(log.empty());
  a.leave();
}

}  // namespace
}  // namespace vardel::platform

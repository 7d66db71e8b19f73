// Tumblo's window: the caption the magazine looks for, keyboard and mouse reaching the game,
// the records it finds in its folder.
#include "content/tumblo/tumblo_window.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace tumblo {
namespace {

TEST(TumbloWindow, HasTheCaptionTheMagazineSearchesFor) {
  QTemporaryDir dir;
  TumbloWindow window(dir.filePath(QStringLiteral("Tumblo.txt")));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Tumblo de ONDRAVIA Magazine"));
  EXPECT_LE(window.width(), 800);
  EXPECT_LE(window.height(), 600);
}

TEST(TumbloWindow, KeysDriveTheGame) {
  QTemporaryDir dir;
  TumbloWindow window(dir.filePath(QStringLiteral("Tumblo.txt")));
  window.show();
  const int x = window.game().current().x;
  QTest::keyClick(&window, Qt::Key_Left);
  EXPECT_EQ(window.game().current().x, x - 1);
  QTest::keyClick(&window, Qt::Key_Right);
  QTest::keyClick(&window, Qt::Key_Right);
  EXPECT_EQ(window.game().current().x, x + 1);
  QTest::keyClick(&window, Qt::Key_Space);
  EXPECT_GT(window.game().score(), 0);
  QTest::keyClick(&window, Qt::Key_P);
  EXPECT_TRUE(window.game().paused());
  QTest::keyClick(&window, Qt::Key_Left);
  QTest::keyClick(&window, Qt::Key_P);
  EXPECT_FALSE(window.game().paused());
  QTest::keyClick(&window, Qt::Key_F2);
  EXPECT_EQ(window.game().score(), 0);
}

TEST(TumbloWindow, MouseClicksTurnAndDropThePiece) {
  QTemporaryDir dir;
  TumbloWindow window(dir.filePath(QStringLiteral("Tumblo.txt")));
  window.show();
  const QPoint inWell(80, 200);
  const int rotation = window.game().current().rotation;
  const bool turns = window.game().current().shape != Shape::O;
  QTest::mouseClick(&window, Qt::LeftButton, {}, inWell);
  if (turns) {
    EXPECT_NE(window.game().current().rotation, rotation);
  }
  QTest::mouseClick(&window, Qt::RightButton, {}, inWell);
  EXPECT_GT(window.game().score(), 0);  // the hard drop paid two points a row
  // Clicks outside the well do nothing to the game.
  const int score = window.game().score();
  QTest::mouseClick(&window, Qt::RightButton, {}, QPoint(window.width() - 5, 5));
  EXPECT_EQ(window.game().score(), score);
}

TEST(TumbloWindow, ReadsTheRecordsOfItsFolder) {
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("Tumblo.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("48300\t9\t87\tIker\n");
  file.close();
  TumbloWindow window(file.fileName());
  ASSERT_EQ(window.scores().records().size(), 1u);
  EXPECT_EQ(window.scores().records()[0].score, 48300);
}

}  // namespace
}  // namespace tumblo

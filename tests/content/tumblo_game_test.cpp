// Tumblo's rules: moves, turns against walls, landing, clearing rows, score, levels, the end.
#include "content/tumblo/game.h"

#include <gtest/gtest.h>

#include <set>

namespace tumblo {
namespace {

// Fills row `y` except the columns in `holes`.
void fillRow(Game& game, int y, std::set<int> holes = {}) {
  for (int x = 0; x < kColumns; ++x) game.setCell(x, y, holes.count(x) ? 0 : 1);
}

// Restarts until the current piece is `shape` (the order depends on the seed only).
Game gameStartingWith(Shape shape) {
  for (std::uint32_t seed = 1;; ++seed) {
    Game game(seed);
    if (game.current().shape == shape) return game;
  }
}

TEST(TumbloShapes, EveryRotationHasFourBlocksAndFourTurnsComeBack) {
  for (int s = 0; s < kShapeCount; ++s) {
    const Shape shape = static_cast<Shape>(s);
    const auto base = shapeCells(shape, 0);
    const auto again = shapeCells(shape, 4);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(base[i].x, again[i].x);
      EXPECT_EQ(base[i].y, again[i].y);
    }
    for (int r = 0; r < 4; ++r) {
      std::set<std::pair<int, int>> distinct;
      for (const Cell& c : shapeCells(shape, r)) {
        EXPECT_GE(c.x, 0);
        EXPECT_LT(c.x, 4);
        distinct.insert({c.x, c.y});
      }
      EXPECT_EQ(distinct.size(), 4u) << s << " rotation " << r;
    }
  }
  // The I piece lies flat, then stands upright.
  const auto flat = shapeCells(Shape::I, 0), upright = shapeCells(Shape::I, 1);
  EXPECT_TRUE(flat[0].y == flat[3].y && flat[0].x != flat[3].x);
  EXPECT_TRUE(upright[0].x == upright[3].x && upright[0].y != upright[3].y);
}

TEST(TumbloScore, LinesPayMoreTogetherAndLevelsMultiply) {
  EXPECT_EQ(linePoints(0, 1), 0);
  EXPECT_EQ(linePoints(1, 1), 100);
  EXPECT_EQ(linePoints(2, 1), 300);
  EXPECT_EQ(linePoints(3, 1), 500);
  EXPECT_EQ(linePoints(4, 1), 800);
  EXPECT_EQ(linePoints(4, 3), 2400);
  EXPECT_GT(fallInterval(1), fallInterval(2));
  EXPECT_GE(fallInterval(50), 90);  // never faster than a person can see
}

TEST(TumbloGame, PiecesComeInBagsOfAllSeven) {
  Game game(7);
  std::set<Shape> first;
  for (int i = 0; i < 7; ++i) {
    first.insert(game.current().shape);
    game.hardDrop();
    if (game.over()) game.restart(7);
  }
  EXPECT_EQ(first.size(), 7u);
}

TEST(TumbloGame, MovesStopAtTheWalls) {
  Game game = gameStartingWith(Shape::O);
  int steps = 0;
  while (game.moveLeft()) ++steps;
  EXPECT_EQ(steps, 4);  // the O starts with its blocks in columns 4 and 5
  EXPECT_FALSE(game.moveLeft());
  game.moveTowards(8);
  int rightmost = 0;
  for (const Cell& c : game.current().cells()) rightmost = std::max(rightmost, c.x);
  EXPECT_EQ(rightmost, kColumns - 1);
}

TEST(TumbloGame, TurningAgainstAWallNudgesThePieceInside) {
  Game game = gameStartingWith(Shape::I);
  ASSERT_TRUE(game.rotate());  // upright
  while (game.moveRight()) {
  }
  ASSERT_TRUE(game.rotate());  // flat again: must step away from the wall to fit
  for (const Cell& c : game.current().cells()) {
    EXPECT_GE(c.x, 0);
    EXPECT_LT(c.x, kColumns);
  }
}

TEST(TumbloGame, HardDropLandsClearsRowsAndScores) {
  Game game = gameStartingWith(Shape::I);
  // Four rows full but for column 9; an upright I piece there makes a tumblo.
  for (int y = kRows - 4; y < kRows; ++y) fillRow(game, y, {9});
  game.setCell(0, kRows - 5, 1);  // one block above, which must fall four rows
  ASSERT_TRUE(game.rotate());
  game.moveTowards(9);
  int column = -1;
  for (const Cell& c : game.current().cells()) column = c.x;
  ASSERT_EQ(column, 9);
  const int rows = game.hardDrop();
  EXPECT_GT(rows, 0);
  EXPECT_EQ(game.lastCleared(), 4);
  EXPECT_EQ(game.lines(), 4);
  EXPECT_EQ(game.score(), 2 * rows + 800);
  EXPECT_EQ(game.cell(0, kRows - 1), 1);  // the lone block came down
  for (int x = 1; x < kColumns; ++x) EXPECT_EQ(game.cell(x, kRows - 1), 0);
  EXPECT_FALSE(game.over());
}

TEST(TumbloGame, TenLinesRaiseTheLevel) {
  Game game(3);
  for (int round = 0; round < 10; ++round) {
    for (int y = 0; y < kRows; ++y) fillRow(game, y, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    // In an empty well the piece lands on the bottom row: fill that row around its blocks.
    std::set<int> holes;
    for (const Cell& c : game.ghost().cells()) {
      if (c.y == kRows - 1) holes.insert(c.x);
    }
    ASSERT_FALSE(holes.empty());
    fillRow(game, kRows - 1, holes);
    const int before = game.lines();
    game.hardDrop();
    ASSERT_EQ(game.lines(), before + 1);
    EXPECT_EQ(game.level(), round < 9 ? 1 : 2);
  }
  EXPECT_EQ(game.lines(), 10);
  EXPECT_EQ(game.level(), 2);
}

TEST(TumbloGame, SoftDropAndGravityMoveDownAndLand) {
  Game game(5);
  const int y = game.current().y;
  EXPECT_TRUE(game.softDrop());
  EXPECT_EQ(game.current().y, y + 1);
  EXPECT_EQ(game.score(), 1);
  game.tick();
  EXPECT_EQ(game.current().y, y + 2);
  EXPECT_EQ(game.score(), 1);  // gravity gives no points
  // Ticking long enough lands the piece and brings the next one.
  const Shape next = game.next();
  for (int i = 0; i < kRows + 2; ++i) game.tick();
  EXPECT_EQ(game.current().shape, next);
}

TEST(TumbloGame, PauseFreezesEverything) {
  Game game(9);
  game.setPaused(true);
  const Piece before = game.current();
  EXPECT_FALSE(game.moveLeft());
  EXPECT_FALSE(game.rotate());
  EXPECT_EQ(game.hardDrop(), 0);
  game.tick();
  EXPECT_EQ(game.current().y, before.y);
  game.setPaused(false);
  EXPECT_TRUE(game.softDrop());
}

TEST(TumbloGame, AFullWellEndsTheGameAndRestartEmptiesIt) {
  Game game(11);
  for (int i = 0; i < 200 && !game.over(); ++i) game.hardDrop();
  ASSERT_TRUE(game.over());
  EXPECT_FALSE(game.moveLeft());
  game.setPaused(true);
  EXPECT_FALSE(game.paused());  // a finished game cannot be paused
  game.restart(12);
  EXPECT_FALSE(game.over());
  EXPECT_EQ(game.score(), 0);
  EXPECT_EQ(game.level(), 1);
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) EXPECT_EQ(game.cell(x, y), 0);
  }
}

}  // namespace
}  // namespace tumblo

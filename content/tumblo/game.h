// The rules of Tumblo: a well of 10x20 cells, falling pieces of four blocks, rows that clear,
// score and levels. No drawing and no timers here: the window drives it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tumblo {

inline constexpr int kColumns = 10;
inline constexpr int kRows = 20;
inline constexpr int kLinesPerLevel = 10;

// The seven pieces; the value + 1 is what a cell of the well holds once the piece lands.
enum class Shape : std::uint8_t { I, O, T, S, Z, J, L };
inline constexpr int kShapeCount = 7;

struct Cell {
  int x, y;  // column from the left, row from the top
};

// A piece in the well: its shape, rotation (0..3) and the position of its 4x4 frame.
struct Piece {
  Shape shape;
  int rotation;
  int x, y;
  std::array<Cell, 4> cells() const;  // absolute cells in the well
};

// The four blocks of `shape` in rotation `rotation`, inside a 4x4 frame.
std::array<Cell, 4> shapeCells(Shape shape, int rotation);

// Points for clearing `lines` rows at once on `level`: 100, 300, 500 or 800 times the level.
int linePoints(int lines, int level);

// Milliseconds a piece waits before falling one row on `level` (1 is the slowest).
int fallInterval(int level);

class Game {
 public:
  // `seed` chooses the order of pieces, so a game can be replayed in tests.
  explicit Game(std::uint32_t seed = 1);

  // Starts over: empty well, score 0, level 1, a new piece at the top.
  void restart(std::uint32_t seed);

  // Player moves; each returns true when the piece moved. Nothing moves when the game is
  // over or paused.
  bool moveLeft();
  bool moveRight();
  // Turns clockwise, nudging the piece sideways up to two cells when a wall is in the way.
  bool rotate();
  // One row down by the player's hand: one point. Lands the piece if it cannot go down.
  bool softDrop();
  // Straight to the bottom: two points a row; lands the piece. Returns the rows fallen.
  int hardDrop();
  // Moves the piece towards `column` (its left edge) as far as the well lets it.
  void moveTowards(int column);

  // One step of gravity: the piece falls a row, or lands when it cannot.
  void tick();

  void setPaused(bool paused);
  bool paused() const { return paused_; }
  bool over() const { return over_; }

  int score() const { return score_; }
  int level() const { return level_; }
  int lines() const { return lines_; }
  // Rows cleared by the last landing (0 to 4), for the window's effects.
  int lastCleared() const { return lastCleared_; }

  const Piece& current() const { return current_; }
  Shape next() const { return next_; }
  // Where the current piece would land: the same piece, lower.
  Piece ghost() const;
  // 0 for an empty cell, else the landed shape + 1.
  int cell(int x, int y) const { return well_[y * kColumns + x]; }
  // Fills a cell directly (for tests and for replaying a position).
  void setCell(int x, int y, int value) { well_[y * kColumns + x] = std::uint8_t(value); }

 private:
  bool fits(const Piece& piece) const;
  bool tryMove(int dx, int dy);
  void land();
  void spawn();
  Shape draw();

  std::vector<std::uint8_t> well_;
  Piece current_{};
  Shape next_{};
  std::vector<Shape> bag_;
  std::uint32_t random_ = 1;
  int score_ = 0;
  int level_ = 1;
  int lines_ = 0;
  int lastCleared_ = 0;
  bool over_ = false;
  bool paused_ = false;
};

}  // namespace tumblo

// Tumblo's rules.
#include "content/tumblo/game.h"

#include <algorithm>

namespace tumblo {
namespace {

// Blocks of each shape in rotation 0, inside a 4x4 frame; other rotations turn the frame.
constexpr Cell kBase[kShapeCount][4] = {
    {{0, 1}, {1, 1}, {2, 1}, {3, 1}},  // I
    {{1, 0}, {2, 0}, {1, 1}, {2, 1}},  // O
    {{1, 0}, {0, 1}, {1, 1}, {2, 1}},  // T
    {{1, 0}, {2, 0}, {0, 1}, {1, 1}},  // S
    {{0, 0}, {1, 0}, {1, 1}, {2, 1}},  // Z
    {{0, 0}, {0, 1}, {1, 1}, {2, 1}},  // J
    {{2, 0}, {0, 1}, {1, 1}, {2, 1}},  // L
};

std::uint32_t nextRandom(std::uint32_t& state) {
  // xorshift32: small, fast and the same on every machine.
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

}  // namespace

std::array<Cell, 4> shapeCells(Shape shape, int rotation) {
  std::array<Cell, 4> cells{};
  const int s = static_cast<int>(shape);
  // The I piece turns in its 4x4 frame, the O does not turn, the rest turn in a 3x3 frame.
  const int size = shape == Shape::I ? 4 : 3;
  for (int i = 0; i < 4; ++i) {
    Cell c = kBase[s][i];
    if (shape != Shape::O) {
      for (int r = 0; r < ((rotation % 4) + 4) % 4; ++r) c = {size - 1 - c.y, c.x};
    }
    cells[size_t(i)] = c;
  }
  return cells;
}

std::array<Cell, 4> Piece::cells() const {
  std::array<Cell, 4> out = shapeCells(shape, rotation);
  for (Cell& c : out) {
    c.x += x;
    c.y += y;
  }
  return out;
}

int linePoints(int lines, int level) {
  static constexpr int kPoints[] = {0, 100, 300, 500, 800};
  return kPoints[std::clamp(lines, 0, 4)] * level;
}

int fallInterval(int level) { return std::max(90, 800 - (level - 1) * 75); }

Game::Game(std::uint32_t seed) { restart(seed); }

void Game::restart(std::uint32_t seed) {
  well_.assign(kColumns * kRows, 0);
  bag_.clear();
  random_ = seed ? seed : 0x9E3779B9U;
  score_ = 0;
  level_ = 1;
  lines_ = 0;
  lastCleared_ = 0;
  over_ = false;
  paused_ = false;
  next_ = draw();
  spawn();
}

Shape Game::draw() {
  // Seven-piece bags: every shape comes once in each run of seven, so no drought lasts long.
  if (bag_.empty()) {
    for (int i = 0; i < kShapeCount; ++i) bag_.push_back(static_cast<Shape>(i));
    for (int i = kShapeCount - 1; i > 0; --i) std::swap(bag_[size_t(i)], bag_[nextRandom(random_) % (i + 1)]);
  }
  const Shape s = bag_.back();
  bag_.pop_back();
  return s;
}

void Game::spawn() {
  current_ = {next_, 0, 3, 0};
  next_ = draw();
  if (!fits(current_)) over_ = true;
}

bool Game::fits(const Piece& piece) const {
  for (const Cell& c : piece.cells()) {
    if (c.x < 0 || c.x >= kColumns || c.y >= kRows) return false;
    if (c.y >= 0 && cell(c.x, c.y) != 0) return false;
  }
  return true;
}

bool Game::tryMove(int dx, int dy) {
  if (over_ || paused_) return false;
  Piece moved = current_;
  moved.x += dx;
  moved.y += dy;
  if (!fits(moved)) return false;
  current_ = moved;
  return true;
}

bool Game::moveLeft() { return tryMove(-1, 0); }
bool Game::moveRight() { return tryMove(1, 0); }

bool Game::rotate() {
  if (over_ || paused_ || current_.shape == Shape::O) return false;
  Piece turned = current_;
  turned.rotation = (turned.rotation + 1) % 4;
  for (int kick : {0, -1, 1, -2, 2}) {
    Piece candidate = turned;
    candidate.x += kick;
    if (fits(candidate)) {
      current_ = candidate;
      return true;
    }
  }
  return false;
}

bool Game::softDrop() {
  if (over_ || paused_) return false;
  if (tryMove(0, 1)) {
    score_ += 1;
    return true;
  }
  land();
  return false;
}

int Game::hardDrop() {
  if (over_ || paused_) return 0;
  int rows = 0;
  while (tryMove(0, 1)) ++rows;
  score_ += 2 * rows;
  land();
  return rows;
}

void Game::moveTowards(int column) {
  while (current_.x < column && moveRight()) {
  }
  while (current_.x > column && moveLeft()) {
  }
}

void Game::tick() {
  if (over_ || paused_) return;
  if (!tryMove(0, 1)) land();
}

void Game::setPaused(bool paused) { paused_ = paused && !over_; }

Piece Game::ghost() const {
  Piece g = current_;
  while (true) {
    Piece lower = g;
    ++lower.y;
    if (!fits(lower)) return g;
    g = lower;
  }
}

void Game::land() {
  for (const Cell& c : current_.cells()) {
    // A block above the top edge means the well has overflowed.
    if (c.y < 0) {
      over_ = true;
      continue;
    }
    setCell(c.x, c.y, static_cast<int>(current_.shape) + 1);
  }
  int cleared = 0;
  for (int y = kRows - 1; y >= 0;) {
    bool full = true;
    for (int x = 0; x < kColumns && full; ++x) full = cell(x, y) != 0;
    if (!full) {
      --y;
      continue;
    }
    ++cleared;
    std::move_backward(well_.begin(), well_.begin() + y * kColumns, well_.begin() + (y + 1) * kColumns);
    std::fill(well_.begin(), well_.begin() + kColumns, 0);
  }
  lastCleared_ = cleared;
  score_ += linePoints(cleared, level_);
  lines_ += cleared;
  level_ = 1 + lines_ / kLinesPerLevel;
  if (!over_) spawn();
}

}  // namespace tumblo

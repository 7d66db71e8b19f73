// Tumblo's window: the well, the next piece, score, level, lines, records and the controls for
// keyboard and mouse.
#pragma once

#include "content/tumblo/game.h"
#include "content/tumblo/scores.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace tumblo {

// The caption by which the magazine finds the game again.
inline const char* const kCaption = "Tumblo de ONDRAVIA Magazine";

class TumbloWindow : public QWidget {
  Q_OBJECT

 public:
  // `scoresPath` is the records file (in the game's folder).
  explicit TumbloWindow(QString scoresPath, QWidget* parent = nullptr);

  const Game& game() const { return game_; }
  const Scores& scores() const { return scores_; }

  // Starts a new game with a fresh piece order.
  void newGame();
  void togglePause();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void step();
  // Runs after every move: notices landings, level changes and the end of the game.
  void afterMove();
  void gameOver();
  void updatePanel();
  QRect wellRect() const;

  Game game_;
  Scores scores_;
  QString scoresPath_;
  QTimer gravity_;
  QString banner_;  // a word shown over the well for a moment ("¡TUMBLO!", "Nivel 3")
  QElapsedTimer bannerAge_;
  int shownLevel_ = 1;
  int landedLines_ = 0;
  bool recorded_ = false;  // the end of this game has been handled
  bool saveFailed_ = false;
  QLabel* scoreLabel_;
  QLabel* levelLabel_;
  QLabel* linesLabel_;
  QLabel* recordsLabel_;
  QLabel* statusLabel_;
  QPushButton* pauseButton_;
};

}  // namespace tumblo

// Drawing and input of Tumblo's window.
#include "content/tumblo/tumblo_window.h"

#include <QDateTime>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace tumblo {
namespace {

constexpr int kCell = 24;
constexpr QPoint kWellOrigin{18, 52};
constexpr int kPanelLeft = kWellOrigin.x() + kColumns * kCell + 22;
constexpr int kBannerMs = 1300;

QColor shapeColor(int value) {
  static const QColor colors[] = {QColor(60, 190, 230), QColor(250, 206, 40), QColor(170, 80, 200),
                                  QColor(110, 200, 80), QColor(230, 70, 60),  QColor(60, 100, 220),
                                  QColor(245, 140, 40)};
  return colors[(value - 1) % kShapeCount];
}

void drawBlock(QPainter& p, const QRect& r, const QColor& color) {
  p.fillRect(r, color);
  p.setPen(color.lighter(150));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(color.darker(170));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
  p.fillRect(r.adjusted(5, 5, -5, -5), color.lighter(112));
}

QLabel* panelLabel(QWidget* parent, const QString& text, int pixelSize, bool bold, const QColor& color) {
  auto* label = new QLabel(text, parent);
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

}  // namespace

TumbloWindow::TumbloWindow(QString scoresPath, QWidget* parent)
    : QWidget(parent), game_(std::uint32_t(QDateTime::currentMSecsSinceEpoch())), scoresPath_(std::move(scoresPath)) {
  setWindowTitle(QString::fromLatin1(kCaption));
  setFixedSize(kPanelLeft + 178, kWellOrigin.y() + kRows * kCell + 18);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(30, 34, 70));
  setPalette(pal);
  setAutoFillBackground(true);
  scores_ = Scores::load(scoresPath_);

  const QColor light(240, 232, 200), gold(236, 196, 104);
  auto* info = new QWidget(this);
  info->setGeometry(kPanelLeft, 150, 170, 132);
  auto* infoLayout = new QVBoxLayout(info);
  infoLayout->setContentsMargins(0, 0, 0, 0);
  infoLayout->setSpacing(0);
  infoLayout->addWidget(panelLabel(info, QStringLiteral("PUNTOS"), 11, true, gold));
  scoreLabel_ = panelLabel(info, QString(), 22, true, light);
  infoLayout->addWidget(scoreLabel_);
  infoLayout->addWidget(panelLabel(info, QStringLiteral("NIVEL"), 11, true, gold));
  levelLabel_ = panelLabel(info, QString(), 18, true, light);
  infoLayout->addWidget(levelLabel_);
  infoLayout->addWidget(panelLabel(info, QStringLiteral("FILAS"), 11, true, gold));
  linesLabel_ = panelLabel(info, QString(), 18, true, light);
  infoLayout->addWidget(linesLabel_);

  auto* newButton = new QPushButton(QStringLiteral("Nueva partida (F2)"), this);
  newButton->setGeometry(kPanelLeft, 290, 160, 26);
  newButton->setFocusPolicy(Qt::NoFocus);
  connect(newButton, &QPushButton::clicked, this, &TumbloWindow::newGame);
  pauseButton_ = new QPushButton(QStringLiteral("Pausa (P)"), this);
  pauseButton_->setGeometry(kPanelLeft, 322, 160, 26);
  pauseButton_->setFocusPolicy(Qt::NoFocus);
  connect(pauseButton_, &QPushButton::clicked, this, &TumbloWindow::togglePause);

  recordsLabel_ = panelLabel(this, QString(), 11, false, light);
  recordsLabel_->setGeometry(kPanelLeft, 358, 170, 150);
  recordsLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  recordsLabel_->setTextFormat(Qt::RichText);
  statusLabel_ = panelLabel(this, QString(), 10, false, QColor(190, 190, 210));
  statusLabel_->setGeometry(kPanelLeft, 506, 170, 54);
  statusLabel_->setWordWrap(true);
  statusLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  gravity_.setSingleShot(false);
  connect(&gravity_, &QTimer::timeout, this, &TumbloWindow::step);
  newGame();
}

QRect TumbloWindow::wellRect() const { return {kWellOrigin, QSize(kColumns * kCell, kRows * kCell)}; }

void TumbloWindow::newGame() {
  game_.restart(std::uint32_t(QDateTime::currentMSecsSinceEpoch()) | 1U);
  shownLevel_ = 1;
  landedLines_ = 0;
  recorded_ = false;
  banner_.clear();
  gravity_.start(fallInterval(1));
  pauseButton_->setText(QStringLiteral("Pausa (P)"));
  updatePanel();
  update();
}

void TumbloWindow::togglePause() {
  if (game_.over()) return;
  game_.setPaused(!game_.paused());
  pauseButton_->setText(game_.paused() ? QStringLiteral("Seguir (P)") : QStringLiteral("Pausa (P)"));
  update();
}

void TumbloWindow::step() {
  game_.tick();
  afterMove();
}

void TumbloWindow::afterMove() {
  if (game_.lines() != landedLines_) {
    const int cleared = game_.lines() - landedLines_;
    landedLines_ = game_.lines();
    if (cleared >= 4) {
      banner_ = QStringLiteral("¡TUMBLO!");
      bannerAge_.start();
    }
  }
  if (game_.level() != shownLevel_) {
    shownLevel_ = game_.level();
    banner_ = QStringLiteral("¡Nivel %1!").arg(shownLevel_);
    bannerAge_.start();
    gravity_.setInterval(fallInterval(shownLevel_));
  }
  if (game_.over() && !recorded_) gameOver();
  updatePanel();
  update();
}

void TumbloWindow::gameOver() {
  recorded_ = true;
  gravity_.stop();
  update();
  if (!scores_.qualifies(game_.score())) return;
  bool ok = false;
  const QString name =
      QInputDialog::getText(this, QString::fromLatin1(kCaption), QStringLiteral("¡Nuevo récord! Escribe tu nombre:"),
                            QLineEdit::Normal, QString(), &ok);
  scores_.add({ok ? name : QString(), game_.score(), game_.level(), game_.lines()});
  saveFailed_ = !scores_.save(scoresPath_);
}

void TumbloWindow::updatePanel() {
  scoreLabel_->setText(QString::number(game_.score()));
  levelLabel_->setText(QString::number(game_.level()));
  linesLabel_->setText(QString::number(game_.lines()));
  QString table = QStringLiteral("<b><font color=\"#ECC468\">RÉCORDS</font></b><br>");
  if (scores_.records().empty()) table += QStringLiteral("<i>Todavía ninguno.</i>");
  int place = 1;
  for (const Record& r : scores_.records()) {
    table += QStringLiteral("%1. %2 &nbsp;<b>%3</b><br>").arg(place++).arg(r.name.toHtmlEscaped()).arg(r.score);
  }
  recordsLabel_->setText(table);
  statusLabel_->setText(
      saveFailed_ ? QStringLiteral("Esta carpeta es de solo lectura: los récords durarán lo que dure la partida.")
                  : QStringLiteral(
                        "← → mover · ↑ girar · ↓ bajar · espacio: caer · ratón: mover, clic girar, clic derecho caer"));
}

void TumbloWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
      game_.moveLeft();
      break;
    case Qt::Key_Right:
      game_.moveRight();
      break;
    case Qt::Key_Up:
      game_.rotate();
      break;
    case Qt::Key_Down:
      game_.softDrop();
      break;
    case Qt::Key_Space:
      game_.hardDrop();
      break;
    case Qt::Key_P:
    case Qt::Key_Escape:
      togglePause();
      break;
    case Qt::Key_F2:
      newGame();
      return;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  afterMove();
}

void TumbloWindow::mouseMoveEvent(QMouseEvent* event) {
  const QRect well = wellRect();
  if (!well.contains(event->position().toPoint())) return;
  // The piece's middle follows the pointer's column.
  const int column = (event->position().toPoint().x() - well.left()) / kCell;
  int minX = 4, maxX = 0;
  for (const Cell& c : shapeCells(game_.current().shape, game_.current().rotation)) {
    minX = std::min(minX, c.x);
    maxX = std::max(maxX, c.x);
  }
  game_.moveTowards(column - (minX + maxX) / 2);
  update();
}

void TumbloWindow::mousePressEvent(QMouseEvent* event) {
  if (!wellRect().contains(event->position().toPoint())) return;
  if (game_.over()) {
    newGame();
    return;
  }
  if (event->button() == Qt::LeftButton)
    game_.rotate();
  else if (event->button() == Qt::RightButton)
    game_.hardDrop();
  afterMove();
}

void TumbloWindow::wheelEvent(QWheelEvent* event) {
  if (event->angleDelta().y() < 0)
    game_.softDrop();
  else if (event->angleDelta().y() > 0)
    game_.rotate();
  afterMove();
}

void TumbloWindow::focusOutEvent(QFocusEvent* event) {
  // Leaving the window (for the magazine, say) pauses the game instead of losing it.
  if (!game_.paused() && !game_.over() && !isMinimized() && event->reason() == Qt::ActiveWindowFocusReason) {
    togglePause();
  }
  QWidget::focusOutEvent(event);
}

void TumbloWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  // Title.
  QFont title(QStringLiteral("Liberation Serif"));
  title.setPixelSize(30);
  title.setBold(true);
  title.setLetterSpacing(QFont::AbsoluteSpacing, 4);
  p.setFont(title);
  p.setPen(QColor(236, 196, 104));
  p.drawText(QRect(0, 6, width(), 38), Qt::AlignCenter, QStringLiteral("¡TUMBLO!"));

  // The well.
  const QRect well = wellRect();
  QLinearGradient ground(well.topLeft(), well.bottomLeft());
  ground.setColorAt(0, QColor(12, 16, 40));
  ground.setColorAt(1, QColor(28, 24, 60));
  p.fillRect(well, ground);
  p.setPen(QColor(255, 255, 255, 18));
  for (int x = 1; x < kColumns; ++x)
    p.drawLine(well.left() + x * kCell, well.top(), well.left() + x * kCell, well.bottom());
  for (int y = 1; y < kRows; ++y) p.drawLine(well.left(), well.top() + y * kCell, well.right(), well.top() + y * kCell);
  const auto cellRect = [&](int x, int y) {
    return QRect(well.left() + x * kCell, well.top() + y * kCell, kCell - 1, kCell - 1);
  };
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) {
      if (game_.cell(x, y)) drawBlock(p, cellRect(x, y), shapeColor(game_.cell(x, y)));
    }
  }
  if (!game_.over()) {
    const int value = static_cast<int>(game_.current().shape) + 1;
    p.setPen(QPen(shapeColor(value), 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    for (const Cell& c : game_.ghost().cells()) {
      if (c.y >= 0) p.drawRect(cellRect(c.x, c.y).adjusted(1, 1, -1, -1));
    }
    for (const Cell& c : game_.current().cells()) {
      if (c.y >= 0) drawBlock(p, cellRect(c.x, c.y), shapeColor(value));
    }
  }
  p.setPen(QPen(QColor(236, 196, 104), 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(well.adjusted(-2, -2, 1, 1));

  // Next piece.
  QFont small(QStringLiteral("Liberation Sans"));
  small.setPixelSize(11);
  small.setBold(true);
  p.setFont(small);
  p.setPen(QColor(236, 196, 104));
  p.drawText(QRect(kPanelLeft, 52, 160, 16), Qt::AlignLeft, QStringLiteral("SIGUIENTE"));
  const QRect box(kPanelLeft, 70, 110, 72);
  p.fillRect(box, QColor(12, 16, 40));
  p.setPen(QColor(236, 196, 104));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  const int value = static_cast<int>(game_.next()) + 1;
  for (const Cell& c : shapeCells(game_.next(), 0)) {
    drawBlock(p, QRect(box.left() + 14 + c.x * 20, box.top() + 16 + c.y * 20, 19, 19), shapeColor(value));
  }

  // Words over the well.
  QString overlay;
  if (game_.over())
    overlay = QStringLiteral("FIN DE LA PARTIDA\n\nF2 o clic para jugar otra");
  else if (game_.paused())
    overlay = QStringLiteral("PAUSA\n\nP para seguir");
  else if (!banner_.isEmpty() && bannerAge_.isValid() && bannerAge_.elapsed() < kBannerMs)
    overlay = banner_;
  if (!overlay.isEmpty()) {
    p.fillRect(QRect(well.left(), well.center().y() - 50, well.width(), 100), QColor(0, 0, 0, 150));
    QFont big(QStringLiteral("Liberation Sans"));
    big.setPixelSize(overlay.contains(QLatin1Char('\n')) ? 18 : 30);
    big.setBold(true);
    p.setFont(big);
    p.setPen(QColor(255, 236, 140));
    p.drawText(QRect(well.left(), well.center().y() - 50, well.width(), 100), Qt::AlignCenter, overlay);
  }
}

}  // namespace tumblo

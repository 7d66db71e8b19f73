// The plain controls the editor window is made of beyond the rich-text control: a panel with a
// bevelled frame and a caption, a bevel line, a tool bar strip, a status bar with fixed panels,
// a spinner tied to an edit box, and the ruler's indent markers.
#pragma once

#include "ui/colors.h"
#include "ui/controls.h"

#include <QBasicTimer>
#include <QString>
#include <QVector>
#include <QWidget>

class QLineEdit;

namespace vardel {

enum class BevelCut { bvNone, bvLowered, bvRaised };

// A panel as the window definitions describe it: an outer bevel, a border of its own colour,
// an inner bevel, then its colour and its caption on one line, vertically centred, with tabs
// expanded to every eight average character widths of its font.
class TPanel : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ caption)
 public:
  explicit TPanel(QWidget* parent);

  QString caption() const { return caption_; }
  void setCaption(const QString& text);
  ui::Color color() const { return color_; }
  void setColor(ui::Color color);
  void setFontColor(ui::Color color);
  void setBevels(BevelCut outer, BevelCut inner, int borderWidth);
  void setCaptionAlignment(Qt::Alignment horizontal);
  // The rectangle inside the bevels and the border, where the caption is drawn.
  QRect captionRect() const;
  // The caption's tab stop distance in pixels (eight average character widths).
  qreal tabStop() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  ui::Color color_ = ui::clBtnFace;
  ui::Color fontColor_ = ui::clWindowText;
  BevelCut outer_ = BevelCut::bvRaised;
  BevelCut inner_ = BevelCut::bvNone;
  int borderWidth_ = 0;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
};

// A lowered line along the top edge: shadow above, highlight below.
class TBevelLine : public QWidget {
  Q_OBJECT
 public:
  explicit TBevelLine(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A flat tool bar: its colour, an etched edge along the top, and items placed from the inside
// of its border (`innerOrigin`). Dividers are etched vertical lines in the middle of the room
// given to them; separators are plain room.
class TToolBar : public QWidget {
  Q_OBJECT
 public:
  explicit TToolBar(QWidget* parent, ui::Color color, int borderWidth);

  // Where an item at (x, y) of the tool bar's layout goes, in this widget's coordinates.
  QPoint innerOrigin() const { return {borderWidth_, kEdge + borderWidth_}; }
  void addDivider(int x, int width);

  static constexpr int kEdge = 2;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ui::Color color_;
  int borderWidth_;
  QVector<QPair<int, int>> dividers_;
};

// A status bar of panels of fixed widths, each with its own text and alignment, no size grip.
class TStatusBar : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Panel0 READ panel0)
  Q_PROPERTY(QString Panel1 READ panel1)
  Q_PROPERTY(QString Panel2 READ panel2)
 public:
  explicit TStatusBar(QWidget* parent);

  void addPanel(int width, Qt::Alignment alignment = Qt::AlignLeft);
  int panelCount() const { return int(panels_.size()); }
  QString panelText(int index) const;
  void setPanelText(int index, const QString& text);
  // Panel `index`'s rectangle.
  QRect panelRect(int index) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString panel0() const { return panelText(0); }
  QString panel1() const { return panelText(1); }
  QString panel2() const { return panelText(2); }

  struct Panel {
    int width;
    Qt::Alignment alignment;
    QString text;
  };
  QVector<Panel> panels_;
};

// A spinner tied to an edit box (its buddy): each step starts from the whole number the box
// shows (the spinner's own position when the box holds none), stays within min..max without
// wrapping and writes the new position into the box. The up and down arrow keys in the box
// step it too; holding a button repeats.
class TUpDown : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int Position READ position)
 public:
  explicit TUpDown(QWidget* parent);

  void setBuddy(QLineEdit* buddy);
  void setRange(int min, int max);
  int min() const { return min_; }
  int max() const { return max_; }
  void setIncrement(int increment) { increment_ = increment; }
  int position() const { return position_; }
  void setPosition(int position);
  // One step up (+1) or down (-1), as a click on an arrow.
  void step(int direction);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* buddy_ = nullptr;
  int min_ = 0;
  int max_ = 100;
  int increment_ = 1;
  int position_ = 0;
  int held_ = 0;  // +1 up, -1 down, 0 none
  QBasicTimer repeat_;
};

// One of the ruler's indent markers: an arrow of a fixed size that the mouse drags.
class TRulerMarker : public ui::MouseControl {
  Q_OBJECT
 public:
  enum class Shape { DownArrow, UpArrow, HollowUpArrow };
  TRulerMarker(QWidget* parent, Shape shape);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Shape shape_;
};

}  // namespace vardel

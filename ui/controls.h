// The plain controls the program's windows are made of: pictures, labels and panels.
#pragma once

#include "ui/colors.h"
#include "ui/events.h"

#include <QImage>
#include <QWidget>

namespace vardel::ui {

// Mouse handling shared by the controls below: the click, press and release events.
class MouseControl : public QWidget {
  Q_OBJECT
 public:
  explicit MouseControl(QWidget* parent);

  int tag = 0;
  NotifyEvent onClick;
  MouseEvent onMouseDown;
  MouseEvent onMouseUp;
  MouseMoveEvent onMouseMove;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool pressedInside_ = false;
};

// A picture control. With autoSize it takes the size of its picture; with center the picture
// is centred in the control, else drawn at the top-left corner.
class Image : public MouseControl {
  Q_OBJECT
  // Whether a picture is shown (read back by the window-state probe).
  Q_PROPERTY(bool hasPicture READ hasPicture)

 public:
  explicit Image(QWidget* parent);

  // Loads a JPEG picture from a path as the program forms it; on failure throws ui::Error and
  // the control keeps what it showed.
  void loadPicture(const QString& path);
  void setPicture(const QImage& picture);
  // Releases the picture; the control shows nothing.
  void clearPicture();
  const QImage& picture() const { return picture_; }
  bool hasPicture() const { return !picture_.isNull(); }

  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool autoSize);
  bool center() const { return center_; }
  void setCenter(bool center);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  bool autoSize_ = false;
  bool center_ = false;
};

enum class Alignment { taLeftJustify, taRightJustify, taCenter };

// A text label. Transparent labels show what lies beneath; opaque ones fill with their colour.
// With autoSize a single-line label takes the size of its text (a word-wrapped one keeps its
// width and takes the height of its lines).
class Label : public MouseControl {
  Q_OBJECT
 public:
  explicit Label(QWidget* parent);

  QString caption() const { return caption_; }
  void setCaption(const QString& text);
  void setLabelFont(const QFont& font);
  Color fontColor() const { return fontColor_; }
  void setFontColor(Color color);
  Color color() const { return color_; }
  void setColor(Color color);
  bool transparent() const { return transparent_; }
  void setTransparent(bool transparent);
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool autoSize);
  bool wordWrap() const { return wordWrap_; }
  void setWordWrap(bool wrap);
  Alignment alignment() const { return alignment_; }
  void setAlignment(Alignment alignment);

  // Where the text of this label is drawn, in the label's coordinates (for placing one label
  // over a letter of another).
  QRect textRect() const;
  int textFlags() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void adjustSize();

  QString caption_;
  Color fontColor_ = clWindowText;
  Color color_ = clBtnFace;
  bool transparent_ = false;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  Alignment alignment_ = Alignment::taLeftJustify;
};

// A flat panel of one colour that holds other controls.
class Panel : public MouseControl {
  Q_OBJECT
 public:
  explicit Panel(QWidget* parent);
  Color color() const { return color_; }
  void setColor(Color color);

 private:
  Color color_ = clBtnFace;
};

}  // namespace vardel::ui

namespace vardel::ui {

enum class PenStyle { psSolid, psClear };
enum class BrushStyle { bsSolid, bsClear };

// A rectangle drawn with a pen and a brush (either may be clear). It covers its whole
// rectangle for the mouse whatever it draws.
class Shape : public MouseControl {
  Q_OBJECT
 public:
  explicit Shape(QWidget* parent);

  PenStyle penStyle() const { return penStyle_; }
  void setPenStyle(PenStyle style);
  Color penColor() const { return penColor_; }
  void setPenColor(Color color);
  BrushStyle brushStyle() const { return brushStyle_; }
  void setBrushStyle(BrushStyle style);
  Color brushColor() const { return brushColor_; }
  void setBrushColor(Color color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PenStyle penStyle_ = PenStyle::psSolid;
  Color penColor_ = clBlack;
  BrushStyle brushStyle_ = BrushStyle::bsSolid;
  Color brushColor_ = clWhite;
};

}  // namespace vardel::ui

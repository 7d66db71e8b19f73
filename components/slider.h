// TSlider: a focusable control holding an integer Value between MinValue and MaxValue, shown as
// a ruler built from a small pattern, optional tick marks and a draggable thumb (TSliderThumb).
#pragma once

#include "components/component.h"
#include "components/persistence.h"
#include "components/slider_geometry.h"
#include "ui/colors.h"
#include "ui/controls.h"
#include "ui/events.h"

#include <QBasicTimer>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <functional>

class QPainter;

namespace vardel {

enum TSliderOrientation { soHorizontal, soVertical };
enum TSliderOption : unsigned { soShowFocus = 1u << 0, soShowPoints = 1u << 1, soSmooth = 1u << 2 };
using TSliderOptions = std::uint8_t;  // a set of TSliderOption

// The slider's thumb: a child control drawn from a bitmap holding its normal image and, with two
// states, its pressed image at the right. It takes the mouse while a button is held on it.
class TSliderThumb : public ui::MouseControl {
  Q_OBJECT
 public:
  explicit TSliderThumb(QWidget* owner);

  const QImage& Bitmap() const { return bitmap_; }
  // Copies the bitmap and takes its size (one state's width).
  void SetImage(const QImage& bitmap);
  // Size := (bitmap width div NumStates) x bitmap height; the position stays.
  void AdjustSize();
  bool Down() const { return down_; }
  void setDown(bool down);
  int NumStates() const { return numStates_; }
  void setNumStates(int states);
  ui::Color TransparentColor() const { return transparentColor_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage bitmap_;
  ui::Color transparentColor_;
  bool down_ = false;
  int numStates_ = 2;
};

class TSlider : public ui::MouseControl, public StreamedComponent {
  Q_OBJECT
 public:
  // Image indexes: horizontal thumb, horizontal ruler, vertical thumb, vertical ruler.
  enum ImageIndex { kHThumb = 0, kHRuler = 1, kVThumb = 2, kVRuler = 3 };

  // 140 x 40, horizontal, [soShowFocus, soShowPoints, soSmooth], EdgeSize 2, range 0..100,
  // Increment 10, Value 0, a tab stop, the default pictures.
  explicit TSlider(QWidget* owner);
  ~TSlider() override;

  // Pictures. Assigning a null image restores the default picture (and it is no longer stored).
  const QImage& ImageHThumb() const { return images_[kHThumb]; }
  void setImageHThumb(const QImage& bitmap) { setImage(kHThumb, bitmap); }
  const QImage& ImageHRuler() const { return images_[kHRuler]; }
  void setImageHRuler(const QImage& bitmap) { setImage(kHRuler, bitmap); }
  const QImage& ImageVThumb() const { return images_[kVThumb]; }
  void setImageVThumb(const QImage& bitmap) { setImage(kVThumb, bitmap); }
  const QImage& ImageVRuler() const { return images_[kVRuler]; }
  void setImageVRuler(const QImage& bitmap) { setImage(kVRuler, bitmap); }
  void setImage(int index, const QImage& bitmap);

  // Length of the fixed end parts of the ruler pattern; taken only when twice the value is
  // shorter than the pattern along the axis (and the value is not negative).
  int EdgeSize() const { return edgeSize_; }
  void setEdgeSize(int edge);
  // 1 or 2 images side by side in the thumb bitmap; other values are ignored.
  int NumThumbStates() const;
  void setNumThumbStates(int states);
  TSliderOrientation Orientation() const { return orientation_; }
  void setOrientation(TSliderOrientation orientation);
  TSliderOptions Options() const { return options_; }
  void setOptions(TSliderOptions options);
  // Range setters ignore values that would leave less than one Increment between the two;
  // neither moves the thumb nor clamps Value.
  int Increment() const { return increment_; }
  void setIncrement(int increment);
  int MinValue() const { return minValue_; }
  void setMinValue(int value);
  int MaxValue() const { return maxValue_; }
  void setMaxValue(int value);
  // Clamped to the range; moves the thumb; OnChange when the value changed.
  int Value() const { return value_; }
  void setValue(int value);

  // The background colour; with ParentColor (the default until a colour is set) the parent's
  // colour shows instead.
  ui::Color Color() const { return color_; }
  void setColor(ui::Color color);
  bool ParentColor() const { return parentColor_; }
  void setParentColor(bool parentColor);
  bool TabStop() const { return tabStop_; }
  void setTabStop(bool tabStop);
  // Sets position and size at once (a window description's Left, Top, Width, Height).
  void setBounds(int left, int top, int width, int height);

  ui::NotifyEvent OnChange;
  ui::NotifyEvent OnDrawPoints;  // replaces the built-in tick marks; draw on Canvas()
  ui::NotifyEvent OnStopTracking;
  ui::NotifyEvent onEnter;  // the control got the focus
  ui::NotifyEvent onExit;   // the control lost the focus
  // A key went down; handled keys arrive as 0.
  std::function<void(QObject* sender, int& key, ui::ShiftState shift)> onKeyDown;

  // Operations.
  void StepValue(SliderStep step);
  SliderStep ThumbSideAt(int x, int y) const;
  int ValueToPos(int value) const { return valueToPos(scale(), value); }
  int PosToValue(int pos) const { return posToValue(scale(), pos); }
  // Pixels the thumb can travel (0 when the ruler is not longer than the thumb).
  int RangeLength() const;
  // Builds the ruler, places the thumb, the ruler and the tick area, and re-sets Value.
  void UpdateLayout();
  // UpdateLayout, then repaint.
  void Relayout();
  // The canvas of the paint in progress (null outside a paint).
  QPainter* Canvas() const { return canvas_; }
  // Tick marks every k * step values (see tickStride), `size` long, `endSize` at both ends.
  virtual void DrawPoints(int step, int size, int endSize);

  // Inspection of the current layout and state.
  TSliderThumb* Thumb() const { return thumb_; }
  const QImage& RulerCache() const { return rulerCache_; }
  QPoint RulerOrigin() const { return rulerOrigin_; }
  QRect PointsRect() const { return pointsRect_; }
  std::uint8_t UserImageMask() const { return userImageMask_; }
  bool Focused() const { return focused_; }
  bool Tracking() const { return tracking_; }
  bool Pressed() const { return pressed_; }
  bool TimerActive() const { return timerActive_; }
  ComponentState componentState() const { return componentState_; }

  // Streaming.
  QString streamClassName() const override { return QStringLiteral("TSlider"); }
  QString streamObjectName() const override { return objectName(); }
  void writeProperties(PropertyWriter& writer, const StreamedComponent* ancestor) const override;
  bool readProperty(const QString& name, const PropertyValue& value) override;
  void DefineProperties(Filer& filer, const StreamedComponent* ancestor) override;
  void beginReading() override;
  void endReading() override;
  void Loaded() override;

 protected:
  virtual void ThumbMouseDown(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  virtual void ThumbMouseMove(QObject* sender, ui::ShiftState shift, int x, int y);
  virtual void ThumbMouseUp(QObject* sender, ui::MouseButton button, ui::ShiftState shift, int x, int y);
  virtual void Change();

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void CreateElements();
  void BuildRuler();
  void SetThumbPosition(int pos);
  void RepeatStep();
  void focusChanged();
  void syncLayout();
  int thumbImageIndex() const { return orientation_ == soVertical ? kVThumb : kHThumb; }
  const QImage& rulerImage() const { return images_[orientation_ == soVertical ? kVRuler : kHRuler]; }
  SliderScale scale() const;
  void applyColor();
  void drawFocusRect(QPainter& painter, const QRect& rect);

  std::array<QImage, 4> images_;
  std::uint8_t userImageMask_ = 0;
  QImage rulerCache_;
  QPoint rulerOrigin_;
  TSliderThumb* thumb_ = nullptr;
  QRect pointsRect_;
  bool focused_ = false;
  bool tracking_ = false;
  bool pressed_ = false;
  bool timerActive_ = false;
  QPoint mousePos_;
  SliderStep clickSide_ = SliderStep::None;
  int hitOffset_ = 0;

  int edgeSize_ = 2;
  TSliderOrientation orientation_ = soHorizontal;
  TSliderOptions options_ = soShowFocus | soShowPoints | soSmooth;
  int increment_ = 10;
  int minValue_ = 0;
  int maxValue_ = 100;
  int value_ = 0;
  ui::Color color_ = ui::clBtnFace;
  bool parentColor_ = true;
  bool tabStop_ = true;

  ComponentState componentState_ = 0;
  ControlState controlState_ = 0;
  QSize laidOutSize_{-1, -1};  // the size the current layout was made for
  bool layingOut_ = false;
  QBasicTimer repeatTimer_;
  QPainter* canvas_ = nullptr;
};

}  // namespace vardel

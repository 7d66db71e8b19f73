// TGradientCaption: paints a form's caption bar with a colour gradient and up to three text
// pieces (company, application name, window text), each with its own font and colours.
#pragma once

#include "components/caption_layout.h"
#include "components/component.h"
#include "ui/colors.h"
#include "ui/fonts.h"
#include "ui/form.h"

#include <QFont>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QPainter;

namespace vardel {

// Which font a text piece uses: its own (fkCustom), the desktop's caption font plain or with
// italic/bold added (fkSystem..fkSystemBI), or its own face and style with its height fitted to
// the caption font's character height (fkAutoHeight).
enum TFontKind : std::uint8_t { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };

// When the gradient is drawn: always, never (plain caption colour), or only while active.
enum TGradEnabled { geAlways, geNever, geWhenActive };

class TGradientCaption;

// A text piece of the bar. Changes show at the window's next non-client paint or activation
// change (at once in design mode).
class TCompanyText {
 public:
  explicit TCompanyText(TGradientCaption* owner);
  virtual ~TCompanyText() = default;
  TCompanyText(const TCompanyText&) = delete;
  TCompanyText& operator=(const TCompanyText&) = delete;

  virtual QString Caption() const { return caption_; }
  virtual void setCaption(const QString& caption);
  ui::Color ColorActive() const { return colorActive_; }
  void setColorActive(ui::Color color);
  ui::Color ColorInactive() const { return colorInactive_; }
  void setColorInactive(ui::Color color);
  // Copies the font's attributes; an fkAutoHeight text then fits its height, any other kind
  // becomes fkCustom (nothing else is applied).
  const ui::FontData& Font() const { return font_; }
  void setFont(const ui::FontData& font);
  TFontKind FontKind() const { return fontKind_; }
  void setFontKind(TFontKind kind);
  bool Visible() const { return visible_; }
  void setVisible(bool visible);

  // The font ready for drawing.
  const QFont& drawingFont() const { return qfont_; }

 protected:
  void refreshAtDesignTime();

  TGradientCaption* owner_;  // not owned
  QString caption_;

 private:
  friend class TGradientCaption;
  void assignFont(const ui::FontData& font);

  ui::Color colorActive_ = ui::clCaptionText;
  ui::Color colorInactive_ = ui::clInactiveCaptionText;
  ui::FontData font_;
  QFont qfont_;
  TFontKind fontKind_ = fkSystem;
  bool visible_ = true;
};

class TAppNameText : public TCompanyText {
 public:
  using TCompanyText::TCompanyText;
};

// The window-text piece: it mirrors the form's caption.
class TCaptionText : public TCompanyText {
 public:
  using TCompanyText::TCompanyText;
  // The form's current window text.
  QString Caption() const override;
  // Sets the form's window text, then keeps a copy.
  void setCaption(const QString& caption) override;
};

class TGradientCaption : public QObject {
  Q_OBJECT
 public:
  // Hooks the owner's non-client handling at once. The owner must be a ui::Form; anything else
  // throws ui::Error("Invalid class typecast") before anything is hooked.
  explicit TGradientCaption(QObject* owner);
  // Unhooks; unless the form itself is going, repaints its frame so the standard caption returns.
  ~TGradientCaption() override;

  TAppNameText* AppNameText() const { return appNameText_.get(); }
  TCaptionText* CaptionText() const { return captionText_.get(); }
  TCompanyText* CompanyText() const { return companyText_.get(); }

  // Gradient colour at the left end (the right end is the system caption colour).
  ui::Color Color() const { return color_; }
  void setColor(ui::Color color);
  TGradEnabled Enabled() const { return enabled_; }
  void setEnabled(TGradEnabled enabled);
  // 1..256 bands; 0 or less is ignored, more than 256 becomes 256 (with a message only in
  // design mode).
  int NumColors() const { return numColors_; }
  void setNumColors(int count);

  ComponentState componentState() const { return componentState_; }
  ui::Form* ownerForm() const { return ownerForm_; }

  // Makes the frame repaint, as a frame change of the window does.
  void RefreshFrame();

  // The desktop caption font as last loaded.
  const ui::FontData& CaptionFont() const { return captionFont_; }
  // Fills `font` from the desktop's caption font (the stock system font when the settings
  // cannot be read).
  static void LoadCaptionFont(ui::FontData& font);
  // Stores `kind` in the text and gives it the font that kind stands for.
  void ApplyFontKind(TCompanyText& text, TFontKind kind);
  // Changes the font's height so that its character height matches the caption font's.
  void FitFontHeight(ui::FontData& font) const;
  // The owner's activation state: as last reported, or (before any report) whether the owner
  // is the active window.
  bool IsOwnerActive() const;
  // The area the bar paints, in window coordinates (empty for a borderless window).
  WinRect GetCaptionRect() const;
  bool NewShell() const { return newShell_; }

  // Composes the bar off screen and copies it onto `window` (a painter on the form) in one
  // blit; returns the rectangle painted, empty when nothing was.
  WinRect PaintCaption(QPainter& window, bool active);

 private:
  class Hook;
  friend class TCompanyText;
  friend class TCaptionText;

  bool designing() const { return componentState_ & csDesigning; }
  void paintNonClient(QPainter& painter, const QRegion& region);
  void activate(bool active, const QRegion& allowed);
  void settingsChanged();
  CaptionFrame captionFrame() const;
  void drawGradient(QPainter& dc, ui::Color start, ui::Color end, const WinRect& c) const;
  void drawIcon(QPainter& dc, WinRect& c) const;
  int measureTextPiece(const TCompanyText& text) const;
  void drawTextPiece(QPainter& dc, bool active, WinRect& c, const TCompanyText& text) const;

  ui::Form* ownerForm_;
  ComponentState componentState_ = 0;
  ui::FontData captionFont_;
  bool newShell_ = true;
  bool activeState_ = true;
  bool activeStateKnown_ = false;
  std::unique_ptr<TAppNameText> appNameText_;
  std::unique_ptr<TCaptionText> captionText_;
  std::unique_ptr<TCompanyText> companyText_;
  ui::Color color_ = 0;
  TGradEnabled enabled_ = geAlways;
  int numColors_ = 64;
  ui::NonClientHook* prevWndProc_ = nullptr;
  std::unique_ptr<Hook> hookWndProc_;
};

}  // namespace vardel

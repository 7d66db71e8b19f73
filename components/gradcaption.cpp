// TGradientCaption and its text pieces.
#include "components/gradcaption.h"

#include "ui/application.h"
#include "ui/events.h"
#include "ui/metrics.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QPainter>

namespace vardel {
namespace {

ui::Form* checkedForm(QObject* owner) {
  auto* form = qobject_cast<ui::Form*>(owner);
  if (!form) throw ui::Error(QStringLiteral("Invalid class typecast"));
  return form;
}

// Every shell this program meets today lays captions out as the Windows 95 shell did: icon at
// the left, text left-aligned. The old layout (centred text, no icon) is kept for completeness.
bool IsNewShell() { return true; }

// The system's standard application icon: a small window with a title bar.
const QImage& standardApplicationIcon() {
  static const QImage icon = [] {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(1, 2, 14, 12, QColor(0, 0, 0));
    p.fillRect(2, 3, 12, 10, QColor(255, 255, 255));
    p.fillRect(2, 3, 12, 2, QColor(0, 0, 128));
    return image;
  }();
  return icon;
}

}  // namespace

// The component's own non-client handler, installed on the form in front of the previous one.
class TGradientCaption::Hook : public ui::NonClientHook {
 public:
  explicit Hook(TGradientCaption& owner) : owner_(owner) {}
  void paintNonClient(QPainter& painter, const QRegion& region) override { owner_.paintNonClient(painter, region); }
  void activate(bool active, const QRegion& allowed) override { owner_.activate(active, allowed); }
  void systemSettingsChanged() override {
    owner_.prevWndProc_->systemSettingsChanged();
    owner_.settingsChanged();
  }

 private:
  TGradientCaption& owner_;
};

// ---- text pieces ----

TCompanyText::TCompanyText(TGradientCaption* owner) : owner_(owner) { assignFont(owner->CaptionFont()); }

void TCompanyText::assignFont(const ui::FontData& font) {
  font_ = font;
  qfont_ = font_.toQFont();
}

void TCompanyText::refreshAtDesignTime() {
  if (owner_->designing()) owner_->RefreshFrame();
}

void TCompanyText::setCaption(const QString& caption) {
  caption_ = caption;
  refreshAtDesignTime();
}

void TCompanyText::setColorActive(ui::Color color) {
  colorActive_ = color;
  refreshAtDesignTime();
}

void TCompanyText::setColorInactive(ui::Color color) {
  colorInactive_ = color;
  refreshAtDesignTime();
}

void TCompanyText::setFont(const ui::FontData& font) {
  ui::FontData copy = font;
  if (fontKind_ == fkAutoHeight) {
    owner_->FitFontHeight(copy);
  } else {
    fontKind_ = fkCustom;
  }
  assignFont(copy);
  refreshAtDesignTime();
}

void TCompanyText::setFontKind(TFontKind kind) {
  owner_->ApplyFontKind(*this, kind);
  refreshAtDesignTime();
}

void TCompanyText::setVisible(bool visible) {
  visible_ = visible;
  refreshAtDesignTime();
}

QString TCaptionText::Caption() const {
  const ui::Form* form = owner_->ownerForm();
  return form ? form->caption() : QString();
}

void TCaptionText::setCaption(const QString& caption) {
  if (ui::Form* form = owner_->ownerForm()) form->setCaption(caption);
  caption_ = caption;
  refreshAtDesignTime();
}

// ---- the component ----

TGradientCaption::TGradientCaption(QObject* owner) : QObject(checkedForm(owner)), ownerForm_(checkedForm(owner)) {
  componentState_ = inheritedDesignState(owner);
  activeState_ = true;
  activeStateKnown_ = false;
  newShell_ = IsNewShell();
  LoadCaptionFont(captionFont_);
  appNameText_ = std::make_unique<TAppNameText>(this);
  captionText_ = std::make_unique<TCaptionText>(this);
  companyText_ = std::make_unique<TCompanyText>(this);
  color_ = 0;
  enabled_ = geAlways;
  numColors_ = 64;

  hookWndProc_ = std::make_unique<Hook>(*this);
  prevWndProc_ = ownerForm_->setNonClientHook(hookWndProc_.get());

  if (designing()) {
    companyText_->caption_ = QStringLiteral("Ralvek's");
    appNameText_->caption_ = QStringLiteral("Program -");
    ApplyFontKind(*captionText_, fkSystem);
    ApplyFontKind(*appNameText_, fkSystemB);
    ApplyFontKind(*companyText_, fkSystemBI);
    RefreshFrame();  // paints the caption once, through the hook
  }
}

TGradientCaption::~TGradientCaption() {
  componentState_ |= csDestroying;
  // Only the hook on top can hand the form back; a later hook that kept ours as its previous
  // one must be removed first, as with any chain of window-procedure hooks.
  if (ownerForm_->nonClientHook() == hookWndProc_.get()) ownerForm_->setNonClientHook(prevWndProc_);
  hookWndProc_.reset();
  appNameText_.reset();
  captionText_.reset();
  companyText_.reset();
  if (!ownerForm_->destroying()) RefreshFrame();
}

void TGradientCaption::setColor(ui::Color color) {
  if (color == color_) return;
  color_ = color;
  if (designing()) RefreshFrame();
}

void TGradientCaption::setEnabled(TGradEnabled enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (designing()) RefreshFrame();
}

void TGradientCaption::setNumColors(int count) {
  if (count < 1) {
    if (designing()) {
      ui::Application::instance().messageBox(QStringLiteral("The number of colors must be at least 1"),
                                             ui::MessageIcon::Error);
    }
    return;
  }
  if (count > 256) {
    numColors_ = 256;
    if (designing()) {
      ui::Application::instance().messageBox(QStringLiteral("The highest number of gradient colors possible is 256"),
                                             ui::MessageIcon::Error);
    }
  } else if (count != numColors_) {
    numColors_ = count;
  }
  if (designing()) RefreshFrame();
}

void TGradientCaption::RefreshFrame() { ownerForm_->refreshFrame(); }

void TGradientCaption::LoadCaptionFont(ui::FontData& font) {
  font = ui::stockSystemFont();
  const std::optional<ui::LogFont> caption = ui::captionLogFont();
  if (!caption) return;
  font.name = caption->faceName.left(32);
  // Zero and negative heights are character heights, positive ones cell heights; both are the
  // font's own height.
  font.height = caption->height;
  font.style = ui::fsNone;
  if (caption->italic) font.style |= ui::fsItalic;
  if (caption->weight > 500) font.style |= ui::fsBold;
}

void TGradientCaption::ApplyFontKind(TCompanyText& text, TFontKind kind) {
  text.fontKind_ = kind;
  ui::FontData font = captionFont_;
  switch (kind) {
    case fkCustom:
      return;
    case fkSystem:
      break;
    case fkSystemI:
      font.style |= ui::fsItalic;
      break;
    case fkSystemB:
      font.style |= ui::fsBold;
      break;
    case fkSystemBI:
      font.style |= ui::fsBold | ui::fsItalic;
      break;
    case fkAutoHeight:
      font = text.font_;
      FitFontHeight(font);
      break;
  }
  text.assignFont(font);
}

void TGradientCaption::FitFontHeight(ui::FontData& font) const {
  const int target = ui::characterHeight(captionFont_.toQFont());
  int h1 = ui::characterHeight(font.toQFont());
  // The fitting works on character heights (negative); a cell or default height is first
  // restated as the character height it gives.
  if (font.height >= 0) font.height = -h1;
  font.height += h1 - target;
  h1 = ui::characterHeight(font.toQFont());
  if (target < h1) font.height += h1 - target;
}

bool TGradientCaption::IsOwnerActive() const {
  if (activeStateKnown_) return activeState_;
  // (The framework has no multiple-document children, so the active window is the whole test.)
  return ownerForm_->hasActivation();
}

CaptionFrame TGradientCaption::captionFrame() const {
  CaptionFrame frame;
  frame.style = ownerForm_->borderStyle();
  frame.icons = ownerForm_->borderIcons();
  frame.windowWidth = ownerForm_->width();
  frame.windowHeight = ownerForm_->height();
  frame.minimized = ownerForm_->isMinimized();
  frame.newShell = newShell_;
  frame.designing = designing();
  return frame;
}

WinRect TGradientCaption::GetCaptionRect() const { return captionRect(captionFrame(), CaptionMetrics::current()); }

void TGradientCaption::drawGradient(QPainter& dc, ui::Color start, ui::Color end, const WinRect& c) const {
  for (const GradientBand& band : gradientBands(start, end, numColors_, c.left, c.width())) {
    if (band.right > band.left)
      dc.fillRect(band.left, c.top, band.right - band.left, c.height(), ui::toQColor(band.color));
  }
}

void TGradientCaption::drawIcon(QPainter& dc, WinRect& c) const {
  const int size = ui::systemMetric(ui::SM_CXSMICON);
  c.left += 1;
  QIcon icon = ownerForm_->windowIcon();  // the form's, else the application's
  const QRect target(c.left + 1, c.top + 1, size, ui::systemMetric(ui::SM_CYSMICON));
  if (icon.isNull()) {
    dc.drawImage(target, standardApplicationIcon());
  } else {
    icon.paint(&dc, target);
  }
  c.left += size + 1;
}

int TGradientCaption::measureTextPiece(const TCompanyText& text) const {
  return QFontMetrics(text.drawingFont()).horizontalAdvance(text.caption_) + 3;
}

void TGradientCaption::drawTextPiece(QPainter& dc, bool active, WinRect& c, const TCompanyText& text) const {
  c.left += 3;
  const WinRect remembered = c;
  const QFontMetrics metrics(text.drawingFont());
  const int measuredRight = remembered.left + metrics.horizontalAdvance(text.caption_);
  if (c.width() > 0 && !text.caption_.isEmpty()) {
    dc.setFont(text.drawingFont());
    dc.setPen(ui::toQColor(active ? text.ColorActive() : text.ColorInactive()));
    const QString shown = metrics.elidedText(text.caption_, Qt::ElideRight, c.width());
    dc.drawText(c.toQRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
  }
  c.left = measuredRight;
}

WinRect TGradientCaption::PaintCaption(QPainter& window, bool active) {
  if (ownerForm_->borderStyle() == ui::BorderStyle::bsNone && !designing()) return {};
  WinRect c = GetCaptionRect();
  if (c.isEmpty()) return {};
  // The memory bitmap spans the window from its origin, so both share coordinates.
  QImage buffer(c.right, c.bottom, QImage::Format_RGB32);
  if (buffer.isNull()) return {};
  const WinRect r = c;
  QPainter dc(&buffer);
  const ui::Color base = ui::colorToRgb(active ? ui::clActiveCaption : ui::clInactiveCaption);
  if (enabled_ == geAlways || (enabled_ == geWhenActive && active)) {
    drawGradient(dc, ui::colorToRgb(color_), base, c);
  } else {
    dc.fillRect(c.toQRect(), ui::toQColor(base));
  }

  if (captionShowsIcon(captionFrame())) drawIcon(dc, c);

  captionText_->caption_ = ownerForm_->caption();

  const CaptionFit fit = fitCaption(measureTextPiece(*companyText_), measureTextPiece(*appNameText_),
                                    measureTextPiece(*captionText_), c.width(), newShell_);
  c.left += fit.indent;
  if (fit.showCompany && !companyText_->caption_.isEmpty() && companyText_->Visible()) {
    drawTextPiece(dc, active, c, *companyText_);
  }
  if (fit.showAppName && !appNameText_->caption_.isEmpty() && appNameText_->Visible()) {
    drawTextPiece(dc, active, c, *appNameText_);
  }
  if (captionText_->Visible()) drawTextPiece(dc, active, c, *captionText_);
  dc.end();

  const QRect rect = r.toQRect();
  window.drawImage(rect.topLeft(), buffer, rect);
  return r;
}

void TGradientCaption::paintNonClient(QPainter& painter, const QRegion& region) {
  const WinRect r = PaintCaption(painter, IsOwnerActive());
  // The previous handler paints the rest of the frame, never the caption just drawn.
  prevWndProc_->paintNonClient(painter, region - QRegion(r.toQRect()));
}

void TGradientCaption::activate(bool active, const QRegion& allowed) {
  activeState_ = active;
  activeStateKnown_ = true;
  const QRect caption = GetCaptionRect().toQRect();
  // Paint the caption for the new state now, through the form's paint (and so through this
  // hook), then let the previous handler redraw the frame without the caption.
  if (!caption.isEmpty() && ownerForm_->isVisible() && ownerForm_->borderStyle() != ui::BorderStyle::bsNone) {
    ownerForm_->repaint(caption);
  }
  prevWndProc_->activate(active, allowed - QRegion(caption));
}

void TGradientCaption::settingsChanged() {
  LoadCaptionFont(captionFont_);
  ApplyFontKind(*appNameText_, appNameText_->FontKind());
  ApplyFontKind(*captionText_, captionText_->FontKind());
  ApplyFontKind(*companyText_, companyText_->FontKind());
  RefreshFrame();
}

}  // namespace vardel

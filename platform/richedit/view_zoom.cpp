// The rich-text control's view zoom: the text laid out as for a finer screen.
#include "platform/richedit/richedit.h"

#include <QAbstractTextDocumentLayout>

#include <cmath>

namespace vardel::platform {

void TRichEdit::setViewZoom(double factor) {
  if (!(factor > 0) || factor == viewZoom_) return;
  viewZoom_ = factor;
  applyViewZoom();
}

void TRichEdit::applyViewZoom() {
  QAbstractTextDocumentLayout* layout = document()->documentLayout();
  if (viewZoom_ == 1) {
    if (layout->paintDevice() != &zoomDevice_) return;  // laid out for the screen already
    layout->setPaintDevice(nullptr);
  } else {
    const int dotsPerMeter = int(std::lround(viewport()->logicalDpiX() * viewZoom_ / 0.0254));
    zoomDevice_ = QImage(1, 1, QImage::Format_ARGB32);
    zoomDevice_.setDotsPerMeterX(dotsPerMeter);
    zoomDevice_.setDotsPerMeterY(dotsPerMeter);
    layout->setPaintDevice(&zoomDevice_);
  }
  document()->markContentsDirty(0, document()->characterCount());
  ensureCursorVisible();
}

}  // namespace vardel::platform

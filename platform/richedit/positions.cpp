// TRichEdit: line positions, the formatting rectangle, and the font the control is given.
#include "platform/richedit/richedit.h"

#include "platform/richedit/format_properties.h"

#include <QTextBlock>

#include <algorithm>

namespace vardel::platform {

int TRichEdit::lineFromChar(int position) const {
  const QTextDocument* doc = document();
  const QTextBlock block = doc->findBlock(std::clamp(position, 0, doc->characterCount() - 1));
  return block.isValid() ? block.blockNumber() : doc->blockCount() - 1;
}

int TRichEdit::lineIndex(int line) const {
  if (line < 0) return -1;
  const QTextBlock block = document()->findBlockByNumber(line);
  return block.isValid() ? block.position() : -1;
}

void TRichEdit::scrollCaretIntoView() { ensureCursorVisible(); }

QRect TRichEdit::formattingRect() const {
  if (formattingRect_) return *formattingRect_;
  return QRect(QPoint(0, 0), viewport()->size())
      .adjusted(kDocumentMargin, kDocumentMargin, -kDocumentMargin, -kDocumentMargin);
}

void TRichEdit::setFormattingRect(const QRect& rect) {
  formattingRect_ = rect;
  applyFormattingRect();
}

// The rectangle is kept in client coordinates (the area inside the frame, without scroll
// bars), as a rich-edit control keeps it; the viewport margins put the text there, so the
// document itself (and its undo stack) never changes for it.
void TRichEdit::applyFormattingRect() {
  if (!formattingRect_) return;
  const QMargins current = viewportMargins();
  const QRect client = viewport()->geometry().marginsAdded(current);
  const QRect& r = *formattingRect_;
  const QMargins wanted(std::max(0, r.left() - kDocumentMargin), std::max(0, r.top() - kDocumentMargin),
                        std::max(0, client.width() - (r.x() + r.width()) - kDocumentMargin),
                        std::max(0, client.height() - (r.y() + r.height()) - kDocumentMargin));
  if (wanted != current) setViewportMargins(wanted);
}

void TRichEdit::resizeEvent(QResizeEvent* event) {
  QTextEdit::resizeEvent(event);
  applyFormattingRect();
}

void TRichEdit::changeEvent(QEvent* event) {
  QTextEdit::changeEvent(event);
  if (event->type() != QEvent::FontChange) return;
  // Sizes are points in a document (a pixel size would shrink on a printer).
  QFont font = document()->defaultFont();
  if (font.pointSizeF() <= 0) {
    font.setPointSizeF(richtext::pointSizeOf(font));
    document()->setDefaultFont(font);
  }
}

}  // namespace vardel::platform

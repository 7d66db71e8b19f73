// TRichEdit::print: the whole text, page after page, over the printable area of a printer.
#include "platform/richedit/format_properties.h"
#include "platform/richedit/richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <memory>
#include <stdexcept>

namespace vardel::platform {

namespace {

// A copy of the text for the printer: sizes in points everywhere (a pixel size would come out
// at the printer's pixels), no margins of the screen's formatting rectangle.
// Paragraph margins and tab stops are kept in screen pixels (96 dpi); on a printer the layout
// takes them as the printer's pixels, so they are scaled by `scale` (printer dpi / 96).
std::unique_ptr<QTextDocument> printableCopy(const QTextDocument& source, double scale) {
  std::unique_ptr<QTextDocument> copy(source.clone());
  copy->setUndoRedoEnabled(false);
  QFont font = copy->defaultFont();
  font.setPointSizeF(richtext::pointSizeOf(font));
  copy->setDefaultFont(font);
  QTextCursor cursor(copy.get());
  for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      QTextCharFormat format = fragment.charFormat();
      if (!format.hasProperty(QTextFormat::FontPixelSize)) continue;
      format.setFontPointSize(std::max(1.0, format.intProperty(QTextFormat::FontPixelSize) * 0.75));
      format.clearProperty(QTextFormat::FontPixelSize);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(format);
    }
  }
  for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
    QTextBlockFormat format = block.blockFormat();
    format.setLeftMargin(format.leftMargin() * scale);
    format.setRightMargin(format.rightMargin() * scale);
    format.setTopMargin(format.topMargin() * scale);
    format.setBottomMargin(format.bottomMargin() * scale);
    format.setTextIndent(format.textIndent() * scale);
    cursor.setPosition(block.position());
    cursor.setBlockFormat(format);
  }
  QTextOption option = copy->defaultTextOption();
  option.setTabStopDistance(option.tabStopDistance() * scale);
  copy->setDefaultTextOption(option);
  QTextFrameFormat root = copy->rootFrame()->frameFormat();
  root.setMargin(0);
  root.setPadding(0);
  root.setBorder(0);
  copy->rootFrame()->setFrameFormat(root);
  return copy;
}

}  // namespace

void TRichEdit::print(QPrinter* printer, const QString& title) {
  if (!printer) throw std::runtime_error("Printer selected is not valid");
  printer->setDocName(title);
  std::unique_ptr<QTextDocument> copy = printableCopy(*document(), printer->logicalDpiX() / 96.0);
  QPainter painter;
  if (!painter.begin(printer)) throw std::runtime_error("Printing failed: the printer did not accept the job");
  QAbstractTextDocumentLayout* layout = copy->documentLayout();
  layout->setPaintDevice(printer);
  // With fullPage off, the painter's origin is the printable area's top left corner.
  const QRectF page(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
  copy->setPageSize(page.size());
  const int pages = std::max(1, copy->pageCount());
  for (int i = 0; i < pages; ++i) {
    if (i > 0 && !printer->newPage()) break;
    painter.save();
    painter.translate(0, -i * page.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = page.translated(0, i * page.height());
    // Text of the default colour prints in the control's text colour.
    context.palette.setColor(QPalette::Text, palette().color(QPalette::Text));
    painter.setClipRect(context.clip);
    layout->draw(&painter, context);
    painter.restore();
  }
  if (!painter.end()) throw std::runtime_error("Printing failed: the job could not be finished");
}

}  // namespace vardel::platform

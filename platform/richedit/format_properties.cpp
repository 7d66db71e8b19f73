// Indents, bullets and font sizes of the rich-edit model inside QTextDocument formats.
#include "platform/richedit/format_properties.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <cmath>

namespace vardel::platform::richtext {

int clampIndent(long long twips) { return int(std::clamp<long long>(twips, -kMaxIndentTwips, kMaxIndentTwips)); }

Indents indentsOf(const QTextBlockFormat& format) {
  if (format.hasProperty(kFirstIndentTwips) || format.hasProperty(kLeftIndentTwips) ||
      format.hasProperty(kRightIndentTwips)) {
    return {format.intProperty(kFirstIndentTwips), format.intProperty(kLeftIndentTwips),
            format.intProperty(kRightIndentTwips)};
  }
  // Qt: leftMargin is where the following lines start, textIndent moves the first line.
  const long long margin = std::llround(format.leftMargin() * kTwipsPerPixel);
  const long long textIndent = std::llround(format.textIndent() * kTwipsPerPixel);
  return {clampIndent(margin + textIndent), clampIndent(-textIndent),
          clampIndent(std::llround(format.rightMargin() * kTwipsPerPixel))};
}

void applyIndents(QTextBlockFormat& format, const Indents& indents, bool bullets) {
  format.setProperty(kFirstIndentTwips, indents.first);
  format.setProperty(kLeftIndentTwips, indents.left);
  format.setProperty(kRightIndentTwips, indents.right);
  const double following = (indents.first + indents.left) / kTwipsPerPixel;
  format.setLeftMargin(following);
  format.setTextIndent(bullets ? 0.0 : -indents.left / kTwipsPerPixel);
  format.setRightMargin(indents.right / kTwipsPerPixel);
  format.setIndent(0);
}

QTextListFormat bulletListFormat() {
  QTextListFormat format;
  format.setStyle(QTextListFormat::ListDisc);
  format.setIndent(0);
  return format;
}

bool isBulleted(const QTextBlock& block) { return block.textList() != nullptr; }

void setBulleted(QTextDocument* document, const QTextBlock& block, bool on) {
  QTextCursor cursor(document);
  cursor.setPosition(block.position());
  if (on && !block.textList()) {
    const QTextBlock previous = block.previous();
    if (QTextList* list = previous.isValid() ? previous.textList() : nullptr)
      list->add(block);
    else
      cursor.createList(bulletListFormat());
  } else if (!on && block.textList()) {
    block.textList()->remove(block);
  }
  const QTextBlock updated = document->findBlock(block.position());
  QTextBlockFormat format = updated.blockFormat();
  applyIndents(format, indentsOf(format), on);
  cursor.setBlockFormat(format);
}

QString familyName(const QString& name) {
  const QString trimmed = name.trimmed();
  if (!trimmed.endsWith(QLatin1Char(']'))) return trimmed;
  const qsizetype open = trimmed.lastIndexOf(QLatin1Char('['));
  if (open <= 0) return trimmed;
  return trimmed.left(open).trimmed();
}

double pointSizeOf(const QFont& font) {
  if (font.pointSizeF() > 0) return font.pointSizeF();
  if (font.pixelSize() > 0) return std::floor(font.pixelSize() * 72.0 / 96.0 + 0.5);
  return 10.0;
}

}  // namespace vardel::platform::richtext

// The estimate of the layout's work and height, paragraph by paragraph.
#include "platform/richedit/layout_limit.h"

#include "platform/richedit/format_properties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace vardel::platform::richtext {

namespace {

// The text is about as wide as the editor's window; a character is about half as wide as
// its font is high, and a line a quarter higher than the font (at 96 dpi, 4/3 pixel a point).
constexpr double kTextWidthPixels = 740;
constexpr double kPixelsPerPoint = 4.0 / 3.0;

}  // namespace

bool LayoutBudget::addParagraph(qsizetype characters, double points, double pictureHeight) {
  const double n = double(std::max<qsizetype>(characters, 0));
  lines_ += 1 + n / 20 + (n / 400) * (n / 400);
  const double em = std::max(points, 1.0) * kPixelsPerPoint;
  const double perLine = std::max(1.0, std::floor(kTextWidthPixels / (em * 0.5)));
  height_ += std::max(1.0, std::ceil(n / perLine)) * em * 1.25 + std::max(pictureHeight, 0.0);
  exceeded_ = exceeded_ || lines_ > kMaxLayoutLines || height_ > kMaxLayoutHeightPixels;
  return !exceeded_;
}

bool LayoutBudget::wouldExceed(qsizetype characters) const {
  const double n = double(std::max<qsizetype>(characters, 0));
  return exceeded_ || lines_ + 1 + n / 20 + (n / 400) * (n / 400) > kMaxLayoutLines;
}

bool addDocument(LayoutBudget& budget, const QTextDocument& document) {
  const QFont base = document.defaultFont();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    double points = 0;
    double pictures = 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      points =
          std::max(points, format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                          : pointSizeOf(format.font().resolve(base)));
      if (format.isImageFormat()) pictures += format.toImageFormat().height() * it.fragment().length();
    }
    if (points <= 0) points = pointSizeOf(base);
    if (!budget.addParagraph(block.length() - 1, points, pictures)) return false;
  }
  return true;
}

bool hasWordOfManyFormats(const QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    int formats = 0;  // of the word read so far
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QString text = it.fragment().text();
      qsizetype lastBlank = -1;
      for (qsizetype i = text.size() - 1; i >= 0 && lastBlank < 0; --i) {
        if (text[i].isSpace()) lastBlank = i;
      }
      if (lastBlank >= 0) {
        formats = lastBlank + 1 < text.size() ? 1 : 0;
      } else if (++formats > kMaxFormatsInWord) {
        return true;
      }
    }
  }
  return false;
}

void keepShapesOfManyFormats(QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    int formats = 0;
    for (auto it = block.begin(); !it.atEnd() && formats <= kMaxFormatsInWord; ++it) ++formats;
    if (formats > kMaxFormatsInWord) block.layout()->setCacheEnabled(true);
  }
}

}  // namespace vardel::platform::richtext

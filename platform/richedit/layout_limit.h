// The longest document the control shows: what Qt's text layout carries while still reaching
// the end of the text (Ctrl+End) within a second.
#pragma once

#include <QtGlobal>

class QTextDocument;

namespace vardel::platform::richtext {

// Qt lays a document out paragraph by paragraph, all of it before the end can be shown. Its
// time, measured on a busy two-core machine (bench/long_document_bench.cpp): about 3 us for a
// paragraph, 0.14 us for each of its n characters, and 0.019 n^2 ns more, since a long
// paragraph costs more per character (one of 300,000 characters takes 1.7 s). In those 3 us
// units a paragraph counts 1 + n/20 + (n/400)^2 lines, and the control takes up to
// kMaxLayoutLines of them: 140,000 lines of one character take about 0.5 s, and Ctrl+End
// right after opening them about 0.6 s while the machine is busy (0.9 s for 190,000).
constexpr double kMaxLayoutLines = 150000;
// Qt's layout does not end in reasonable time for a document taller than 8,388,607 pixels (its
// largest page height): 6,000 lines in a font of 1,600 points run for minutes. The estimate of
// the height (below) is rough, so the limit keeps a margin.
constexpr double kMaxLayoutHeightPixels = 8000000;

// Qt breaks a word longer than its line anywhere, but looks for each break by reading the rest
// of the word format change by format change: a paragraph that is one word of 10,000 formatting
// changes (runs written without a blank between them) takes 1.5 s to lay out, four times that
// for twice as many. A document holding a word of more than kMaxFormatsInWord changes is laid
// out without breaking words (that word runs past the right edge), which costs linear time.
constexpr int kMaxFormatsInWord = 1000;
bool hasWordOfManyFormats(const QTextDocument& document);

// Qt throws the shapes of a paragraph's glyphs away once it is laid out, and shapes it again for
// every paint and every caret move in it: the paragraphs of more than kMaxFormatsInWord
// formatting changes (a second or more for each shaping) keep them.
void keepShapesOfManyFormats(QTextDocument& document);

// The lines and the height of a document counted paragraph by paragraph, as it is read.
class LayoutBudget {
 public:
  // A paragraph of `characters` characters whose largest font is `points`, with pictures of
  // `pictureHeight` pixels in all. False once the document is more than the control takes.
  bool addParagraph(qsizetype characters, double points, double pictureHeight = 0);
  bool exceeded() const { return exceeded_; }
  // Whether a paragraph of `characters` characters would exceed it, however it goes on.
  bool wouldExceed(qsizetype characters) const;
  double lines() const { return lines_; }

 private:
  double lines_ = 0;
  double height_ = 0;
  bool exceeded_ = false;
};

// Adds every paragraph of `document`; false when the document is more than the control takes.
bool addDocument(LayoutBudget& budget, const QTextDocument& document);

}  // namespace vardel::platform::richtext

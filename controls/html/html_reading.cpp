// The light viewer's reading aids: find with marks, text size, the place scrolled to.
#include "controls/html/html_viewer.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include <cmath>

namespace vardel::controls {
namespace {

// Marking costs every paint its share: a find that matches more marks only this many around the
// current match (the count still tells them all).
constexpr qsizetype kMaxMarks = 2000;
const QColor kMatchMark(255, 255, 0);
const QColor kCurrentMark(255, 150, 50);

}  // namespace

bool HtmlViewerControl::shownWhole() const {
  return request_.serial != 0 && shownSerial_ == request_.serial && !displayPending_ && !partial_;
}

void HtmlViewerControl::shownWholeNow() {
  shownSerial_ = request_.serial;
  if (pendingScroll_) {
    const QPoint place = *pendingScroll_;
    pendingScroll_.reset();
    setScrollPosition(place);
  }
  if (!foundText_.isEmpty()) {
    // The same document again (a new text size): the same matches, marked anew.
    const platform::FoldedText folded = platform::foldForSearch(document()->toRawText());
    matches_ = platform::findFolded(folded, foundText_);
    currentMatch_ = std::min(currentMatch_, matches_.size() - 1);
    markMatches();
  }
  if (pendingFind_) {
    const Find find = std::move(*pendingFind_);
    pendingFind_.reset();
    runFind(find);
  }
}

void HtmlViewerControl::forgetFind() {
  foundText_.clear();
  matches_.clear();
  currentMatch_ = -1;
  setExtraSelections({});
}

void HtmlViewerControl::findText(const QString& text, bool backward, std::function<void(int, int)> done) {
  Find find{text, backward, std::move(done)};
  if (partial_) completeDisplay();
  if (!text.isEmpty() && request_.serial != 0 && !shownWhole()) {
    pendingFind_ = std::move(find);  // served once the document is shown whole
    return;
  }
  runFind(find);
}

void HtmlViewerControl::runFind(const Find& find) {
  if (find.text.isEmpty() || request_.serial == 0) {
    forgetFind();
  } else if (find.text != foundText_) {
    matches_ = platform::findFolded(platform::foldForSearch(document()->toRawText()), find.text);
    foundText_ = find.text;
    currentMatch_ = matches_.isEmpty() ? -1 : (find.backward ? matches_.size() - 1 : 0);
  } else if (!matches_.isEmpty()) {
    const qsizetype count = matches_.size();
    currentMatch_ = ((currentMatch_ + (find.backward ? -1 : 1)) % count + count) % count;
  }
  markMatches();
  if (currentMatch_ >= 0) {
    // The current match in the middle of the view when it lies outside it.
    QTextCursor at(document());
    at.setPosition(matches_[currentMatch_].start);
    const QRect place = cursorRect(at);
    if (place.top() < 0 || place.bottom() > viewport()->height())
      verticalScrollBar()->setValue(verticalScrollBar()->value() + place.center().y() - viewport()->height() / 2);
  }
  if (!find.done) return;
  const int current = int(currentMatch_ + 1);
  const int total = int(matches_.size());
  QTimer::singleShot(0, this, [done = find.done, current, total] { done(current, total); });
}

void HtmlViewerControl::markMatches() {
  QList<QTextEdit::ExtraSelection> marks;
  if (currentMatch_ < 0) {
    setExtraSelections(marks);
    return;
  }
  const qsizetype first = std::max<qsizetype>(0, currentMatch_ - kMaxMarks / 2);
  const qsizetype end = std::min(matches_.size(), first + kMaxMarks);
  for (qsizetype i = first; i < end; ++i) {
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(document());
    mark.cursor.setPosition(matches_[i].start);
    mark.cursor.setPosition(matches_[i].start + matches_[i].length, QTextCursor::KeepAnchor);
    mark.format.setBackground(i == currentMatch_ ? kCurrentMark : kMatchMark);
    mark.format.setForeground(Qt::black);
    marks.append(mark);
  }
  setExtraSelections(marks);
}

void HtmlViewerControl::setTextZoom(double factor) {
  if (!(factor > 0) || factor == textZoom_) return;
  const double before = textZoom_;
  textZoom_ = factor;
  if (!shownWhole()) {
    // What is on display is only a start, or nothing yet: the next display takes the size.
    if (partial_) completeDisplay();
    return;
  }
  // The same place of the document stays at the top: scaled with the text.
  const QPoint place = scrollPosition();
  pendingScroll_ = QPoint(place.x(), int(std::lround(place.y() * factor / before)));
  display(parseForDisplay());
}

void HtmlViewerControl::applyTextZoom(QTextDocument* parsed) const {
  if (textZoom_ == 1) return;
  const auto scaled = [this](int pixels) { return std::max(1, int(std::lround(pixels * textZoom_))); };
  QFont base = parsed->defaultFont();
  base.setPixelSize(scaled(base.pixelSize()));
  parsed->setDefaultFont(base);
  for (QTextBlock block = parsed->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      QTextCharFormat change;
      if (format.hasProperty(QTextFormat::FontPixelSize))
        change.setProperty(QTextFormat::FontPixelSize, scaled(format.intProperty(QTextFormat::FontPixelSize)));
      if (format.hasProperty(QTextFormat::FontPointSize))
        change.setFontPointSize(format.doubleProperty(QTextFormat::FontPointSize) * textZoom_);
      if (change.properties().isEmpty()) continue;
      QTextCursor cursor(parsed);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.mergeCharFormat(change);
    }
  }
}

QPoint HtmlViewerControl::scrollPosition() { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

void HtmlViewerControl::setScrollPosition(QPoint position) {
  if (request_.serial == 0) return;
  if (!shownWhole()) {
    pendingScroll_ = position;
    return;
  }
  // The layout of a long document runs on in steps: all of it first, for the place to exist.
  document()->documentLayout()->documentSize();
  horizontalScrollBar()->setValue(position.x());
  verticalScrollBar()->setValue(position.y());
}

QString HtmlViewerControl::currentUrl() {
  if (request_.path.isEmpty()) return {};
  QUrl url = QUrl::fromLocalFile(request_.path);
  if (!request_.fragment.isEmpty()) url.setFragment(request_.fragment);
  return url.toString();
}

}  // namespace vardel::controls

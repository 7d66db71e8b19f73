// The light HTML viewer inside html.ocx: loads "file:" documents, shows them and gives their text.
#pragma once

#include "controls/control_abi.h"
#include "platform/file_stamp.h"
#include "platform/text_fold.h"

#include <QSet>
#include <QString>
#include <QTextBrowser>

#include <cstdint>
#include <optional>

namespace vardel::controls {

// Display settings used unless a document sets its own. Sizes are pixels at 96 dots per
// inch: 12 pt is 16 px.
struct ViewerSettings {
  static constexpr int kBodyPixels = 16;                              // "Times New Roman" 12 pt
  static constexpr int kFixedPixels = 13;                             // "Courier New" 9.75 pt
  static constexpr int kHeadingPixels[6] = {32, 24, 19, 16, 13, 11};  // 24, 18, 14.25, 12, 9.75, 8.25 pt
};

// The viewer. Requests are served in order through the event loop:
//
//  loadDocument(url) checks the URL at once (a "file:" URL naming an existing file, see
//  platform::resolveFileUrl) and otherwise fails with a reason. It also reads and decodes the
//  file at once (see decodeHtml) and refuses, as it refuses a missing one, a document that nests
//  its elements deeper than kMaxNestingDepth or holds more than kMaxElements (see refusalOf):
//  parsing it would hold the program for minutes. What was read is kept for the request (one
//  document at most) and is what its turn shows, unless the file was written, replaced or removed
//  meanwhile (see platform::fileStamp): it is then read again. An accepted request is parsed and
//  reported through parseComplete() on a later turn of the event loop, never inside loadDocument; the parsed document
//  is laid out and shown on the turn after, under the hourglass (a page laid out in tables costs Qt's text layout
//  several times its parse). A long document opened at its top is parsed and shown first by a start that covers the
//  viewer (cut between blocks, see blockBoundaryAfter), then whole once that start has been painted: the first
//  screenful comes as soon as a short page's would, and is the same as the whole document's. A viewer that cannot be
//  seen (hidden, or parked outside its window) parses for display only once it is shown. A newer request replaces one
//  not yet served: only the newest is shown and reported. A file that cannot be read when its turn comes (or a followed
//  link's document nesting too deep) gives an error page and, still, one parseComplete(); its text is then an error.
//
//  Links are followed inside the viewer: in-page anchors, relative and absolute "file:" links
//  (names matched without regard to case), each followed link reported by parseComplete()
//  like a request; a link to a missing file shows an error page. Links of other schemes
//  (http, mailto...) are handed to the desktop.
//
//  Once setContentFolder() names the magazine's folder, documents, links, pictures and style
//  sheets outside it are missing files: a request fails, a link shows the missing-file page, a
//  picture stays empty.
//
//  documentText(first, last) is the readable text of the document held (see htmlToText):
//  characters first .. last-1 of it; an empty or reversed range — (0, 0) and (-1, -1) as the
//  program passes — means the whole text. Before any request the text is empty. A document
//  whose request is not served yet is read at once, so the text is always that of the
//  newest request. After a failed read, it fails with the reason.
//
//  queryTextMode() answers whether documentText() has a document's text to give: -1 (true)
//  when a document is held or requested and readable, 0 (false) when none is (nothing
//  requested yet, or the last read failed).
class HtmlViewerControl : public QTextBrowser, public HtmlViewer {
  Q_OBJECT
 public:
  HtmlViewerControl(QWidget* parent, ControlEvents* events);
  ~HtmlViewerControl() override;

  QWidget* widget() override { return this; }
  HtmlViewer* asHtmlViewer() override { return this; }
  bool loadDocument(const QString& url, QString& error) override;
  bool documentText(std::int32_t first, std::int32_t last, QString& text, QString& error) override;
  std::int16_t queryTextMode() override;
  void setContentFolder(const QString& folder) override { contentFolder_ = folder; }
  // Prints the whole document held, as the viewer lays it out, at once.
  void printDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done) override;

  // The file of the document held or requested; empty before the first request.
  QString documentPath() const { return request_.path; }

  // Reading aids (see Control): the text size scales every font of the document, pictures keep
  // theirs; marks of a find and a place asked for wait until the document is shown whole.
  void findText(const QString& text, bool backward, std::function<void(int current, int total)> done) override;
  void setTextZoom(double factor) override;
  QPoint scrollPosition() override;
  void setScrollPosition(QPoint position) override;
  QString currentUrl() override;

 protected:
  QVariant loadResource(int type, const QUrl& name) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Request {
    quint64 serial = 0;
    QString path;
    QString fragment;
  };
  // What was read for a request.
  struct Document {
    quint64 serial = 0;
    QString html;
    QString error;         // not empty when the file could not be read
    bool tooDeep = false;  // read, and refused for its nesting or its number of elements
    std::optional<QString> text;
    std::optional<platform::FileStamp> stamp;  // of the file, taken before it was read
  };

  Document read(const QString& path) const;
  // False for a file outside the magazine's folder, which is then treated as missing.
  bool readable(const QString& path) const;
  void enqueue(const QString& path, const QString& fragment);
  void serve(quint64 serial);
  void readRequested();
  bool onScreen() const;
  void showPending();
  // The document held, parsed into a new QTextDocument with the display settings applied: its
  // first `end` characters alone when `end` is not negative.
  QTextDocument* parseForDisplay(qsizetype end = -1);
  // Where the display cuts the document held to show its start first; -1 to show it whole.
  qsizetype firstScreenCut(qsizetype from) const;
  // Shows `parsed`, the start of the document held up to `cut` or, when `cut` is -1, the whole.
  void display(QTextDocument* parsed, qsizetype cut = -1);
  // How far down, in pixels, the start `start` of the document held, laid out, shows what the whole
  // document shows there.
  static qreal startCovers(QTextDocument* start);
  // Replaces the start on display by the whole document, keeping the place scrolled to.
  void completeDisplay();
  void followLink(const QUrl& link);
  void adjustLinkColours(QTextDocument* parsed, const QColor& link, const QColor& visitedLink);
  void adjustHeadingSizes(QTextDocument* parsed);
  QString folderOfDocument() const;
  // Reading aids (html_reading.cpp).
  struct Find {
    QString text;
    bool backward = false;
    std::function<void(int, int)> done;
  };
  bool shownWhole() const;
  void forgetFind();
  void runFind(const Find& find);
  void markMatches();
  void applyTextZoom(QTextDocument* parsed) const;
  // The document was shown whole: a place and a find asked for meanwhile are served.
  void shownWholeNow();
  // A picture or style sheet of the document; null when there is none to give.
  QVariant readResource(int type, const QUrl& name) const;

  ControlEvents* events_;
  Request request_;
  Document document_;
  Document prefetched_;          // read by loadDocument for the request not served yet
  bool displayPending_ = false;  // the document held is not the one on display yet
  bool partial_ = false;         // only the start of the document held is on display
  bool completionQueued_ = false;
  QColor textColour_;
  int busyCursors_ = 0;  // hourglasses set for layouts still queued
  quint64 nextSerial_ = 1;
  QSet<QString> visited_;
  QString contentFolder_;    // empty: not confined
  quint64 shownSerial_ = 0;  // the request shown whole
  double textZoom_ = 1;
  std::optional<QPoint> pendingScroll_;
  std::optional<Find> pendingFind_;
  QString foundText_;  // what the marks on display are for; empty without marks
  QList<platform::TextMatch> matches_;
  qsizetype currentMatch_ = -1;
};

}  // namespace vardel::controls

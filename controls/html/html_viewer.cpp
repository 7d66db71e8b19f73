// The light HTML viewer: request queue, display over QTextBrowser, links and text.
#include "controls/html/html_viewer.h"

#include "platform/content_folder.h"
#include "platform/file_stamp.h"
#include "platform/file_url.h"
#include "platform/html/html_article.h"
#include "platform/html/html_source.h"
#include "platform/html/html_tag_table.h"
#include "platform/html/html_tags.h"
#include "platform/html/html_text.h"
#include "platform/regular_file.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPrinter>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOption>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace vardel::controls {

namespace html = platform::html;

namespace {

// Heading sizes Qt's HTML import gives on a 16-pixel body, by level.
constexpr int kImportedHeadingPixels[6] = {32, 24, 19, 16, 13, 16};
const QColor kSilver(192, 192, 192);

// The look of the scroll bars of the discs' days, flat and bevelled. It is also the cheap one to
// draw: the desktop's style shades its bars with gradients, which a scaled screen makes the
// slowest part of showing an article. The bars keep the desktop style's width, to which the
// pages are laid out (a narrower page would give the almanac's table a bar across).
class ClassicScrollBars : public QProxyStyle {
 public:
  ClassicScrollBars() : QProxyStyle(QStringLiteral("Windows")) {}
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_ScrollBarExtent) return QApplication::style()->pixelMetric(metric, option, widget);
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
  // The groove is a dither of two colours, pixel by pixel. On a scaled screen the dither would
  // be stretched into uneven blocks, and filled a span at a time: there it is the colour the
  // dither makes from a distance.
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    if ((element == CE_ScrollBarAddPage || element == CE_ScrollBarSubPage) && !(option->state & State_Sunken) &&
        painter->deviceTransform().type() > QTransform::TxTranslate) {
      const QColor light = option->palette.light().color();
      const QColor window = option->palette.window().color();
      painter->fillRect(option->rect, QColor((light.red() + window.red()) / 2, (light.green() + window.green()) / 2,
                                             (light.blue() + window.blue()) / 2));
      return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }
};

// Documents shorter than this, in characters, are always shown whole: parsing them costs little.
constexpr qsizetype kLongDocumentChars = 32 * 1024;
// Where the search for the cut of a long document's start begins, in characters. A start found
// too short is tried again longer by as much as it fell short (a tenth more, to be sure of
// passing), at least kShortestLonger and at most kLongestLonger times its length: a table that
// follows a short start is not taken into it when the text before the table covers the viewer.
constexpr qsizetype kFirstScreenChars = 2 * 1024;
constexpr double kShortestLonger = 1.25;
constexpr double kLongestLonger = 4;

// An HTML colour attribute: "#rrggbb", "rrggbb" as old pages often write it, or a name.
QColor htmlColour(const QString& value, const QColor& fallback) {
  QString text = value.trimmed();
  static const QRegularExpression bareHex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
  if (bareHex.match(text).hasMatch()) text.prepend(QLatin1Char('#'));
  const QColor colour = QColor::fromString(text);
  return colour.isValid() ? colour : fallback;
}

// Qt's import drops a list item without text of its own (empty, or holding only a nested list),
// and the items after it take its number. A no-break space keeps such an item: blank on screen,
// numbered as it should be.
QString keepEmptyListItems(const QString& page) {
  const auto endsItem = [](GumboTag tag) { return tag == GUMBO_TAG_LI || html::tagIs(tag, html::kList); };
  QString out;
  qsizetype copied = 0;
  qsizetype itemStart = -1;  // where the text of an item without text so far would begin
  const auto keep = [&] {
    out += QStringView(page).sliced(copied, itemStart - copied);
    out += QChar(QChar::Nbsp);
    copied = itemStart;
    itemStart = -1;
  };
  html::HtmlTokenizer tokenizer(page);
  html::HtmlToken token;
  while (tokenizer.next(token)) {
    if (token.kind == html::HtmlToken::kStartTag && html::HtmlTokenizer::hasTextContent(token.tag))
      tokenizer.skipTextContent(token);
    if (itemStart >= 0) {
      if (token.kind == html::HtmlToken::kText ? token.blank : html::tagIs(token.tag, html::kPhrase)) continue;
      if (token.kind != html::HtmlToken::kText && endsItem(token.tag)) {
        keep();
      } else {
        itemStart = -1;
      }
    }
    if (token.kind == html::HtmlToken::kStartTag && token.tag == GUMBO_TAG_LI) itemStart = token.end;
  }
  if (itemStart >= 0) keep();
  if (copied == 0) return page;
  out += QStringView(page).sliced(copied);
  return out;
}

QString errorPage(const QString& title, const QString& detail) {
  return QStringLiteral("<html><body><h3>%1</h3><p>%2</p></body></html>")
      .arg(title.toHtmlEscaped(), detail.toHtmlEscaped());
}

}  // namespace

HtmlViewerControl::HtmlViewerControl(QWidget* parent, ControlEvents* events) : QTextBrowser(parent), events_(events) {
  setObjectName(QStringLiteral("HtmlViewer"));
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setFrameShape(QFrame::NoFrame);
  // Always there, as in the browsers of the discs' days; it also spares a second layout of
  // every long document when the bar would otherwise appear and narrow the page.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The viewer's own: the style's code is in this library, which may be unloaded before the
  // application ends.
  auto* classic = new ClassicScrollBars;
  classic->setParent(this);
  verticalScrollBar()->setStyle(classic);
  horizontalScrollBar()->setStyle(classic);
  setUndoRedoEnabled(false);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, kSilver);
  colours.setColor(QPalette::Text, Qt::black);
  colours.setColor(QPalette::Link, Qt::blue);
  colours.setColor(QPalette::LinkVisited, Qt::magenta);
  setPalette(colours);
  QFont body(QStringLiteral("Times New Roman"));
  body.setPixelSize(ViewerSettings::kBodyPixels);
  document()->setDefaultFont(body);
  connect(this, &QTextBrowser::anchorClicked, this, &HtmlViewerControl::followLink);
  // The host moves and shows its own widget, the parent of this one.
  if (parent) parent->installEventFilter(this);
}

HtmlViewerControl::~HtmlViewerControl() {
  // Layouts still queued die with the viewer; their hourglass must not outlive it.
  for (; busyCursors_ > 0; --busyCursors_) QGuiApplication::restoreOverrideCursor();
}

bool HtmlViewerControl::loadDocument(const QString& url, QString& error) {
  const platform::FileUrl target = platform::resolveFileUrl(url);
  if (target.path.isEmpty()) {
    error = QStringLiteral("El visor solo abre ficheros locales (file:): %1").arg(url);
    return false;
  }
  if (!readable(target.path)) {  // not even whether it exists is told
    error = QStringLiteral("No se ha encontrado el fichero: %1").arg(target.path);
    return false;
  }
  // Only a regular file within the article limit is taken, refused at once like a missing one
  // otherwise: a pipe or a device would be read for ever.
  switch (platform::checkRegularFile(target.path, platform::kMaxArticleBytes)) {
    case platform::FileRefusal::None:
      break;
    case platform::FileRefusal::NotRegular:
      error = QFileInfo(target.path).isDir() ? QStringLiteral("No es un fichero sino una carpeta: %1").arg(target.path)
                                             : QStringLiteral("No se ha encontrado el fichero: %1").arg(target.path);
      return false;
    case platform::FileRefusal::TooLarge:
      error = QStringLiteral("El fichero %1 es demasiado grande").arg(target.path);
      return false;
    default:
      error = QStringLiteral("No se ha encontrado el fichero: %1").arg(target.path);
      return false;
  }
  // Read now to refuse what cannot be parsed; what was read is what its turn shows.
  Document loaded = read(target.path);
  if (loaded.tooDeep) {
    error = loaded.error;
    return false;
  }
  enqueue(target.path, target.fragment);
  loaded.serial = request_.serial;
  prefetched_ = std::move(loaded);
  return true;
}

void HtmlViewerControl::enqueue(const QString& path, const QString& fragment) {
  request_ = {nextSerial_++, path, fragment};
  prefetched_ = {};
  const quint64 serial = request_.serial;
  QMetaObject::invokeMethod(
      this, [this, serial] { serve(serial); }, Qt::QueuedConnection);
}

void HtmlViewerControl::serve(quint64 serial) {
  if (serial != request_.serial) return;  // replaced by a newer request
  if (events_) events_->documentStarting(currentUrl());
  forgetFind();
  readRequested();
  if (document_.error.isEmpty()) visited_.insert(request_.path);
  displayPending_ = true;
  // Parsed for display now when the viewer can be seen; the layout, which for a page laid out
  // in tables costs far more than the parse, follows on the next turn under the hourglass.
  const bool seen = onScreen();
  const qsizetype cut = seen ? firstScreenCut(kFirstScreenChars) : -1;
  QTextDocument* parsed = seen ? parseForDisplay(cut) : nullptr;
  if (parsed) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyCursors_;
    QMetaObject::invokeMethod(
        this,
        [this, serial, parsed, cut] {
          if (serial == request_.serial && displayPending_) {
            display(parsed, cut);
          } else {
            delete parsed;
          }
          --busyCursors_;
          QGuiApplication::restoreOverrideCursor();
        },
        Qt::QueuedConnection);
  }
  if (events_) events_->parseComplete();
}

bool HtmlViewerControl::readable(const QString& path) const {
  return contentFolder_.isEmpty() || platform::insideFolder(path, contentFolder_);
}

HtmlViewerControl::Document HtmlViewerControl::read(const QString& path) const {
  Document document;
  if (!readable(path)) {
    document.error = QStringLiteral("No se ha encontrado el fichero: %1").arg(path);
    return document;
  }
  html::Article article = html::readArticle(path);
  document.stamp = article.stamp;
  document.tooDeep = article.failure == platform::FileRefusal::None && !article.refusal.isEmpty();
  document.html = std::move(article.text);
  document.error = std::move(article.refusal);
  return document;
}

void HtmlViewerControl::readRequested() {
  if (document_.serial == request_.serial || request_.serial == 0) return;
  // What loadDocument read serves unless the file changed or went since.
  const bool unchanged = prefetched_.serial == request_.serial && prefetched_.stamp &&
                         platform::fileStamp(request_.path) == prefetched_.stamp;
  document_ = unchanged ? std::move(prefetched_) : read(request_.path);
  document_.serial = request_.serial;
  prefetched_ = {};
}

bool HtmlViewerControl::documentText(std::int32_t first, std::int32_t last, QString& text, QString& error) {
  if (request_.serial == 0) {
    text.clear();
    return true;
  }
  readRequested();
  if (!document_.error.isEmpty()) {
    error = document_.error;
    return false;
  }
  if (!document_.text) document_.text = html::htmlToText(document_.html);
  const QString& whole = *document_.text;
  if (first < 0 || last <= first) {
    text = whole;
  } else {
    text = whole.mid(first, last - first);
  }
  return true;
}

std::int16_t HtmlViewerControl::queryTextMode() {
  if (request_.serial == 0) return 0;
  readRequested();
  return document_.error.isEmpty() ? -1 : 0;
}

void HtmlViewerControl::printDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done) {
  if (request_.serial == 0) {
    done(false, QStringLiteral("No hay ningún documento que imprimir"));
    return;
  }
  readRequested();
  if (!document_.error.isEmpty()) {
    done(false, document_.error);
    return;
  }
  // The whole document afresh (what is on display may be only its start), laid out in screen
  // pixels on pages of the printer's size: its sizes are pixels, which the printer's own
  // resolution would shrink to nothing. The pages are then scaled onto the printer.
  const QMarginsF margins = printer->pageLayout().margins(QPageLayout::Millimeter);
  if (margins.isNull()) printer->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  const std::unique_ptr<QTextDocument> whole(parseForDisplay());
  const qreal screenDpiX = logicalDpiX(), screenDpiY = logicalDpiY();
  whole->setPageSize(QSizeF(printer->width() * screenDpiX / printer->logicalDpiX(),
                            printer->height() * screenDpiY / printer->logicalDpiY()));
  whole->print(printer);
  const bool pdf = printer->outputFormat() == QPrinter::PdfFormat;
  if (printer->printerState() == QPrinter::Error || (pdf && QFileInfo(printer->outputFileName()).size() == 0)) {
    done(false, pdf ? QStringLiteral("No se puede escribir el fichero %1").arg(printer->outputFileName())
                    : QStringLiteral("La impresora %1 no ha aceptado el documento").arg(printer->printerName()));
    return;
  }
  done(true, QString());
}

bool HtmlViewerControl::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() &&
      (event->type() == QEvent::Move || event->type() == QEvent::Show || event->type() == QEvent::Resize))
    showPending();
  return QTextBrowser::eventFilter(watched, event);
}

void HtmlViewerControl::showEvent(QShowEvent* event) {
  QTextBrowser::showEvent(event);
  showPending();
}

void HtmlViewerControl::resizeEvent(QResizeEvent* event) {
  QTextBrowser::resizeEvent(event);
  if (partial_) completeDisplay();  // the start may not cover the new size
  showPending();
}

void HtmlViewerControl::moveEvent(QMoveEvent* event) {
  QTextBrowser::moveEvent(event);
  showPending();
}

bool HtmlViewerControl::onScreen() const {
  if (!isVisible()) return false;
  for (const QWidget* w = this; w && !w->isWindow(); w = w->parentWidget()) {
    if (!w->parentWidget()->rect().intersects(w->geometry())) return false;
  }
  return true;
}

// A document is laid out only where it can be seen: a viewer parked outside its window (as
// the browser build keeps it, for the text alone) never pays for the layout.
void HtmlViewerControl::showPending() {
  if (displayPending_ && onScreen()) display(parseForDisplay());
}

void HtmlViewerControl::paintEvent(QPaintEvent* event) {
  QTextBrowser::paintEvent(event);
  // The whole document follows its start once that start is on the screen.
  if (partial_ && !completionQueued_) {
    completionQueued_ = true;
    const quint64 serial = request_.serial;
    // On a timer: the frame reaches the screen, and input that came meanwhile is served, first.
    QTimer::singleShot(0, this, [this, serial] {
      if (serial == request_.serial) completeDisplay();
    });
  }
}

qsizetype HtmlViewerControl::firstScreenCut(qsizetype from) const {
  // A fragment may point past any start; an error page is short.
  if (!request_.fragment.isEmpty() || !document_.error.isEmpty() || pendingScroll_) return -1;
  const qsizetype size = document_.html.size();
  if (size < kLongDocumentChars || from > size / 2) return -1;
  const qsizetype cut = html::blockBoundaryAfter(document_.html, from);
  return cut > size / 2 ? -1 : cut;
}

QTextDocument* HtmlViewerControl::parseForDisplay(qsizetype end) {
  // Parented to the viewer, so that pictures and style sheets load through loadResource()
  // and the document goes when the next one replaces it.
  auto* parsed = new QTextDocument(this);
  parsed->setUndoRedoEnabled(false);
  // Not laid out before the viewer gives it its width: a layout at the document's natural
  // width, all its tables included, would be thrown away at once.
  parsed->setPageSize(QSizeF(0, 0));
  QFont bodyFont(QStringLiteral("Times New Roman"));
  bodyFont.setPixelSize(ViewerSettings::kBodyPixels);
  parsed->setDefaultFont(bodyFont);
  textColour_ = Qt::black;
  if (!document_.error.isEmpty()) {
    const qsizetype colon = document_.error.indexOf(QLatin1String(": "));
    parsed->setHtml(errorPage(document_.error.left(colon), colon < 0 ? QString() : document_.error.mid(colon + 2)));
    return parsed;
  }
  const QHash<QString, QString> body = html::bodyAttributes(document_.html);
  const QColor link = htmlColour(body.value(QStringLiteral("link")), Qt::blue);
  const QColor visitedLink = htmlColour(body.value(QStringLiteral("vlink")), Qt::magenta);
  textColour_ = htmlColour(body.value(QStringLiteral("text")), Qt::black);
  parsed->setDefaultStyleSheet(QStringLiteral("a[href] { color: %1 } pre, tt, code, kbd, samp, xmp, listing, plaintext "
                                              "{ font-family: 'Courier New'; font-size: %2px }")
                                   .arg(link.name())
                                   .arg(ViewerSettings::kFixedPixels));
  parsed->setBaseUrl(QUrl::fromLocalFile(request_.path));
  parsed->setHtml(keepEmptyListItems(end < 0 ? document_.html : document_.html.left(end)));
  adjustHeadingSizes(parsed);
  adjustLinkColours(parsed, link, visitedLink);
  applyTextZoom(parsed);
  return parsed;
}

void HtmlViewerControl::display(QTextDocument* parsed, qsizetype cut) {
  displayPending_ = false;
  partial_ = false;
  QPalette colours = palette();
  colours.setColor(QPalette::Text, textColour_);
  setPalette(colours);
  // QTextEdit deletes only the document it made itself; those parsed here are children of the
  // viewer and would stay with it, pictures and all, until the viewer goes.
  // (The first, QTextEdit's own, is deleted by setDocument: its parent is judged before.)
  QTextDocument* replaced = document();
  const bool ours = replaced != parsed && replaced->parent() == this;
  setDocument(parsed);
  if (ours) delete replaced;
  // A page with a colour of its own has it painted over the whole view; the viewer's silver
  // beneath would be filled first for nothing.
  const QBrush page = parsed->rootFrame()->frameFormat().background();
  const bool pagePaintsAll = page.style() == Qt::SolidPattern && page.color().alpha() == 255;
  viewport()->setAutoFillBackground(!pagePaintsAll);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent, pagePaintsAll);
  if (!request_.fragment.isEmpty() && document_.error.isEmpty()) {
    scrollToAnchor(request_.fragment);
  } else {
    verticalScrollBar()->setValue(0);
  }
  if (cut < 0) {
    shownWholeNow();
    return;
  }
  // Laying the start out whole costs little; a start that does not cover the viewer gives way to
  // a longer one, at last to the whole document.
  const qreal covered = startCovers(parsed);
  if (covered < viewport()->height()) {
    const double ratio = covered > 0 ? 1.1 * viewport()->height() / covered : kLongestLonger;
    const qsizetype longer =
        firstScreenCut(qsizetype(double(cut) * std::clamp(ratio, kShortestLonger, kLongestLonger)));
    display(parseForDisplay(longer), longer);
    return;
  }
  partial_ = true;
  completionQueued_ = false;
}

qreal HtmlViewerControl::startCovers(QTextDocument* start) {
  // The import closes a start that ends in a table with an empty block of its own, where the whole
  // document goes on with its next block: that one is not the start's.
  QTextBlock last = start->lastBlock();
  if (last.length() <= 1 && last.previous().isValid()) last = last.previous();
  // The whole document sets out everything up to the lines of this block as the start does, and
  // anything after them (margins, the next block) below them.
  return start->documentLayout()->blockBoundingRect(last).bottom();
}

void HtmlViewerControl::completeDisplay() {
  if (!partial_) return;
  const int top = verticalScrollBar()->value();
  const int lastShown = cursorForPosition(QPoint(0, viewport()->height())).position();
  display(parseForDisplay());
  if (top == 0) return;
  // The whole document is laid out on demand: far enough first for the place to exist.
  document()->documentLayout()->blockBoundingRect(document()->findBlock(lastShown));
  verticalScrollBar()->setValue(top);
}

void HtmlViewerControl::adjustHeadingSizes(QTextDocument* parsed) {
  for (QTextBlock block = parsed->begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level < 1 || level > 6) continue;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      // Only what the import chose; a size or weight the document gives stays.
      QTextCharFormat change;
      if (format.font().pixelSize() == kImportedHeadingPixels[level - 1] &&
          kImportedHeadingPixels[level - 1] != ViewerSettings::kHeadingPixels[level - 1])
        change.setProperty(QTextFormat::FontPixelSize, ViewerSettings::kHeadingPixels[level - 1]);
      if (!format.hasProperty(QTextFormat::FontWeight)) change.setFontWeight(QFont::Bold);
      if (change.properties().isEmpty()) continue;
      QTextCursor cursor(parsed);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.mergeCharFormat(change);
    }
  }
}

}  // namespace vardel::controls

// The browser control's reading aids: the engine's find, zoom and scrolling.
#include "controls/webbrowser/browser_control.h"

#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEngineScript>

namespace vardel::controls {

void BrowserControl::loaded() {
  loading_ = false;
  // The documents this page showed before are garbage in its renderer now; collected at once,
  // rather than when the engine's heap has grown enough to ask for it (by a hundred MB and
  // more over a few hundred articles), they leave the renderer about as large as one article.
  page_->runJavaScript(QStringLiteral("if (typeof %1 === 'function') %1();").arg(QLatin1String(kCollectGarbage)),
                       QWebEngineScript::ApplicationWorld);
  // The engine may take a new page at its own zoom.
  if (zoomFactor() != textZoom_) setZoomFactor(textZoom_);
  if (pendingScroll_) {
    const QPoint place = *pendingScroll_;
    pendingScroll_.reset();
    setScrollPosition(place);
  }
  if (pendingFind_) {
    const Find find = std::move(*pendingFind_);
    pendingFind_.reset();
    runFind(find);
  }
}

void BrowserControl::findText(const QString& text, bool backward, std::function<void(int, int)> done) {
  Find find{text, backward, std::move(done)};
  if (loading_ && !text.isEmpty()) {
    pendingFind_ = std::move(find);  // served once the page has loaded
    return;
  }
  runFind(find);
}

void BrowserControl::runFind(const Find& find) {
  if (find.text.isEmpty()) {
    page_->findText(QString());
    // The engine leaves the last match selected and the link it lay in focused, ringed.
    page_->triggerAction(QWebEnginePage::Unselect);
    page_->runJavaScript(QStringLiteral("if (document.activeElement) document.activeElement.blur()"),
                         QWebEngineScript::ApplicationWorld);
    if (find.done) QTimer::singleShot(0, this, [done = find.done] { done(0, 0); });
    return;
  }
  // The engine's find already ignores case and accents; the same text again goes on to the next.
  page_->findText(find.text, find.backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags(),
                  [done = find.done](const QWebEngineFindTextResult& result) {
                    if (done) done(result.activeMatch(), result.numberOfMatches());
                  });
}

void BrowserControl::setTextZoom(double factor) {
  if (!(factor > 0)) return;
  textZoom_ = factor;
  setZoomFactor(factor);
}

QPoint BrowserControl::scrollPosition() { return page_->scrollPosition().toPoint(); }

void BrowserControl::setScrollPosition(QPoint position) {
  if (loading_) {
    pendingScroll_ = position;
    return;
  }
  page_->runJavaScript(QStringLiteral("window.scrollTo(%1, %2)").arg(position.x()).arg(position.y()),
                       QWebEngineScript::ApplicationWorld);
}

QString BrowserControl::currentUrl() { return page_->url().toString(); }

}  // namespace vardel::controls

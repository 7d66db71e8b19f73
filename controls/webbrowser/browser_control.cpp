// The browser control over Qt WebEngine.
#include "controls/webbrowser/browser_control.h"

#include "controls/html/html_nesting.h"
#include "controls/html/html_source.h"
#include "platform/file_url.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace vardel::controls {
namespace {

// Why the engine is not given a page: what the light viewer refuses, the engine would hold for
// minutes too (a million nested or sibling elements leave its area blank far longer than that).
QString pageRefusal(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};  // the engine reports it
  return refusalOf(decodeHtml(file.readAll()).text, path);
}

}  // namespace

void CaseInsensitiveFiles::interceptRequest(QWebEngineUrlRequestInfo& info) {
  const QUrl url = info.requestUrl();
  if (!url.isLocalFile()) return;
  const QString path = url.toLocalFile();
  if (path.isEmpty() || QFileInfo::exists(path)) return;
  const QString found = platform::nativePath(path);
  if (found == path || !QFileInfo::exists(found)) return;
  QUrl fixed = QUrl::fromLocalFile(found);
  fixed.setFragment(url.fragment());
  info.redirect(fixed);
}

BrowserPage::BrowserPage(QObject* parent, ControlEvents* events) : QWebEnginePage(parent), events_(events) {
  setUrlRequestInterceptor(new CaseInsensitiveFiles(this));
  connect(this, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
    if (!events_) return;
    inEvent_ = true;
    events_->statusTextChange(url);
    inEvent_ = false;
  });
}

void BrowserPage::showMessage(const QString& text) {
  showingMessage_ = true;
  setHtml(
      QStringLiteral("<html><head><title>%1</title></head><body><p>%1</p></body></html>").arg(text.toHtmlEscaped()));
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
  if (showingMessage_ && isMainFrame && url.scheme() == QLatin1String("data")) {
    showingMessage_ = false;
    return true;
  }
  if (!events_) return true;
  bool cancel = false;
  inEvent_ = true;
  events_->beforeNavigate(url.toString(), cancel);
  inEvent_ = false;
  return !cancel;
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType) {
  if (events_) {
    bool cancel = false;
    inEvent_ = true;
    events_->newWindow(cancel);
    inEvent_ = false;
    if (cancel) return nullptr;
  }
  auto* window = new BrowserWindow;
  window->show();
  return window->page();
}

BrowserControl::BrowserControl(QWidget* parent, ControlEvents* events)
    : QWebEngineView(parent), page_(new BrowserPage(this, events)) {
  setObjectName(QStringLiteral("WebBrowser"));
  setPage(page_);
  // A renderer that dies (out of memory on a huge page, or killed) would leave the area empty:
  // the article is reported as the map reports one it cannot find, and the next navigation
  // starts a new renderer.
  connect(page_, &QWebEnginePage::renderProcessTerminated, this,
          [this](QWebEnginePage::RenderProcessTerminationStatus) {
            const QUrl shown = page_->requestedUrl().isEmpty() ? page_->url() : page_->requestedUrl();
            if (shown.scheme() == QLatin1String("data")) return;  // the message itself: nothing to say again
            const QString path = shown.isLocalFile() ? shown.toLocalFile() : shown.toString();
            QTimer::singleShot(0, page_, [this, path] {
              page_->showMessage(QStringLiteral("No se ha encontrado el fichero: %1").arg(path));
            });
          });
}

BrowserControl::~BrowserControl() {
  // The page goes before the view it is shown in.
  setPage(nullptr);
  delete page_;
}

bool BrowserControl::navigate(const QString& url, QString& error) {
  QUrl target;
  if (platform::isFileUrl(url)) {
    const platform::FileUrl file = platform::resolveFileUrl(url);
    if (file.path.isEmpty()) {
      error = QStringLiteral("No se puede abrir la dirección: %1").arg(url);
      return false;
    }
    if (!QFileInfo(file.path).isFile()) {
      error = QStringLiteral("No se ha encontrado el fichero: %1").arg(file.path);
      return false;
    }
    if (QString refusal = pageRefusal(file.path); !refusal.isEmpty()) {
      error = std::move(refusal);
      return false;
    }
    target = QUrl::fromLocalFile(file.path);
    if (!file.fragment.isEmpty()) target.setFragment(file.fragment);
  } else {
    target = QUrl::fromUserInput(url);
    if (!target.isValid()) {
      error = QStringLiteral("No se puede abrir la dirección: %1").arg(url);
      return false;
    }
  }
  if (page_->inEvent()) {
    // Asked from inside the engine's own call (a handler of a navigation or a new window).
    QTimer::singleShot(0, this, [this, target] { load(target); });
  } else {
    load(target);
  }
  return true;
}

BrowserWindow::BrowserWindow() {
  setAttribute(Qt::WA_DeleteOnClose);
  setPage(new BrowserPage(this, nullptr));
  resize(800, 600);
  connect(this, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
}

}  // namespace vardel::controls

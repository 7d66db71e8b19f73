// The browser control over Qt WebEngine.
#include "controls/webbrowser/browser_control.h"

#include "platform/file_url.h"
#include "platform/paths.h"
#include "platform/regular_file.h"

#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace vardel::controls {

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

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
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
    // Only a regular file within the article limit, refused like a missing one otherwise.
    if (platform::checkRegularFile(file.path, platform::kMaxArticleBytes) != platform::FileRefusal::None) {
      error = QStringLiteral("No se ha encontrado el fichero: %1").arg(file.path);
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

// The browser control over Qt WebEngine.
#include "controls/webbrowser/browser_control.h"

#include "platform/content_folder.h"
#include "platform/file_url.h"
#include "platform/html/html_article.h"
#include "platform/paths.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace vardel::controls {
namespace {

// WebRTC and WebTransport talk to the network without requests the filter could see (STUN and
// TURN servers, peers' candidates, QUIC), and the engine's settings cannot turn them off: their
// interfaces are taken away in every frame before the frame's own scripts run. Frames whose
// empty first document the engine gives no scripts still have them; there ondravia's executable
// refuses the engine every internet socket (app/engine_network.cpp).
const char kNoDirectNetwork[] = R"((function () {
  const names = ['RTCPeerConnection', 'webkitRTCPeerConnection', 'RTCDataChannel', 'RTCIceCandidate',
                 'RTCSessionDescription', 'RTCRtpTransceiver', 'RTCRtpSender', 'RTCRtpReceiver',
                 'RTCDtlsTransport', 'RTCIceTransport', 'RTCSctpTransport', 'RTCCertificate', 'WebTransport'];
  const clean = w => {
    for (const name of names) {
      try {
        delete w[name];
        Object.defineProperty(w, name, {value: undefined, writable: false, configurable: false});
      } catch (e) {}
    }
  };
  clean(window);
  // A frame a script makes starts with an empty document the engine gives no scripts to: its
  // window is cleaned before the page gets it from the frame's element.
  for (const [type, names] of [[HTMLIFrameElement, ['contentWindow', 'contentDocument']],
                               [HTMLFrameElement, ['contentWindow', 'contentDocument']],
                               [HTMLObjectElement, ['contentWindow', 'contentDocument']]]) {
    for (const name of names) {
      const own = Object.getOwnPropertyDescriptor(type.prototype, name);
      if (!own || !own.get) continue;
      Object.defineProperty(type.prototype, name, {
        configurable: false, enumerable: own.enumerable,
        get() {
          const value = own.get.call(this);
          try { if (value) clean(name === 'contentDocument' ? value.defaultView : value); } catch (e) {}
          return value;
        }
      });
    }
  }
})();)";

void takeDirectNetworkAway(QWebEngineProfile* profile) {
  QWebEngineScript script;
  script.setName(QStringLiteral("vardel-no-direct-network"));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(true);
  script.setSourceCode(QString::fromLatin1(kNoDirectNetwork));
  profile->scripts()->insert(script);
}

// Why the engine must not show the local file `path` as a page or a frame, in words; empty when
// it may. Only a regular file within the article limit is shown, refused like a missing one
// otherwise; and what the light viewer refuses, the engine would hold for minutes too (a
// million nested or sibling elements leave its area blank far longer than that). One that
// cannot be read is the engine's to report. The map's navigation checks its article and the
// engine asks again as it starts loading it: an unchanged file is read once.
QString pageRefusal(const QString& path) {
  static platform::html::ArticleVerdicts verdicts;
  const platform::html::Article& page = verdicts.check(path);
  switch (page.failure) {
    case platform::FileRefusal::None:
      return page.refusal;
    case platform::FileRefusal::Unreadable:
      return QString();
    default:
      return QStringLiteral("No se ha encontrado el fichero: %1").arg(path);
  }
}

}  // namespace

void MagazineRequests::interceptRequest(QWebEngineUrlRequestInfo& info) {
  const QUrl url = info.requestUrl();
  QString found;
  if (!allows(url, &found)) {
    info.block(true);
  } else if (!found.isEmpty() && found != url.toLocalFile()) {
    QUrl fixed = QUrl::fromLocalFile(found);
    fixed.setFragment(url.fragment());
    info.redirect(fixed);
  }
}

bool MagazineRequests::allows(const QUrl& url, QString* found) const {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("data") || scheme == QLatin1String("blob") || scheme == QLatin1String("about"))
    return true;
  const QString path = url.isLocalFile() ? url.toLocalFile() : QString();
  if (path.isEmpty()) return false;
  QString real = path;
  if (!QFileInfo::exists(path)) {
    real = platform::nativePath(path);
    if (!QFileInfo::exists(real)) real = path;
  }
  if (found) *found = real;
  return allowsFile(real);
}

bool MagazineRequests::allowsFile(const QString& path) const {
  return folder_.isEmpty() || platform::insideFolder(path, folder_);
}

MagazineRequests& MagazineRequests::forProfile() {
  static MagazineRequests* requests = [] {
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    auto* made = new MagazineRequests(profile);
    profile->setUrlRequestInterceptor(made);
    takeDirectNetworkAway(profile);
    // The request filter stops what goes through requests; these stop what would not: name
    // look-ups ahead of links, pings of links, remote content of a local page, WebRTC's
    // interfaces beyond the public one. A script opens no window on its own either; a link the
    // person clicks still asks for its new window, which the host may refuse.
    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    settings->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    return made;
  }();
  return *requests;
}

BrowserPage::BrowserPage(QObject* parent, ControlEvents* events) : QWebEnginePage(parent), events_(events) {
  MagazineRequests::forProfile();
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
  bool cancel = false;
  if (events_) {
    inEvent_ = true;
    events_->beforeNavigate(url.toString(), cancel);
    inEvent_ = false;
  }
  if (cancel) return false;
  // A page the request filter would block, or one of a file the map would not open (links,
  // frames and scripts alike), is refused as a missing file is, in words, rather than with the
  // engine's page about a blocked request or a blank area for minutes. A frame stays empty.
  QString found;
  const bool allowed = MagazineRequests::forProfile().allows(url, &found);
  if (!allowed || (url.isLocalFile() && !pageRefusal(found).isEmpty())) {
    if (!isMainFrame) return false;
    const QString shown = url.isLocalFile() ? found : url.toString();
    QTimer::singleShot(0, this,
                       [this, shown] { showMessage(QStringLiteral("No se ha encontrado el fichero: %1").arg(shown)); });
    return false;
  }
  if (isMainFrame && events_) {
    inEvent_ = true;
    events_->documentStarting(url.toString());
    inEvent_ = false;
  }
  return true;
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
  connect(page_, &QWebEnginePage::loadStarted, this, [this] {
    loading_ = true;
    page_->findText(QString());  // a find goes with its page
  });
  connect(page_, &QWebEnginePage::loadFinished, this, [this] { loaded(); });
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

void BrowserControl::printDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done) {
  if (printed_) {
    done(false, QStringLiteral("Ya se está imprimiendo el documento"));
    return;
  }
  printed_ = std::move(done);
  if (printer->outputFormat() == QPrinter::PdfFormat) {
    const QString file = printer->outputFileName();
    connect(
        page_, &QWebEnginePage::pdfPrintingFinished, this,
        [this, file](const QString&, bool ok) {
          std::exchange(printed_, nullptr)(
              ok, ok ? QString() : QStringLiteral("No se puede escribir el fichero %1").arg(file));
        },
        Qt::SingleShotConnection);
    page_->printToPdf(file, printer->pageLayout(), printer->pageRanges());
    return;
  }
  const QString name = printer->printerName();
  connect(
      this, &QWebEngineView::printFinished, this,
      [this, name](bool ok) {
        std::exchange(printed_, nullptr)(
            ok, ok ? QString() : QStringLiteral("La impresora %1 no ha aceptado el documento").arg(name));
      },
      Qt::SingleShotConnection);
  print(printer);
}

bool BrowserControl::navigate(const QString& url, QString& error) {
  QUrl target;
  if (platform::isFileUrl(url)) {
    const platform::FileUrl file = platform::resolveFileUrl(url);
    if (file.path.isEmpty()) {
      error = QStringLiteral("No se puede abrir la dirección: %1").arg(url);
      return false;
    }
    if (!MagazineRequests::forProfile().allowsFile(file.path)) {
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
  loading_ = true;  // a find or a place asked for now is for this page
  if (page_->inEvent()) {
    // Asked from inside the engine's own call (a handler of a navigation or a new window).
    QTimer::singleShot(0, this, [this, target] { load(target); });
  } else {
    load(target);
  }
  return true;
}

void BrowserControl::setContentFolder(const QString& folder) {
  MagazineRequests::forProfile().setContentFolder(folder);
}

BrowserWindow::BrowserWindow() {
  setAttribute(Qt::WA_DeleteOnClose);
  setPage(new BrowserPage(this, nullptr));
  resize(800, 600);
  connect(this, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
}

}  // namespace vardel::controls

// The map's document display: opening articles and following the browser's navigation.
#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "editor/editor_form.h"
#include "platform/file_url.h"
#include "platform/paths.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "ui/application.h"
#include "ui/probe.h"

#include <QDir>

namespace vardel {

namespace {

// From the first "file" on (the comparison is case-sensitive); `text` itself when it has none.
QString fromFile(const QString& text) {
  const qsizetype at = text.indexOf(QStringLiteral("file"), 0, Qt::CaseSensitive);
  return at >= 0 ? text.mid(at) : text;
}

// Whether two document URLs, in any of the forms the map and the browser write, name the same
// file and anchor.
bool sameDocument(const QString& a, const QString& b) {
  if (!platform::isFileUrl(a) || !platform::isFileUrl(b)) return a == b;
  const platform::FileUrl first = platform::resolveFileUrl(a);
  const platform::FileUrl second = platform::resolveFileUrl(b);
  return !first.path.isEmpty() && first.path == second.path && first.fragment == second.fragment;
}

}  // namespace

void TfrmMapa::AbrirFichero(const QString& name) {
  // The folder of the documents becomes the current folder; any length of path works.
  const QString folder = platform::programFolder() + QStringLiteral("Ficheros\\");
  QDir::setCurrent(platform::nativePath(folder));
  const QString url = QStringLiteral("file:") + folder + name;
  abierto_ = name;
  if (hasWebBrowser()) {
    startBrowser();
    if (!wIE4->started()) return;
    URLActual = url;
    URLEnlace = url;
    wIE4->Navigate(url);
  } else {
    w->LoadDocument(url);
  }
}

void TfrmMapa::startBrowser() {
  if (!wIE4 || wIE4->started()) return;
  try {
    wIE4->start();
  } catch (const ControlError&) {
    ui::Application& app = ui::Application::instance();
    app.messageBox(QStringLiteral("Debes instalar primero la versión 4.x del Internet Explorer"));
    app.terminate(1);  // as when the start-up cannot make the browser
  }
}

void TfrmMapa::wParseComplete(QObject*) {
  // ondravia: the newest editor imports the document it asked the viewer to parse; a closed
  // editor reads as empty, and until an editor exists there is nothing to import.
  // ondravia-basic: the editor imports on its own.
  if (!hasWebBrowser() || !frmEditor) return;
  frmEditor->ImportDisplayedDocument();
}

void TfrmMapa::wIE4BeforeNavigate2(QObject*, const QString& url, bool&) {
  URLActual = fromFile(url);  // the navigation always goes ahead
  ui::recordEvent(this, "navigate", url);
}

void TfrmMapa::wIE4StatusTextChange(QObject*, const QString& text) {
  if (text.contains(QStringLiteral("file"), Qt::CaseSensitive)) URLEnlace = fromFile(text);
}

void TfrmMapa::wIE4NewWindow2(QObject*, bool& cancel) {
  // A document that would open a new window opens in place: the last local link the pointer
  // showed, or the document the map opened. When that is the document on display, the window
  // is only refused: loading the document again would run again the script that asked for the
  // window as the page loaded, for ever.
  cancel = true;
  const bool onDisplay = sameDocument(URLEnlace, URLActual);
  ui::recordEvent(this, "newwindow", onDisplay ? QStringLiteral("refused") : URLEnlace);
  if (onDisplay) return;
  wIE4->Navigate(URLEnlace);
}

}  // namespace vardel

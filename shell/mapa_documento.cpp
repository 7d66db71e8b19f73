// The map's document display: opening articles and following the browser's navigation.
#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "editor/editor_form.h"
#include "platform/paths.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "ui/application.h"

#include <QDir>

namespace vardel {

namespace {

// From the first "file" on (the comparison is case-sensitive); `text` itself when it has none.
QString fromFile(const QString& text) {
  const qsizetype at = text.indexOf(QStringLiteral("file"), 0, Qt::CaseSensitive);
  return at >= 0 ? text.mid(at) : text;
}

}  // namespace

void TfrmMapa::AbrirFichero(const QString& name) {
  // The folder of the documents becomes the current folder; any length of path works.
  const QString folder = platform::programFolder() + QStringLiteral("Ficheros\\");
  QDir::setCurrent(platform::nativePath(folder));
  const QString url = QStringLiteral("file:") + folder + name;
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
}

void TfrmMapa::wIE4StatusTextChange(QObject*, const QString& text) {
  if (text.contains(QStringLiteral("file"), Qt::CaseSensitive)) URLEnlace = fromFile(text);
}

void TfrmMapa::wIE4NewWindow2(QObject*, bool& cancel) {
  // A document that would open a new window opens in place: the last local link the pointer
  // showed, or the document the map opened.
  cancel = true;
  wIE4->Navigate(URLEnlace);
}

}  // namespace vardel

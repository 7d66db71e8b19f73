// The editor window opened by hand, as the map opens it over an article (not shipped).
//   build/demo/editor_demo [document]
// VARDEL_EDITOR_PROGRAM=ondravia-basic gives the basic program's editor (default: ondravia);
// VARDEL_EDITOR_ARTICLE names the article on display (default: the demo magazine's first).
// The window is the map's: closing the last editor ends the demo.
#include "controls/host/html_control.h"
#include "editor/editor_form.h"
#include "editor/editor_host.h"
#include "platform/control_registry.h"
#include "platform/file_url.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "ui/application.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTimer>

#include <cstdio>

using namespace vardel;

namespace {

// The map's side: the viewer `w`, the address on display, the newest editor.
class DemoHost : public EditorHost {
 public:
  DemoHost(bool browser, ui::Form& map) : browser_(browser) {
    w = new THTML(map.client());
    w->setObjectName(QStringLiteral("w"));
    w->setGeometry(browser ? QRect(50, 10000, 660, 600) : QRect(140, 0, 660, 600));
    w->show();
    w->OnParseComplete = [this](QObject*) {
      parsed = true;
      if (browser_ && frmEditor) frmEditor->ImportDisplayedDocument();
    };
  }
  THTML* htmlViewer() override { return w; }
  QString displayedAddress() override { return address; }
  bool browserBuild() override { return browser_; }
  bool contentFolderIsOwn() override { return true; }

  THTML* w = nullptr;
  QString address;
  bool parsed = false;
  QPointer<TfrmEditor> frmEditor;

 private:
  bool browser_;
};

// html.ocx of the program folder, registered as the programs register it when they must.
bool registerViewer(const QString& programFolder) {
  if (!platform::registeredControl(QString::fromLatin1(platform::kHtmlViewerClassId)).isEmpty()) return true;
  platform::Library library;
  if (!library.load(programFolder + QStringLiteral("html.ocx"))) return false;
  const auto entry = library.resolveAs<std::int32_t (*)()>("DllRegisterServer");
  return entry && entry() == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication qtApplication(argc, argv);
  ui::Application application;
  application.setTitle(QStringLiteral("VARDEL"));
  const QString folder = QStringLiteral(VARDEL_PROGRAM_DIR "/");
  platform::overrideProgramFolder(folder);
  if (!registerViewer(folder)) {
    std::fprintf(stderr, "editor_demo: html.ocx not found in %s (build the program folder first)\n",
                 qPrintable(folder));
    return 1;
  }
  const bool browser = qEnvironmentVariable("VARDEL_EDITOR_PROGRAM") != QStringLiteral("ondravia-basic");
  QString article = qEnvironmentVariable("VARDEL_EDITOR_ARTICLE");
  if (article.isEmpty()) {
    const QStringList names =
        QDir(folder + QStringLiteral("Ficheros")).entryList({QStringLiteral("*.htm*")}, QDir::Files, QDir::Name);
    if (!names.isEmpty()) article = folder + QStringLiteral("Ficheros/") + names.first();
  }

  ui::Form map;
  map.setObjectName(QStringLiteral("frmMapa"));
  map.setBorderStyle(ui::BorderStyle::bsNone);
  map.setColor(ui::clWhite);
  map.setBounds(0, 0, 800, 600);
  map.setCaption(QStringLiteral("VARDEL"));
  DemoHost host(browser, map);
  if (!article.isEmpty()) {
    if (browser) {
      host.address = platform::fileUrlOf(article);
    } else {
      // The basic program shows the article in `w` before any editor opens.
      ui::guarded([&] { host.w->LoadDocument(QStringLiteral("file:") + article); });
      while (!host.parsed) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
  }
  map.show();

  try {
    host.frmEditor = new TfrmEditor(&map, host);
  } catch (const std::exception&) {
    application.messageBox(QStringLiteral("No hay suficiente memoria para crear la pantalla de Edicion"));
    return 1;
  }
  QObject::connect(host.frmEditor, &QObject::destroyed, &qtApplication, &QApplication::quit);
  return QApplication::exec();
}

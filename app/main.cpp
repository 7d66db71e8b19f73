// Entry point of both programs; VARDEL_WEBBROWSER chooses the browser-engine build.
#include "platform/paths.h"
#include "shell/startup.h"
#include "ui/application.h"
#include "ui/stage.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstring>
#include <memory>
#include <vector>

#ifndef VARDEL_WEBBROWSER
#error "VARDEL_WEBBROWSER must be defined to 0 or 1"
#endif

namespace {

// "--content FOLDER" (or "--content=FOLDER") as the first argument names the magazine's folder
// when it is not the installation's own demo magazine. It is taken out of the arguments, so
// what follows (a document for the editor) is where the program expects it.
QString takeContentFolder(int& argc, std::vector<char*>& argv) {
  constexpr char kOption[] = "--content";
  constexpr std::size_t kLength = sizeof kOption - 1;
  if (argc < 2) return {};
  QByteArray folder;
  int taken = 0;
  if (std::strcmp(argv[1], kOption) == 0 && argc >= 3) {
    folder = argv[2];
    taken = 2;
  } else if (std::strncmp(argv[1], kOption, kLength) == 0 && argv[1][kLength] == '=') {
    folder = argv[1] + kLength + 1;
    taken = 1;
  } else {
    return {};
  }
  argv.erase(argv.begin() + 1, argv.begin() + 1 + taken);
  argc -= taken;
  return QDir(QDir::currentPath()).absoluteFilePath(QFile::decodeName(folder));
}

}  // namespace

int main(int argc, char* argv[]) {
#if VARDEL_WEBBROWSER
  // The browser engine, loaded later from its control library, makes its shared OpenGL
  // context itself when it starts (controls/host/web_browser.h): not here, where it would
  // hold back the first window.
  constexpr vardel::Variant kVariant = vardel::Variant::WebBrowser;
#else
  constexpr vardel::Variant kVariant = vardel::Variant::Basic;
#endif
  // Qt's own configuration is built into the program (:/qt/etc/qt.conf, app/qt.conf.in), so no
  // qt.conf beside it is read; Qt's plug-ins come from Qt's folders and the installation's.
  // The magazine's folder is never the executable's folder: the programs stay where they are
  // installed and are told where the content lies.
  std::vector<char*> arguments(argv, argv + argc + 1);  // with argv's closing null
  const QString content = takeContentFolder(argc, arguments);
  vardel::platform::setContentFolder(content);
  // Decided before Qt starts, which takes the scale from its environment: the 800x600 screen
  // as one window of the person's desktop, or the forms as windows of an 800x600 display.
  const bool staged = vardel::ui::prepareStage();
  QApplication qtApplication(argc, arguments.data());
  vardel::ui::Application application;
  std::unique_ptr<vardel::ui::Stage> stage;
  if (staged) stage = std::make_unique<vardel::ui::Stage>();
  return vardel::runMagazine(kVariant);
}

// Entry point of both programs; VARDEL_WEBBROWSER chooses the browser-engine build.
#include "shell/startup.h"
#include "ui/application.h"

#include <QApplication>

#ifndef VARDEL_WEBBROWSER
#error "VARDEL_WEBBROWSER must be defined to 0 or 1"
#endif

int main(int argc, char* argv[]) {
#if VARDEL_WEBBROWSER
  // The browser engine, loaded later from its control library, makes its shared OpenGL
  // context itself when it starts (controls/host/web_browser.h): not here, where it would
  // hold back the first window.
  constexpr vardel::Variant kVariant = vardel::Variant::WebBrowser;
#else
  constexpr vardel::Variant kVariant = vardel::Variant::Basic;
#endif
  QApplication qtApplication(argc, argv);
  vardel::ui::Application application;
  return vardel::runMagazine(kVariant);
}

// Printing the article on display, through the editor's print dialog.
#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "editor/editor_dialogs.h"
#include "platform/file_url.h"
#include "shell/mapa_form.h"
#include "ui/application.h"
#include "ui/probe.h"

#include <QFileInfo>
#include <QPrinter>

#include <memory>

namespace vardel {

void TfrmMapa::ImprimirArticulo() {
  if (printing_) return;
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  // The article's file names the job and, printed to a file, the PDF the dialog proposes.
  const QString shown = hasWebBrowser() ? platform::resolveFileUrl(URLActual).path : abierto_;
  printer->setDocName(QFileInfo(QString(shown).replace(QLatin1Char('\\'), QLatin1Char('/'))).completeBaseName());
  TPrintDialog dialog(this);
  if (!dialog.execute(*printer, this)) return;
  printing_ = true;
  ui::Application::instance().setCursor(ui::Cursor::crHourGlass);
  auto done = [this, printer](bool ok, const QString& error) {
    printing_ = false;
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
    ui::recordEvent(this, "print", ok ? QStringLiteral("ok") : error);
    if (!ok) ui::Application::instance().messageBox(QStringLiteral("No se ha podido imprimir el artículo.\n") + error);
  };
  if (hasWebBrowser()) {
    wIE4->PrintDocument(printer.get(), done);
  } else {
    w->PrintDocument(printer.get(), done);
  }
}

}  // namespace vardel

// THTML: the host's side of the light HTML viewer of html.ocx.
#pragma once

#include "controls/host/hosted_control.h"
#include "controls/host/reading_area.h"
#include "ui/events.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QPrinter;

namespace vardel {

// The viewer of html.ocx, class {B7FC355E-8CE7-11CF-9754-00AA00C00908}. This widget is the
// control's rectangle: the owner sets its geometry, shows, hides and moves it; the viewer
// fills it. Requests, events and text are as HtmlViewerControl documents them.
class THTML : public QWidget, public ReadingArea {
  Q_OBJECT
 public:
  // Looks the class up in the registry, loads html.ocx and creates the viewer.
  // Throws ControlError when that cannot be done.
  explicit THTML(QWidget* parent);
  ~THTML() override;

  // Takes a "file:" URL and returns at once; throws ui::Error when the request cannot be
  // taken (not a file URL, a folder, no such file). OnParseComplete follows later.
  void LoadDocument(const QString& url);
  // The document's readable text; (0, 0) and (-1, -1) give all of it. Throws ui::Error when
  // the document could not be read.
  QString GetDocumentText(std::int32_t a, std::int32_t b);
  // Nonzero (true) when there is a document whose text GetDocumentText gives.
  std::int16_t QueryTextMode();
  // Confines the viewer to the magazine's folder (see controls::Control::setContentFolder).
  void SetContentFolder(const QString& folder);
  // Prints the document held on `printer` (see controls::Control::printDocument).
  void PrintDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done);

  // Raised through the event loop once a requested document (or a followed link) is parsed.
  ui::NotifyEvent OnParseComplete;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  controls::Control* readingControl() const override { return hosted_->control(); }

 private:
  class Events;
  std::unique_ptr<Events> events_;
  std::unique_ptr<controls::HostedControl> hosted_;
  controls::HtmlViewer* viewer_ = nullptr;
};

}  // namespace vardel

// THTML over the control created by html.ocx.
#include "controls/host/html_control.h"

#include "platform/control_registry.h"

namespace vardel {

class THTML::Events : public controls::ControlEvents {
 public:
  explicit Events(THTML* owner) : owner_(owner) {}
  void parseComplete() override { ui::fire(owner_->OnParseComplete, owner_); }

  void documentStarting(const QString& url) override { ui::fire(owner_->OnDocumentStarting, owner_, url); }

 private:
  THTML* owner_;
};

THTML::THTML(QWidget* parent) : QWidget(parent), events_(std::make_unique<Events>(this)) {
  hosted_ = std::make_unique<controls::HostedControl>(platform::kHtmlViewerClassId, this, events_.get());
  viewer_ = hosted_->control()->asHtmlViewer();
  if (!viewer_)
    throw ControlError(QStringLiteral("La biblioteca %1 no ha creado un visor HTML").arg(hosted_->libraryPath()));
  hosted_->control()->widget()->setGeometry(rect());
  hosted_->control()->widget()->show();
}

THTML::~THTML() { hosted_.reset(); }

void THTML::LoadDocument(const QString& url) {
  QString error;
  if (!viewer_->loadDocument(url, error)) throw ui::Error(error);
}

QString THTML::GetDocumentText(std::int32_t a, std::int32_t b) {
  QString text, error;
  if (!viewer_->documentText(a, b, text, error)) throw ui::Error(error);
  return text;
}

std::int16_t THTML::QueryTextMode() { return viewer_->queryTextMode(); }

void THTML::SetContentFolder(const QString& folder) { viewer_->setContentFolder(folder); }

void THTML::PrintDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done) {
  viewer_->printDocument(printer, std::move(done));
}

void THTML::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  hosted_->control()->widget()->setGeometry(rect());
}

}  // namespace vardel

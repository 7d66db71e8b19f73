// TWebBrowser over the control created by the browser control library.
#include "controls/host/web_browser.h"

#include "platform/control_registry.h"

namespace vardel {

class TWebBrowser::Events : public controls::ControlEvents {
 public:
  explicit Events(TWebBrowser* owner) : owner_(owner) {}
  void beforeNavigate(const QString& url, bool& cancel) override {
    ui::fire(owner_->OnBeforeNavigate2, owner_, url, cancel);
  }
  void statusTextChange(const QString& text) override { ui::fire(owner_->OnStatusTextChange, owner_, text); }
  void newWindow(bool& cancel) override { ui::fire(owner_->OnNewWindow2, owner_, cancel); }

 private:
  TWebBrowser* owner_;
};

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent), events_(std::make_unique<Events>(this)) {
  hosted_ = std::make_unique<controls::HostedControl>(platform::kWebBrowserClassId, this, events_.get());
  browser_ = hosted_->control()->asWebBrowser();
  if (!browser_)
    throw ControlError(QStringLiteral("La biblioteca %1 no ha creado un navegador").arg(hosted_->libraryPath()));
  hosted_->control()->widget()->setGeometry(rect());
  hosted_->control()->widget()->show();
}

TWebBrowser::~TWebBrowser() { hosted_.reset(); }

void TWebBrowser::Navigate(const QString& url) {
  QString error;
  if (!browser_->navigate(url, error)) throw ui::Error(error);
}

void TWebBrowser::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  hosted_->control()->widget()->setGeometry(rect());
}

}  // namespace vardel

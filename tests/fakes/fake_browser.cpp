// A stand-in for the browser control library, so that the map of `ondravia` can be tested
// without the browser engine. Its control takes every navigation request and records it in
// the property "navigations" (a QStringList) of its widget, named "fakeBrowser"; the test
// raises the control's events through the host's handlers itself.
#include "controls/control_abi.h"

#include <QStringList>
#include <QVariant>
#include <QWidget>

namespace {

class FakeBrowser : public vardel::controls::WebBrowser {
 public:
  explicit FakeBrowser(QWidget* parent) : widget_(new QWidget(parent)) {
    widget_->setObjectName(QStringLiteral("fakeBrowser"));
    widget_->setProperty("navigations", QStringList());
  }
  ~FakeBrowser() override { delete widget_; }
  QWidget* widget() override { return widget_; }
  vardel::controls::WebBrowser* asWebBrowser() override { return this; }
  bool navigate(const QString& url, QString&) override {
    widget_->setProperty("navigations", widget_->property("navigations").toStringList() << url);
    return true;
  }

 private:
  QWidget* widget_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) vardel::controls::Control* VardelCreateControl(
    int, const char*, QWidget* parent, vardel::controls::ControlEvents*, char*, std::size_t) {
  return new FakeBrowser(parent);
}

// TWebBrowser over the control created by the browser control library.
#include "controls/host/web_browser.h"

#include "platform/control_registry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QOpenGLContext>

#include <cmath>

// Qt's own setter of the context every OpenGL context of the program shares with; Qt makes it
// at start-up only when Qt::AA_ShareOpenGLContexts is set before the application exists.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace vardel {

class TWebBrowser::Events : public controls::ControlEvents {
 public:
  explicit Events(TWebBrowser* owner) : owner_(owner) {}
  void beforeNavigate(const QString& url, bool& cancel) override {
    ui::fire(owner_->OnBeforeNavigate2, owner_, url, cancel);
  }
  void statusTextChange(const QString& text) override { ui::fire(owner_->OnStatusTextChange, owner_, text); }
  void newWindow(bool& cancel) override { ui::fire(owner_->OnNewWindow2, owner_, cancel); }

  void documentStarting(const QString& url) override { ui::fire(owner_->OnDocumentStarting, owner_, url); }

 private:
  TWebBrowser* owner_;
};

namespace {

// The shared context the engine needs, made now if the program did not ask Qt for it at
// start-up; it lives as long as the application.
void shareOpenGLContexts() {
  if (QOpenGLContext::globalShareContext()) return;
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;  // no OpenGL there
  auto* context = new QOpenGLContext(QCoreApplication::instance());
  if (!context->create()) {
    delete context;
    return;  // the engine then draws without OpenGL
  }
  qt_gl_set_global_share_context(context);
  QObject::connect(context, &QObject::destroyed, [] { qt_gl_set_global_share_context(nullptr); });
}

// Where the browser's view lies in this control. On a screen scaled by a fraction, the engine's
// drawing of the page falls short of the view's right and bottom edges by up to two device
// pixels (it is sized in whole pixels rounded down, the view in fractions of them), and what lies
// below showed through there as a line; the view then reaches a little past those edges, which
// clip it.
QRect viewGeometry(const QWidget* control) {
  const qreal ratio = control->devicePixelRatioF();
  const int bleed = ratio == std::floor(ratio) ? 0 : 2;
  return control->rect().adjusted(0, 0, bleed, bleed);
}

}  // namespace

TWebBrowser::TWebBrowser(QWidget* parent)
    : QWidget(parent),
      events_(std::make_unique<Events>(this)),
      hosted_(std::make_unique<controls::HostedControl>(platform::kWebBrowserClassId)) {
  // The engine checks the attribute; Qt takes it without a complaint only before the event loop
  // runs, that is at the program's start-up, where the browser is made. At this point it makes
  // no context: start() does.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

TWebBrowser::~TWebBrowser() { hosted_.reset(); }

bool TWebBrowser::started() const { return browser_ != nullptr; }

void TWebBrowser::start() {
  if (browser_) return;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  struct Restore {
    ~Restore() { QGuiApplication::restoreOverrideCursor(); }
  } restore;
  shareOpenGLContexts();
  hosted_->create(this, events_.get());
  controls::WebBrowser* browser = hosted_->control()->asWebBrowser();
  if (!browser)
    throw ControlError(QStringLiteral("La biblioteca %1 no ha creado un navegador").arg(hosted_->libraryPath()));
  browser_ = browser;
  browser_->setContentFolder(contentFolder_);
  hosted_->control()->widget()->setGeometry(viewGeometry(this));
  hosted_->control()->widget()->show();
}

void TWebBrowser::Navigate(const QString& url) {
  start();
  QString error;
  if (!browser_->navigate(url, error)) throw ui::Error(error);
}

void TWebBrowser::SetContentFolder(const QString& folder) {
  contentFolder_ = folder;
  if (browser_) browser_->setContentFolder(folder);
}

void TWebBrowser::PrintDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done) {
  if (!browser_) {
    done(false, QStringLiteral("No hay ningún documento que imprimir"));
    return;
  }
  browser_->printDocument(printer, std::move(done));
}

void TWebBrowser::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (hosted_->control()) hosted_->control()->widget()->setGeometry(viewGeometry(this));
}

}  // namespace vardel

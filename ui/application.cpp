// The application object over QApplication.
#include "ui/application.h"

#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/pointer_tracking.h"
#include "ui/probe.h"
#include "ui/stage.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <QWidget>

#include <utility>

namespace vardel::ui {
namespace {
Application* gInstance = nullptr;
}

Application::Application() {
  Q_ASSERT(QApplication::instance());
  gInstance = this;
  QApplication::setQuitOnLastWindowClosed(false);
  // The interface is Spanish, the standard dialogs too.
  auto* translator = new QTranslator(this);
  if (translator->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
  installFontSubstitutions();
  PointerTracker::install();
  installTestProbe();
}

Application::~Application() {
  setCursor(Cursor::crDefault);
  if (gInstance == this) gInstance = nullptr;
}

Application& Application::instance() {
  Q_ASSERT(gInstance);
  return *gInstance;
}

bool Application::exists() { return gInstance != nullptr; }

void Application::setTitle(const QString& title) {
  // Kept for the message boxes only: as Qt's application display name it would be appended to
  // every window's caption on X11, and the program's windows carry their captions exactly.
  title_ = title;
}

void Application::formCreated(Form* form) {
  if (!mainForm_) mainForm_ = form;
}

int Application::run() {
  if (terminated_) return exitCode_;
  if (mainForm_) mainForm_->show();
  running_ = true;
  QApplication::exec();
  running_ = false;
  terminated_ = true;
  return exitCode_;
}

void Application::terminate(int exitCode) {
  terminated_ = true;
  exitCode_ = exitCode;
  if (running_) QApplication::exit(exitCode);
}

void Application::minimize() {
  minimized_.clear();
  if (Stage* stage = Stage::instance()) {
    // The forms stay where they are on the stage; the stage is the desktop's window.
    stage->minimize();
    return;
  }
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    if (window != mainForm_) minimized_ << window;
    window->showMinimized();
  }
  if (mainForm_) mainForm_->installEventFilter(this);
}

void Application::restore() {
  if (Stage* stage = Stage::instance()) {
    if (stage->isMinimized()) stage->setWindowState(stage->windowState() & ~Qt::WindowMinimized);
    stage->activateWindow();
    return;
  }
  if (mainForm_ && mainForm_->isMinimized()) mainForm_->showNormal();
  const QList<QPointer<QWidget>> windows = std::exchange(minimized_, {});
  for (const QPointer<QWidget>& window : windows) {
    if (window && window->isMinimized()) window->showNormal();
  }
  if (mainForm_) {
    mainForm_->removeEventFilter(this);
    mainForm_->raise();
    mainForm_->activateWindow();
  }
  for (const QPointer<QWidget>& window : windows) {
    if (window && window->isVisible()) window->raise();  // owned windows stay above the main form
  }
}

bool Application::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mainForm_ && event->type() == QEvent::WindowStateChange && !mainForm_->isMinimized()) {
    // Restored by someone else (the window manager): bring the others back with it, once
    // the state change has settled.
    QMetaObject::invokeMethod(
        this, [this] { restore(); }, Qt::QueuedConnection);
  }
  return QObject::eventFilter(watched, event);
}

void Application::setCursor(Cursor cursor) {
  if (cursor == cursor_) return;
  if (cursor_ != Cursor::crDefault) QGuiApplication::restoreOverrideCursor();
  cursor_ = cursor;
  switch (cursor) {
    case Cursor::crHourGlass:
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
      break;
    case Cursor::crHandPoint:
      QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
      break;
    case Cursor::crDefault:
      break;
  }
}

void Application::messageBox(const QString& text, MessageIcon icon) {
  const MessageRequest request{title_, text, icon};
  if (messageHook_) {
    messageHook_(request);
    return;
  }
  QMessageBox box(icon == MessageIcon::Error         ? QMessageBox::Critical
                  : icon == MessageIcon::Information ? QMessageBox::Information
                  : icon == MessageIcon::Question    ? QMessageBox::Question
                                                     : QMessageBox::NoIcon,
                  title_, text, QMessageBox::Ok, QApplication::activeWindow());
  box.setObjectName(QStringLiteral("MessageBox"));
  box.exec();
}

void Application::showException(const std::exception& error) {
  const auto* own = dynamic_cast<const Error*>(&error);
  messageBox(own ? own->text() : QString::fromUtf8(error.what()), MessageIcon::Error);
}

void reportException(const std::exception& error) {
  if (gInstance) gInstance->showException(error);
}

void reportUnknownException() {
  if (gInstance) gInstance->messageBox(QStringLiteral("Error desconocido"), MessageIcon::Error);
}

}  // namespace vardel::ui

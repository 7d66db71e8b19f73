// The application object: title, main window, screen cursor, message boxes, termination.
#pragma once

#include "ui/events.h"
#include "ui/form.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace vardel::ui {

enum class Cursor { crDefault, crHourGlass, crHandPoint };

enum class MessageIcon { None, Information, Error, Question };

// A message box the program asks for; tests may answer it through a message hook.
struct MessageRequest {
  QString title;
  QString text;
  MessageIcon icon = MessageIcon::None;
};

// The one application object. Construct it right after the QApplication; it installs the
// font substitutions, the pointer tracking of hotspots and the test probe.
class Application : public QObject {
  Q_OBJECT
 public:
  Application();
  ~Application() override;

  static Application& instance();
  static bool exists();

  QString title() const { return title_; }
  void setTitle(const QString& title);

  // The first form created becomes the main form, unless the program names another; its
  // close ends the program.
  Form* mainForm() const { return mainForm_; }
  void formCreated(Form* form);
  void setMainForm(Form* form) { mainForm_ = form; }

  // Shows the main form (unless termination was requested) and runs the event loop until the
  // main form closes or terminate() is called. Returns at once when termination is pending.
  // Returns the exit code terminate() was given (0 when the main form closed).
  int run();
  // Asks the loop to end at its next turn; a call before run() makes run() return at once.
  // `exitCode` is what run() returns: not 0 when the program ends for a failure.
  void terminate(int exitCode = 0);
  bool terminated() const { return terminated_; }

  // Minimises the main form and every other visible window of the program, together: when the
  // main form is restored (from the task bar, the window manager, or restore()), the windows
  // minimised with it come back with it.
  void minimize();
  // Brings the main form and the windows minimised with it back to their normal state.
  void restore();

  // The screen cursor: an override over every window of the program, or none for crDefault.
  void setCursor(Cursor cursor);
  Cursor cursor() const { return cursor_; }

  // A plain modal message box with an OK button, titled with the application title.
  void messageBox(const QString& text, MessageIcon icon = MessageIcon::None);
  // The report of an exception that escaped a handler: its own text in an error box.
  void showException(const std::exception& error);

  // Replaces the modal boxes by a callback (tests and unattended runs). Empty restores them.
  using MessageHook = std::function<void(const MessageRequest&)>;
  void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
  const MessageHook& messageHook() const { return messageHook_; }

 private:
  QString title_;
  QPointer<Form> mainForm_;
  bool terminated_ = false;
  int exitCode_ = 0;
  bool running_ = false;
  Cursor cursor_ = Cursor::crDefault;
  MessageHook messageHook_;
  QList<QPointer<QWidget>> minimized_;  // the other windows minimised with the main form

  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace vardel::ui

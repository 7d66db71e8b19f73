// The interface between the program and the libraries of its hosted controls (html.ocx, the browser).
//
// Both sides are built by the same compiler against the same Qt, so the interface is a set of
// abstract C++ classes; the only C entry is the factory every control library exports under
// kFactorySymbol. Operations report failure as a status with a message instead of throwing,
// so no exception ever crosses the library boundary; the host turns a failure into an error
// raised in its caller.
#pragma once

#include <QPoint>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

class QPrinter;
class QWidget;

namespace vardel::controls {

// Raised when host and library disagree; the factory refuses other versions.
inline constexpr int kAbiVersion = 3;
inline constexpr char kFactorySymbol[] = "VardelCreateControl";
inline constexpr char kRegisterSymbol[] = "DllRegisterServer";
inline constexpr char kUnregisterSymbol[] = "DllUnregisterServer";

// Events a control raises, implemented by the host. Always called on the user-interface
// thread from the event loop, never from inside a call the host made into the control.
// The host's object outlives the control.
class ControlEvents {
 public:
  // The viewer finished a document it was asked to load (or a link it followed).
  virtual void parseComplete() {}
  // The browser is about to navigate to `url` (as the engine writes it); setting `cancel`
  // stops that navigation.
  virtual void beforeNavigate(const QString& url, bool& cancel) {
    (void)url;
    (void)cancel;
  }
  // The browser's status text changed: a link's URL while the pointer is over it, empty after.
  virtual void statusTextChange(const QString& text) { (void)text; }
  // The document asks for a new window (target="_blank", window.open); setting `cancel`
  // stops it, otherwise the control opens one the way a browser would.
  virtual void newWindow(bool& cancel) { (void)cancel; }

  // Reading aids.
  // A new document (a request or a followed link, `url` as currentUrl() will give it) is about
  // to replace the one on display, whose scroll position is still the one to read.
  virtual void documentStarting(const QString& url) { (void)url; }

 protected:
  ~ControlEvents() = default;
};

class HtmlViewer;
class WebBrowser;

// A created control. Deleting it deletes its widget; the host deletes it before it unloads
// the library that made it.
class Control {
 public:
  virtual ~Control() = default;
  // The control's rectangle: a child of the parent given to the factory, sized by the host.
  virtual QWidget* widget() = 0;
  virtual HtmlViewer* asHtmlViewer() { return nullptr; }
  virtual WebBrowser* asWebBrowser() { return nullptr; }
  // Confines the control to the magazine's folder: it reads, shows and follows nothing that
  // lies outside `folder` once links are followed (see platform::insideFolder), and refuses it
  // as it refuses a missing file. Until the host names a folder, nothing is confined.
  virtual void setContentFolder(const QString& folder) { (void)folder; }

  // Reading aids, asked for by keys the person presses; nothing of them shows before that.
  // Finds `text` in the document on display, without regard to case or accents, and marks every
  // match and the current one: the same text again moves to the next match (the previous one when
  // `backward`), another text starts at the first. `done` follows on the event loop with the
  // current match (from 1) and the number of matches, 0 and 0 when there are none; a document not
  // yet complete is searched once it is. An empty text removes the marks.
  virtual void findText(const QString& text, bool backward, std::function<void(int current, int total)> done) {
    (void)text;
    (void)backward;
    if (done) done(0, 0);
  }
  // The size of the text, 1 for the document's own; kept for the documents that follow.
  virtual void setTextZoom(double factor) { (void)factor; }
  // The place scrolled to, in pixels of the document; setting it on a document not yet complete
  // applies once it is.
  virtual QPoint scrollPosition() { return {}; }
  virtual void setScrollPosition(QPoint position) { (void)position; }
  // The document on display or requested, as a URL its loading call takes; empty before any.
  virtual QString currentUrl() { return {}; }

  // Printing.
  // Prints the document on display, pictures included, on `printer`, which the host has set
  // up (a printer of the system, or a PDF file) and keeps alive until `done` is called. `done`
  // is called exactly once, on the user-interface thread, possibly before this returns; with
  // false and a reason in the program's language when nothing was printed.
  virtual void printDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done) {
    (void)printer;
    done(false, QStringLiteral("Este control no sabe imprimir"));
  }
};

// The light HTML viewer (class {B7FC355E-8CE7-11CF-9754-00AA00C00908}).
class HtmlViewer : public Control {
 public:
  // Takes a request to show the document of a "file:" URL and returns at once; the document
  // is read, parsed and shown afterwards from the event loop, which then raises
  // parseComplete(). False with `error` when the request cannot be taken (not a file URL, a
  // folder, no such file).
  virtual bool loadDocument(const QString& url, QString& error) = 0;
  // The readable text of the document (see the viewer's header for the arguments).
  virtual bool documentText(std::int32_t first, std::int32_t last, QString& text, QString& error) = 0;
  // A 16-bit Boolean, nonzero meaning true (see the viewer's header).
  virtual std::int16_t queryTextMode() = 0;
};

// The browser control (class {8856F961-340A-11D0-A96B-00C04FD705A2}).
class WebBrowser : public Control {
 public:
  // Starts a navigation to `url` ("file:" URLs in the program's forms, or any URL the
  // engine takes). False with `error` when the request cannot be taken.
  virtual bool navigate(const QString& url, QString& error) = 0;
};

}  // namespace vardel::controls

extern "C" {
// The factory of a control library: creates the control of `classId` ("{...}", any case) as a
// child of `parent`, raising its events on `events`. On failure answers null and writes a
// zero-terminated UTF-8 reason of at most `errorSize` bytes into `error`.
using VardelCreateControlFn = vardel::controls::Control* (*)(int abiVersion, const char* classId, QWidget* parent,
                                                             vardel::controls::ControlEvents* events, char* error,
                                                             std::size_t errorSize);
// The self-registration entries of a control library: no arguments, 0 on success.
using VardelRegisterFn = std::int32_t (*)();
}

// The browser control: a Qt WebEngine view that reports navigations, hovered links and new windows.
#pragma once

#include "controls/control_abi.h"

#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <optional>

namespace vardel::controls {

// The name under which the engine offers pages the renderer's garbage collection (a switch of
// the script engine, see webbrowser_module.cpp).
inline constexpr char kCollectGarbage[] = "vardelCollectGarbage";

// Every request of every page the engine shows passes here, pages, frames, pictures, scripts,
// fetch and XHR, WebSockets and redirects alike; the profile holds one for the whole program.
//  - Nothing reaches the network: any scheme but "file:" and the engine's own in-memory ones
//    ("data:", "blob:", "about:") is blocked, and so is a "file:" URL of another host.
//  - Files copied off a disc often change the case of their names, which the pages' links
//    keep: a local file that does not exist as named is fetched under the name that matches it
//    without regard to case.
//  - Once a content folder is named, a file outside it (".." past its top, absolute names, links
//    inside it pointing out) is blocked as well.
class MagazineRequests : public QWebEngineUrlRequestInterceptor {
  Q_OBJECT
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;
  void setContentFolder(const QString& folder) { folder_ = folder; }
  // Whether a page may have the local file `path` (already matched for case).
  bool allowsFile(const QString& path) const;
  // Whether a page may have `url`: the magazine's own files (the one found, matched for case,
  // goes to `found`) and the addresses pages make themselves (data, blob, about).
  bool allows(const QUrl& url, QString* found = nullptr) const;

  // The one of the default profile, installed there with the settings that keep pages
  // local at the first call.
  static MagazineRequests& forProfile();

 private:
  QString folder_;  // empty: files are not confined
};

// A page that asks the host before every navigation and every new window.
class BrowserPage : public QWebEnginePage {
  Q_OBJECT
 public:
  // `events` may be null (a window the browser opened on its own reports to nobody).
  BrowserPage(QObject* parent, ControlEvents* events);

  // True while an event of this page is being raised; a navigation asked for meanwhile is
  // started once the engine's call has returned.
  bool inEvent() const { return inEvent_; }
  // Shows `text` as a page of its own, reported to no one: the host's address stays that of
  // the article.
  void showMessage(const QString& text);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage* createWindow(WebWindowType type) override;

 private:
  ControlEvents* events_;
  bool inEvent_ = false;
  bool showingMessage_ = false;
};

// The control: its widget is the view itself.
class BrowserControl : public QWebEngineView, public WebBrowser {
  Q_OBJECT
 public:
  BrowserControl(QWidget* parent, ControlEvents* events);
  ~BrowserControl() override;

  QWidget* widget() override { return this; }
  WebBrowser* asWebBrowser() override { return this; }
  bool navigate(const QString& url, QString& error) override;
  void setContentFolder(const QString& folder) override;
  // A PDF file is written by the engine itself, its text kept as text; a printer of the
  // system gets the pages the engine draws. Either finishes later, from the event loop.
  void printDocument(QPrinter* printer, std::function<void(bool ok, const QString& error)> done) override;

  // Reading aids (see Control), over the engine's own find and zoom; the text size is the
  // page's zoom, pictures included, as browsers do it.
  void findText(const QString& text, bool backward, std::function<void(int current, int total)> done) override;
  void setTextZoom(double factor) override;
  QPoint scrollPosition() override;
  void setScrollPosition(QPoint position) override;
  QString currentUrl() override;

 private:
  struct Find {
    QString text;
    bool backward = false;
    std::function<void(int, int)> done;
  };
  void loaded();
  void runFind(const Find& find);

  BrowserPage* page_;
  bool loading_ = false;
  double textZoom_ = 1;
  std::optional<QPoint> pendingScroll_;
  std::optional<Find> pendingFind_;
  std::function<void(bool ok, const QString& error)> printed_;  // while a printing runs
};

// A top-level browser window, for a new window nobody cancelled. Deletes itself when closed.
class BrowserWindow : public QWebEngineView {
  Q_OBJECT
 public:
  BrowserWindow();
};

}  // namespace vardel::controls

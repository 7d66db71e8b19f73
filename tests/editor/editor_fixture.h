// Editors created the way the map creates them, with a host that owns a real HTML viewer, and
// helpers that answer the editor's dialogs.
#pragma once

#include "controls/host/html_control.h"
#include "editor/editor_form.h"
#include "editor/editor_host.h"
#include "platform/richedit/richedit.h"
#include "tests/controls/control_fixture.h"
#include "tests/support/ui_support.h"
#include "ui/message_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vardel::test {

inline const QString kDemoArticles = QStringLiteral(VARDEL_PROGRAM_DIR "Ficheros/");

// The map's side of an editor: the viewer `w` on a form of its own, the address on display,
// and the reference to the newest editor that the viewer's parse-complete event follows.
class TestHost : public EditorHost {
 public:
  explicit TestHost(bool browser) : browser_(browser) {
    map.setObjectName(QStringLiteral("frmMapa"));
    map.setBorderStyle(ui::BorderStyle::bsNone);
    map.setBounds(0, 0, 800, 600);
    w = new THTML(map.client());
    w->setObjectName(QStringLiteral("w"));
    w->setGeometry(browser ? QRect(50, 10000, 660, 600) : QRect(140, 0, 660, 600));
    w->show();
    w->OnParseComplete = [this](QObject*) {
      ++parses;
      if (browser_ && frmEditor) frmEditor->ImportDisplayedDocument();
    };
  }

  THTML* htmlViewer() override { return w; }
  QString displayedAddress() override { return address; }
  bool browserBuild() override { return browser_; }
  bool contentFolderIsOwn() override { return ownContentFolder; }

  // Puts an article on display as the map does: the browser build only notes its address (the
  // browser shows it), the basic build has `w` load it.
  void display(const QString& path) {
    if (browser_) {
      address = QStringLiteral("file://") + path;
      return;
    }
    const int before = parses;
    w->LoadDocument(QStringLiteral("file:") + path);
    EXPECT_TRUE(waitUntil([&] { return parses > before; }));
  }

  bool ownContentFolder = true;  // a test makes it a disc's folder

  TfrmEditor* openEditor() {
    frmEditor = new TfrmEditor(&map, *this);
    return frmEditor;
  }

  // Waits until the newest editor has imported.
  bool waitForImport() {
    return waitUntil([&] { return frmEditor && frmEditor->imported(); });
  }

  ui::Form map;  // first, so that it is the program's main form rather than an editor
  THTML* w = nullptr;
  QString address;
  QPointer<TfrmEditor> frmEditor;
  int parses = 0;

 private:
  bool browser_;
};

// Answers the program's modal dialogs in the order they come. A dialog that comes without an
// answer waiting fails the test and is closed; an answer left over fails it too.
class DialogAnswers {
 public:
  using Answer = std::function<void(QWidget*)>;
  DialogAnswers() {
    QObject::connect(&poll_, &QTimer::timeout, [this] { look(); });
    poll_.start(5);
  }
  ~DialogAnswers() { EXPECT_TRUE(answers_.isEmpty()) << answers_.size() << " expected dialog(s) never came"; }

  // The next dialog must be a T; `answer` runs inside its loop.
  template <class T>
  void then(std::function<void(T*)> answer) {
    answers_.append([answer](QWidget* w) {
      auto* dialog = qobject_cast<T*>(w);
      if (!dialog) {
        ADD_FAILURE() << "expected a " << T::staticMetaObject.className() << ", got a " << w->metaObject()->className();
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
        return;
      }
      answer(dialog);
    });
  }
  // Answers the next Yes/No/Cancel question, noting its text.
  void question(ui::DialogButton button, QString* text = nullptr) {
    then<QDialog>([button, text](QDialog* box) {
      ASSERT_EQ(box->objectName(), QStringLiteral("MessageDialog"));
      if (text) *text = box->findChild<QLabel*>(QStringLiteral("text"))->text();
      box->findChild<QPushButton*>(QStringLiteral("button%1").arg(int(button)))->click();
    });
  }
  // Chooses `path` in the next file dialog (empty: cancels it); `readOnly` ticks the open
  // dialog's option, `filter` picks a filter entry.
  void file(const QString& path, bool readOnly = false, const QString& filter = QString()) {
    then<QFileDialog>([=](QFileDialog* dialog) {
      if (path.isEmpty()) return dialog->reject();
      if (!filter.isEmpty()) dialog->selectNameFilter(filter);
      if (auto* option = dialog->findChild<QCheckBox*>(QStringLiteral("ReadOnly"))) option->setChecked(readOnly);
      // Typed into the name box, as a person does (the box may hold a whole path).
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
      static_cast<QDialog*>(dialog)->accept();
    });
  }
  bool done() const { return answers_.isEmpty(); }

 private:
  void look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == answered_) return;
    answered_ = modal;
    if (answers_.isEmpty()) {
      ADD_FAILURE() << "unexpected dialog " << modal->metaObject()->className() << " "
                    << modal->windowTitle().toStdString();
      if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
      return;
    }
    answers_.takeFirst()(modal);
  }

  QTimer poll_;
  QList<Answer> answers_;
  QPointer<QWidget> answered_;
};

// A registry and a program folder of the test's own, with html.ocx registered.
class EditorTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    platform::registerControl(QString::fromLatin1(platform::kHtmlViewerClassId), kRealOcx);
  }
  void TearDown() override {
    host_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ControlTest::TearDown();
  }

  TestHost& host(bool browser = false) {
    if (!host_) host_ = std::make_unique<TestHost>(browser);
    return *host_;
  }
  // A new editor of the basic build with its import done (of nothing: no document on display).
  TfrmEditor* editor(bool browser = false) {
    TfrmEditor* e = host(browser).openEditor();
    host().waitForImport();
    return e;
  }
  QString folder() const { return program_.path() + QLatin1Char('/'); }

  std::unique_ptr<TestHost> host_;
  DialogAnswers dialogs;
};

}  // namespace vardel::test

// The import of the article on display into a new editor, in both programs: the demo
// magazine's articles, what was there before, failures, and editors that go before it arrives.
#include "editor/import_text.h"
#include "tests/editor/editor_fixture.h"

#include <QDir>
#include <QFile>
#include <QToolButton>

namespace vardel {
namespace {

using test::EditorTest;
using test::MessageRecorder;

QStringList editorLines(TfrmEditor* e) {
  QStringList lines;
  for (int i = 0; i < e->Editor->lineCount(); ++i) lines << e->Editor->line(i);
  return lines;
}

// The viewer's own text of what it holds, in the editor's lines.
QStringList viewerLines(THTML* w, bool browser) {
  const bool textMode = !browser && w->QueryTextMode() != 0;
  return splitImportedLines(textMode ? w->GetDocumentText(-1, -1) : w->GetDocumentText(0, 0));
}

class ImportTest : public EditorTest, public ::testing::WithParamInterface<bool> {
 protected:
  bool browser() const { return GetParam(); }
};

TEST_P(ImportTest, EveryDemoArticleArrivesAsTheViewersTextInPlainLines) {
  const QStringList articles = QDir(test::kDemoArticles).entryList({QStringLiteral("*.htm*")}, QDir::Files, QDir::Name);
  ASSERT_GE(articles.size(), 10) << "the demo magazine is built into the program folder";
  auto& h = host(browser());
  for (const QString& name : articles) {
    SCOPED_TRACE(name.toStdString());
    h.display(test::kDemoArticles + name);
    TfrmEditor* e = h.openEditor();
    EXPECT_TRUE(e->PanelMensaje->isVisible()) << "the panel shows until the text is in";
    ASSERT_TRUE(h.waitForImport());
    const QStringList expected = viewerLines(h.w, browser());
    EXPECT_GT(expected.size(), 3);
    EXPECT_EQ(editorLines(e), expected);
    EXPECT_FALSE(e->PanelMensaje->isVisible());
    EXPECT_EQ(e->Editor->selStart(), 0);
    EXPECT_EQ(e->DocumentName, QStringLiteral("SinTitulo"));
    EXPECT_EQ(e->StatusBar->panelText(1), e->Editor->modified() ? QStringLiteral("Modificado") : QString());
    EXPECT_EQ(e->UndoButton->isEnabled(), e->Editor->canUndo());
    e->Editor->setModified(false);
    e->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

TEST_P(ImportTest, TypingBeforeTheArticleArrivesIsReplacedButAnOpenedDocumentStays) {
  auto& h = host(browser());
  h.display(test::kDemoArticles + QStringLiteral("geografia.html"));
  // Typed over the placeholder: the article takes its place; the read-only flag is left alone.
  TfrmEditor* e = h.openEditor();
  e->Editor->insertPlainText(QStringLiteral("escrito antes"));
  e->Editor->setReadOnly(true);
  ASSERT_TRUE(h.waitForImport());
  EXPECT_EQ(editorLines(e), viewerLines(h.w, browser()));
  EXPECT_TRUE(e->Editor->isReadOnly());
  // Nothing imports a second time into the same editor.
  e->Editor->setReadOnly(false);
  e->Editor->setLines({QStringLiteral("escrito después")});
  e->ImportDisplayedDocument();
  EXPECT_EQ(editorLines(e), QStringList{QStringLiteral("escrito después")});
  if (!browser()) {
    EXPECT_FALSE(e->tmCargarHTML->enabled());
  }

  // A document opened first (as one named on the command line is) keeps its text under its
  // name: a later Save must not write the article over it.
  const QString own = test::writeFile(folder(), QStringLiteral("propio.txt"), "texto propio");
  const int parses = h.parses;
  TfrmEditor* second = h.openEditor();
  second->OpenDocumentFile(own);
  if (browser()) {
    EXPECT_TRUE(test::waitUntil([&] { return h.parses > parses; }));
  }
  test::pump(30);
  EXPECT_EQ(editorLines(second), QStringList{QStringLiteral("texto propio")});
  EXPECT_EQ(second->DocumentName, own);
  EXPECT_FALSE(second->PanelMensaje->isVisible());
}

TEST_P(ImportTest, AnEmptyArticleLeavesTheEditorEmptyWithThePanelGone) {
  const QString empty = test::writeFile(folder(), QStringLiteral("vacio.html"), "");
  auto& h = host(browser());
  h.display(empty);
  TfrmEditor* e = h.openEditor();
  ASSERT_TRUE(h.waitForImport());
  EXPECT_EQ(e->Editor->toPlainText(), QString());
  EXPECT_EQ(e->Editor->selStart(), 0);
  EXPECT_FALSE(e->PanelMensaje->isVisible());
}

TEST_P(ImportTest, AnEditorClosedBeforeItsTextArrivesIsNeverReached) {
  auto& h = host(browser());
  h.display(test::kDemoArticles + QStringLiteral("geografia.html"));
  const int parses = h.parses;
  QPointer<TfrmEditor> e(h.openEditor());
  e->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(e);
  EXPECT_FALSE(h.frmEditor);
  // The viewer's notification (browser build) or the timer (basic build) comes to nothing.
  test::pump(50);
  if (browser()) {
    EXPECT_EQ(h.parses, parses + 1);
  }
  // A new editor imports afresh.
  h.openEditor();
  EXPECT_TRUE(h.waitForImport());
  EXPECT_EQ(editorLines(h.frmEditor), viewerLines(h.w, browser()));
}

TEST_P(ImportTest, AViewerThatCannotReadTheArticleEndsTheImportWithItsError) {
  const QString doomed = test::writeFile(folder(), QStringLiteral("efimero.html"), "<p>pronto no estar\xc3\xa1</p>");
  auto& h = host(browser());
  h.display(doomed);
  MessageRecorder messages;
  TfrmEditor* e = h.openEditor();
  QFile::remove(doomed);  // gone before the viewer reads it
  ASSERT_TRUE(h.waitForImport());
  test::pump(20);
  if (browser()) {
    EXPECT_EQ(messages.texts().size(), 1);
    EXPECT_EQ(e->Editor->toPlainText(), QString()) << "the text stays cleared";
    EXPECT_TRUE(e->PanelMensaje->isVisible());
  } else {
    // The basic build's viewer read the article when it showed it.
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_TRUE(e->Editor->toPlainText().contains(QStringLiteral("pronto no estará")));
  }
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ImportTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ondravia" : "ondravia_basic"; });

TEST_F(EditorTest, TheBrowserBuildAsksForTheMapsOwnAddressFormAndReportsARefusal) {
  auto& h = host(true);
  // "file:" and a path, as the map writes it when it opens an article.
  h.address = QStringLiteral("file:") + test::kDemoArticles + QStringLiteral("geografia.html");
  TfrmEditor* e = h.openEditor();
  ASSERT_TRUE(h.waitForImport());
  EXPECT_EQ(editorLines(e), viewerLines(h.w, true));

  // A request the viewer refuses: the error is shown, and the window is still whole.
  h.address = QStringLiteral("file://") + folder() + QStringLiteral("no-existe.html");
  MessageRecorder messages;
  TfrmEditor* refused = h.openEditor();
  ASSERT_EQ(messages.texts().size(), 1);
  EXPECT_TRUE(messages.texts().first().contains(QStringLiteral("no-existe.html")));
  EXPECT_EQ(refused->geometry(), QRect(0, 0, 800, 600));
  EXPECT_EQ(refused->windowTitle(), QStringLiteral("SinTitulo - VARDEL"));
  EXPECT_FALSE(refused->PanelMensaje->isVisible());
  EXPECT_EQ(ui::Application::instance().cursor(), ui::Cursor::crDefault);
}

}  // namespace
}  // namespace vardel

// What the viewer shows: stored settings, the document's own colours, pictures, scrolling, links.
#include "controls/host/html_control.h"
#include "tests/controls/control_fixture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>

#include <functional>
#include <memory>

namespace vardel {
namespace {

using test::kArticles;
using test::kRealOcx;

class DisplayTest : public test::ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_EQ(callExport(kRealOcx, "DllRegisterServer"), 0);
    window_ = std::make_unique<QWidget>();
    window_->resize(800, 600);
    viewer_ = new THTML(window_.get());
    viewer_->setGeometry(140, 0, 660, 600);
    viewer_->OnParseComplete = [this](QObject*) { ++completed_; };
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    ControlTest::TearDown();
  }
  QTextBrowser* browser() const { return viewer_->findChild<QTextBrowser*>(); }
  QTextDocument* document() const { return browser()->document(); }
  void load(const QString& url) {
    const int before = completed_;
    viewer_->LoadDocument(url);
    ASSERT_TRUE(test::waitUntil([&] { return completed_ == before + 1; })) << url.toStdString();
    test::pump(20);
  }
  void loadHtml(const QByteArray& html) {
    load(QStringLiteral("file:") + test::writeFile(scratch_.path(), QStringLiteral("doc%1.html").arg(++files_), html));
  }
  // The first fragment whose text contains `text`.
  QTextFragment fragment(const QString& text) const {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
      for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().text().contains(text)) return it.fragment();
    ADD_FAILURE() << "no fragment with " << text.toStdString();
    return {};
  }
  // Clicks the link whose text contains `text`, as the pointer would.
  void clickLink(const QString& text) {
    const QTextFragment link = fragment(text);
    QTextCursor cursor(document());
    cursor.setPosition(link.position() + 1);
    browser()->ensureCursorVisible();
    const QRect caret = browser()->cursorRect(cursor);
    const QPoint at(caret.left() - 2, caret.center().y());
    QTest::mouseClick(browser()->viewport(), Qt::LeftButton, {}, at);
  }

  QTemporaryDir scratch_;
  int files_ = 0;
  std::unique_ptr<QWidget> window_;
  THTML* viewer_ = nullptr;
  int completed_ = 0;
};

TEST_F(DisplayTest, StoredSettingsApplyWhereTheDocumentSetsNothing) {
  loadHtml(
      "<h1>Uno</h1><h2>Dos</h2><h3>Tres</h3><h4>Cuatro</h4><h5>Cinco</h5><h6>Seis</h6>"
      "<p>Cuerpo <a href='x.html'>enlace</a> <tt>fijo</tt></p><pre>bloque</pre><p><a name='n'>Ancla</a></p>");
  EXPECT_EQ(browser()->palette().color(QPalette::Base), QColor(192, 192, 192));
  EXPECT_EQ(browser()->palette().color(QPalette::Text), QColor(Qt::black));
  const QFont body = fragment(QStringLiteral("Cuerpo")).charFormat().font();
  EXPECT_EQ(QFontInfo(body).family(), QFontInfo(QFont(QStringLiteral("Times New Roman"))).family());
  EXPECT_EQ(body.pixelSize(), 16);
  const int headings[] = {32, 24, 19, 16, 13, 11};
  const char* names[] = {"Uno", "Dos", "Tres", "Cuatro", "Cinco", "Seis"};
  for (int level = 0; level < 6; ++level) {
    const QTextCharFormat format = fragment(QLatin1String(names[level])).charFormat();
    EXPECT_EQ(format.font().pixelSize(), headings[level]) << names[level];
    EXPECT_TRUE(format.font().bold()) << names[level];
  }
  for (const char* fixed : {"fijo", "bloque"}) {
    const QFont font = fragment(QLatin1String(fixed)).charFormat().font();
    EXPECT_EQ(QFontInfo(font).family(), QFontInfo(QFont(QStringLiteral("Courier New"))).family()) << fixed;
    EXPECT_EQ(font.pixelSize(), 13) << fixed;
  }
  EXPECT_EQ(fragment(QStringLiteral("enlace")).charFormat().foreground().color(), QColor(Qt::blue));
  EXPECT_EQ(fragment(QStringLiteral("ncla")).charFormat().foreground().color(), QColor(Qt::black));  // no link
}

TEST_F(DisplayTest, TheDocumentsOwnColoursAndFontsWin) {
  loadHtml(
      "<body bgcolor='#FFFFF0' text='#000080' link='#CC0000'><p>texto <a href='x.html'>enlace</a> "
      "<font face='Arial' size=5 color=green>verde</font></p>"
      "<table bgcolor=yellow><tr><td bgcolor='#00FF00'>celda</td></tr></table></body>");
  EXPECT_EQ(document()->rootFrame()->frameFormat().background().color(), QColor(0xFF, 0xFF, 0xF0));
  EXPECT_EQ(browser()->palette().color(QPalette::Text), QColor(0, 0, 0x80));
  EXPECT_EQ(fragment(QStringLiteral("enlace")).charFormat().foreground().color(), QColor(0xCC, 0, 0));
  const QTextCharFormat green = fragment(QStringLiteral("verde")).charFormat();
  EXPECT_EQ(green.foreground().color(), QColor(0, 0x80, 0));
  EXPECT_EQ(QFontInfo(green.font()).family(), QFontInfo(QFont(QStringLiteral("Arial"))).family());
  EXPECT_GT(green.font().pixelSize(), 16);

  // The next document starts again from the stored settings.
  loadHtml("<p>otro <a href='y.html'>enlace</a></p>");
  EXPECT_EQ(browser()->palette().color(QPalette::Text), QColor(Qt::black));
  EXPECT_EQ(fragment(QStringLiteral("enlace")).charFormat().foreground().color(), QColor(Qt::blue));
  EXPECT_FALSE(document()->rootFrame()->frameFormat().hasProperty(QTextFormat::BackgroundBrush));
}

TEST_F(DisplayTest, APageColourFillsTheWholeViewAndAPageWithoutOneShowsSilver) {
  const auto belowTheText = [this] {
    const QImage shot = browser()->viewport()->grab().toImage();
    return shot.pixelColor(shot.width() / 2, shot.height() - 5);
  };
  loadHtml("<body bgcolor='#336699'><p>corto</p></body>");
  EXPECT_EQ(belowTheText(), QColor(0x33, 0x66, 0x99));
  loadHtml("<p>sin color</p>");
  EXPECT_EQ(belowTheText(), QColor(192, 192, 192));
  loadHtml("<body bgcolor='#336699'><p>corto</p></body>");
  EXPECT_EQ(belowTheText(), QColor(0x33, 0x66, 0x99));
}

TEST_F(DisplayTest, PicturesLoadWhateverTheCaseOfTheirNames) {
  load(QStringLiteral("file:") + kArticles + QStringLiteral("geografia.html"));
  const QVariant picture =
      document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("imagenes/Mapa.JPG")));
  ASSERT_TRUE(picture.canConvert<QImage>());
  EXPECT_EQ(picture.value<QImage>().size(), QSize(40, 30));
  // On screen: the gradient's blue at the top of the centred picture.
  const QImage shot = browser()->viewport()->grab().toImage();
  shot.save(QStringLiteral(VARDEL_TEST_ARTIFACTS "/html-viewer-geografia.png"));
  const QColor top = shot.pixelColor(shot.width() / 2, 6);
  EXPECT_GT(top.blue(), top.red() + 60) << top.name().toStdString();
  // Missing or damaged pictures leave the text alone.
  loadHtml("<p>antes <img src='no-hay.jpg' alt='x'> <img src='doc1.html'> después</p>");
  EXPECT_TRUE(browser()->toPlainText().contains(QStringLiteral("después")));
}

TEST_F(DisplayTest, LongDocumentsScrollInsideTheRectangle) {
  load(QStringLiteral("file:") + kArticles + QStringLiteral("fauna.html"));
  EXPECT_GT(browser()->verticalScrollBar()->maximum(), 0);
  EXPECT_TRUE(browser()->verticalScrollBar()->isVisible());
  EXPECT_EQ(browser()->geometry(), QRect(0, 0, 660, 600));
  // A URL with an anchor opens the document there.
  load(QStringLiteral("file:") + kArticles + QStringLiteral("fauna.html#aves"));
  EXPECT_GT(browser()->verticalScrollBar()->value(), 0);
}

TEST_F(DisplayTest, LinksAreFollowedInsideTheViewer) {
  load(QStringLiteral("file:") + kArticles + QStringLiteral("geografia.html"));
  // An in-page anchor scrolls and loads nothing.
  window_->resize(800, 200);
  viewer_->setGeometry(140, 0, 660, 200);
  test::pump(20);
  ASSERT_EQ(browser()->verticalScrollBar()->value(), 0);
  clickLink(QStringLiteral("Ríos y lagos"));
  test::pump(50);
  EXPECT_GT(browser()->verticalScrollBar()->value(), 0);
  EXPECT_EQ(completed_, 1);

  // A relative link whose case differs from the file's name.
  browser()->verticalScrollBar()->setValue(0);
  test::pump(20);
  clickLink(QStringLiteral("Historia"));
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 2; }));
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("Historia\r\n")));

  // Back through an upper-case link; the link to the visited page is now magenta.
  clickLink(QStringLiteral("geografía"));
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 3; }));
  test::pump(20);
  EXPECT_EQ(fragment(QStringLiteral("Historia")).charFormat().foreground().color(), QColor(0x80, 0, 0x80));  // vlink
  EXPECT_EQ(fragment(QStringLiteral("Las aves")).charFormat().foreground().color(), QColor(0, 0, 0xCC));     // link

  // A link into another document's anchor.
  clickLink(QStringLiteral("Las aves"));
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 4; }));
  test::pump(20);
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("La fauna")));
  EXPECT_GT(browser()->verticalScrollBar()->value(), 0);
}

TEST_F(DisplayTest, TheLayoutFollowsTheEventUnderTheHourglassThatNeverOutlivesIt) {
  QString shownAtEvent;
  Qt::CursorShape cursorAtEvent = Qt::ArrowCursor;
  viewer_->OnParseComplete = [&](QObject*) {
    ++completed_;
    shownAtEvent = browser()->toPlainText();
    if (const QCursor* cursor = QGuiApplication::overrideCursor()) cursorAtEvent = cursor->shape();
  };
  viewer_->LoadDocument(QStringLiteral("file:") + kArticles + QStringLiteral("cultura.html"));
  ASSERT_TRUE(test::waitUntil([&] { return browser()->toPlainText().startsWith(QStringLiteral("Cultura")); }));
  EXPECT_EQ(completed_, 1);
  EXPECT_TRUE(shownAtEvent.isEmpty());
  EXPECT_EQ(cursorAtEvent, Qt::WaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

  // A viewer destroyed before its layout leaves no hourglass behind: the handler has it
  // destroyed by an event that overtakes the queued layout.
  struct Destroyer : QObject {
    std::function<void()> run;
    bool event(QEvent* event) override {
      if (event->type() != QEvent::User) return QObject::event(event);
      run();
      return true;
    }
  } destroyer;
  bool busyAtEvent = false;
  destroyer.run = [&] {
    delete viewer_;
    viewer_ = nullptr;
  };
  viewer_->OnParseComplete = [&](QObject*) {
    busyAtEvent = QGuiApplication::overrideCursor() != nullptr;
    QCoreApplication::postEvent(&destroyer, new QEvent(QEvent::User), Qt::HighEventPriority);
  };
  viewer_->LoadDocument(QStringLiteral("file:") + kArticles + QStringLiteral("historia.html"));
  ASSERT_TRUE(test::waitUntil([&] { return viewer_ == nullptr; }));
  EXPECT_TRUE(busyAtEvent);
  test::pump(20);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// What the viewer paints first, drawn from the document on display at that moment.
struct FirstPaint : QObject {
  QTextBrowser* browser = nullptr;
  QString mark;  // a text of the document awaited
  QImage image;
  int characters = 0;
  QString text;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && image.isNull() && browser->document()->toPlainText().contains(mark)) {
      text = browser->document()->toPlainText();
      characters = browser->document()->characterCount();
      image = render(browser);
    }
    return false;
  }
  static QImage render(QTextBrowser* browser) {
    QImage shot(browser->viewport()->size(), QImage::Format_RGB32);
    shot.fill(Qt::white);
    QPainter painter(&shot);
    browser->document()->drawContents(&painter, QRectF(QPointF(0, 0), QSizeF(shot.size())));
    return shot;
  }
};

TEST_F(DisplayTest, ALongDocumentShowsItsStartFirstAsTheWholeShowsIt) {
  // A first table whose last row, past where a cut is looked for, widens its first column.
  QByteArray html = "<html><body bgcolor=#F6F7FC><table border=1 width=100%><tr><td><p>CABECERA<td><p>" +
                    QByteArray("Celda de relleno. ").repeated(250) + "<tr><td><p>" + QByteArray("x").repeated(60) +
                    "<td>fin</table><h1>Primero</h1>";
  for (int part = 0; part < 40; ++part) {
    html += "<h2>Parte " + QByteArray::number(part) + "</h2><p>" + QByteArray("Texto largo de relleno. ").repeated(30) +
            "</p><table border=1>";
    for (int row = 0; row < 12; ++row) html += "<tr><td>dia " + QByteArray::number(row) + "<td>luna<td>marea alta";
    html += "</table><ol><li>uno<li><li>tres</ol>";
  }
  html += "<p><a name=final>Ultimo parrafo</a></body></html>";
  FirstPaint first;
  first.mark = QStringLiteral("CABECERA");
  first.browser = browser();
  browser()->viewport()->installEventFilter(&first);
  loadHtml(html);
  ASSERT_TRUE(test::waitUntil([&] { return document()->toPlainText().endsWith(QStringLiteral("Ultimo parrafo")); }));
  browser()->viewport()->removeEventFilter(&first);
  ASSERT_FALSE(first.image.isNull());
  EXPECT_LT(first.characters, document()->characterCount());  // a start indeed
  EXPECT_EQ(first.image, FirstPaint::render(browser()));
  EXPECT_EQ(browser()->verticalScrollBar()->value(), 0);
  // An anchor past any start is reached.
  viewer_->LoadDocument(QStringLiteral("file:") + scratch_.filePath(QStringLiteral("doc%1.html").arg(files_)) +
                        QStringLiteral("#final"));
  ASSERT_TRUE(test::waitUntil([&] { return browser()->verticalScrollBar()->value() > 0; }));
  EXPECT_EQ(completed_, 2);
}

TEST_F(DisplayTest, TheAlmanacsFirstScreenIsTheWholesWithoutTheTableBelowIt) {
  FirstPaint first;
  first.mark = QStringLiteral("Almanaque");
  first.browser = browser();
  browser()->viewport()->installEventFilter(&first);
  load(QStringLiteral("file:" VARDEL_PROGRAM_DIR "Ficheros/almanaque.html"));
  ASSERT_TRUE(test::waitUntil([&] { return document()->toPlainText().contains(QStringLiteral("Ediciones Ralvek")); }));
  browser()->viewport()->removeEventFilter(&first);
  ASSERT_FALSE(first.image.isNull());
  EXPECT_EQ(first.image, FirstPaint::render(browser()));
  // The month's table starts below the screen: the start stops before it.
  EXPECT_TRUE(first.text.contains(QStringLiteral("Enero trae")));
  EXPECT_FALSE(first.text.contains(QStringLiteral("Luna llena")));
}

TEST_F(DisplayTest, ALinkToAMissingFileShowsAnErrorPage) {
  loadHtml("<p><a href='no-existe.html'>roto</a></p>");
  clickLink(QStringLiteral("roto"));
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 2; }));
  EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("No se ha encontrado el fichero")));
  EXPECT_THROW(viewer_->GetDocumentText(0, 0), ui::Error);
}

TEST_F(DisplayTest, ALinkToADocumentNestedTooDeepShowsAnErrorPage) {
  test::writeFile(scratch_.path(), QStringLiteral("hostil.html"), QByteArray("<b>").repeated(100000));
  loadHtml("<p><a href='hostil.html'>abismo</a></p>");
  clickLink(QStringLiteral("abismo"));
  ASSERT_TRUE(test::waitUntil([&] { return completed_ == 2; }));
  test::pump(20);
  EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("El documento anida más de 512 elementos")));
  EXPECT_THROW(viewer_->GetDocumentText(0, 0), ui::Error);
  EXPECT_EQ(viewer_->QueryTextMode(), 0);
}

TEST_F(DisplayTest, EachDocumentShownIsFreedWithItsPicturesWhenTheNextReplacesIt) {
  QImage picture(400, 400, QImage::Format_RGB32);
  picture.fill(Qt::darkCyan);
  ASSERT_TRUE(picture.save(scratch_.filePath(QStringLiteral("foto.png"))));
  const auto held = [&] { return browser()->findChildren<QTextDocument*>(Qt::FindDirectChildrenOnly).size(); };
  // Long ones too: their start is shown first and replaced by the whole.
  const QByteArray longText = "<p>" + QByteArray("Texto largo de relleno. ").repeated(3000);
  for (int i = 0; i < 12; ++i) {
    loadHtml("<h1>Foto " + QByteArray::number(i) + "</h1><img src='foto.png'>" + (i % 3 == 0 ? longText : ""));
    ASSERT_TRUE(test::waitUntil([&] { return document()->toPlainText().startsWith(QStringLiteral("Foto")); }));
    test::pump(20);
    EXPECT_LE(held(), 1) << "after document " << i;
  }
  EXPECT_FALSE(document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("foto.png"))).isNull());
}

TEST_F(DisplayTest, EveryListItemKeepsItsNumberOnScreen) {
  loadHtml("<ol><li>a<li><li><b></b></li><li>d</ol><ol type=a><li>uno<li> <ul><li>x<li>y</ul><li>tres</ol>");
  QStringList numbered;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    if (!block.textList() || block.textList()->format().style() == QTextListFormat::ListDisc ||
        block.textList()->format().style() == QTextListFormat::ListCircle)
      continue;
    numbered << block.textList()->itemText(block) + block.text().trimmed();
  }
  EXPECT_EQ(numbered, (QStringList{"1.a", "2.", "3.", "4.d", "a.uno", "b.", "c.tres"}));
  // Items with text are left as they are.
  EXPECT_EQ(fragment(QStringLiteral("uno")).text(), QStringLiteral("uno"));
}

TEST_F(DisplayTest, AViewerParkedOutsideItsWindowReadsButLaysNothingOut) {
  viewer_->move(50, 10000);
  load(QStringLiteral("file:") + kArticles + QStringLiteral("historia.html"));
  EXPECT_TRUE(viewer_->GetDocumentText(0, 0).startsWith(QStringLiteral("Historia")));
  EXPECT_TRUE(browser()->toPlainText().isEmpty());
  viewer_->move(140, 0);
  test::pump(20);
  EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("Historia")));
  // A hidden viewer, likewise, shows the document once it is shown.
  viewer_->hide();
  load(QStringLiteral("file:") + kArticles + QStringLiteral("cultura.html"));
  EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("Historia")));
  viewer_->show();
  test::pump(20);
  EXPECT_TRUE(browser()->toPlainText().startsWith(QStringLiteral("Cultura")));
}

}  // namespace
}  // namespace vardel

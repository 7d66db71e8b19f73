// The magazine search's index over a content folder of the test's own: folding, all the words,
// the pages the articles lead to, confinement and limits.
#include "shell/busqueda_indice.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace vardel {
namespace {

QByteArray cp1252Page(const char* body) {
  return QByteArray(
             "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
             "<title>titulo oculto</title><script>var secreto = 1;</script></head><body>") +
         body + "</body></html>";
}

class BusquedaTest : public ::testing::Test {
 protected:
  QString root() const { return dir_.path() + QStringLiteral("/revista/"); }
  QString docs() const { return root() + QStringLiteral("Ficheros"); }
  void page(const QString& name, const QByteArray& bytes) { test::writeFile(docs(), name, bytes); }
  SearchIndex build(const SearchIndex::Limits& limits = SearchIndex::Limits()) {
    return SearchIndex::build(root(), cities_, limits);
  }
  static QStringList pages(const QList<SearchHit>& hits) {
    QStringList out;
    for (const SearchHit& hit : hits) out << QString::number(hit.city) + QLatin1Char(':') + hit.page;
    return out;
  }

  QTemporaryDir dir_;
  QList<SearchCity> cities_{{1, QStringLiteral("Cocina"), QStringLiteral("recetas.html")},
                            {2, QStringLiteral("Música"), QStringLiteral("musica.html")}};
};

TEST(FoldForSearch, DropsCaseAndAccentsAndKeepsWhereEachCharacterCameFrom) {
  QList<qsizetype> origin;
  EXPECT_EQ(foldForSearch(QStringLiteral("Canción OTOÑO Ǆ ﬁn"), &origin), QStringLiteral("cancion otono dz fin"));
  ASSERT_EQ(origin.size(), 20);
  EXPECT_EQ(origin[5], 5);  // "o" of "ó"
  EXPECT_EQ((QList<qsizetype>{origin[14], origin[15], origin[16], origin[17], origin[18], origin[19]}),
            (QList<qsizetype>{14, 14, 15, 16, 16, 17}));                 // "dz" from "Ǆ", "fi" from "ﬁ"
  EXPECT_EQ(foldForSearch(QStringLiteral("𝐀b")), QStringLiteral("ab"));  // outside the basic plane
  EXPECT_EQ(searchWords(QStringLiteral("  Canción\u00A0canción  ÁRBOL ")),
            (QStringList{QStringLiteral("cancion"), QStringLiteral("arbol")}));
  EXPECT_TRUE(searchWords(QStringLiteral(" \t ")).isEmpty());
}

TEST_F(BusquedaTest, FindsPagesHoldingEveryWordWhateverTheirCaseAndAccents) {
  page(QStringLiteral("recetas.html"), cp1252Page("<h1>La caldereta</h1><p>Una canci\xF3n de oto\xF1o al fuego.</p>"));
  page(QStringLiteral("musica.html"),
       "<meta charset=\"utf-8\"><p>Canci\xC3\xB3n del puerto</p><p>Sin la otra palabra &amp; nada m&aacute;s.</p>");
  const SearchIndex index = build();
  EXPECT_EQ(index.pageCount(), 2);
  EXPECT_EQ(pages(index.find(QStringLiteral("CANCION"))), (QStringList{"1:recetas.html", "2:musica.html"}));
  const QList<SearchHit> both = index.find(QStringLiteral("cancion otoño"));
  ASSERT_EQ(pages(both), QStringList{"1:recetas.html"});
  EXPECT_EQ(both[0].hint, QStringLiteral("Cocina"));
  EXPECT_EQ(both[0].context, QStringLiteral("Una canción de otoño al fuego."));
  EXPECT_EQ(pages(index.find(QStringLiteral("nada mas"))), QStringList{"2:musica.html"});
  // Neither the head, nor scripts, nor markup are words of the page.
  EXPECT_TRUE(index.find(QStringLiteral("secreto")).isEmpty());
  EXPECT_TRUE(index.find(QStringLiteral("titulo")).isEmpty());
  EXPECT_TRUE(index.find(QStringLiteral("caldereta")).size() == 1 && index.find(QStringLiteral("h1")).isEmpty());
  EXPECT_TRUE(index.find(QStringLiteral("   ")).isEmpty());
}

TEST_F(BusquedaTest, FollowsLinksInsideTheFolderOnlyAndGroupsThemUnderTheCityThatLeadsThere) {
  QTemporaryDir outside;
  test::writeFile(outside.path(), QStringLiteral("fuera.html"), "<p>palabra fuera</p>");
  page(QStringLiteral("recetas.html"),
       cp1252Page("<a href=\"Sub/MAS.HTML#arriba\">m&aacute;s</a> <a href=\"../../fuera.html\">x</a>"
                  "<a href=\"enlace.html\">y</a><a href=\"file://" +
                  QFile::encodeName(outside.path()) +
                  "/fuera.html\">z</a><a href=\"http://ejemplo.com/palabra.html\">w</a>"
                  "<a href=\"notas.txt\">t</a><a href=\"#arriba\">v</a>"));
  page(QStringLiteral("sub/mas.html"), "<p>palabra escondida</p><a href=\"../recetas.html\">vuelta</a>");
  page(QStringLiteral("notas.txt"), "palabra de texto");
  page(QStringLiteral("musica.html"), "<frameset><frame src=\"sub/mas.html\"></frameset>");
  test::writeFile(dir_.path(), QStringLiteral("fuera.html"), "<p>palabra fuera</p>");  // beside the magazine
  ASSERT_EQ(::symlink(QFile::encodeName(outside.path() + QStringLiteral("/fuera.html")).constData(),
                      QFile::encodeName(docs() + QStringLiteral("/enlace.html")).constData()),
            0);
  const SearchIndex index = build();
  EXPECT_EQ(pages(index.find(QStringLiteral("palabra"))), QStringList{"1:sub/mas.html"});
  EXPECT_EQ(index.pageCount(), 3);
}

TEST_F(BusquedaTest, StaysWithinItsLimitsAndLeavesOutWhatIsNoPage) {
  page(QStringLiteral("recetas.html"), "<p>grande</p>" + QByteArray(4000, 'x'));
  ASSERT_EQ(::mkfifo(QFile::encodeName(docs() + QStringLiteral("/musica.html")).constData(), 0600), 0);
  SearchIndex::Limits limits;
  limits.pageBytes = 1000;
  EXPECT_EQ(build(limits).pageCount(), 0);  // too large, and a pipe (read without waiting on it)

  QFile::remove(docs() + QStringLiteral("/musica.html"));
  page(QStringLiteral("musica.html"), "<a href=\"a.html\">a</a><a href=\"b.html\">b</a>");
  page(QStringLiteral("a.html"), "<p>uno</p>");
  page(QStringLiteral("b.html"), "<p>dos</p>");
  limits = SearchIndex::Limits();
  limits.pages = 3;
  EXPECT_EQ(pages(build(limits).find(QStringLiteral("uno"))), QStringList{"2:a.html"});
  EXPECT_TRUE(build(limits).find(QStringLiteral("dos")).isEmpty());
  limits = SearchIndex::Limits();
  limits.totalBytes = 4050;
  EXPECT_EQ(build(limits).bytesRead(), 4013);  // the first article only: the next one would pass it
  // Pages the parser would take minutes over are left out at once; a script's markup is no page's.
  page(QStringLiteral("a.html"), "<p>uno</p>" + QByteArray("<div>").repeated(100000));
  page(QStringLiteral("b.html"), "<script>" + QByteArray("<div>").repeated(600) + "</script><p>dos</p>");
  EXPECT_EQ(pages(build().find(QStringLiteral("uno"))), QStringList{});
  EXPECT_EQ(pages(build().find(QStringLiteral("dos"))), QStringList{"2:b.html"});
  const std::atomic<bool> cancelled{true};
  EXPECT_EQ(SearchIndex::build(root(), cities_, SearchIndex::Limits(), &cancelled).pageCount(), 0);
}

TEST_F(BusquedaTest, ReadsAPageAsTheViewerShowsItAndTakesWhatTheViewerTakes) {
  // Lines as the reader sees them: list markers kept, hidden text left out, cells on one line.
  page(QStringLiteral("recetas.html"),
       "<ul><li>Harina de trigo</li></ul><p style=\"display:none\">harina escondida</p>"
       "<table><tr><td>Sal</td><td>fina</td></tr></table>");
  const QList<SearchHit> hits = build().find(QStringLiteral("harina"));
  ASSERT_EQ(pages(hits), QStringList{"1:recetas.html"});
  EXPECT_EQ(hits[0].context, QStringLiteral("• Harina de trigo"));
  EXPECT_TRUE(build().find(QStringLiteral("escondida")).isEmpty());
  EXPECT_EQ(build().find(QStringLiteral("sal fina")).value(0).context, QStringLiteral("Sal fina"));
  // The viewers' own bound: nesting within it is read, beyond it left out, whatever the tags.
  for (const auto& [html, taken] : {std::pair{"<table>" + QByteArray("<tr><td><table>").repeated(200) + "hondo", false},
                                    std::pair{QByteArray("<div>").repeated(500) + "hondo", true},
                                    std::pair{QByteArray("<div>").repeated(520) + "hondo", false}}) {
    page(QStringLiteral("musica.html"), html);
    EXPECT_EQ(build().find(QStringLiteral("hondo")).size(), taken ? 1 : 0) << html.left(40).constData();
  }
}

}  // namespace
}  // namespace vardel

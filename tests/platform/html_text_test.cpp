// Readable text of HTML documents, and the choice of their character set.
#include "platform/html/html_text.h"
#include "platform/html/html_source.h"

#include "tests/support/qt_printers.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

namespace vardel::platform::html {
namespace {

QString text(const char* html) { return htmlToText(QString::fromUtf8(html)); }

// Lines of a text, for assertions that read like the expected page.
QStringList lines(const QString& text) { return text.split(QStringLiteral("\r\n")); }

QString fixture(const char* name) {
  QFile file(QStringLiteral(VARDEL_SOURCE_DIR "/tests/controls/data/") + QLatin1String(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return decodeHtml(file.readAll()).text;
}

TEST(HtmlText, BlocksStandApartWithOneEmptyLineAndBreaksEndLines) {
  EXPECT_EQ(text("<h1>Título</h1><p>Uno\n dos</p><p>Tres<br>cuatro</p><div>cinco</div><div>seis</div>"),
            QStringLiteral("Título\r\n\r\nUno dos\r\n\r\nTres\r\ncuatro\r\n\r\ncinco\r\nseis"));
  // Two <br> leave one empty line, more never leave more.
  EXPECT_EQ(lines(text("a<br><br>b<br><br><br><br>c")), (QStringList{"a", "", "b", "", "c"}));
  // Nothing before the first text or after the last.
  EXPECT_EQ(text("<p></p><br><p>  solo  </p><br><br>"), QStringLiteral("solo"));
}

TEST(HtmlText, CarriageReturnsAndBareLineFeedsReadAlike) {
  const char* crlf = "<p>Primera\r\nlínea</p>\r\n<pre>uno\r\ndos\r\n</pre>";
  const char* lf = "<p>Primera\nlínea</p>\n<pre>uno\ndos\n</pre>";
  EXPECT_EQ(text(crlf), text(lf));
  EXPECT_EQ(lines(text(lf)), (QStringList{"Primera línea", "", "uno", "dos"}));
}

TEST(HtmlText, EntitiesAreDecodedAndBlanksCollapse) {
  EXPECT_EQ(text("<p>&aacute;rbol &amp; &lt;ra&iacute;z&gt; &quot;hoja&quot; &#241;&#x00D1; &euro;&#150;&copy;</p>"),
            QStringLiteral("árbol & <raíz> \"hoja\" ñÑ €–©"));
  EXPECT_EQ(text("<p>dos&nbsp;&nbsp; espacios\t y\n\nmás</p>"), QStringLiteral("dos espacios y más"));
  EXPECT_EQ(text("<p>pa&shy;la&shy;bra</p>"), QStringLiteral("palabra"));
  EXPECT_EQ(text("<p><b>negrita</b> <i>cursiva</i><span>junta</span></p>"), QStringLiteral("negrita cursivajunta"));
}

TEST(HtmlText, ScriptStyleHeadCommentsAndHiddenContentAreLeftOut) {
  EXPECT_EQ(text("<html><head><title>Título</title><style>p{color:red}</style>"
                 "<script>var x = '<p>no</p>';</script></head><body><!-- nota -->"
                 "<p>visible</p><script>document.write('no')</script><noscript>sin guion</noscript>"
                 "<div style='display: none'>oculto</div><p hidden>oculto</p>"
                 "<select><option>opción</option></select></body></html>"),
            QStringLiteral("visible\r\n\r\nsin guion"));
}

TEST(HtmlText, ListsGetBulletsNumbersAndIndentedNesting) {
  EXPECT_EQ(lines(text("<p>Antes</p><ul><li>Uno<li>Dos<ul><li>Dos.a<li>Dos.b</ul><li>Tres</ul><p>Después</p>")),
            (QStringList{"Antes", "", "• Uno", "• Dos", "    • Dos.a", "    • Dos.b", "• Tres", "", "Después"}));
  EXPECT_EQ(lines(text("<ol start=3><li>tres<li>cuatro<li value=10>diez<li>once</ol>")),
            (QStringList{"3. tres", "4. cuatro", "10. diez", "11. once"}));
  EXPECT_EQ(lines(text("<ol type=a><li>x<li>y</ol><ol type=I><li>x<li>y<li>z<li>w</ol>")),
            (QStringList{"a. x", "b. y", "", "I. x", "II. y", "III. z", "IV. w"}));
  // Paragraphs inside an item stay in the list, lined up with its text.
  EXPECT_EQ(lines(text("<ul><li><p>Primero</p><p>sigue</p></li><li>Segundo<br>dos líneas</li></ul>")),
            (QStringList{"• Primero", "  sigue", "• Segundo", "  dos líneas"}));
  EXPECT_EQ(lines(text("<dl><dt>Término<dd>Definición</dl>")), (QStringList{"Término", "    Definición"}));
}

TEST(HtmlText, EmptyItemsAndItemsHoldingOnlyAListKeepTheirMarkers) {
  EXPECT_EQ(lines(text("<ol><li>a<li><li>c</ol>")), (QStringList{"1. a", "2.", "3. c"}));
  // Blanks, empty elements and pictures without alt text give no text, and the number stays.
  EXPECT_EQ(lines(text("<ol type=a><li>a<li> <li><b></b></li><li><img src=x.png><li>e</ol>")),
            (QStringList{"a. a", "b.", "c.", "d.", "e. e"}));
  EXPECT_EQ(lines(text("<ol><li><img alt=Foto><li>dos</ol>")), (QStringList{"1. Foto", "2. dos"}));
  // The outer number stands on its own line above the nested list.
  EXPECT_EQ(lines(text("<ol><li>uno<li><ul><li>x<li>y</ul><li>tres</ol>")),
            (QStringList{"1. uno", "2.", "    • x", "    • y", "3. tres"}));
  EXPECT_EQ(lines(text("<ol><li><div><ol start=7><li>x</ol></div><li>dos</ol>")),
            (QStringList{"1.", "    7. x", "2. dos"}));
  EXPECT_EQ(lines(text("<ul><li>a<li><li>c</ul>")), (QStringList{"• a", "•", "• c"}));
  // Counting goes on from start= and value= across empty items.
  EXPECT_EQ(lines(text("<ol start=5><li>a<li><li value=10><li>d</ol>")), (QStringList{"5. a", "6.", "10.", "11. d"}));
  EXPECT_EQ(text("<ol><li></ol>"), QStringLiteral("1."));
}

TEST(HtmlText, TableRowsAreLinesWithCellsSeparated) {
  EXPECT_EQ(lines(text("<p>Tabla:</p><table><caption>Precios</caption><tr><th>Mes<th>Euros</tr>"
                       "<tr><td>Enero<td>3</tr><tr><td><td>5<td></tr></table><p>Fin</p>")),
            (QStringList{"Tabla:", "", "Precios", "Mes\tEuros", "Enero\t3", "\t5", "", "Fin"}));
}

TEST(HtmlText, LayoutTablesGiveTheirCellsAsBlocks) {
  // A page laid out in a table: a menu column and the article column, with nested tables.
  EXPECT_EQ(lines(text("<table><tr><td><a href=a>Inicio</a><br><a href=b>Mapa</a></td>"
                       "<td><h2>Artículo</h2><p>Texto del artículo.</p>"
                       "<table><tr><td>A<td>B</tr></table></td></tr></table>")),
            (QStringList{"Inicio", "Mapa", "", "Artículo", "", "Texto del artículo.", "", "A\tB"}));
}

TEST(HtmlText, PreformattedTextIsKeptExactly) {
  EXPECT_EQ(text("<p>antes</p><pre>\n  col1\tcol2\n\n    sangría  </pre><p>después</p>"),
            QStringLiteral("antes\r\n\r\n  col1\tcol2\r\n\r\n    sangría  \r\n\r\ndespués"));
  EXPECT_EQ(text("<pre>a <b>negrita</b>  b</pre>"), QStringLiteral("a negrita  b"));
}

TEST(HtmlText, AltTextStandsInForImagesAlone) {
  EXPECT_EQ(lines(text("<p><img src=a.jpg alt='Mapa de la isla'></p><p>Texto <img src=b.gif alt=icono> aquí</p>"
                       "<a href=x><img alt='Volver'></a><br><img src=c.jpg><img alt=' '>")),
            (QStringList{"Mapa de la isla", "", "Texto aquí", "", "Volver"}));
  EXPECT_EQ(lines(text("<table><tr><td><img alt=Logo><td>Revista</tr></table>")), (QStringList{"Logo\tRevista"}));
  // A picture floated beside a paragraph is set apart from the text around it.
  EXPECT_EQ(lines(text("<p><img align=right alt='La luna'>Texto que rodea <img style='float: left' alt=Faro>"
                       "la foto.</p>")),
            (QStringList{"La luna", "Texto que rodea", "Faro", "la foto."}));
}

TEST(HtmlText, EmptyAndMalformedDocumentsGiveTextNotFailure) {
  EXPECT_EQ(text(""), QString());
  EXPECT_EQ(text("<html><body></body></html>"), QString());
  EXPECT_EQ(text("<p>sin cerrar<p>otro <b>negrita <i>cruzada</b> fin</i>"),
            QStringLiteral("sin cerrar\r\n\r\notro negrita cruzada fin"));
  EXPECT_EQ(text("texto suelto < 3 y > 2 &noexiste; &"), QStringLiteral("texto suelto < 3 y > 2 &noexiste; &"));
  // Deep nesting is walked without recursion.
  QByteArray deep;
  for (int i = 0; i < 5000; ++i) deep += "<div><span>";
  deep += "fondo";
  EXPECT_EQ(htmlToText(QByteArrayView(deep)), QStringLiteral("fondo"));
}

TEST(HtmlText, SelectListsInsideSvgOrMathDoNotBringTheParserDown) {
  // gumbo itself aborts the process on these; the text comes instead.
  EXPECT_EQ(text("<table><svg><select><foreignObject><select><tr>"), QString());
  EXPECT_EQ(text("<table><math><select><mi><select><caption>leyenda"), QStringLiteral("leyenda"));
  EXPECT_EQ(htmlToText(QByteArrayView("<TABLE><SVG><SELECT><desc><SELECT></TABLE><p>fin")), QStringLiteral("fin"));
  // Outside SVG and MathML a select list is left alone, and still never text.
  EXPECT_EQ(text("<p>Elige:<select><option>uno</select> y sigue"), QStringLiteral("Elige: y sigue"));
}

TEST(HtmlText, LinksAndFramesAreGivenInOrderWhereverTheyStandAndTheTextStaysTheSame) {
  const QByteArray html =
      "<p><a href=\"uno.html#arriba\">uno</a> <a name=\"ancla\">sin destino</a></p>"
      "<div style=\"display: none\"><a href=\"oculto.html\">x</a></div>"
      "<map><area href=\"zona.html\"></map><iframe src=\"marco.html\"></iframe>";
  QStringList links;
  EXPECT_EQ(htmlToText(QByteArrayView(html), &links), htmlToText(QByteArrayView(html)));
  EXPECT_EQ(links, (QStringList{"uno.html#arriba", "oculto.html", "zona.html", "marco.html"}));
  links.clear();
  EXPECT_EQ(htmlToText("<frameset><frame src=\"cuadro.html\"><frame src=\"otro.html\"></frameset>", &links), QString());
  EXPECT_EQ(links, (QStringList{"cuadro.html", "otro.html"}));
}

TEST(HtmlText, ArticleFixturesReadAsTheirPages) {
  const QStringList geografia = lines(htmlToText(fixture("geografia.html")));
  EXPECT_EQ(geografia.first(), QStringLiteral("Mapa de Ondravia"));
  EXPECT_TRUE(geografia.contains(QStringLiteral("Geografía de Ondravia")));
  EXPECT_TRUE(geografia.contains(QStringLiteral("Mes\tMínima\tMáxima")));
  EXPECT_TRUE(geografia.contains(QStringLiteral("Octubre\t\t23")));
  EXPECT_TRUE(geografia.contains(QStringLiteral("    • Afluente: arroyo Seco.")));
  EXPECT_TRUE(geografia.contains(QStringLiteral("3. Charca de los Molinos")));
  EXPECT_FALSE(htmlToText(fixture("geografia.html")).contains(QStringLiteral("abrirVentana")));
  EXPECT_EQ(geografia.last(),
            QStringLiteral("© 1998 Revista Ondravia — Todos los derechos reservados. Precio: 3€ – IVA incluido."));

  const QString historia = htmlToText(fixture("historia.html"));
  EXPECT_TRUE(historia.contains(QStringLiteral(
      "  Artículo 2.  Los puertos quedan abiertos\r\n               a todas las naciones.\r\n\r\n  Firmado:")));
  EXPECT_TRUE(
      historia.contains(QStringLiteral("“Nada hay en Ondravia que no haya traído el mar.”\r\n— Refrán popular")));
  EXPECT_TRUE(historia.contains(QStringLiteral("II. 1492: llegada de los cartógrafos genoveses.\r\nV. 1898")));
}

TEST(HtmlSource, ByteOrderMarkWinsOverEverything) {
  const DecodedHtml utf8 = decodeHtml("\xEF\xBB\xBF<meta charset=windows-1252><p>a\xC3\xB1o");
  EXPECT_EQ(utf8.encoding, "utf-8");
  EXPECT_EQ(utf8.text, QStringLiteral("<meta charset=windows-1252><p>año"));
  const DecodedHtml utf16 = decodeHtml(QByteArray("\xFF\xFE<\0p\0>\0\xF1\0", 10));
  EXPECT_EQ(utf16.encoding, "utf-16le");
  EXPECT_EQ(utf16.text, QStringLiteral("<p>ñ"));
  const DecodedHtml utf16be = decodeHtml(QByteArray("\xFE\xFF\0<\0p\0>\0\xF1", 10));
  EXPECT_EQ(utf16be.text, QStringLiteral("<p>ñ"));
}

TEST(HtmlSource, MetaDeclarationsAreHonoured) {
  EXPECT_EQ(decodeHtml("<meta charset=\"utf-8\"><p>a\xC3\xB1o").text, QStringLiteral("<meta charset=\"utf-8\"><p>año"));
  EXPECT_EQ(declaredCharset("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">"),
            "iso-8859-1");
  EXPECT_EQ(declaredCharset("<meta content='text/html;charset=utf-8' http-equiv='content-type'/>"), "utf-8");
  EXPECT_EQ(declaredCharset("<!-- <meta charset=koi8-r> --><meta charset=utf-8>"), "utf-8");
  EXPECT_EQ(declaredCharset("<meta name=description content='charset=utf-8'>"), "");  // not a pragma
  // Latin-1 labels mean Windows-1252, whose 0x80-0x9F are printable.
  const DecodedHtml latin = decodeHtml("<meta charset=iso-8859-1><p>\x93hola\x94 \x80");
  EXPECT_EQ(latin.encoding, "iso-8859-1");
  EXPECT_TRUE(latin.text.endsWith(QStringLiteral("“hola” €")));
  // Another code page, named.
  EXPECT_TRUE(decodeHtml("<meta charset=iso-8859-15><p>\xA4").text.endsWith(QStringLiteral("€")));
}

TEST(HtmlSource, UndeclaredBytesAreUtf8WhenValidElseWindows1252) {
  EXPECT_EQ(decodeHtml("<p>a\xC3\xB1o").text, QStringLiteral("<p>año"));
  const DecodedHtml windows = decodeHtml("<p>a\xF1o \x96 \x85");
  EXPECT_EQ(windows.encoding, "windows-1252");
  EXPECT_EQ(windows.text, QStringLiteral("<p>año – …"));
  // An unknown declared name is ignored.
  EXPECT_EQ(decodeHtml("<meta charset=no-such-set><p>a\xF1o").text.right(3), QStringLiteral("año"));
}

TEST(HtmlSource, BodyAttributesAreReadFromTheFirstBodyTag) {
  const auto attributes =
      bodyAttributes(u"<!-- <body text=red> --><BODY BGCOLOR=\"#FFFFF0\" Text='#000080' link=0000FF vlink>x</body>");
  EXPECT_EQ(attributes.value(QStringLiteral("bgcolor")), QStringLiteral("#FFFFF0"));
  EXPECT_EQ(attributes.value(QStringLiteral("text")), QStringLiteral("#000080"));
  EXPECT_EQ(attributes.value(QStringLiteral("link")), QStringLiteral("0000FF"));
  EXPECT_TRUE(attributes.contains(QStringLiteral("vlink")));
  EXPECT_TRUE(bodyAttributes(u"<p>sin cuerpo</p><bodyx a=1>").isEmpty());
}

TEST(HtmlSource, ALongDocumentIsCutOnlyBetweenBlocksOfTheBodyOutsideTables) {
  const QString html = QStringLiteral(
      "<html><head><title><p>no</title></head><body><p>uno<b>dos</b>"
      "<table><tr><td><p>celda<table><tr><td>x</table><h2>aun dentro</table>"
      "<font><h2>fuera</h2></font><script><p></script><hr>");
  const auto at = [&](const char* text) { return html.indexOf(QLatin1String(text)); };
  EXPECT_EQ(blockBoundaryAfter(html, 0), at("<p>uno"));  // not inside the head's title
  EXPECT_EQ(blockBoundaryAfter(html, at("<p>uno") + 1), at("<table>"));
  // Never inside a table, nested ones included; a block inside a phrase element is a cut.
  EXPECT_EQ(blockBoundaryAfter(html, at("<table>") + 1), at("<h2>fuera"));
  EXPECT_EQ(blockBoundaryAfter(html, at("<h2>fuera") + 1), at("<hr>"));  // not inside a script
  EXPECT_EQ(blockBoundaryAfter(html, at("<hr>") + 1), -1);
  // No cut at all: without a body, with a table left open, with a style sheet anywhere, with
  // a cell outside any table.
  EXPECT_EQ(blockBoundaryAfter(u"<p>uno<p>dos", 0), -1);
  EXPECT_EQ(blockBoundaryAfter(u"<body><table><tr><td>x<p>uno<p>dos", 7), -1);
  EXPECT_EQ(blockBoundaryAfter(u"<body><p>uno<p>dos<STYLE>p + p { color: red }</style>", 1), -1);
  EXPECT_EQ(blockBoundaryAfter(u"<body><p>uno<link rel=stylesheet href=a.css><p>dos", 1), -1);
  EXPECT_EQ(blockBoundaryAfter(u"<body><td>x<p>uno", 1), -1);
}

}  // namespace
}  // namespace vardel::platform::html

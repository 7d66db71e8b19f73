// The tag-by-tag pass over markup, the nesting estimate held against gumbo's parse tree, and
// articles judged by it.
#include "platform/html/html_nesting.h"
#include "platform/html/html_article.h"
#include "platform/html/html_source.h"
#include "platform/html/html_tags.h"

#include <gumbo.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include <sys/stat.h>

namespace vardel::platform::html {
namespace {

constexpr int kUnlimited = 1 << 30;

// Elements open at once below <body> in gumbo's tree, leaves that hold nothing left out.
int parsedDepth(const QString& html) {
  const QByteArray utf8 = html.toUtf8();
  GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), utf8.size());
  int deepest = 0;
  std::vector<std::pair<const GumboNode*, int>> pending{{output->root, -1}};  // <html> above <body>
  while (!pending.empty()) {
    const auto [node, depth] = pending.back();
    pending.pop_back();
    const GumboVector& children = node->v.element.children;
    if (children.length > 0) deepest = std::max(deepest, depth);
    for (unsigned i = 0; i < children.length; ++i) {
      const auto* child = static_cast<const GumboNode*>(children.data[i]);
      if (child->type == GUMBO_NODE_ELEMENT || child->type == GUMBO_NODE_TEMPLATE)
        pending.push_back({child, depth + 1});
    }
  }
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  return deepest;
}

QString repeated(const char* piece, int times) { return QString::fromUtf8(piece).repeated(times); }

TEST(HtmlTokenizer, ReadsTagsAndTextTheWayAParserSeesThem) {
  const QString html = QStringLiteral(
      "<!DOCTYPE html><!-- <b> --><P CLASS=\"a>b\" id=x>uno<br/>  </p><!--->dos<a href='>'>< 3"
      "<!-- sin --!><I>tres");
  HtmlTokenizer tokenizer(html);
  HtmlToken token;
  QStringList seen;
  while (tokenizer.next(token)) {
    const QString what = html.mid(token.begin, token.end - token.begin);
    if (token.kind == HtmlToken::kText) {
      seen << (token.blank ? QStringLiteral("blank") : what);
    } else {
      seen << QStringLiteral("%1%2%3").arg(token.kind == HtmlToken::kEndTag ? "/" : "",
                                           gumbo_normalized_tagname(token.tag), token.selfClosing ? "/" : "");
    }
  }
  EXPECT_EQ(seen, (QStringList{"p", "uno", "br/", "blank", "/p", "dos", "a", "< 3", "i", "tres"}));
  // A tag cut off by the end of the document is dropped.
  HtmlTokenizer cut(u"texto<div class='sin cerrar");
  ASSERT_TRUE(cut.next(token));
  EXPECT_FALSE(cut.next(token));
}

TEST(HtmlTokenizer, ContentThatIsNotMarkupIsSkippedOnRequest) {
  const QString html = QStringLiteral("<script>if (a</b) x = '<div>';</scriptx></SCRIPT ><p>fin");
  HtmlTokenizer tokenizer(html);
  HtmlToken token;
  ASSERT_TRUE(tokenizer.next(token));
  ASSERT_TRUE(HtmlTokenizer::hasTextContent(token.tag));
  tokenizer.skipTextContent(token);
  ASSERT_TRUE(tokenizer.next(token));
  EXPECT_EQ(token.kind, HtmlToken::kEndTag);
  EXPECT_EQ(token.tag, GUMBO_TAG_SCRIPT);
  ASSERT_TRUE(tokenizer.next(token));
  EXPECT_EQ(token.tag, GUMBO_TAG_P);
}

TEST(HtmlNesting, FollowsTheParsersTreeOnArticlesAndImplicitlyClosedElements) {
  QStringList documents;
  for (const QFileInfo& file :
       QDir(QStringLiteral(VARDEL_SOURCE_DIR "/tests/controls/data")).entryInfoList({"*.html"})) {
    QFile f(file.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    documents << decodeHtml(f.readAll()).text;
  }
  documents << repeated("<p>uno", 300) << repeated("<ul><li>a<li>b</ul>", 300) << repeated("<dl><dt>a<dd>b", 300)
            << QStringLiteral("<table>") + repeated("<tr><td>a<td>b", 300)
            << repeated("<p><font face=Arial>texto", 300)  // alike formatting opens again three at most
            << repeated("<div>x</div><b>y</b>", 300) << repeated("<div><p>x", 300) << repeated("<p>x<div>y", 300)
            << repeated("<svg><path/><g/></svg>", 300) << repeated("<form><ul></form>", 300)
            << repeated("<li><math><mi><li>", 100) << repeated("<b><div>x</b>y", 100)
            << repeated("<table><tr><td>", 100) << repeated("<select><option>a</select>", 300);
  for (const QString& html : documents) {
    const int parsed = parsedDepth(html);
    EXPECT_GE(nestingDepth(html, kUnlimited), parsed) << html.left(80).toStdString();
    EXPECT_LE(nestingDepth(html, kUnlimited), 2 * parsed + 4) << html.left(80).toStdString();
  }
}

// Lists of random tags (no <select>: gumbo aborts on some soups with it, see HtmlText).
TEST(HtmlNesting, TagSoupNeverParsesFarDeeperThanEstimated) {
  const char* const names[] = {"div",
                               "p",
                               "span",
                               "b",
                               "i",
                               "font",
                               "a",
                               "nobr",
                               "ul",
                               "ol",
                               "li",
                               "dl",
                               "dd",
                               "table",
                               "tr",
                               "td",
                               "th",
                               "tbody",
                               "caption",
                               "pre",
                               "form",
                               "button",
                               "dl",
                               "option",
                               "h1",
                               "h2",
                               "object",
                               "marquee",
                               "svg",
                               "math",
                               "foreignObject",
                               "mi",
                               "title",
                               "textarea",
                               "custom",
                               "small"};
  std::mt19937 random(20240611);
  for (int document = 0; document < 200; ++document) {
    QString html;
    const int tags = 100 + static_cast<int>(random() % 1500);
    for (int i = 0; i < tags; ++i) {
      const QString name = QString::fromLatin1(names[random() % std::size(names)]);
      switch (random() % 8) {
        case 0:
        case 1:
        case 2:
          html += QStringLiteral("<%1>").arg(name);
          break;
        case 3:
          html += QStringLiteral("<%1 size=%2>").arg(name).arg(random() % 4);
          break;
        case 4:
        case 5:
          html += QStringLiteral("</%1>").arg(name);
          break;
        case 6:
          html += QStringLiteral("<%1/>").arg(name);
          break;
        default:
          html += QStringLiteral("texto ");
          break;
      }
    }
    // An accepted document is never parsed twice as deep as the limit it passed.
    EXPECT_GE(2 * nestingDepth(html, kUnlimited) + 8, parsedDepth(html)) << "document " << document;
  }
}

TEST(HtmlNesting, HostileNestingIsCountedOnlyUpToTheLimit) {
  const int kDeep = 100000;
  for (const char* piece :
       {"<div>", "<b>", "<span>x", "<font size=2>x", "<table><tr><td>", "<ul><li>", "<blockquote>", "<div/>",
        "<a href=#>x", "<h1>x<h2>y", "<select><option>", "<svg><foreignObject><x/>", "<p><b class=c></p>x"}) {
    const QString pattern = QString::fromUtf8(piece);
    // Alike elements differ in an attribute, so none is merged with the one before.
    QString html;
    for (int i = 0; i < kDeep / 4; ++i)
      html += QString(pattern).replace(QStringLiteral("c>"), QStringLiteral("c%1>").arg(i));
    EXPECT_EQ(nestingDepth(html), kMaxNestingDepth + 1) << piece;
  }
  EXPECT_EQ(nestingDepth(repeated("<div>", 40)), 40);
  EXPECT_EQ(nestingDepth(repeated("<div>", 600), 1000), 600);
  EXPECT_EQ(nestingDepth(QString()), 0);
}

TEST(HtmlNesting, ElementsAreCountedOnlyUpToTheLimitAndScriptsHoldNone) {
  EXPECT_EQ(elementCount(repeated("<span>uno </span>", 1000)), 1000);
  EXPECT_EQ(elementCount(repeated("<span>uno </span>", 1000000)), kMaxElements + 1);
  EXPECT_EQ(elementCount(repeated("<p>x", 50), 10), 11);
  // Markup inside a script or a style is text, and end tags and comments open nothing.
  EXPECT_EQ(
      elementCount(QStringLiteral("<script>") + repeated("<b>", 500) + QStringLiteral("</script></b><!-- <i> -->")), 1);
  EXPECT_EQ(elementCount(QString()), 0);
  // Either bound refuses, in words; an ordinary page is taken.
  EXPECT_TRUE(refusalOf(repeated("<span>uno </span>", 200000), QStringLiteral("/a.html"))
                  .startsWith(QStringLiteral("El documento tiene más de 100000 elementos")));
  EXPECT_TRUE(
      refusalOf(repeated("<div>", 1000), QStringLiteral("/a.html")).startsWith(QStringLiteral("El documento anida")));
  EXPECT_EQ(refusalOf(repeated("<p>uno <b>dos</b>", 5000), QStringLiteral("/a.html")), QString());
}

TEST(HtmlArticle, AVerdictLastsWhileItsFileStaysAsItWasAndAPipeIsNeverRead) {
  QTemporaryDir dir;
  const QString page = dir.filePath(QStringLiteral("pagina.html"));
  const auto write = [&](const QByteArray& bytes) {
    QFile file(page);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
  };
  ASSERT_TRUE(write("<p>caf\xe9</p>"));
  EXPECT_EQ(readArticle(page).text, QStringLiteral("<p>café</p>"));
  ArticleVerdicts verdicts;
  EXPECT_TRUE(verdicts.check(page).refusal.isEmpty());
  ASSERT_TRUE(write(QByteArray("<div>").repeated(1000)));  // rewritten: read again, and refused now
  EXPECT_TRUE(verdicts.check(page).refusal.startsWith(QStringLiteral("El documento anida")));
  const QString fifo = dir.filePath(QStringLiteral("tubo.html"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_EQ(verdicts.check(fifo).failure, FileRefusal::NotRegular);
  EXPECT_EQ(verdicts.check(fifo).refusal, QStringLiteral("No se ha encontrado el fichero: %1").arg(fifo));
}

}  // namespace
}  // namespace vardel::platform::html

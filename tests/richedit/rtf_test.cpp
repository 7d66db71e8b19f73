// RTF through the control: round trips of everything the writer emits, code pages, Unicode,
// fields, tables, lists, skipped destinations, the plain-text fallback and hostile input.
#include "platform/richedit/rtf.h"
#include "platform/richedit/format_properties.h"
#include "platform/richedit/layout_limit.h"
#include "platform/richedit/richedit.h"

#include "tests/support/qt_printers.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace vardel::platform {
namespace {

using namespace richtext;

// Everything the control holds, one line per paragraph and one bracket per run.
QString describe(const QTextDocument& doc) {
  QString out;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const Indents in = indentsOf(b.blockFormat());
    out += QStringLiteral("P fi%1 li%2 ri%3 a%4%5:")
               .arg(in.first)
               .arg(in.left)
               .arg(in.right)
               .arg(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask))
               .arg(b.textList() ? QStringLiteral(" bullet") : QString());
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat f = it.fragment().charFormat();
      const QFont font = f.font().resolve(doc.defaultFont());
      out += QStringLiteral("[%1 %2 %3%4%5%6 c%7 cs%8 p%9 \"%10\"]")
                 .arg(font.family())
                 .arg(f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : pointSizeOf(font))
                 .arg(font.bold() ? "b" : "")
                 .arg(font.italic() ? "i" : "")
                 .arg(font.underline() ? "u" : "")
                 .arg(font.strikeOut() ? "s" : "")
                 .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : "auto")
                 .arg(f.hasProperty(kCharset) ? f.intProperty(kCharset) : 0)
                 .arg(f.intProperty(kPitch))
                 .arg(it.fragment().text());
    }
    out += '\n';
  }
  return out;
}

class Rtf : public ::testing::Test {
 protected:
  void SetUp() override {
    edit_.resize(500, 400);
    edit_.setFont(QFont(QStringLiteral("Arial"), 10));
  }
  // Loads RTF as the editor's Open does and answers the plain text, a line per paragraph.
  QString load(const QByteArray& rtf) {
    edit_.loadFromBytes(rtf);
    QStringList lines;
    for (QTextBlock b = edit_.document()->begin(); b.isValid(); b = b.next()) lines << b.text();
    return lines.join('\n');
  }
  TTextAttributes& at(int position) {
    edit_.setSelStart(position);
    edit_.setSelLength(1);
    return edit_.selAttributes();
  }
  TRichEdit edit_;
};

TEST_F(Rtf, EverythingTheControlHoldsSurvivesAWriteAndARead) {
  edit_.setLines({"Normal negrita cursiva", "centrado \\ {llaves}", "", "viñeta uno", "viñeta dos",
                  "Кириллица € 日本語 😀", "tab\there", "último"});
  auto format = [&](int start, int length, auto change) {
    edit_.setSelStart(start);
    edit_.setSelLength(length);
    change(edit_.selAttributes(), edit_.paragraph());
  };
  format(7, 7, [](TTextAttributes& a, TParaAttributes&) { a.setStyle(rfsBold | rfsUnderline); });
  format(15, 7, [](TTextAttributes& a, TParaAttributes&) {
    a.setStyle(rfsItalic | rfsStrikeOut);
    a.setColor(QColor(200, 10, 30));
    a.setSize(17);
    a.setName("Times New Roman");
  });
  format(23, 2, [](TTextAttributes& a, TParaAttributes& p) {
    p.setAlignment(2);
    p.setFirstIndent(36);
    p.setLeftIndent(-18);
    p.setRightIndent(72);
    a.setName("Courier New");
    a.setPitch(FontPitch::fpFixed);
  });
  format(46, 12, [](TTextAttributes&, TParaAttributes& p) { p.setBullets(true); });
  format(68, 9, [](TTextAttributes& a, TParaAttributes& p) {
    a.setCharset(204);
    a.setName("Arial Cyr");
    p.setAlignment(1);
  });
  QTextCursor justify(edit_.document()->findBlockByNumber(6));
  QTextBlockFormat j;
  j.setAlignment(Qt::AlignJustify);
  justify.mergeBlockFormat(j);
  QTextCursor half(edit_.document()->findBlockByNumber(7));
  half.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  QTextCharFormat h;
  h.setFontPointSize(10.5);
  half.mergeCharFormat(h);

  const QString before = describe(*edit_.document());
  const QByteArray written = edit_.toRtf();
  EXPECT_TRUE(written.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
  for (const char c : written) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "the writer emits ASCII only";
  // Bullets in both forms.
  EXPECT_TRUE(written.contains("{\\*\\pn\\pnlvlblt"));
  EXPECT_TRUE(written.contains("{\\*\\listtable"));
  EXPECT_TRUE(written.contains("\\ls1"));

  edit_.loadFromBytes(written);
  EXPECT_EQ(describe(*edit_.document()), before);
  EXPECT_FALSE(edit_.modified());
  EXPECT_FALSE(edit_.canUndo());
  // Written again, the same bytes.
  EXPECT_EQ(edit_.toRtf(), written);
}

TEST_F(Rtf, EmptyAndTrailingEmptyParagraphsSurvive) {
  for (const QStringList& lines : {QStringList{}, QStringList{"a"}, QStringList{"a", ""}, QStringList{"", "", "b"}}) {
    edit_.setLines(lines);
    const QString before = describe(*edit_.document());
    edit_.loadFromBytes(edit_.toRtf());
    EXPECT_EQ(describe(*edit_.document()), before) << lines.join('|').toStdString();
  }
}

TEST_F(Rtf, CodePagesFollowTheDocumentAndEachFontsCharacterSet) {
  // The document's code page.
  EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"), u"Привет");
  // A Cyrillic font in a Western document, next to a Western one.
  EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}"
                 "\\f0 caf\\'e9 {\\f1 \\'e4\\'e0}}"),
            u"café да");
  EXPECT_EQ(at(5).charset(), 204);
  // Central European, Greek, Turkish.
  EXPECT_EQ(load("{\\rtf1{\\fonttbl{\\f0\\fcharset238 A;}{\\f1\\fcharset161 B;}{\\f2\\fcharset162 C;}}"
                 "\\f0\\'9a\\'e8\\f1\\'e1\\f2\\'fe}"),
            u"šč\u03B1ş");
  // Shift-JIS and GB2312 fonts: two bytes a character.
  EXPECT_EQ(load("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}{\\f1\\fcharset134 SimSun;}}"
                 "\\f0\\'93\\'fa\\'96\\'7b\\f1\\'d6\\'d0}"),
            u"日本中");
  // A font's name is in its own code page, read and written.
  load("{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}\\f0 x}");
  EXPECT_EQ(at(0).name(), u"Ариал");
  // ... also where its letters are Western ones, written as Unicode.
  load("{\\rtf1{\\fonttbl{\\f0\\fcharset204 \\u209?and\\u250?;}}\\f0 x}");
  edit_.loadFromBytes(edit_.toRtf());
  EXPECT_EQ(at(0).name(), u"Ñandú");
  // A font of the ANSI character set is Windows-1252 whatever the document's code page.
  EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 caf\\'e9}"), u"café");
  EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Mincho;}{\\f1\\fcharset0 Century;}}"
                 "\\f0\\'93\\'fa\\f1 Liga espa\\'f1ola, Les Mis\\'e9rables}"),
            u"日Liga española, Les Misérables");
  // A byte the code page lacks becomes the replacement character, not a crash.
  EXPECT_EQ(load("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 a\\'81}"), u"a\uFFFD");
}

TEST_F(Rtf, UnicodeEscapesSkipTheirFallbackCharacters) {
  EXPECT_EQ(load("{\\rtf1\\uc1 \\u8364?\\u-3913?x}"), u"€\uF0B7x");
  EXPECT_EQ(load("{\\rtf1\\uc2 \\u1071\\'c0\\'c1y}"), u"Яy");
  EXPECT_EQ(load("{\\rtf1\\uc0 \\u233 z}"), u"éz");
  // A surrogate pair in two escapes, and a fallback cut short by a group.
  EXPECT_EQ(load("{\\rtf1\\u-10179?\\u-8704?{\\uc3\\u233}n}"), u"😀én");
  // \upr: the Unicode twin wins over the ANSI text.
  EXPECT_EQ(load("{\\rtf1 a{\\upr{ANSI}{\\*\\ud{\\u1046?}}}b}"), u"aЖb");
}

TEST_F(Rtf, SymbolsFieldsTablesAndSkippedDestinations) {
  EXPECT_EQ(load("{\\rtf1 a\\tab b\\line c\\par d\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"
                 "\\~\\{\\}\\\\\\page e}"),
            u"a\tb\u2028c\nd—–•‘’“”\u00A0{}\\\ne");
  EXPECT_EQ(load("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt enlace}} fin}"), u"enlace fin");
  EXPECT_EQ(load("{\\rtf1\\trowd\\cellx100\\cellx200\\intbl uno\\cell dos\\cell\\row\\trowd\\intbl tres\\cell "
                 "cuatro\\cell\\row\\pard fuera}"),
            u"uno\tdos\ntres\tcuatro\nfuera");
  EXPECT_EQ(load("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\*\\generator G;}"
                 "{\\*\\unknown secreto}{\\nonshppict{\\pict\\wmetafile8 0a0b{\\*\\x y}0c}}{\\header cabecera}"
                 "{\\object{\\*\\objdata 00}{\\result resultado}}{\\pict\\bin5 }}}}x}visible\\unknownword  z}"),
            u"visible z");
  // Hidden text is not shown.
  EXPECT_EQ(load("{\\rtf1 a{\\v oculto}b}"), u"ab");
}

TEST_F(Rtf, ListsOfOtherWritersBecomeBulletsOrKeepTheirNumbers) {
  // WordPad: \pntext for old readers, \pn for itself.
  EXPECT_EQ(load("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\pard{\\pntext\\f1\\'b7\\tab}"
                 "{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\fi-200\\li200 uno\\par"
                 "{\\pntext\\f1\\'b7\\tab}dos\\par\\pard tres\\par}"),
            u"uno\ndos\ntres");
  EXPECT_TRUE(edit_.document()->findBlockByNumber(0).textList());
  EXPECT_TRUE(edit_.document()->findBlockByNumber(1).textList());
  EXPECT_FALSE(edit_.document()->findBlockByNumber(2).textList());
  // Word: a list table, \listtext before the paragraph; a numbered list keeps its numbers.
  const QByteArray word =
      "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}}\\listid7}"
      "{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid8}}"
      "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}"
      "{\\listoverride\\listid8\\listoverridecount0\\ls2}}"
      "{\\listtext\\pard\\plain\\'b7\\tab}\\pard\\ls1\\fi-360\\li720 punto\\par"
      "{\\listtext\\pard\\plain 1.\\tab}\\pard\\ls2\\fi-360\\li720 numero\\par}";
  EXPECT_EQ(load(word), u"punto\n1.\tnumero");
  EXPECT_TRUE(edit_.document()->findBlockByNumber(0).textList());
  EXPECT_FALSE(edit_.document()->findBlockByNumber(1).textList());
  edit_.setSelStart(0);
  EXPECT_EQ(edit_.paragraph().firstIndent(), 18);  // \li720 \fi-360
  EXPECT_EQ(edit_.paragraph().leftIndent(), 18);
}

TEST_F(Rtf, CharacterAndParagraphPropertiesFollowGroupsPlainAndPard) {
  load(
      "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}"
      "\\f0\\fs20 a{\\b\\i\\ul\\cf1\\f1\\fs31 b}c\\plain d\\b e\\b0 f\\par\\qc\\li400 g{\\pard h\\par}i}");
  EXPECT_EQ(at(1).style(), rfsBold | rfsItalic | rfsUnderline);
  EXPECT_EQ(at(1).color(), QColor(255, 0, 0));
  EXPECT_EQ(at(1).name(), "Courier New");
  EXPECT_EQ(at(1).size(), 15);  // 15.5 points, read in whole points
  EXPECT_EQ(at(2).style(), 0u);
  EXPECT_EQ(at(2).size(), 10);
  EXPECT_EQ(at(3).size(), 12);  // \plain: 12 points in the default font
  EXPECT_EQ(at(3).name(), "Arial");
  EXPECT_EQ(at(4).style(), rfsBold);
  EXPECT_EQ(at(5).style(), 0u);
  // A paragraph takes the properties in force at its \par: "gh" ends inside the group.
  edit_.setSelStart(7);
  EXPECT_EQ(edit_.paragraph().alignment(), 0);
  EXPECT_EQ(edit_.paragraph().firstIndent(), 0);
  edit_.setSelStart(10);  // after the group, the paragraph properties before it again
  EXPECT_EQ(edit_.paragraph().alignment(), 2);
  EXPECT_EQ(edit_.paragraph().firstIndent(), 20);
}

TEST_F(Rtf, TextThatIsNotRichTextIsReadAsPlainText) {
  EXPECT_FALSE(rtf::looksLikeRtf("rtf1 no"));
  EXPECT_TRUE(rtf::looksLikeRtf("\xEF\xBB\xBF \r\n{\\rtf1}"));
  EXPECT_EQ(load("uno\r\ndos\rtres\ncuatro"), u"uno\ndos\ntres\ncuatro");
  EXPECT_EQ(load("caf\xC3\xA9 \xE2\x82\xAC"), u"café €");  // valid UTF-8
  EXPECT_EQ(load("caf\xE9 \x80"), u"café €");              // otherwise Windows-1252
  EXPECT_EQ(load("{\\rt no es rtf}"), u"{\\rt no es rtf}");
  EXPECT_EQ(load(QByteArray("a\0b", 3)), u"a\uFFFDb");
  EXPECT_EQ(load(""), u"");
  EXPECT_EQ(edit_.lineCount(), 0);
}

// One paragraph of `runs` formatting runs of a letter each, with no blank between them: one word.
QByteArray runsInOneWord(int runs) {
  static const char* const kRuns[] = {"\\b u\\b0 ", "\\i d\\i0 ", "\\cf1 t\\cf0 ", "\\f1 c\\f0 "};
  QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}\\pard ";
  for (int i = 0; i < runs; ++i) rtf += kRuns[i % 4];
  return rtf + "\\par}";
}

TEST_F(Rtf, AWordOfManyFormattingRunsOpensInLinearTime) {
  // Opening lays the paragraph out; Qt's search for a break inside one word of many formats
  // is quadratic, so such a document is shown without breaking words.
  const auto openingTime = [&](int runs) {
    const QByteArray rtf = runsInOneWord(runs);
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 3; ++i) {
      QElapsedTimer clock;
      clock.start();
      edit_.loadFromBytes(rtf);
      best = std::min(best, clock.nsecsElapsed());
    }
    EXPECT_EQ(edit_.document()->characterCount(), runs + 1);
    return double(best);
  };
  const double small = openingTime(4000), large = openingTime(16000);
  // Four times the runs: four times the time when linear, sixteen when quadratic.
  EXPECT_LT(large / small, 10.0) << small / 1e6 << " ms, then " << large / 1e6 << " ms";
  EXPECT_EQ(edit_.wordWrapMode(), QTextOption::WordWrap);
  // Words of a few runs, or a long word of one format, still break as usual.
  EXPECT_EQ(load("{\\rtf1 uno {\\b dos} " + QByteArray(50000, 'x') + "}").size(), 50008);
  EXPECT_EQ(edit_.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  QByteArray spaced = "{\\rtf1 ";
  for (int i = 0; i < 3000; ++i) spaced += "\\b u\\b0  ";
  edit_.loadFromBytes(spaced + "}");
  EXPECT_EQ(edit_.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  EXPECT_FALSE(hasWordOfManyFormats(*edit_.document()));
  edit_.loadFromBytes(runsInOneWord(kMaxFormatsInWord));
  EXPECT_FALSE(hasWordOfManyFormats(*edit_.document()));
  edit_.loadFromBytes(runsInOneWord(kMaxFormatsInWord + 2));
  EXPECT_TRUE(hasWordOfManyFormats(*edit_.document()));
}

TEST_F(Rtf, ReadingLaysNothingOutAndShowingKeepsTheShapesOfAWordOfManyRuns) {
  load("{\\rtf1 antes}");
  TRichEdit::ReadText text = edit_.readText(runsInOneWord(kMaxFormatsInWord + 2));
  QTextDocument* read = text.document.get();
  const QTextBlock block = read->begin();
  EXPECT_EQ(block.layout()->lineCount(), 0);
  EXPECT_EQ(edit_.document()->toPlainText(), u"antes");  // not shown yet
  edit_.showText(std::move(text));
  ASSERT_EQ(edit_.document(), read);
  EXPECT_EQ(read->defaultTextOption().wrapMode(), QTextOption::WordWrap);
  EXPECT_EQ(block.layout()->lineCount(), 1);
  EXPECT_TRUE(block.layout()->cacheEnabled());
  EXPECT_EQ(edit_.selAttributes().style(), rfsBold);  // the caret takes the format of "\b u"
  // The next text, of short words, breaks as usual and keeps nothing.
  load("{\\rtf1 uno {\\b dos}}");
  EXPECT_EQ(edit_.document()->defaultTextOption().wrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  EXPECT_EQ(edit_.document()->begin().layout()->lineCount(), 1);
  EXPECT_FALSE(edit_.document()->begin().layout()->cacheEnabled());
}

TEST_F(Rtf, FontAndColourTablesAfterTextApplyToTheTextAfterThem) {
  load(
      "{\\rtf1{\\f1\\cf1 a}\\par{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
      "{\\colortbl;\\red255\\green0\\blue0;}{\\f1\\cf1 b}\\par}");
  EXPECT_NE(at(0).name(), "Courier New");
  EXPECT_NE(at(0).color(), QColor(255, 0, 0));
  EXPECT_EQ(at(2).name(), "Courier New");
  EXPECT_EQ(at(2).color(), QColor(255, 0, 0));
}

TEST_F(Rtf, AParagraphBeyondTheLayoutIsGivenUpWhileItIsRead) {
  load("{\\rtf1 antes}");
  // 34 MB of runs: reading them all before judging took about ten seconds.
  const QByteArray huge = runsInOneWord(4000000);
  QElapsedTimer clock;
  clock.start();
  EXPECT_THROW(edit_.loadFromBytes(huge), std::exception);
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_EQ(edit_.document()->toPlainText(), u"antes");
}

TEST_F(Rtf, HostileInputEndsQuicklyWithWhatCanBeRead) {
  QElapsedTimer clock;
  clock.start();
  // Deep nesting: a million open groups, then text.
  EXPECT_EQ(load("{\\rtf1 " + QByteArray(1000000, '{') + "hondo" + QByteArray(1000000, '}') + " fin}"), u"hondo fin");
  // Unbalanced braces: closing the document's group ends it; a missing close ends with the bytes.
  EXPECT_EQ(load("{\\rtf1 uno}} dos}"), u"uno");
  EXPECT_EQ(load("{\\rtf1 {\\b uno {\\i dos"), u"uno dos");
  // Absurd numbers are clamped.
  EXPECT_EQ(load("{\\rtf1\\fs99999999999 a\\li-9999999999 b\\u99999999999 c\\uc9999999999 \\u65 d\\bin99999999999 x}"),
            u"ab\uFFFDA");
  EXPECT_EQ(load("{\\rtf1\\fs" + QByteArray(100000, '9') + " a}"), u"a");
  edit_.setSelStart(0);
  EXPECT_EQ(edit_.paragraph().firstIndent(), 0);
  // A file cut off in the middle of a word, an escape, a table or a skipped destination.
  const QByteArray whole = "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\gen x}\\f0 caf\\'e9 {\\b negrita}\\par fin}";
  for (int cut = 1; cut < whole.size(); ++cut) edit_.loadFromBytes(whole.left(cut));
  EXPECT_EQ(load(whole.left(whole.indexOf("negrita") + 3)), u"café neg");
  EXPECT_EQ(load("{\\rtf1 a\\'"), u"a");
  EXPECT_EQ(load("{\\rtf1 a\\'zz b}"), u"a b");
  // No text holds a NUL: a "\\u" without its number, "\\u0" and "\\'00" add nothing.
  EXPECT_EQ(load("{\\rtf1 a\\u\x9b b\\u0?c\\'00d}"), u"a bcd");
  EXPECT_LT(clock.elapsed(), 20000);
}

}  // namespace
}  // namespace vardel::platform

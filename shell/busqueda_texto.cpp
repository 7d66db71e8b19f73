// The words of a page for the magazine search, read with the same HTML parser as the viewer.
#include "shell/busqueda_texto.h"

#include "platform/textcodec.h"

#include <gumbo.h>

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace vardel {

namespace {

// The character set a <meta> declares near the start, lower-case; empty when none does.
QByteArray declaredCharset(QByteArrayView bytes) {
  static const QRegularExpression charset(QStringLiteral(R"(<meta[^>]*charset\s*=\s*["']?\s*([-_.:a-z0-9]+))"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QString head = QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 4096)));
  const QRegularExpressionMatch m = charset.match(head);
  return m.hasMatch() ? m.captured(1).toLower().toLatin1() : QByteArray();
}

// Elements that stand on lines of their own.
constexpr std::array kBlocks{GUMBO_TAG_P,  GUMBO_TAG_DIV,     GUMBO_TAG_BR,   GUMBO_TAG_H1,         GUMBO_TAG_H2,
                             GUMBO_TAG_H3, GUMBO_TAG_H4,      GUMBO_TAG_H5,   GUMBO_TAG_H6,         GUMBO_TAG_LI,
                             GUMBO_TAG_TR, GUMBO_TAG_TABLE,   GUMBO_TAG_PRE,  GUMBO_TAG_BLOCKQUOTE, GUMBO_TAG_CENTER,
                             GUMBO_TAG_UL, GUMBO_TAG_OL,      GUMBO_TAG_DL,   GUMBO_TAG_DT,         GUMBO_TAG_DD,
                             GUMBO_TAG_HR, GUMBO_TAG_ADDRESS, GUMBO_TAG_FORM, GUMBO_TAG_CAPTION};

bool isBlock(GumboTag tag) { return std::find(kBlocks.begin(), kBlocks.end(), tag) != kBlocks.end(); }

bool isHidden(GumboTag tag) {
  return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_HEAD || tag == GUMBO_TAG_NOSCRIPT ||
         tag == GUMBO_TAG_TEMPLATE || tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_OPTION;
}

class Reader {
 public:
  PageWords words;

  // What an element adds before its children: its link, a space between cells, a new line
  // before a block, a picture's alternative text.
  void element(const GumboElement& e) {
    if (const char* target = linkTarget(e)) words.links << QString::fromUtf8(target);
    if (isBlock(e.tag)) endLine();
    if (e.tag == GUMBO_TAG_TD || e.tag == GUMBO_TAG_TH) space();
    if (e.tag == GUMBO_TAG_IMG) {
      if (const GumboAttribute* alt = gumbo_get_attribute(&e.attributes, "alt")) add(alt->value);
    }
  }

  void walk(const GumboNode* root) {
    // Depth first, children in order, with an explicit stack (a page may nest very deeply); a
    // block is pushed again below its children to end its line after them.
    std::vector<std::pair<const GumboNode*, bool>> stack{{root, false}};
    while (!stack.empty()) {
      auto [node, closing] = stack.back();
      stack.pop_back();
      if (closing) {
        endLine();
        continue;
      }
      if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA) {
        add(node->v.text.text);
        continue;
      }
      if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_DOCUMENT) continue;
      const GumboVector& children =
          node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
      if (node->type == GUMBO_NODE_ELEMENT) {
        if (isHidden(node->v.element.tag)) continue;
        element(node->v.element);
        if (isBlock(node->v.element.tag)) stack.emplace_back(node, true);
      }
      for (unsigned i = children.length; i-- > 0;) stack.emplace_back(static_cast<GumboNode*>(children.data[i]), false);
    }
    endLine();
    if (words.text.endsWith(QLatin1Char('\n'))) words.text.chop(1);
  }

 private:
  static const char* linkTarget(const GumboElement& e) {
    const char* name = nullptr;
    if (e.tag == GUMBO_TAG_A || e.tag == GUMBO_TAG_AREA) name = "href";
    if (e.tag == GUMBO_TAG_FRAME || e.tag == GUMBO_TAG_IFRAME) name = "src";
    const GumboAttribute* a = name ? gumbo_get_attribute(&e.attributes, name) : nullptr;
    return a ? a->value : nullptr;
  }

  void add(const char* utf8) {
    for (const QChar c : QString::fromUtf8(utf8)) {
      if (c.isSpace() || c == QChar(0xA0)) {
        space();
      } else {
        if (space_ && !line_.isEmpty()) line_ += QLatin1Char(' ');
        space_ = false;
        line_ += c;
      }
    }
  }
  void space() { space_ = true; }
  void endLine() {
    if (!line_.isEmpty()) words.text += line_ + QLatin1Char('\n');
    line_.clear();
    space_ = false;
  }

  QString line_;
  bool space_ = false;
};

bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Elements that never hold others, or that the next of their kind closes: they add no depth.
bool addsNoDepth(QByteArrayView name) {
  static constexpr std::array<std::string_view, 26> kFlat{
      "area", "base", "br", "col", "embed", "hr", "img", "input", "link",   "meta",  "param", "source", "track",
      "wbr",  "p",    "li", "dt",  "dd",    "tr", "td",  "th",    "option", "thead", "tbody", "tfoot",  "colgroup"};
  const std::string_view n(name.data(), size_t(name.size()));
  return std::find(kFlat.begin(), kFlat.end(), n) != kFlat.end();
}

// Whether the page stays within the elements and depth the search reads, estimated in one
// pass over its tags: comments skipped, and what lies inside a script or a style.
bool withinLimits(QByteArrayView page) {
  const QByteArray html = page.toByteArray().toLower();
  int depth = 0;
  int elements = 0;
  for (qsizetype at = html.indexOf('<'); at >= 0 && at + 1 < html.size(); at = html.indexOf('<', at + 1)) {
    if (QByteArrayView(html).sliced(at).startsWith("<!--")) {
      at = html.indexOf("-->", at);
      if (at < 0) break;
      continue;
    }
    const bool closing = html[at + 1] == '/';
    const qsizetype nameAt = at + (closing ? 2 : 1);
    if (nameAt >= html.size() || !isNameStart(html[nameAt])) continue;
    qsizetype end = nameAt;
    while (end < html.size() && (isNameStart(html[end]) || (html[end] >= '0' && html[end] <= '9'))) ++end;
    const QByteArrayView name = QByteArrayView(html).sliced(nameAt, end - nameAt);
    if (closing) {
      if (!addsNoDepth(name) && depth > 0) --depth;
    } else if (++elements > kMaxSearchElements) {
      return false;
    } else if (name == "script" || name == "style") {
      at = html.indexOf("</" + name.toByteArray(), end);
      if (at < 0) break;
    } else {
      const qsizetype tagEnd = html.indexOf('>', end);
      const bool selfClosing = tagEnd > 0 && html[tagEnd - 1] == '/';
      if (!addsNoDepth(name) && !selfClosing && ++depth > kMaxSearchDepth) return false;
    }
  }
  return true;
}

QString decodePage(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.sliced(3));
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
    const bool little = bytes.startsWith("\xFF\xFE");
    QString text;
    for (qsizetype i = 2; i + 1 < bytes.size(); i += 2) {
      const auto lo = uchar(bytes[little ? i : i + 1]), hi = uchar(bytes[little ? i + 1 : i]);
      text += QChar(char16_t(lo | (hi << 8)));
    }
    return text;
  }
  const QByteArray declared = declaredCharset(bytes);
  if ((declared == "utf-8" || declared == "utf8") && platform::isValidUtf8(bytes)) return QString::fromUtf8(bytes);
  if (declared == "windows-1252" || declared == "iso-8859-1" || declared == "latin1" || declared == "us-ascii")
    return platform::decodeWindows1252(bytes);
  return platform::decodeWindowsText(bytes);
}
}  // namespace

std::optional<PageWords> readPageWords(QByteArrayView bytes) {
  const QByteArray utf8 = decodePage(bytes).toUtf8();
  if (!withinLimits(utf8)) return std::nullopt;
  GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), size_t(utf8.size()));
  Reader reader;
  reader.walk(output->document);
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  return std::move(reader.words);
}

}  // namespace vardel

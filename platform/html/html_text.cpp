// HTML to readable text over the gumbo parse tree, walked without recursion.
#include "platform/html/html_text.h"

#include "platform/html/html_tags.h"
#include "platform/html/html_text_writer.h"

#include <gumbo.h>

#include <QByteArray>
#include <QStringList>

#include <cstring>
#include <vector>

namespace vardel::platform::html {
namespace {

bool startsWithNoCase(QByteArrayView bytes, qsizetype at, const char* word) {
  for (qsizetype i = 0; word[i]; ++i)
    if (at + i >= bytes.size() || (bytes[at + i] | 0x20) != word[i]) return false;
  return true;
}

// gumbo 0.10 aborts the whole process on a <select> that is an element of SVG or MathML once
// a table part or a second select comes near it. A select list is never text, so a document
// with SVG or MathML loses every <select> start tag after the first <svg> or <math> before it
// is parsed. Gives the bytes to parse: the document's own when it has neither.
QByteArray withoutForeignSelects(QByteArrayView utf8) {
  qsizetype foreignAt = -1;
  for (qsizetype at = utf8.indexOf('<'); at >= 0 && foreignAt < 0; at = utf8.indexOf('<', at + 1)) {
    if (startsWithNoCase(utf8, at + 1, "svg") || startsWithNoCase(utf8, at + 1, "math")) foreignAt = at;
  }
  if (foreignAt < 0) return QByteArray::fromRawData(utf8.data(), utf8.size());
  const QString html = QString::fromUtf8(utf8);
  QString kept;
  qsizetype copied = 0;
  bool foreign = false;
  HtmlTokenizer tokenizer(html);
  HtmlToken token;
  while (tokenizer.next(token)) {
    if (token.kind != HtmlToken::kStartTag) continue;
    if (token.tag == GUMBO_TAG_SVG || token.tag == GUMBO_TAG_MATH) foreign = true;
    if (!foreign || token.tag != GUMBO_TAG_SELECT) continue;
    kept += QStringView(html).sliced(copied, token.begin - copied);
    copied = token.end;
  }
  kept += QStringView(html).sliced(copied);
  return kept.toUtf8();
}

// The targets of the links and frames under `root`, in document order.
void collectLinks(const GumboNode* root, QStringList& links) {
  std::vector<const GumboNode*> pending{root};
  while (!pending.empty()) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    const GumboVector* children = nullptr;
    if (node->type == GUMBO_NODE_DOCUMENT) children = &node->v.document.children;
    if (node->type == GUMBO_NODE_ELEMENT) {
      const GumboElement& element = node->v.element;
      children = &element.children;
      const char* name = nullptr;
      if (element.tag == GUMBO_TAG_A || element.tag == GUMBO_TAG_AREA) name = "href";
      if (element.tag == GUMBO_TAG_FRAME || element.tag == GUMBO_TAG_IFRAME) name = "src";
      if (const GumboAttribute* target = name ? gumbo_get_attribute(&element.attributes, name) : nullptr)
        links << QString::fromUtf8(target->value);
    }
    if (!children) continue;
    for (unsigned i = children->length; i-- > 0;) pending.push_back(static_cast<const GumboNode*>(children->data[i]));
  }
}

}  // namespace

QString htmlToText(QByteArrayView document, QStringList* links) {
  const QByteArray utf8 = withoutForeignSelects(document);
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;  // the errors are not used; do not collect them
  GumboOutput* output = gumbo_parse_with_options(&options, utf8.data(), static_cast<size_t>(utf8.size()));
  TextWriter writer;

  struct Step {
    const GumboNode* node;
    unsigned next;  // index of the next child to visit
  };
  std::vector<Step> stack;
  stack.push_back({output->document, 0});
  while (!stack.empty()) {
    Step& step = stack.back();
    const GumboNode* node = step.node;
    const GumboVector* children = nullptr;
    if (node->type == GUMBO_NODE_DOCUMENT) children = &node->v.document.children;
    if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) children = &node->v.element.children;
    if (!children || step.next >= children->length) {
      if (node->type == GUMBO_NODE_ELEMENT) writer.close(node);
      stack.pop_back();
      continue;
    }
    const auto* child = static_cast<const GumboNode*>(children->data[step.next++]);
    switch (child->type) {
      case GUMBO_NODE_ELEMENT:
        if (isSkipped(child->v.element.tag) || isHidden(child->v.element)) break;
        writer.open(child);
        stack.push_back({child, 0});
        break;
      case GUMBO_NODE_TEXT:
      case GUMBO_NODE_CDATA:
      case GUMBO_NODE_WHITESPACE:
        writer.text(child->v.text.text, std::strlen(child->v.text.text));
        break;
      default:  // comments, templates' hidden content
        break;
    }
  }
  if (links) collectLinks(output->document, *links);
  gumbo_destroy_output(&options, output);
  return writer.finish();
}

QString htmlToText(const QString& html) { return htmlToText(QByteArrayView(html.toUtf8())); }

}  // namespace vardel::platform::html

// The nesting estimate: a model of the parser's stack of open elements and of its list of
// active formatting elements, each step constant time or bounded by the depth limit.
#include "platform/html/html_nesting.h"

#include "platform/html/html_tag_table.h"
#include "platform/html/html_tags.h"

#include <algorithm>
#include <vector>

namespace vardel::platform::html {
namespace {

// Elements that never hold others (void), hold only text (raw text), or are the document's own
// frame (html, head, body): none adds a level.
bool addsNoLevel(int id) { return tagIs(id, kNoLevel | kTextContent); }

bool isFormatting(int id) { return tagIs(id, kFormatting); }

// The parser's "special" elements that hold others: an end tag of an ordinary element does not
// reach past them.
bool isSpecial(int id) { return tagIs(id, kSpecial); }

// Elements of SVG (foreignObject, desc, title) and of MathML (mi, mo, mn, ms, mtext,
// annotation-xml) whose content is HTML again.
bool isSvgIntegrationPoint(int id) { return tagIs(id, kSvgHtml); }
bool isMathIntegrationPoint(int id) { return tagIs(id, kMathHtml); }
bool isIntegrationPoint(int id) { return tagIs(id, kSvgHtml | kMathHtml); }

// The special elements of HTML and those of SVG and MathML.
bool isSpecialAnywhere(int id) { return isSpecial(id) || isIntegrationPoint(id); }

// Where a search for an open element in scope stops.
bool isScopeBoundary(int id) { return tagIs(id, kScopeBoundary | kSvgHtml | kMathHtml); }

// Elements that put a marker in the list of active formatting elements: formatting opened
// inside them does not leak out.
bool setsMarker(int id) { return tagIs(id, kSetsMarker); }

// Blocks whose start closes an open paragraph.
bool closesParagraph(int id) { return tagIs(id, kClosesParagraph); }

// Elements whose end tag closes them when they are in scope, with what is open inside them.
bool endsInScope(int id) { return tagIs(id, kEndsInScope); }

bool isTablePart(int id) { return tagIs(id, kTablePart); }

// HTML elements whose start tag inside SVG or MathML leaves them for HTML again.
bool leavesForeignContent(int id) { return tagIs(id, kLeavesForeignContent); }

// Elements before which cut-off formatting opens again: the inline ones.
bool isInline(int id) { return !isSpecial(id); }
bool isInlineVoid(int id) { return tagIs(id, kInlineVoid); }

// The id given to elements gumbo has closed and Qt keeps open: they count for depth, and no end
// tag reaches them, as none would in gumbo. (Elements of names gumbo does not know keep
// GUMBO_TAG_UNKNOWN, as in its tree builder: an end tag of any such name closes the innermost.)
constexpr int kKeptOpenId = GUMBO_TAG_LAST;

class NestingModel {
 public:
  explicit NestingModel(int limit) : limit_(limit), lastOf_(kKeptOpenId + 1, -1) {}

  bool exceeded() const { return deepest_ > limit_; }
  int deepest() const { return std::min(deepest_, limit_ + 1); }

  void text() { reconstruct(); }
  // Whether the parser takes the content of the element `token` opens as text: only for an
  // HTML element it inserts (inside a select list only scripts and text fields are).
  bool takesTextContent(const HtmlToken& token) const {
    if (!HtmlTokenizer::hasTextContent(token.tag) || inForeignContent()) return false;
    return !inSelect() || token.tag == GUMBO_TAG_SCRIPT || token.tag == GUMBO_TAG_TEXTAREA;
  }
  // Whether the current element is SVG or MathML, not HTML inside them.
  bool inForeignContent() const { return !open_.empty() && open_.back().foreign && !holdsHtml(open_.back()); }
  void start(const HtmlToken& token);
  void end(const HtmlToken& token);

 private:
  static constexpr int kDormant = -1;  // an active formatting element cut off, to open again
  static constexpr int kMarker = -2;

  struct Open {
    int id;
    int prevSame;   // the next open element below with the same id; -1 none
    int special;    // the topmost special element at or below this one; -1 none
    int itemScope;  // likewise, special elements other than address, div and p
    int scope;      // likewise, scope boundaries
    int html;       // likewise, HTML elements and the SVG and MathML ones that hold HTML
    bool active;    // listed among the active formatting elements
    bool foreign;   // an SVG or MathML element
    bool math;      // of those, a MathML one
  };
  static bool holdsHtml(const Open& entry) {
    return entry.math ? isMathIntegrationPoint(entry.id) : isSvgIntegrationPoint(entry.id);
  }
  struct Active {
    int id;
    quint64 key;  // name and attributes: alike elements share it
    int at;       // index of its open element, kDormant, or kMarker
  };

  int top(int Open::*field) const { return open_.empty() ? -1 : open_.back().*field; }
  int depth() const { return static_cast<int>(open_.size()) + tables_; }
  void push(int id, bool active, bool foreign = false);
  void keepOpen(int index);
  int current() const { return open_.empty() ? -1 : open_.back().id; }
  bool inSelect() const { return lastOf_[GUMBO_TAG_SELECT] >= 0; }
  bool startInForeignContent(const HtmlToken& token);
  bool startInSelect(int id);
  void startInBody(const HtmlToken& token);
  bool closeOpenOfItsKind(int id);
  void closeParagraph();
  void pushFormatting(const HtmlToken& token);
  void endInSelect(int id);
  void popTo(int index);
  void popTop();
  void reconstruct();
  int lastActive(int id) const;
  void forget(int entry);
  bool closeFormatting(int id);

  int limit_;
  int deepest_ = 0;
  int tables_ = 0;  // open tables: each implies a body element under it
  std::vector<Open> open_;
  std::vector<Active> active_;
  std::vector<int> lastOf_;  // by id: the topmost open element with it; -1 none
};

void NestingModel::push(int id, bool active, bool foreign) {
  const int index = static_cast<int>(open_.size());
  const bool special = isSpecialAnywhere(id);
  const bool math = foreign && (id == GUMBO_TAG_MATH || (id != GUMBO_TAG_SVG && !open_.empty() && open_.back().math));
  Open entry{
      id,      lastOf_[id], top(&Open::special), top(&Open::itemScope), top(&Open::scope), top(&Open::html), active,
      foreign, math};
  if (!foreign || holdsHtml(entry)) entry.html = index;
  if (special) entry.special = index;
  if (special && id != GUMBO_TAG_ADDRESS && id != GUMBO_TAG_DIV && id != GUMBO_TAG_P) entry.itemScope = index;
  if (isScopeBoundary(id)) entry.scope = index;
  open_.push_back(entry);
  lastOf_[id] = index;
  if (id == GUMBO_TAG_TABLE) ++tables_;
  if (setsMarker(id)) active_.push_back({id, 0, kMarker});
  deepest_ = std::max(deepest_, depth());
}

// The element at `index`, the topmost open one with its name, is closed for the text's parser
// and stays open for the display's.
void NestingModel::keepOpen(int index) {
  if (index < 0 || lastOf_[open_[index].id] != index) return;
  Open& entry = open_[index];
  lastOf_[entry.id] = entry.prevSame;
  entry.id = kKeptOpenId;  // keeps its place among special elements and scope boundaries
  entry.prevSame = -1;
}

void NestingModel::popTop() {
  const Open entry = open_.back();
  const int index = static_cast<int>(open_.size()) - 1;
  open_.pop_back();
  lastOf_[entry.id] = entry.prevSame;
  if (entry.id == GUMBO_TAG_TABLE) --tables_;
  if (entry.active) {
    for (auto it = active_.rbegin(); it != active_.rend(); ++it) {
      if (it->at == index) {
        it->at = kDormant;
        break;
      }
    }
  }
  if (setsMarker(entry.id)) {
    while (!active_.empty() && active_.back().at != kMarker) active_.pop_back();
    if (!active_.empty()) active_.pop_back();
  }
}

void NestingModel::popTo(int index) {
  while (static_cast<int>(open_.size()) > index) popTop();
}

// Cut-off formatting elements at the end of the list open again, in their order.
void NestingModel::reconstruct() {
  if (active_.empty() || active_.back().at != kDormant) return;
  std::size_t first = active_.size() - 1;
  while (first > 0 && active_[first - 1].at == kDormant) --first;
  for (std::size_t i = first; i < active_.size() && !exceeded(); ++i) {
    active_[i].at = static_cast<int>(open_.size());
    push(active_[i].id, true);
  }
}

// The latest entry for `id` after the last marker; -1 none.
int NestingModel::lastActive(int id) const {
  for (int i = static_cast<int>(active_.size()) - 1; i >= 0 && active_[i].at != kMarker; --i)
    if (active_[i].id == id) return i;
  return -1;
}

// Takes an entry off the list; its element, if open, stays open.
void NestingModel::forget(int entry) {
  if (active_[entry].at >= 0) open_[active_[entry].at].active = false;
  active_.erase(active_.begin() + entry);
}

void NestingModel::start(const HtmlToken& token) {
  // The parser's insertion modes, as far as they shape its tree: SVG and MathML, a select list,
  // and the body, where all else lands.
  if (inForeignContent() && startInForeignContent(token)) return;
  if (inSelect() && startInSelect(token.tag)) return;
  startInBody(token);
}

// Inside SVG or MathML any other element simply nests, and "/>" closes it at once; an HTML
// element leaves them for the body. True when the element was taken here.
bool NestingModel::startInForeignContent(const HtmlToken& token) {
  const int id = token.tag;
  if (!leavesForeignContent(id) || (id == GUMBO_TAG_FONT && !token.fontAttributes)) {
    if (!token.selfClosing) push(id, false, true);
    return true;
  }
  while (inForeignContent()) popTop();
  return false;
}

// Inside a select list only options and groups count; other tags are dropped. A field, or in a
// table a part of the table, ends the list and goes to the body. True when taken here.
bool NestingModel::startInSelect(int id) {
  const bool endsList = id == GUMBO_TAG_INPUT || id == GUMBO_TAG_KEYGEN || id == GUMBO_TAG_TEXTAREA ||
                        ((isTablePart(id) || id == GUMBO_TAG_TABLE) && lastOf_[GUMBO_TAG_TABLE] >= 0);
  if (endsList) {
    popTo(lastOf_[GUMBO_TAG_SELECT]);
    return false;
  }
  if (id == GUMBO_TAG_OPTION || id == GUMBO_TAG_OPTGROUP) {
    if (current() == GUMBO_TAG_OPTION) keepOpen(lastOf_[GUMBO_TAG_OPTION]);
    if (id == GUMBO_TAG_OPTGROUP && current() == GUMBO_TAG_OPTGROUP) keepOpen(lastOf_[GUMBO_TAG_OPTGROUP]);
    push(id, false);
  } else if (id == GUMBO_TAG_SELECT) {  // ends the list, for the display's parser opens one more
    keepOpen(lastOf_[GUMBO_TAG_SELECT]);
  }
  return true;
}

void NestingModel::startInBody(const HtmlToken& token) {
  const int id = token.tag;
  if (addsNoLevel(id)) {
    if (closesParagraph(id)) closeParagraph();
    if (isInlineVoid(id)) reconstruct();
    return;
  }
  // Parts of a table outside any table are dropped.
  if (isTablePart(id) && lastOf_[GUMBO_TAG_TABLE] < 0) return;
  if (closeOpenOfItsKind(id)) return;
  if (closesParagraph(id)) closeParagraph();
  if (isInline(id)) reconstruct();
  if (isFormatting(id)) {
    pushFormatting(token);
  } else {
    push(id, false, id == GUMBO_TAG_SVG || id == GUMBO_TAG_MATH);
  }
}

void NestingModel::closeParagraph() {
  const int at = lastOf_[GUMBO_TAG_P];
  if (at >= 0 && at > top(&Open::scope)) popTo(at);
}

// What the start of `id` closes of its own kind in the body: an item, a row, a cell or a section
// of a table; or what the display's parser keeps open and the text's closes. True when the
// element was taken here (a form inside a form).
bool NestingModel::closeOpenOfItsKind(int id) {
  const auto closeInTable = [this](std::initializer_list<int> ids) {
    int at = -1;
    for (int kind : ids) at = std::max(at, lastOf_[kind]);
    if (at >= 0 && at > lastOf_[GUMBO_TAG_TABLE]) popTo(at);
  };
  const auto closeItem = [this](std::initializer_list<int> ids) {
    const int at = top(&Open::itemScope);
    if (at >= 0 && std::find(ids.begin(), ids.end(), open_[at].id) != ids.end()) popTo(at);
  };
  switch (id) {
    case GUMBO_TAG_LI:
      closeItem({GUMBO_TAG_LI});
      break;
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DT:
      closeItem({GUMBO_TAG_DD, GUMBO_TAG_DT});
      break;
    case GUMBO_TAG_TR:
      closeInTable({GUMBO_TAG_TR});
      break;
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
      closeInTable({GUMBO_TAG_TD, GUMBO_TAG_TH});
      break;
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TFOOT:
      closeInTable({GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT});
      break;
    // What follows the text's parser closes, or ignores, and the display's keeps open.
    case GUMBO_TAG_A:
    case GUMBO_TAG_NOBR:
      if (const int entry = lastActive(id); entry >= 0) {
        const int at = active_[entry].at;
        forget(entry);
        keepOpen(at);
      }
      break;
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_OPTGROUP:
      if (current() == GUMBO_TAG_OPTION) keepOpen(lastOf_[GUMBO_TAG_OPTION]);
      break;
    case GUMBO_TAG_H1:
    case GUMBO_TAG_H2:
    case GUMBO_TAG_H3:
    case GUMBO_TAG_H4:
    case GUMBO_TAG_H5:
    case GUMBO_TAG_H6:
      if (current() >= GUMBO_TAG_H1 && current() <= GUMBO_TAG_H6) keepOpen(static_cast<int>(open_.size()) - 1);
      break;
    case GUMBO_TAG_BUTTON:
      if (lastOf_[id] >= 0 && lastOf_[id] >= top(&Open::scope)) keepOpen(lastOf_[id]);
      break;
    case GUMBO_TAG_FORM:
      if (lastOf_[id] >= 0) {  // a form inside a form
        closeParagraph();
        push(id, false);
        keepOpen(static_cast<int>(open_.size()) - 1);
        return true;
      }
      break;
    default:
      break;
  }
  return false;
}

void NestingModel::pushFormatting(const HtmlToken& token) {
  const int id = token.tag;
  // Of alike formatting elements after the last marker only the latest three stay listed.
  const quint64 key = (token.attributesHash ^ static_cast<quint64>(id)) * 1099511628211ull;
  int alike = 0, earliest = -1;
  for (int i = static_cast<int>(active_.size()) - 1; i >= 0 && active_[i].at != kMarker; --i) {
    if (active_[i].key != key) continue;
    ++alike;
    earliest = i;
  }
  if (alike >= 3) forget(earliest);
  active_.push_back({id, key, static_cast<int>(open_.size())});
  push(id, true);
}

void NestingModel::endInSelect(int id) {
  if (id == GUMBO_TAG_SELECT) {
    popTo(lastOf_[id]);
  } else if (id == GUMBO_TAG_OPTION) {
    if (current() == GUMBO_TAG_OPTION) popTop();
  } else if (id == GUMBO_TAG_OPTGROUP) {
    if (current() == GUMBO_TAG_OPTION && open_.size() > 1 && open_[open_.size() - 2].id == GUMBO_TAG_OPTGROUP) popTop();
    if (current() == GUMBO_TAG_OPTGROUP) popTop();
  }
}

// The end tag of a listed formatting element; false when none is listed.
bool NestingModel::closeFormatting(int id) {
  const int entry = lastActive(id);
  if (entry < 0) return false;
  const int at = active_[entry].at;
  if (at == kDormant || at < top(&Open::scope)) {
    if (at == kDormant) forget(entry);
    return true;  // cut off already, or out of reach behind a table or cell
  }
  forget(entry);
  // With a block open inside it, the parser moves that block out and keeps it open, under a
  // copy of the element: as deep as before.
  if (top(&Open::special) < at) popTo(at);
  return true;
}

void NestingModel::end(const HtmlToken& token) {
  const int id = token.tag;
  // Inside SVG or MathML an end tag closes the element it names there.
  if (inForeignContent() && lastOf_[id] > top(&Open::html)) {
    popTo(lastOf_[id]);
    return;
  }
  if (addsNoLevel(id)) return;
  if (inSelect()) {
    endInSelect(id);
    return;
  }
  if (isFormatting(id) && closeFormatting(id)) return;
  const int at = lastOf_[id];
  if (at < 0) return;
  if (isTablePart(id)) {
    if (lastOf_[GUMBO_TAG_TABLE] >= 0 && at > lastOf_[GUMBO_TAG_TABLE]) popTo(at);
  } else if (id == GUMBO_TAG_TABLE) {
    popTo(at);
  } else if (id == GUMBO_TAG_FORM) {
    // The form alone is taken out, with the paragraphs and items that end with it; what else is
    // open inside it stays open, here counted as still inside the form.
    if (at < top(&Open::scope)) return;
    const auto endsWithForm = [](int inner) {
      return inner == GUMBO_TAG_P || inner == GUMBO_TAG_LI || inner == GUMBO_TAG_DD || inner == GUMBO_TAG_DT ||
             inner == GUMBO_TAG_OPTION || inner == GUMBO_TAG_OPTGROUP;
    };
    while (static_cast<int>(open_.size()) - 1 > at && endsWithForm(open_.back().id)) popTop();
    if (static_cast<int>(open_.size()) - 1 == at) popTop();
  } else if (id == GUMBO_TAG_LI) {
    if (at > std::max({top(&Open::scope), lastOf_[GUMBO_TAG_UL], lastOf_[GUMBO_TAG_OL]})) popTo(at);
  } else if (id >= GUMBO_TAG_H1 && id <= GUMBO_TAG_H6) {
    // Any heading ends at the end tag of any other.
    const int heading = *std::max_element(&lastOf_[GUMBO_TAG_H1], &lastOf_[GUMBO_TAG_H6] + 1);
    if (heading >= top(&Open::scope)) popTo(heading);
  } else if (endsInScope(id)) {
    if (at >= top(&Open::scope)) popTo(at);
  } else if (at >= top(&Open::special)) {  // no other special element open inside it
    popTo(at);
  }
}

}  // namespace

int nestingDepth(QStringView html, int limit) {
  NestingModel model(limit);
  HtmlTokenizer tokenizer(html);
  HtmlToken token;
  while (!model.exceeded() && tokenizer.next(token)) {
    switch (token.kind) {
      case HtmlToken::kText:
        model.text();
        break;
      case HtmlToken::kStartTag:
        if (model.takesTextContent(token)) tokenizer.skipTextContent(token);
        model.start(token);
        break;
      case HtmlToken::kEndTag:
        model.end(token);
        break;
    }
  }
  return model.deepest();
}

qsizetype elementCount(QStringView html, qsizetype limit) {
  HtmlTokenizer tokenizer(html);
  HtmlToken token;
  qsizetype count = 0;
  while (count <= limit && tokenizer.next(token)) {
    if (token.kind != HtmlToken::kStartTag) continue;
    ++count;
    if (HtmlTokenizer::hasTextContent(token.tag)) tokenizer.skipTextContent(token);
  }
  return count;
}

bool withinParseLimits(QStringView html) {
  return nestingDepth(html) <= kMaxNestingDepth && elementCount(html) <= kMaxElements;
}

QString refusalOf(QStringView html, const QString& path) {
  if (nestingDepth(html) > kMaxNestingDepth)
    return QStringLiteral("El documento anida más de %1 elementos unos dentro de otros y no se puede mostrar: %2")
        .arg(kMaxNestingDepth)
        .arg(path);
  if (elementCount(html) > kMaxElements)
    return QStringLiteral("El documento tiene más de %1 elementos y no se puede mostrar: %2")
        .arg(kMaxElements)
        .arg(path);
  return {};
}

}  // namespace vardel::platform::html

// The readable text's lines: blocks, lists, tables, preformatted text and pictures' alt text.
#include "platform/html/html_text_writer.h"

#include "platform/html/html_tag_table.h"

#include <algorithm>
#include <utility>

namespace vardel::platform::html {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kBullet[] = "\xE2\x80\xA2";  // U+2022, present in Windows-1252 as 0x95

const GumboAttribute* attribute(const GumboElement& element, const char* name) {
  return gumbo_get_attribute(&element.attributes, name);
}

}  // namespace

bool isHidden(const GumboElement& element) {
  if (attribute(element, "hidden")) return true;
  const GumboAttribute* style = attribute(element, "style");
  if (!style) return false;
  QByteArray css = QByteArray(style->value).toLower();
  css.replace(' ', "");
  return css.contains("display:none") || css.contains("visibility:hidden");
}

bool isSkipped(GumboTag tag) { return tagIs(tag, kSkipped); }

namespace {

// Blocks set apart by an empty line.
bool isSpacedBlock(GumboTag tag) { return tagIs(tag, kSpacedBlock); }

// Blocks that only start a line of their own.
bool isPlainBlock(GumboTag tag) { return tagIs(tag, kPlainBlock); }

bool isPreformatted(GumboTag tag) { return tagIs(tag, kPreformatted); }

bool isList(GumboTag tag) { return tagIs(tag, kList); }

bool isCell(GumboTag tag) { return tagIs(tag, kCell); }

// A row is laid out as one line when its cells hold nothing but inline text.
bool isSimpleRow(const GumboNode* row) {
  std::vector<const GumboNode*> pending{row};
  while (!pending.empty()) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    if (node->type != GUMBO_NODE_ELEMENT) continue;
    const GumboTag tag = node->v.element.tag;
    if (node != row && (isSpacedBlock(tag) || isPlainBlock(tag) || tag == GUMBO_TAG_BR)) return false;
    if (isSkipped(tag)) continue;
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) pending.push_back(static_cast<const GumboNode*>(children.data[i]));
  }
  return true;
}

QByteArray romanNumeral(int n) {
  static const std::pair<int, const char*> kDigits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                                                        {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                                                        {5, "v"},    {4, "iv"},   {1, "i"}};
  if (n <= 0 || n >= 4000) return QByteArray::number(n);
  QByteArray out;
  for (const auto& [value, digits] : kDigits) {
    while (n >= value) {
      out += digits;
      n -= value;
    }
  }
  return out;
}

QByteArray alphabetic(int n) {
  if (n <= 0) return QByteArray::number(n);
  QByteArray out;
  while (n > 0) {
    --n;
    out.prepend(char('a' + n % 26));
    n /= 26;
  }
  return out;
}

}  // namespace

void TextWriter::beginText() {
  alts_.clear();
  if (pendingBreak_ > 0) {
    if (started_) {
      if (lineOpen_) commitLine();
      for (int i = 1; i < pendingBreak_; ++i) out_ += kLineEnd;
    }
    pendingBreak_ = 0;
    pendingSpace_ = false;
  }
  if (!lineOpen_) {
    if (!pendingMarker_.isEmpty()) {
      line_ = pendingMarker_;
      pendingMarker_.clear();
    } else {
      line_ = QByteArray(indent(), ' ');
    }
    lineOpen_ = true;
    pendingSpace_ = false;
  }
  if (pendingTabs_ > 0) {
    line_.append(pendingTabs_, '\t');
    pendingTabs_ = 0;
    pendingSpace_ = false;
  }
  if (pendingSpace_) {
    line_ += ' ';
    pendingSpace_ = false;
  }
  started_ = true;
  textSinceBreak_ = true;
}

void TextWriter::commitLine() {
  // A line of nothing but blanks (an indented empty line of preformatted text) stays empty.
  const bool blank = std::all_of(line_.cbegin(), line_.cend(), [](char c) { return c == ' ' || c == '\t'; });
  if (!blank) out_ += line_;
  out_ += kLineEnd;
  line_.clear();
  lineOpen_ = false;
}

void TextWriter::requestBreak(int strength) {
  flushAlts();
  if (!lists_.empty() && strength > 1) strength = 1;  // lists stay compact
  pendingBreak_ = std::max(pendingBreak_, strength);
  pendingSpace_ = false;
  pendingTabs_ = 0;
  textSinceBreak_ = false;
}

void TextWriter::lineBreak() {
  flushAlts();
  if (preDepth_ > 0) {
    beginText();
    commitLine();
  } else if (inSimpleRow()) {
    pendingSpace_ = true;
    return;
  } else if (lineOpen_ && pendingBreak_ == 0) {
    commitLine();
    pendingBreak_ = 1;
  } else if (started_) {
    pendingBreak_ = std::min(pendingBreak_ + 1, 2);
  }
  pendingSpace_ = false;
  textSinceBreak_ = false;
}

namespace {

// A picture floated to a side stands apart from the text that flows around it.
bool isFloated(const GumboElement& image) {
  if (const GumboAttribute* align = attribute(image, "align")) {
    const QByteArray side = QByteArray(align->value).trimmed().toLower();
    if (side == "left" || side == "right") return true;
  }
  const GumboAttribute* style = attribute(image, "style");
  if (!style) return false;
  QByteArray css = QByteArray(style->value).toLower();
  css.replace(' ', "");
  return css.contains("float:left") || css.contains("float:right");
}

}  // namespace

void TextWriter::appendAlt(const GumboElement& image) {
  const GumboAttribute* alt = attribute(image, "alt");
  const QByteArray text = alt ? QByteArray(alt->value).simplified() : QByteArray();
  if (text.isEmpty()) return;
  if (isFloated(image) && !inSimpleRow() && preDepth_ == 0) {
    // On a line of its own, where it stands in the text.
    requestBreak(1);
    beginText();
    line_ += text;
    requestBreak(1);
    return;
  }
  if (!textSinceBreak_) alts_.push_back(text);  // else the image shares its line with text
}

// An item's marker that no text has claimed yet stands on a line of its own, so that an empty
// item, or one that holds only a nested list, keeps its number.
void TextWriter::flushMarker() {
  flushAlts();
  if (pendingMarker_.isEmpty()) return;
  beginText();
  while (line_.endsWith(' ')) line_.chop(1);
}

void TextWriter::flushAlts() {
  if (alts_.empty()) return;
  std::vector<QByteArray> alts;
  alts.swap(alts_);
  if (textSinceBreak_) return;
  for (std::size_t i = 0; i < alts.size(); ++i) {
    if (i > 0) pendingSpace_ = true;
    beginText();
    line_ += alts[i];
  }
}

void TextWriter::open(const GumboNode* node) {
  const GumboElement& element = node->v.element;
  const GumboTag tag = element.tag;
  if (tag == GUMBO_TAG_BR) {
    lineBreak();
    return;
  }
  if (tag == GUMBO_TAG_IMG || tag == GUMBO_TAG_IMAGE) {
    appendAlt(element);
    return;
  }
  if (isList(tag)) {
    flushMarker();
    requestBreak(2);
    List list;
    list.ordered = tag == GUMBO_TAG_OL;
    if (const GumboAttribute* type = attribute(element, "type"); type && list.ordered && type->value[0])
      list.type = type->value[0];
    if (const GumboAttribute* start = attribute(element, "start")) {
      bool ok = false;
      const int value = QByteArray(start->value).trimmed().toInt(&ok);
      if (ok) list.next = value;
    }
    list.column = lists_.empty() ? indent() : lists_.back().column + 4;
    lists_.push_back(list);
    return;
  }
  if (tag == GUMBO_TAG_LI) {
    requestBreak(1);
    QByteArray marker = kBullet;
    int column = indent();
    if (!lists_.empty()) {
      List& list = lists_.back();
      column = list.column;
      if (list.ordered) {
        if (const GumboAttribute* value = attribute(element, "value")) {
          bool ok = false;
          const int number = QByteArray(value->value).trimmed().toInt(&ok);
          if (ok) list.next = number;
        }
        const int number = list.next++;
        switch (list.type) {
          case 'a':
            marker = alphabetic(number) + '.';
            break;
          case 'A':
            marker = alphabetic(number).toUpper() + '.';
            break;
          case 'i':
            marker = romanNumeral(number) + '.';
            break;
          case 'I':
            marker = romanNumeral(number).toUpper() + '.';
            break;
          default:
            marker = QByteArray::number(number) + '.';
            break;
        }
      }
    }
    pendingMarker_ = QByteArray(column, ' ') + marker + ' ';
    // Continuation lines line up with the item's text ("•" is one character).
    const int width = marker == kBullet ? 1 : static_cast<int>(marker.size());
    indents_.push_back(column + width + 1);
    return;
  }
  if (tag == GUMBO_TAG_DD) {
    requestBreak(1);
    indents_.push_back(indent() + 4);
    return;
  }
  if (tag == GUMBO_TAG_TR) {
    requestBreak(1);
    rows_.push_back({isSimpleRow(node), 0});
    return;
  }
  if (isCell(tag)) {
    ++cellDepth_;
    if (rows_.empty() || !rows_.back().simple) {
      requestBreak(2);
      return;
    }
    flushAlts();
    textSinceBreak_ = false;
    if (rows_.back().cells++ > 0) ++pendingTabs_;
    pendingSpace_ = false;
    return;
  }
  if (isPreformatted(tag)) {
    requestBreak(2);
    ++preDepth_;
    return;
  }
  if (isSpacedBlock(tag)) {
    requestBreak(2);
  } else if (isPlainBlock(tag)) {
    requestBreak(1);
  }
}

void TextWriter::close(const GumboNode* node) {
  const GumboTag tag = node->v.element.tag;
  if (isList(tag)) {
    if (!lists_.empty()) lists_.pop_back();
    requestBreak(2);
    return;
  }
  if (tag == GUMBO_TAG_LI || tag == GUMBO_TAG_DD) {
    if (tag == GUMBO_TAG_LI) flushMarker();
    if (!indents_.empty()) indents_.pop_back();
    pendingMarker_.clear();
    requestBreak(1);
    return;
  }
  if (tag == GUMBO_TAG_TR) {
    if (!rows_.empty()) rows_.pop_back();
    requestBreak(1);
    return;
  }
  if (isCell(tag)) {
    --cellDepth_;
    if (rows_.empty() || !rows_.back().simple) {
      requestBreak(2);
    } else {
      flushAlts();
      textSinceBreak_ = false;
    }
    return;
  }
  if (isPreformatted(tag)) {
    --preDepth_;
    requestBreak(2);
    return;
  }
  if (isSpacedBlock(tag)) {
    requestBreak(2);
  } else if (isPlainBlock(tag)) {
    requestBreak(1);
  }
}

void TextWriter::text(const char* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  if (preDepth_ > 0) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i <= size; ++i) {
      if (i < size && bytes[i] != '\n') continue;
      if (i > runStart) {
        beginText();
        line_.append(data + runStart, static_cast<qsizetype>(i - runStart));
      }
      if (i < size) {
        beginText();
        commitLine();
      }
      runStart = i + 1;
    }
    return;
  }
  std::size_t i = 0;
  while (i < size) {
    const unsigned char c = bytes[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
      pendingSpace_ = true;
      ++i;
    } else if (c == 0xC2 && i + 1 < size && bytes[i + 1] == 0xA0) {  // no-break space
      pendingSpace_ = true;
      i += 2;
    } else if (c == 0xC2 && i + 1 < size && bytes[i + 1] == 0xAD) {  // soft hyphen
      i += 2;
    } else {
      // A run up to the next blank goes in at once.
      std::size_t end = i + 1;
      while (end < size) {
        const unsigned char d = bytes[end];
        if (d == ' ' || d == '\t' || d == '\n' || d == '\r' || d == '\f' || d == 0xC2) break;
        ++end;
      }
      beginText();
      line_.append(data + i, static_cast<qsizetype>(end - i));
      i = end;
    }
  }
}

QString TextWriter::finish() {
  flushAlts();
  if (lineOpen_) commitLine();
  while (out_.endsWith(kLineEnd)) out_.chop(2);
  return QString::fromUtf8(out_);
}

}  // namespace vardel::platform::html

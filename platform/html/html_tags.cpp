// The tag-by-tag pass over HTML markup. Every loop moves forward, so a document costs one pass.
#include "platform/html/html_tags.h"

#include "platform/html/html_tag_table.h"

#include <QLatin1String>

namespace vardel::platform::html {
namespace {

constexpr quint64 kHashStart = 14695981039346656037ull;  // FNV-1a, 64 bits
constexpr quint64 kHashPrime = 1099511628211ull;

quint64 hashStep(quint64 hash, char16_t c) { return (hash ^ c) * kHashPrime; }

bool isBlank(char16_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool isAsciiLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char16_t asciiLower(char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : c; }

}  // namespace

bool HtmlTokenizer::hasTextContent(GumboTag tag) { return tagIs(tag, kTextContent); }

bool HtmlTokenizer::next(HtmlToken& token) {
  const qsizetype size = html_.size();
  while (pos_ < size) {
    if (html_[pos_] != u'<') {
      qsizetype end = html_.indexOf(u'<', pos_ + 1);
      if (end < 0) end = size;
      token = HtmlToken{};
      token.begin = pos_;
      token.end = end;
      for (qsizetype i = pos_; i < end && token.blank; ++i) token.blank = isBlank(html_[i].unicode());
      pos_ = end;
      return true;
    }
    const char16_t c1 = pos_ + 1 < size ? html_[pos_ + 1].unicode() : 0;
    const char16_t c2 = pos_ + 2 < size ? html_[pos_ + 2].unicode() : 0;
    if (isAsciiLetter(c1) || (c1 == u'/' && isAsciiLetter(c2))) {
      token = HtmlToken{};
      token.kind = c1 == u'/' ? HtmlToken::kEndTag : HtmlToken::kStartTag;
      token.begin = pos_;
      if (!readTag(pos_ + (c1 == u'/' ? 2 : 1), token)) {
        pos_ = size;  // a tag cut off by the end of the document is dropped
        return false;
      }
      return true;
    }
    if (c1 == u'/' && c2 == u'>') {  // "</>" is dropped
      pos_ += 3;
    } else if (c1 == u'!' && c2 == u'-' && pos_ + 3 < size && html_[pos_ + 3] == u'-') {
      pos_ += 4;
      // "<!-->" and "<!--->" are empty comments; others end at "-->" or "--!>".
      if (pos_ < size && html_[pos_] == u'>') {
        ++pos_;
      } else if (pos_ + 1 < size && html_[pos_] == u'-' && html_[pos_ + 1] == u'>') {
        pos_ += 2;
      } else {
        skipComment();
      }
    } else if (c1 == u'!' || c1 == u'?' || c1 == u'/') {  // doctype, processing instruction, bogus comment
      const qsizetype end = html_.indexOf(u'>', pos_ + 2);
      pos_ = end < 0 ? size : end + 1;
    } else {  // a "<" that starts nothing: text up to the next "<"
      qsizetype end = html_.indexOf(u'<', pos_ + 1);
      if (end < 0) end = size;
      token = HtmlToken{};
      token.begin = pos_;
      token.end = end;
      token.blank = false;
      pos_ = end;
      return true;
    }
  }
  return false;
}

bool HtmlTokenizer::readTag(qsizetype at, HtmlToken& token) {
  const qsizetype size = html_.size();
  char name[32] = {};
  unsigned length = 0;
  bool known = true;
  quint64 hash = kHashStart;
  qsizetype i = at;
  for (; i < size; ++i) {
    const char16_t c = html_[i].unicode();
    if (isBlank(c) || c == u'/' || c == u'>') break;
    const char16_t lower = asciiLower(c);
    hash = hashStep(hash, lower);
    if (lower >= 0x80 || length + 1 >= sizeof name) {
      known = false;
    } else {
      name[length++] = static_cast<char>(lower);
    }
  }
  token.nameHash = hash;
  token.tag = known ? gumbo_tagn_enum(name, length) : GUMBO_TAG_UNKNOWN;
  quint64 attributes = kHashStart;
  for (;;) {
    while (i < size && isBlank(html_[i].unicode())) ++i;
    if (i >= size) return false;
    const char16_t c = html_[i].unicode();
    if (c == u'>') {
      ++i;
      break;
    }
    if (c == u'/') {
      if (i + 1 < size && html_[i + 1] == u'>') {
        token.selfClosing = true;
        i += 2;
        break;
      }
      ++i;
      continue;
    }
    // An attribute's name (it may begin with "="), then its value if any.
    attributes = hashStep(attributes, u' ');
    qsizetype j = i + 1;
    while (j < size && !isBlank(html_[j].unicode()) && html_[j] != u'/' && html_[j] != u'>' && html_[j] != u'=') ++j;
    for (qsizetype k = i; k < j; ++k) attributes = hashStep(attributes, asciiLower(html_[k].unicode()));
    const QStringView attributeName = html_.sliced(i, j - i);
    for (const char* font : {"color", "face", "size"})
      if (attributeName.compare(QLatin1String(font), Qt::CaseInsensitive) == 0) token.fontAttributes = true;
    i = j;
    while (i < size && isBlank(html_[i].unicode())) ++i;
    if (i >= size || html_[i] != u'=') continue;
    ++i;
    while (i < size && isBlank(html_[i].unicode())) ++i;
    if (i >= size) return false;
    qsizetype valueBegin = i, valueEnd;
    if (html_[i] == u'"' || html_[i] == u'\'') {
      valueBegin = i + 1;
      valueEnd = html_.indexOf(html_[i], valueBegin);
      if (valueEnd < 0) return false;
      i = valueEnd + 1;
    } else {
      while (i < size && !isBlank(html_[i].unicode()) && html_[i] != u'>') ++i;
      valueEnd = i;
    }
    attributes = hashStep(attributes, u'=');
    for (qsizetype k = valueBegin; k < valueEnd; ++k) attributes = hashStep(attributes, html_[k].unicode());
  }
  token.attributesHash = attributes;
  token.end = i;
  pos_ = i;
  return true;
}

// Moves past the end of a comment, "-->" or "--!>", or to the end of the document.
void HtmlTokenizer::skipComment() {
  const qsizetype size = html_.size();
  for (qsizetype i = pos_; i + 2 < size; ++i) {
    if (html_[i] != u'-' || html_[i + 1] != u'-') continue;
    if (html_[i + 2] == u'>') {
      pos_ = i + 3;
      return;
    }
    if (html_[i + 2] == u'!' && i + 3 < size && html_[i + 3] == u'>') {
      pos_ = i + 4;
      return;
    }
  }
  pos_ = size;
}

void HtmlTokenizer::skipTextContent(const HtmlToken& start) {
  const qsizetype size = html_.size();
  if (start.tag == GUMBO_TAG_PLAINTEXT) {
    pos_ = size;
    return;
  }
  for (qsizetype at = html_.indexOf(u"</", pos_); at >= 0; at = html_.indexOf(u"</", at + 2)) {
    // The end tag must name the element and be followed by a blank, "/" or ">".
    quint64 hash = kHashStart;
    qsizetype i = at + 2;
    while (i < size && isAsciiLetter(html_[i].unicode())) hash = hashStep(hash, asciiLower(html_[i++].unicode()));
    if (hash != start.nameHash) continue;
    if (i < size && !isBlank(html_[i].unicode()) && html_[i] != u'/' && html_[i] != u'>') continue;
    pos_ = at;
    return;
  }
  pos_ = size;
}

}  // namespace vardel::platform::html

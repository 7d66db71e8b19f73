// Character set detection and decoding of HTML files.
#include "platform/html/html_source.h"

#include "platform/html/html_tag_table.h"
#include "platform/html/html_tags.h"
#include "platform/textcodec.h"

#include <QStringDecoder>

#include <algorithm>
#include <cctype>

namespace vardel::platform::html {
namespace {

constexpr qsizetype kPrescanBytes = 4096;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool startsWithNoCase(QByteArrayView bytes, qsizetype at, const char* word) {
  for (qsizetype i = 0; word[i]; ++i) {
    if (at + i >= bytes.size()) return false;
    if (std::tolower(static_cast<unsigned char>(bytes[at + i])) != word[i]) return false;
  }
  return true;
}

// The charset named in a Content-Type value ("text/html; charset=windows-1252").
QByteArray charsetOfContentType(const QByteArray& content) {
  const QByteArray lower = content.toLower();
  qsizetype at = lower.indexOf("charset");
  while (at >= 0) {
    qsizetype i = at + 7;
    while (i < lower.size() && isBlank(lower[i])) ++i;
    if (i < lower.size() && lower[i] == '=') {
      ++i;
      while (i < lower.size() && isBlank(lower[i])) ++i;
      char quote = 0;
      if (i < lower.size() && (lower[i] == '"' || lower[i] == '\'')) quote = lower[i++];
      qsizetype end = i;
      while (end < lower.size() && lower[end] != ';' && lower[end] != quote && (quote || !isBlank(lower[end]))) ++end;
      return lower.mid(i, end - i).trimmed();
    }
    at = lower.indexOf("charset", at + 7);
  }
  return {};
}

QString decodeAs(const QByteArray& charset, QByteArrayView bytes, bool* known) {
  *known = true;
  static const char* const kWindows1252[] = {"windows-1252", "cp1252",     "x-cp1252",       "iso-8859-1",
                                             "iso8859-1",    "iso_8859-1", "latin1",         "l1",
                                             "us-ascii",     "ascii",      "ansi_x3.4-1968", "iso-ir-100"};
  if (std::any_of(std::begin(kWindows1252), std::end(kWindows1252), [&](const char* name) { return charset == name; }))
    return platform::decodeWindows1252(bytes);
  // A document that declares UTF-16 in ASCII-compatible bytes is UTF-8, as browsers read it.
  if (charset == "utf-8" || charset == "utf8" || charset.startsWith("utf-16") || charset == "unicode-1-1-utf-8")
    return QString::fromUtf8(bytes);
  QStringDecoder decoder(charset.constData());
  if (decoder.isValid()) return decoder.decode(bytes);
  *known = false;
  return {};
}

}  // namespace

QByteArray declaredCharset(QByteArrayView all) {
  const QByteArrayView bytes = all.first(std::min(all.size(), kPrescanBytes));
  qsizetype p = 0;
  while (p < bytes.size()) {
    if (startsWithNoCase(bytes, p, "<!--")) {
      const qsizetype end = QByteArrayView(bytes).indexOf("-->", p + 4);
      if (end < 0) return {};
      p = end + 3;
      continue;
    }
    if (startsWithNoCase(bytes, p, "<meta") && p + 5 < bytes.size() && (isBlank(bytes[p + 5]) || bytes[p + 5] == '/')) {
      p += 5;
      QByteArray charset, content;
      bool pragma = false;
      while (p < bytes.size() && bytes[p] != '>') {
        if (isBlank(bytes[p]) || bytes[p] == '/') {
          ++p;
          continue;
        }
        qsizetype nameStart = p;
        while (p < bytes.size() && bytes[p] != '=' && bytes[p] != '>' && !isBlank(bytes[p]) && bytes[p] != '/') ++p;
        const QByteArray name = bytes.sliced(nameStart, p - nameStart).toByteArray().toLower();
        while (p < bytes.size() && isBlank(bytes[p])) ++p;
        QByteArray value;
        if (p < bytes.size() && bytes[p] == '=') {
          ++p;
          while (p < bytes.size() && isBlank(bytes[p])) ++p;
          if (p < bytes.size() && (bytes[p] == '"' || bytes[p] == '\'')) {
            const char quote = bytes[p++];
            const qsizetype valueStart = p;
            while (p < bytes.size() && bytes[p] != quote) ++p;
            value = bytes.sliced(valueStart, p - valueStart).toByteArray();
            if (p < bytes.size()) ++p;
          } else {
            const qsizetype valueStart = p;
            while (p < bytes.size() && !isBlank(bytes[p]) && bytes[p] != '>') ++p;
            value = bytes.sliced(valueStart, p - valueStart).toByteArray();
          }
        }
        if (name == "charset") charset = value.trimmed().toLower();
        if (name == "content") content = value;
        if (name == "http-equiv" && value.trimmed().toLower() == "content-type") pragma = true;
      }
      if (!charset.isEmpty()) return charset;
      if (pragma) {
        const QByteArray fromContent = charsetOfContentType(content);
        if (!fromContent.isEmpty()) return fromContent;
      }
      continue;
    }
    ++p;
  }
  return {};
}

QHash<QString, QString> bodyAttributes(QStringView html) {
  QHash<QString, QString> attributes;
  qsizetype p = 0;
  const auto blank = [](QChar c) { return c.isSpace(); };
  for (;;) {
    p = html.indexOf(u'<', p);
    if (p < 0) return attributes;
    if (html.sliced(p).startsWith(u"<!--")) {
      p = html.indexOf(u"-->", p + 4);
      if (p < 0) return attributes;
      continue;
    }
    if (html.sliced(p).startsWith(u"<body", Qt::CaseInsensitive) && p + 5 < html.size() &&
        (blank(html[p + 5]) || html[p + 5] == u'>' || html[p + 5] == u'/'))
      break;
    ++p;
  }
  p += 5;
  while (p < html.size() && html[p] != u'>') {
    if (blank(html[p]) || html[p] == u'/') {
      ++p;
      continue;
    }
    const qsizetype nameStart = p;
    while (p < html.size() && html[p] != u'=' && html[p] != u'>' && !blank(html[p])) ++p;
    const QString name = html.sliced(nameStart, p - nameStart).toString().toLower();
    while (p < html.size() && blank(html[p])) ++p;
    QString value;
    if (p < html.size() && html[p] == u'=') {
      ++p;
      while (p < html.size() && blank(html[p])) ++p;
      if (p < html.size() && (html[p] == u'"' || html[p] == u'\'')) {
        const QChar quote = html[p++];
        const qsizetype valueStart = p;
        while (p < html.size() && html[p] != quote) ++p;
        value = html.sliced(valueStart, p - valueStart).toString();
        if (p < html.size()) ++p;
      } else {
        const qsizetype valueStart = p;
        while (p < html.size() && !blank(html[p]) && html[p] != u'>') ++p;
        value = html.sliced(valueStart, p - valueStart).toString();
      }
    }
    if (!name.isEmpty() && !attributes.contains(name)) attributes.insert(name, value.trimmed());
  }
  return attributes;
}

qsizetype blockBoundaryAfter(QStringView html, qsizetype from) {
  // Looked for anywhere, in comments too: a false alarm only costs the document its quick start.
  for (qsizetype at = html.indexOf(u'<'); at >= 0; at = html.indexOf(u'<', at + 1)) {
    const QStringView name = html.sliced(at + 1, std::min<qsizetype>(5, html.size() - at - 1));
    if (name.startsWith(u"style", Qt::CaseInsensitive) || name.startsWith(u"link", Qt::CaseInsensitive)) return -1;
  }
  HtmlTokenizer tokenizer(html);
  HtmlToken token;
  bool inBody = false;
  int tables = 0;  // open, by their start and end tags; an end tag without its start is ignored
  while (tokenizer.next(token)) {
    if (token.kind == HtmlToken::kEndTag) {
      if (token.tag == GUMBO_TAG_TABLE && tables > 0) --tables;
      continue;
    }
    if (token.kind != HtmlToken::kStartTag) continue;
    if (inBody && tables == 0 && token.begin >= from &&
        (token.tag == GUMBO_TAG_TABLE || tagIs(token.tag, kClosesParagraph)))
      return token.begin;
    if (HtmlTokenizer::hasTextContent(token.tag)) tokenizer.skipTextContent(token);
    if (token.tag == GUMBO_TAG_BODY) {
      inBody = true;
    } else if (token.tag == GUMBO_TAG_TABLE) {
      ++tables;
    } else if (tables == 0 && tagIs(token.tag, kTablePart)) {
      return -1;  // a cell outside any table: how the import mends it is not modelled here
    }
  }
  return -1;
}

DecodedHtml decodeHtml(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return {QString::fromUtf8(bytes.sliced(3)), "utf-8"};
  if (bytes.startsWith("\xFF\xFE")) {
    QStringDecoder decoder(QStringDecoder::Utf16LE);
    return {decoder.decode(bytes.sliced(2)), "utf-16le"};
  }
  if (bytes.startsWith("\xFE\xFF")) {
    QStringDecoder decoder(QStringDecoder::Utf16BE);
    return {decoder.decode(bytes.sliced(2)), "utf-16be"};
  }
  const QByteArray declared = declaredCharset(bytes);
  if (!declared.isEmpty()) {
    bool known = false;
    QString text = decodeAs(declared, bytes, &known);
    if (known) return {std::move(text), declared};
  }
  if (platform::isValidUtf8(bytes)) return {QString::fromUtf8(bytes), "utf-8"};
  return {platform::decodeWindows1252(bytes), "windows-1252"};
}

}  // namespace vardel::platform::html

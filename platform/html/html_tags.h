// A quick pass over HTML markup without a parse tree: its tags and the text between them.
#pragma once

#include <gumbo.h>

#include <QStringView>
#include <QtGlobal>

namespace vardel::platform::html {

struct HtmlToken {
  enum Kind { kText, kStartTag, kEndTag };
  Kind kind = kText;
  GumboTag tag = GUMBO_TAG_UNKNOWN;  // of a tag; GUMBO_TAG_UNKNOWN for names gumbo does not know
  quint64 nameHash = 0;              // of the lower-case name, telling unknown names apart
  quint64 attributesHash = 0;        // of the attributes as written, blanks collapsed
  bool selfClosing = false;          // the start tag ends in "/>"
  bool fontAttributes = false;       // a color, face or size attribute (a <font> with one is HTML
                                     // even inside SVG and MathML)
  bool blank = true;                 // text of blanks only
  qsizetype begin = 0;               // the token's characters in the document: [begin, end)
  qsizetype end = 0;
};

// Reads a document the way an HTML tokenizer does, tag by tag, in linear time: comments,
// <!DOCTYPE ...> and <?...> are skipped; a "<" that starts no tag is text; a tag cut off by the
// end of the document is dropped. Names are matched without regard to case. Never fails.
// Elements whose content is not markup (see hasTextContent) are the caller's to skip, since
// inside SVG and MathML the same names hold markup.
class HtmlTokenizer {
 public:
  explicit HtmlTokenizer(QStringView html) : html_(html) {}

  // The next token; false at the end of the document.
  bool next(HtmlToken& token);

  // Whether an HTML element's content is text up to its end tag: script, style, textarea,
  // title, xmp, iframe, noembed, noframes; and <plaintext>, whose content is the rest.
  static bool hasTextContent(GumboTag tag);
  // Skips the content of the element that `start`, the token just read, opens.
  void skipTextContent(const HtmlToken& start);

 private:
  // Reads the tag whose "<" or "</" ends before `at`; false when the document ends inside it.
  bool readTag(qsizetype at, HtmlToken& token);
  void skipComment();

  QStringView html_;
  qsizetype pos_ = 0;
};

}  // namespace vardel::platform::html

// What the light viewer knows of each HTML element, in one table: how the tokenizer reads it,
// how the parser nests it (for the nesting estimate), how the text sets it out and how the
// display's import treats it. Each rule that depends on the element reads its row here.
#pragma once

#include <gumbo.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace vardel::platform::html {

enum TagProperty : std::uint32_t {
  // The tokenizer (HtmlTokenizer::hasTextContent).
  kTextContent = 1u << 0,  // its content is text up to its end tag (script, style, title...)
  // The parser's tree, as the nesting estimate models it.
  kNoLevel = 1u << 1,                // void, or the document's frame (html, head, body): adds no level
  kFormatting = 1u << 2,             // listed among the active formatting elements (b, font, a...)
  kSpecial = 1u << 3,                // "special": an end tag of an ordinary element does not reach past it
  kSvgHtml = 1u << 4,                // an SVG element whose content is HTML again
  kMathHtml = 1u << 5,               // a MathML element whose content is HTML again
  kScopeBoundary = 1u << 6,          // a search for an open element in scope stops here
  kSetsMarker = 1u << 7,             // formatting opened inside it does not leak out
  kClosesParagraph = 1u << 8,        // its start closes an open paragraph
  kEndsInScope = 1u << 9,            // its end tag closes it when in scope, with what is open inside
  kTablePart = 1u << 10,             // a row, cell, section or caption of a table
  kLeavesForeignContent = 1u << 11,  // its start tag inside SVG or MathML returns to HTML
  kInlineVoid = 1u << 12,            // a void element that stands in the text (img, br, input...)
  // The readable text.
  kSkipped = 1u << 13,       // its content is never part of the text
  kSpacedBlock = 1u << 14,   // a block set apart by an empty line
  kPlainBlock = 1u << 15,    // a block that only starts a line of its own
  kPreformatted = 1u << 16,  // its blanks and line ends are kept
  kList = 1u << 17,          // holds list items
  kCell = 1u << 18,          // a table cell
  // The display's import.
  kPhrase = 1u << 19,  // inline markup: a list item holding only these holds no text of its own
};

// Property bits by GumboTag, GUMBO_TAG_LAST included (no bits).
extern const std::array<std::uint32_t, std::size_t(GUMBO_TAG_LAST) + 1> kTagProperties;

// Whether the element `id` (a GumboTag; any other number has none) has any of `properties`.
inline bool tagIs(int id, std::uint32_t properties) {
  return id >= 0 && id <= GUMBO_TAG_LAST && (kTagProperties[std::size_t(id)] & properties) != 0;
}

}  // namespace vardel::platform::html

// The table of element properties: the relations between its columns that the nesting estimate
// and the text rely on, so that a row edited for one rule cannot quietly break another.
#include "platform/html/html_tag_table.h"

#include <gtest/gtest.h>

namespace vardel::platform::html {
namespace {

// Every element with `part` has `whole` too.
void expectWithin(std::uint32_t part, std::uint32_t whole, const char* what) {
  for (int id = 0; id <= GUMBO_TAG_LAST; ++id) {
    if (tagIs(id, part)) {
      EXPECT_TRUE(tagIs(id, whole)) << what << ": " << gumbo_normalized_tagname(GumboTag(id));
    }
  }
}

// No element has both.
void expectApart(std::uint32_t one, std::uint32_t other, const char* what) {
  for (int id = 0; id <= GUMBO_TAG_LAST; ++id)
    EXPECT_FALSE(tagIs(id, one) && tagIs(id, other)) << what << ": " << gumbo_normalized_tagname(GumboTag(id));
}

TEST(HtmlTagTable, ColumnsAgreeWithEachOther) {
  expectApart(kFormatting, kSpecial, "formatting elements are never special");
  expectApart(kFormatting, kTextContent, "formatting elements hold markup");
  expectApart(kSpacedBlock, kPlainBlock, "a block is spaced or plain");
  expectApart(kInlineVoid, kSpecial, "inline void elements stand in the text");
  expectWithin(kInlineVoid, kNoLevel, "void elements add no level");
  expectWithin(kSetsMarker, kScopeBoundary, "a marker stops a scope search too");
  expectWithin(kTablePart, kSpecial, "table parts are special");
  expectWithin(kCell, kTablePart, "cells are table parts");
  expectWithin(kEndsInScope, kSpecial, "what ends in scope is special");
  expectWithin(kPreformatted | kList, kSpacedBlock, "lists and preformatted blocks are spaced");
}

TEST(HtmlTagTable, NumbersOutsideTheTagsHaveNoProperties) {
  for (const int id : {-1, int(GUMBO_TAG_UNKNOWN), int(GUMBO_TAG_LAST), int(GUMBO_TAG_LAST) + 1, 1 << 30})
    EXPECT_FALSE(tagIs(id, ~std::uint32_t{0})) << id;
  EXPECT_TRUE(tagIs(GUMBO_TAG_P, kSpecial | kFormatting));
}

}  // namespace
}  // namespace vardel::platform::html

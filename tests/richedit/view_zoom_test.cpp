// The rich-text control's view zoom: the text grows on the screen, the document stays as it is.
#include "platform/richedit/richedit.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

qreal firstLineHeight(TRichEdit& edit) {
  const QTextBlock block = edit.document()->firstBlock();
  return edit.document()->documentLayout()->blockBoundingRect(block).height();
}

TEST(RichEditViewZoom, TheTextGrowsOnScreenWhileTheDocumentAndItsRtfStayTheSame) {
  TRichEdit edit;
  edit.resize(500, 300);
  edit.loadFromBytes(
      QByteArrayLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 Grande \\fs20 peque\\'f1a\\par}"));
  const QByteArray rtf = edit.toRtf();
  const qreal normal = firstLineHeight(edit);
  ASSERT_GT(normal, 0);

  edit.setViewZoom(1.2);
  EXPECT_NEAR(firstLineHeight(edit) / normal, 1.2, 0.06);
  EXPECT_EQ(edit.toRtf(), rtf);
  EXPECT_FALSE(edit.modified());
  // A text loaded while zoomed is shown at the same scale.
  edit.loadFromBytes(
      QByteArrayLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 Grande \\fs20 peque\\'f1a\\par}"));
  EXPECT_NEAR(firstLineHeight(edit) / normal, 1.2, 0.06);

  edit.setViewZoom(1);
  EXPECT_EQ(firstLineHeight(edit), normal);
  EXPECT_EQ(edit.toRtf(), rtf);
}

}  // namespace
}  // namespace vardel::platform

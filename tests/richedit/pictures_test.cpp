// Pictures in RTF: PNG and JPEG shown and written back byte for byte, metafiles kept behind a
// placeholder, and what cannot be kept (objects, drawings, pictures of no known kind) reported.
#include "platform/richedit/format_properties.h"
#include "platform/richedit/richedit.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

using namespace richtext;

QByteArray encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

QImage picture(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// The images of a document, in order.
QList<QTextImageFormat> imagesOf(const QTextDocument& document) {
  QList<QTextImageFormat> images;
  for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat()) images << it.fragment().charFormat().toImageFormat();
  return images;
}

class Pictures : public ::testing::Test {
 protected:
  QImage shown(const QTextImageFormat& image) {
    return edit_.document()->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
  }
  TRichEdit edit_;
  const QByteArray png_ = encoded(picture(4, 3, Qt::red), "PNG");
  const QByteArray jpeg_ = encoded(picture(8, 8, Qt::blue), "JPEG");
};

TEST_F(Pictures, PngAndJpegAreShownAndWrittenBackByteForByte) {
  const QByteArray rtf = "{\\rtf1 a{\\pict\\picw4\\pich3\\picwgoal60\\pichgoal45\\pngblip\r\n" + png_.toHex() +
                         "}b{\\*\\shppict{\\pict\\picscalex50\\picscaley50\\jpegblip " + jpeg_.toHex() +
                         "}}{\\nonshppict{\\pict\\wmetafile8 0102}}c\\par}";
  edit_.loadFromBytes(rtf);
  EXPECT_EQ(edit_.toPlainText(), u"a\uFFFCb\uFFFCc");
  EXPECT_FALSE(edit_.hasUnkeptElements());
  QList<QTextImageFormat> images = imagesOf(*edit_.document());
  ASSERT_EQ(images.size(), 2);
  EXPECT_EQ(shown(images[0]).size(), QSize(4, 3));
  EXPECT_EQ(QSizeF(images[0].width(), images[0].height()), QSizeF(4, 3));  // 60 by 45 twips
  EXPECT_EQ(shown(images[1]).size(), QSize(8, 8));
  EXPECT_EQ(QSizeF(images[1].width(), images[1].height()), QSizeF(4, 4));  // scaled to half

  const QByteArray written = edit_.toRtf();
  EXPECT_TRUE(written.contains("\\picwgoal60\\pichgoal45\\pngblip"));
  EXPECT_TRUE(written.contains("\\picscalex50\\picscaley50\\jpegblip"));
  QByteArray hex = written;
  hex.replace("\r\n", "");
  EXPECT_TRUE(hex.contains(png_.toHex()));
  EXPECT_TRUE(hex.contains(jpeg_.toHex()));
  // Read back: the same bytes, and written again the same file.
  edit_.loadFromBytes(written);
  images = imagesOf(*edit_.document());
  ASSERT_EQ(images.size(), 2);
  EXPECT_EQ(images[0].property(kPictureData).toByteArray(), png_);
  EXPECT_EQ(images[1].property(kPictureData).toByteArray(), jpeg_);
  EXPECT_EQ(edit_.toRtf(), written);
}

TEST_F(Pictures, MetafilesBinaryDataAndBrokenImagesAreKeptBehindAPlaceholder) {
  edit_.loadFromBytes(
      "{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270 0a0b 0c}{\\pict\\emfblip\\bin4 WXYZ}"
      "{\\pict\\pngblip 0badf00d}}");
  const QList<QTextImageFormat> images = imagesOf(*edit_.document());
  ASSERT_EQ(images.size(), 3);
  EXPECT_EQ(QSizeF(images[0].width(), images[0].height()), QSizeF(96, 48));  // hundredths of a millimetre
  for (const QTextImageFormat& image : images) EXPECT_FALSE(shown(image).isNull());
  const QByteArray written = edit_.toRtf();
  EXPECT_TRUE(written.contains("{\\pict\\picw2540\\pich1270\\wmetafile8\r\n0a0b0c}"));
  EXPECT_TRUE(written.contains("{\\pict\\emfblip\r\n5758595a}"));
  EXPECT_TRUE(written.contains("{\\pict\\pngblip\r\n0badf00d}"));
  EXPECT_FALSE(edit_.hasUnkeptElements());
}

TEST_F(Pictures, ObjectsDrawingsAndPicturesOfNoKnownKindAreReportedAsNotKept) {
  for (const char* lost : {"{\\object\\objemb{\\*\\objclass Excel}{\\*\\objdata 0102}{\\result{\\pict\\pngblip 00}}}",
                           "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 00}}}}}", "{\\*\\do\\dobxpage 1}",
                           "{\\pict\\picw10 0102}"}) {
    edit_.loadFromBytes(QByteArray("{\\rtf1 a") + lost + "b}");
    EXPECT_EQ(edit_.toPlainText(), "ab") << lost;
    EXPECT_TRUE(edit_.hasUnkeptElements()) << lost;
  }
  edit_.setLines({"otra"});
  EXPECT_FALSE(edit_.hasUnkeptElements());
}

TEST_F(Pictures, ARichTextPasteBringsItsPicturesAndACopyCarriesThem) {
  edit_.setPlainText("x");
  edit_.moveCursor(QTextCursor::End);
  auto* data = new QMimeData;
  data->setData("text/rtf", "{\\rtf1{\\pict\\pngblip " + png_.toHex() + "}}");
  QGuiApplication::clipboard()->setMimeData(data);
  edit_.paste();
  const QList<QTextImageFormat> images = imagesOf(*edit_.document());
  ASSERT_EQ(images.size(), 1);
  EXPECT_EQ(shown(images[0]).size(), QSize(4, 3));
  // Copied, the picture travels as rich text; Qt's own formats would name it only.
  edit_.selectAll();
  edit_.copy();
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  EXPECT_FALSE(copied->hasHtml());
  EXPECT_TRUE(copied->data("text/rtf").contains("\\pngblip"));
}

}  // namespace
}  // namespace vardel::platform

// Pictures of rich text: PNG and JPEG shown, metafiles and bitmaps of other forms shown as a
// placeholder; all of them kept byte for byte with their control words.
#include "platform/richedit/rtf_picture.h"

#include "platform/richedit/format_properties.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace vardel::platform::rtf {

using namespace richtext;

namespace {

// The kinds of picture RTF names, by their control word. The first two are drawn.
constexpr std::string_view kKinds[] = {"pngblip", "jpegblip",   "emfblip",  "wmetafile",
                                       "macpict", "pmmetafile", "dibitmap", "wbitmap"};
// Other words of a \pict group that are kept as they came.
constexpr std::string_view kKeptWords[] = {"piccropl", "piccropr", "piccropt", "piccropb", "picbmp",
                                           "picbpp",   "bliptag",  "blipupi",  "picscaled"};

// The largest side of a picture on screen, in pixels: sizes come from the file.
constexpr double kMaxSidePixels = 4096;
// Metafile sizes (\picw, \pich) are hundredths of a millimetre.
constexpr double kPixelsPerHimetric = 96.0 / 2540.0;

bool isMetafile(const QByteArray& kind) {
  return kind == "\\emfblip" || kind.startsWith("\\wmetafile") || kind.startsWith("\\pmmetafile") ||
         kind == "\\macpict";
}

// Where a picture cannot be drawn: a framed box, scaled to the picture's size.
const QImage& placeholderImage() {
  static const QImage image = [] {
    QImage box(48, 48, QImage::Format_ARGB32_Premultiplied);
    box.fill(QColor(0xE8, 0xE8, 0xE8));
    QPainter painter(&box);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(0, 0, 47, 47);
    painter.drawLine(0, 0, 47, 47);
    painter.drawLine(0, 47, 47, 0);
    return box;
  }();
  return image;
}

// Resource names unique in the process, so pictures pasted from one document into another
// never meet a name of the other's.
QUrl newResourceName() {
  static std::atomic<unsigned long long> next{1};
  return QUrl(QStringLiteral("vardel-picture:%1").arg(next++));
}

void appendWord(QByteArray& out, std::string_view name, long long value, bool hasValue) {
  out += '\\';
  out.append(name.data(), qsizetype(name.size()));
  if (hasValue) out += QByteArray::number(value);
}

void appendHex(QByteArray& out, QByteArrayView data) {
  static const char kHex[] = "0123456789abcdef";
  out.reserve(out.size() + data.size() * 2 + data.size() / 32 + 2);
  for (qsizetype i = 0; i < data.size(); ++i) {
    if (i % 64 == 0) out += "\r\n";
    const auto b = static_cast<unsigned char>(data[i]);
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
}

}  // namespace

bool PictureReader::word(std::string_view name, long long value, bool hasValue) {
  if (std::find(std::begin(kKinds), std::end(kKinds), name) != std::end(kKinds)) {
    kind_.clear();
    appendWord(kind_, name, value, hasValue);
    return true;
  }
  long long* size = name == "picw"        ? &picw_
                    : name == "pich"      ? &pich_
                    : name == "picwgoal"  ? &goalw_
                    : name == "pichgoal"  ? &goalh_
                    : name == "picscalex" ? &scalex_
                    : name == "picscaley" ? &scaley_
                                          : nullptr;
  if (size) {
    if (hasValue) *size = value;
  } else if (std::find(std::begin(kKeptWords), std::end(kKeptWords), name) == std::end(kKeptWords)) {
    return false;
  }
  appendWord(words_, name, value, hasValue);
  return true;
}

void PictureReader::hexDigit(int value) {
  if (pendingNibble_ < 0) {
    pendingNibble_ = value;
    return;
  }
  data_.append(char(pendingNibble_ * 16 + value));
  pendingNibble_ = -1;
}

QTextImageFormat PictureReader::finish(QTextDocument* document, qint64& budget) {
  QImage image;
  if (kind_ == "\\pngblip" || kind_ == "\\jpegblip") {
    QBuffer buffer(&data_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, kind_ == "\\pngblip" ? "PNG" : "JPEG");
    const QSize size = reader.size();
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    if (size.isValid() && bytes <= budget && reader.read(&image)) budget -= bytes;
  }
  // The size on screen: the wanted size in twips, else the picture's own, then the scaling.
  double width = 32, height = 32;
  if (goalw_ > 0 && goalh_ > 0) {
    width = double(goalw_) / kTwipsPerPixel;
    height = double(goalh_) / kTwipsPerPixel;
  } else if (!image.isNull()) {
    width = image.width();
    height = image.height();
  } else if (picw_ > 0 && pich_ > 0) {
    const double unit = isMetafile(kind_) ? kPixelsPerHimetric : 1.0;
    width = double(picw_) * unit;
    height = double(pich_) * unit;
  }
  if (scalex_ > 0) width *= double(scalex_) / 100.0;
  if (scaley_ > 0) height *= double(scaley_) / 100.0;

  const QUrl name = newResourceName();
  document->addResource(QTextDocument::ImageResource, name, image.isNull() ? placeholderImage() : image);
  QTextImageFormat format;
  format.setName(name.toString());
  format.setWidth(std::clamp(std::round(width), 1.0, kMaxSidePixels));
  format.setHeight(std::clamp(std::round(height), 1.0, kMaxSidePixels));
  format.setProperty(kPictureWords, words_ + kind_);
  format.setProperty(kPictureData, data_);
  return format;
}

bool isKeptPicture(const QTextFormat& format) {
  return format.isImageFormat() && format.hasProperty(kPictureWords) && format.hasProperty(kPictureData);
}

void writePicture(QByteArray& out, const QTextImageFormat& format, const QTextDocument& document) {
  if (isKeptPicture(format)) {
    out += "{\\pict";
    out += format.property(kPictureWords).toByteArray();
    appendHex(out, format.property(kPictureData).toByteArray());
    out += '}';
    return;
  }
  // An image of another origin (pasted from a web page, say): as PNG, at its size on screen.
  const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(format.name()));
  QImage image = resource.value<QImage>();
  if (image.isNull()) image = resource.value<QPixmap>().toImage();
  if (image.isNull()) return;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return;
  const double width = format.width() > 0 ? format.width() : image.width();
  const double height = format.height() > 0 ? format.height() : image.height();
  out += "{\\pict\\picw" + QByteArray::number(image.width()) + "\\pich" + QByteArray::number(image.height()) +
         "\\picwgoal" + QByteArray::number(std::lround(width * kTwipsPerPixel)) + "\\pichgoal" +
         QByteArray::number(std::lround(height * kTwipsPerPixel)) + "\\pngblip";
  appendHex(out, png);
  out += '}';
}

}  // namespace vardel::platform::rtf

// JPEG pictures through libjpeg-turbo's libjpeg interface: decoding for display, encoding for
// the demo content.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vardel::platform {

// Largest picture decoded, in pixels (32 megapixels, 128 MB of image memory). Anything larger
// is refused as an error: a damaged or hostile header of a few bytes could otherwise claim a
// picture that takes seconds to decode and gigabytes to hold. The worst case at this size
// decodes in well under a second.
inline constexpr qint64 kJpegMaxPixels = qint64(1) << 25;

// Decodes JPEG data (baseline, extended, progressive, arithmetic-coded, lossless-free
// libjpeg subsets; greyscale, YCbCr, RGB, CMYK and YCCK, Adobe-inverted or not) straight
// into a QImage::Format_RGB32 image. Returns a null image and sets `error` when the data is
// not JPEG or is too damaged to give a picture; corrupt data that libjpeg can recover from
// (a truncated file, a bad restart interval) gives the partial picture it decoded.
QImage decodeJpeg(QByteArrayView data, QString* error = nullptr);

// Reads a file named as the program names it (see nativePath) and decodes it. Anything but a
// regular file of at most kMaxPictureBytes (file_limits.h) is refused as an error, unread.
QImage loadJpegFile(const QString& path, QString* error = nullptr);

// Encodes an image as JFIF (YCbCr 4:2:0, optimised Huffman tables). Deterministic: the same
// image and settings always give the same bytes. Returns empty bytes for a null image.
QByteArray encodeJpeg(const QImage& image, int quality, bool progressive = false);

}  // namespace vardel::platform

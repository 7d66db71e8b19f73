// JPEG decoding of every kind the content may hold, damaged data, and the public corpus.
#include "platform/jpeg.h"

#include "tests/support/test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace vardel::platform {
namespace {

// A picture with smooth gradients and hard edges, so colour mistakes show.
QImage testPicture(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, qRgb(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 96));
  }
  QPainter p(&image);
  p.fillRect(w / 4, h / 4, w / 2, h / 2, QColor(20, 160, 40));
  return image;
}

enum class Kind { Baseline, Progressive, Arithmetic, Restarts, Grey, Cmyk, Ycck };

// Encodes with libjpeg directly, for the kinds the project's own encoder does not write.
QByteArray encodeKind(const QImage& source, Kind kind) {
  const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(rgb.width());
  cinfo.image_height = JDIMENSION(rgb.height());
  const bool cmyk = kind == Kind::Cmyk || kind == Kind::Ycck;
  cinfo.input_components = kind == Kind::Grey ? 1 : cmyk ? 4 : 3;
  cinfo.in_color_space = kind == Kind::Grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  if (kind == Kind::Ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
  jpeg_set_quality(&cinfo, 95, TRUE);
  if (kind == Kind::Progressive) jpeg_simple_progression(&cinfo);
  if (kind == Kind::Arithmetic) cinfo.arith_code = TRUE;
  if (kind == Kind::Restarts) cinfo.restart_interval = 2;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row(size_t(rgb.width()) * 4);
  while (cinfo.next_scanline < cinfo.image_height) {
    const uchar* src = rgb.constScanLine(int(cinfo.next_scanline));
    for (int x = 0; x < rgb.width(); ++x) {
      const int r = src[3 * x], g = src[3 * x + 1], b = src[3 * x + 2];
      if (kind == Kind::Grey) {
        row[size_t(x)] = static_cast<unsigned char>((r * 299 + g * 587 + b * 114) / 1000);
      } else if (cmyk) {
        // Adobe-style inverted CMYK with no black: the inverted cyan is the red value.
        row[size_t(4 * x)] = static_cast<unsigned char>(r);
        row[size_t(4 * x + 1)] = static_cast<unsigned char>(g);
        row[size_t(4 * x + 2)] = static_cast<unsigned char>(b);
        row[size_t(4 * x + 3)] = 255;
      } else {
        row[size_t(3 * x)] = static_cast<unsigned char>(r);
        row[size_t(3 * x + 1)] = static_cast<unsigned char>(g);
        row[size_t(3 * x + 2)] = static_cast<unsigned char>(b);
      }
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
  std::free(buffer);
  return bytes;
}

// Largest difference of any channel between two pictures of the same size.
int maxDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  int worst = 0;
  for (int j = 0; j < x.height(); ++j) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(j));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(j));
    for (int i = 0; i < x.width(); ++i) {
      worst = std::max({worst, std::abs(qRed(p[i]) - qRed(q[i])), std::abs(qGreen(p[i]) - qGreen(q[i])),
                        std::abs(qBlue(p[i]) - qBlue(q[i]))});
    }
  }
  return worst;
}

double meanDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int j = 0; j < x.height(); ++j) {
    for (int i = 0; i < x.width(); ++i) {
      const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  }
  return sum / (3.0 * x.width() * x.height());
}

TEST(Jpeg, EveryKindDecodesToTheRightPicture) {
  const QImage original = testPicture(97, 61);
  for (const Kind kind :
       {Kind::Baseline, Kind::Progressive, Kind::Arithmetic, Kind::Restarts, Kind::Cmyk, Kind::Ycck}) {
    QString error;
    const QImage decoded = decodeJpeg(encodeKind(original, kind), &error);
    ASSERT_FALSE(decoded.isNull()) << int(kind) << " " << error.toStdString();
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    EXPECT_EQ(decoded.size(), original.size());
    EXPECT_LT(meanDifference(decoded, original), 3.0) << "kind " << int(kind);
    EXPECT_EQ(qAlpha(decoded.pixel(5, 5)), 255);
  }
}

TEST(Jpeg, GreyscaleComesOutGrey) {
  const QImage decoded = decodeJpeg(encodeKind(testPicture(40, 30), Kind::Grey));
  ASSERT_FALSE(decoded.isNull());
  for (const QPoint p : {QPoint(0, 0), QPoint(20, 15), QPoint(39, 29)}) {
    const QRgb c = decoded.pixel(p);
    EXPECT_EQ(qRed(c), qGreen(c));
    EXPECT_EQ(qGreen(c), qBlue(c));
  }
}

TEST(Jpeg, OwnEncoderRoundTripsAndIsDeterministic) {
  const QImage original = testPicture(800, 600);
  const QByteArray a = encodeJpeg(original, 90);
  const QByteArray b = encodeJpeg(original, 90);
  EXPECT_EQ(a, b);
  EXPECT_TRUE(a.startsWith("\xFF\xD8"));
  const QImage decoded = decodeJpeg(a);
  ASSERT_EQ(decoded.size(), QSize(800, 600));
  EXPECT_LT(meanDifference(decoded, original), 2.0);
  const QImage progressive = decodeJpeg(encodeJpeg(original, 90, true));
  EXPECT_LT(maxDifference(progressive, decoded), 3);
  EXPECT_TRUE(encodeJpeg(QImage(), 90).isEmpty());
}

TEST(Jpeg, DataThatIsNotJpegIsAFailureTheCallerSees) {
  QString error;
  EXPECT_TRUE(decodeJpeg(QByteArray(), &error).isNull());
  EXPECT_FALSE(error.isEmpty());
  error.clear();
  EXPECT_TRUE(decodeJpeg(QByteArray("GIF89a not a jpeg at all"), &error).isNull());
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(decodeJpeg(QByteArray("\xFF\xD8", 2), &error).isNull());
  QString fileError;
  EXPECT_TRUE(loadJpegFile(QStringLiteral("/no/such/picture"), &fileError).isNull());
  EXPECT_FALSE(fileError.isEmpty());
}

TEST(Jpeg, TruncatedDataGivesAPartialPictureOrAnError) {
  const QByteArray whole = encodeJpeg(testPicture(320, 240), 90);
  for (const qsizetype cut : {qsizetype(4), qsizetype(100), whole.size() / 3, whole.size() / 2, whole.size() - 2}) {
    const QImage partial = decodeJpeg(whole.first(cut));
    if (!partial.isNull()) {
      EXPECT_EQ(partial.size(), QSize(320, 240)) << cut;
    }
  }
  // Past the headers, libjpeg fills what is missing and the caller gets the top part.
  EXPECT_FALSE(decodeJpeg(whole.first(whole.size() / 2)).isNull());
}

TEST(Jpeg, RandomAndMutatedDataNeverCrash) {
  QRandomGenerator random(1234);
  const QByteArray good = encodeKind(testPicture(64, 48), Kind::Progressive);
  for (int round = 0; round < 400; ++round) {
    QByteArray bytes = good;
    const int flips = 1 + int(random.bounded(8));
    for (int i = 0; i < flips; ++i) bytes[int(random.bounded(bytes.size()))] = char(random.bounded(256));
    const QImage image = decodeJpeg(bytes);
    if (!image.isNull()) {
      EXPECT_LE(qint64(image.width()) * image.height(), kJpegMaxPixels);
    }
  }
  for (int round = 0; round < 50; ++round) {
    QByteArray noise(int(random.bounded(5000)), Qt::Uninitialized);
    for (char& c : noise) c = char(random.bounded(256));
    if (round % 2 == 0 && noise.size() > 2) {
      noise[0] = char(0xFF);
      noise[1] = char(0xD8);
    }
    decodeJpeg(noise);
  }
}

// A progressive file whose first scan repeats thousands of times: each scan passes over the
// whole picture, so such a file must be refused rather than decoded for minutes.
TEST(Jpeg, EndlessScansAreRefused) {
  const QByteArray good = encodeKind(testPicture(1024, 1024), Kind::Progressive);
  qsizetype at = 2;
  qsizetype scanStart = -1;
  while (at + 4 <= good.size() && scanStart < 0) {
    const auto marker = static_cast<unsigned char>(good[at + 1]);
    const int length = (static_cast<unsigned char>(good[at + 2]) << 8) | static_cast<unsigned char>(good[at + 3]);
    if (marker == 0xDA)
      scanStart = at;
    else
      at += 2 + length;
  }
  ASSERT_GT(scanStart, 0);
  qsizetype scanEnd = scanStart + 2;
  while (scanEnd + 1 < good.size()) {
    if (static_cast<unsigned char>(good[scanEnd]) == 0xFF) {
      const auto next = static_cast<unsigned char>(good[scanEnd + 1]);
      if (next != 0x00 && (next < 0xD0 || next > 0xD7) && scanEnd > scanStart + 4) break;
    }
    ++scanEnd;
  }
  const QByteArray scan = good.mid(scanStart, scanEnd - scanStart);
  QByteArray hostile = good.left(scanEnd);
  for (int i = 0; i < 3000; ++i) hostile += scan;
  hostile += good.mid(scanEnd);
  QString error;
  EXPECT_TRUE(decodeJpeg(hostile, &error).isNull());
  EXPECT_TRUE(error.contains(QStringLiteral("scans"))) << error.toStdString();
  // The file with its own few scans still decodes.
  EXPECT_FALSE(decodeJpeg(good).isNull());
}

// A few hundred bytes whose header claims a picture of 64 megapixels: refused at once, never
// decoded for seconds into gigabytes.
TEST(Jpeg, HugeClaimedSizesAreRefused) {
  QByteArray bytes = encodeJpeg(testPicture(16, 16), 80);
  const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
  ASSERT_GT(sof, 0);
  // Height and width follow the marker, the length and the sample precision.
  for (const qsizetype at : {sof + 5, sof + 7}) {
    bytes[at] = char(0x1F);
    bytes[at + 1] = char(0x40);  // 8000
  }
  QString error;
  EXPECT_TRUE(decodeJpeg(bytes, &error).isNull());
  EXPECT_TRUE(error.contains(QStringLiteral("8000x8000"))) << error.toStdString();
}

TEST(Jpeg, LoadsAFileNamedTheWindowsWay) {
  QTemporaryDir dir;
  test::writeFile(dir.path(), QStringLiteral("GRAFICOS/P5"), encodeJpeg(testPicture(136, 100), 85));
  const QImage image = loadJpegFile(dir.path() + QStringLiteral("/Graficos\\p5."));
  EXPECT_EQ(image.size(), QSize(136, 100));
}

// The reference set: every picture with a PNG beside it decodes within 3 per channel, except
// those the corpus itself lists as disabled (one of them is a PNG under a .jpg name) and the
// lossless ones, which libjpeg-turbo 2.1 cannot decode and must refuse cleanly.
TEST(JpegCorpus, ReferencePicturesMatchWithinTolerance) {
  const QString root = QStringLiteral(VARDEL_CORPUS_DIR "/jpeg-images/tests/reftest/images");
  if (!QDir(root).exists()) {
    GTEST_SKIP() << "corpus not present";
  }
  QStringList disabled;
  QFile list(root + QStringLiteral("/disabled.list"));
  if (list.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : list.readAll().split('\n')) {
      if (!line.trimmed().isEmpty() && !line.startsWith('#'))
        disabled << root + QLatin1Char('/') + QString::fromUtf8(line.trimmed());
    }
  }
  int compared = 0;
  int lossless = 0;
  QDirIterator it(root, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString jpg = it.next();
    const QString png = jpg.chopped(4) + QStringLiteral(".png");
    if (!QFile::exists(png)) continue;
    QFile file(jpg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    const QImage decoded = decodeJpeg(file.readAll(), &error);
    const QImage reference(png);
    if (jpg.contains(QStringLiteral("/lossless/"))) {
      EXPECT_TRUE(decoded.isNull()) << jpg.toStdString();
      EXPECT_FALSE(error.isEmpty());
      ++lossless;
      continue;
    }
    if (disabled.contains(jpg) && (decoded.isNull() || decoded.size() != reference.size())) continue;
    ASSERT_FALSE(decoded.isNull()) << jpg.toStdString() << ": " << error.toStdString();
    ASSERT_EQ(decoded.size(), reference.size()) << jpg.toStdString();
    EXPECT_LE(maxDifference(decoded, reference), 3) << jpg.toStdString();
    ++compared;
  }
  EXPECT_GE(compared, 36);
  RecordProperty("compared", compared);
  RecordProperty("lossless_refused", lossless);
}

// The crash set: corrupt and fuzzed files give an error or a picture, quickly, never a crash.
TEST(JpegCorpus, CrashSetNeverCrashesOrHangs) {
  const QString root = QStringLiteral(VARDEL_CORPUS_DIR "/jpeg-images/tests/crashtest/images");
  if (!QDir(root).exists()) {
    GTEST_SKIP() << "corpus not present";
  }
  int files = 0;
  QDirIterator it(root, {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QElapsedTimer timer;
    timer.start();
    const QImage image = decodeJpeg(file.readAll());
    EXPECT_LT(timer.elapsed(), 5000) << path.toStdString();
    if (!image.isNull()) {
      EXPECT_GT(image.width(), 0);
    }
    ++files;
  }
  EXPECT_GE(files, 100);
}

}  // namespace
}  // namespace vardel::platform

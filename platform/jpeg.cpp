// libjpeg glue: an error manager that never exits the process, decoding into QImage rows.
#include "platform/jpeg.h"

#include "platform/paths.h"
#include "platform/regular_file.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace vardel::platform {
namespace {

// Progressive files may carry any number of scans, and every scan passes over the whole
// picture: a damaged or hostile file could make decoding crawl for minutes. Real files have a
// dozen scans or so; the limit allows far more, less for larger pictures (about 2^30
// pixel-scans in all, never fewer than 20 scans nor more than 1000).
constexpr qint64 kScanWorkBudget = qint64(1) << 30;
constexpr int kMinScanLimit = 20;
constexpr int kMaxScanLimit = 1000;

int scanLimit(const jpeg_decompress_struct& cinfo) {
  const qint64 pixels = std::max<qint64>(1, qint64(cinfo.image_width) * cinfo.image_height);
  return int(std::clamp<qint64>(kScanWorkBudget / pixels, kMinScanLimit, kMaxScanLimit));
}
constexpr long kMaxLibjpegMemory = 1024L * 1024L * 1024L;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void errorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings (corrupt data libjpeg recovers from) are counted by libjpeg itself; nothing is
// printed.
void outputMessage(j_common_ptr) {}

void progressMonitor(j_common_ptr cinfo) {
  if (cinfo->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > scanLimit(*d)) {
      auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
      std::snprintf(err->message, sizeof err->message, "too many scans in progressive JPEG data");
      std::longjmp(err->jump, 1);
    }
  }
}

void setupErrors(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = errorExit;
  err.pub.output_message = outputMessage;
  err.message[0] = '\0';
}

// In place: four bytes of CMYK per pixel become QImage RGB32 pixels.
void cmykRowToRgb32(uchar* row, JDIMENSION width, bool adobeInverted) {
  auto* out = reinterpret_cast<QRgb*>(row);
  for (JDIMENSION x = 0; x < width; ++x) {
    unsigned c = row[4 * x], m = row[4 * x + 1], y = row[4 * x + 2], k = row[4 * x + 3];
    if (!adobeInverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    // Inverted values: 255 means no ink.
    out[x] = qRgb(int(c * k / 255), int(m * k / 255), int(y * k / 255));
  }
}

struct DecodeState {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  QImage image;
};

bool decodeInto(DecodeState& s, QByteArrayView data) {
  jpeg_decompress_struct& cinfo = s.cinfo;
  if (setjmp(s.err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    s.image = QImage();
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxLibjpegMemory;
  s.progress.progress_monitor = progressMonitor;
  cinfo.progress = &s.progress;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);

  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  if (cmyk) {
    cinfo.out_color_space = JCS_CMYK;
  } else {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    cinfo.out_color_space = JCS_EXT_BGRX;
#else
    cinfo.out_color_space = JCS_EXT_XRGB;
#endif
  }
  jpeg_calc_output_dimensions(&cinfo);
  if (qint64(cinfo.output_width) * cinfo.output_height > kJpegMaxPixels) {
    std::snprintf(s.err.message, sizeof s.err.message, "picture of %ux%u pixels is too large", cinfo.output_width,
                  cinfo.output_height);
    std::longjmp(s.err.jump, 1);
  }
  s.image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
  if (s.image.isNull()) {
    std::snprintf(s.err.message, sizeof s.err.message, "out of memory for the picture");
    std::longjmp(s.err.jump, 1);
  }
  jpeg_start_decompress(&cinfo);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = s.image.scanLine(int(cinfo.output_scanline));
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;  // suspension cannot happen with a memory source
    if (cmyk) cmykRowToRgb32(row, cinfo.output_width, cinfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

QImage decodeJpeg(QByteArrayView data, QString* error) {
  if (data.isEmpty()) {
    if (error) *error = QStringLiteral("empty file");
    return {};
  }
  // The state lives on the heap so that nothing touched after setjmp sits in a register.
  auto state = std::make_unique<DecodeState>();
  setupErrors(state->err);
  state->cinfo.err = &state->err.pub;
  if (!decodeInto(*state, data)) {
    if (error) *error = QString::fromLocal8Bit(state->err.message);
    return {};
  }
  return std::move(state->image);
}

QImage loadJpegFile(const QString& path, QString* error) {
  const std::optional<QByteArray> bytes = readRegularFile(nativePath(path), kMaxPictureBytes, nullptr, error);
  return bytes ? decodeJpeg(*bytes, error) : QImage();
}

namespace {

struct EncodeState {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

bool encodeInto(EncodeState& s, const QImage& rgb, int quality, bool progressive) {
  jpeg_compress_struct& cinfo = s.cinfo;
  if (setjmp(s.err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &s.buffer, &s.size);
  cinfo.image_width = JDIMENSION(rgb.width());
  cinfo.image_height = JDIMENSION(rgb.height());
  cinfo.input_components = 4;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  cinfo.in_color_space = JCS_EXT_BGRX;
#else
  cinfo.in_color_space = JCS_EXT_XRGB;
#endif
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  cinfo.optimize_coding = TRUE;
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    // libjpeg's interface is not const-correct; the row is only read.
    auto row = const_cast<JSAMPROW>(rgb.constScanLine(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

QByteArray encodeJpeg(const QImage& image, int quality, bool progressive) {
  if (image.isNull()) return {};
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  auto state = std::make_unique<EncodeState>();
  setupErrors(state->err);
  state->cinfo.err = &state->err.pub;
  const bool ok = encodeInto(*state, rgb, quality, progressive);
  QByteArray bytes;
  if (ok) bytes = QByteArray(reinterpret_cast<const char*>(state->buffer), qsizetype(state->size));
  std::free(state->buffer);
  return bytes;
}

}  // namespace vardel::platform

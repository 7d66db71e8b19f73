// Picture decoding beside libjpeg-turbo's own decode to RGB, and reading the cities' settings.
#include "platform/inifile.h"
#include "platform/jpeg.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <vector>

namespace {

QByteArray mapPicture() {
  static const QByteArray bytes = [] {
    QImage image(800, 600, QImage::Format_RGB32);
    for (int y = 0; y < 600; ++y) {
      for (int x = 0; x < 800; ++x) image.setPixel(x, y, qRgb((x * 7 + y) & 255, (y * 3) & 255, (x ^ y) & 255));
    }
    QPainter p(&image);
    p.setBrush(QColor(40, 120, 60));
    p.drawEllipse(100, 80, 600, 440);
    return vardel::platform::encodeJpeg(image, 88);
  }();
  return bytes;
}

// The program's path: JPEG data into a displayable QImage.
void BM_DecodeIntoImage(benchmark::State& state) {
  const QByteArray data = mapPicture();
  for (auto _ : state) {
    QImage image = vardel::platform::decodeJpeg(data);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DecodeIntoImage)->Unit(benchmark::kMillisecond);

// The reference: libjpeg-turbo decoding the same data to packed RGB in a plain buffer.
void BM_LibjpegTurboToRgb(benchmark::State& state) {
  const QByteArray data = mapPicture();
  std::vector<unsigned char> pixels(800 * 600 * 3);
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = pixels.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 3;
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_LibjpegTurboToRgb)->Unit(benchmark::kMillisecond);

QByteArray fullConfiguration() {
  QByteArray ini = "[Mapa]\r\nNCiudades=15\r\n";
  const char* sections[] = {"Tamanios", "Hints", "Posiciones", "Ficheros"};
  for (const char* section : sections) {
    ini += QByteArray("[") + section + "]\r\n";
    for (int n = 1; n <= 15; ++n) {
      const QByteArray c = "Ciudad" + QByteArray::number(n);
      if (QByteArray(section) == "Tamanios") ini += c + "Ancho=40\r\n" + c + "Alto=30\r\n";
      if (QByteArray(section) == "Hints") ini += c + "=Ciudad de Ondravia n\xfamero " + QByteArray::number(n) + "\r\n";
      if (QByteArray(section) == "Posiciones")
        ini +=
            c + "X=" + QByteArray::number(200 + n * 20) + "\r\n" + c + "Y=" + QByteArray::number(100 + n * 15) + "\r\n";
      if (QByteArray(section) == "Ficheros") ini += c + "=seccion" + QByteArray::number(n) + ".html\r\n";
    }
  }
  return ini;
}

// The map's way: the count once, then each city opens the file again and reads its six values.
void BM_ReadFifteenCities(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.path() + QStringLiteral("/Configuracion.ini");
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(fullConfiguration());
  file.close();
  for (auto _ : state) {
    using vardel::platform::IniFile;
    const int count = IniFile::open(path).readInteger(QStringLiteral("Mapa"), QStringLiteral("NCiudades"), 1) & 0xFF;
    for (int n = 1; n <= 15 && (n == 1 || count > n - 1); ++n) {
      const IniFile ini = IniFile::open(path);
      const QString c = QStringLiteral("Ciudad") + QString::number(n);
      benchmark::DoNotOptimize(ini.readInteger(QStringLiteral("Tamanios"), c + QStringLiteral("Ancho"), 50));
      benchmark::DoNotOptimize(ini.readInteger(QStringLiteral("Tamanios"), c + QStringLiteral("Alto"), 50));
      benchmark::DoNotOptimize(ini.readString(QStringLiteral("Hints"), c, QStringLiteral(" ")));
      benchmark::DoNotOptimize(ini.readInteger(QStringLiteral("Posiciones"), c + QStringLiteral("X"), 0));
      benchmark::DoNotOptimize(ini.readInteger(QStringLiteral("Posiciones"), c + QStringLiteral("Y"), 0));
      benchmark::DoNotOptimize(ini.readString(QStringLiteral("Ficheros"), c, QStringLiteral(" ")));
    }
  }
}
BENCHMARK(BM_ReadFifteenCities)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

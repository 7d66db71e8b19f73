// The generator's plan: which file comes from which drawing or source.
#include "content/generator/generator.h"

#include "content/generator/articles.h"
#include "content/generator/cities.h"
#include "content/generator/ini.h"
#include "content/generator/map.h"
#include "content/generator/pictures.h"
#include "content/generator/terrain.h"
#include "content/generator/tune.h"
#include "content/generator/vignettes.h"
#include "platform/jpeg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>

#include <stdexcept>

namespace vardel::content {
namespace {

// Quality of the pictures: high enough that type and thin lines stay clean.
constexpr int kJpegQuality = 90;
constexpr int kSampleRate = 44100;

QByteArray jpeg(const QImage& image) {
  const QByteArray bytes = platform::encodeJpeg(image, kJpegQuality);
  if (bytes.isEmpty()) throw std::runtime_error("JPEG encoding failed");
  return bytes;
}

}  // namespace

void OutputFolder::write(const QString& relative, const QByteArray& bytes) {
  const QString path = root_ + QLatin1Char('/') + relative;
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    throw std::runtime_error("cannot create the folder of " + path.toStdString());
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    throw std::runtime_error("cannot write " + path.toStdString());
  }
  written_.append(relative);
}

void generateContent(const QString& sourceDir, OutputFolder& out) {
  for (const char* folder : {"/articles", "/music"}) {
    if (!QFileInfo(sourceDir + QLatin1String(folder)).isDir()) {
      throw std::runtime_error("no folder " + (sourceDir + QLatin1String(folder)).toStdString());
    }
  }
  // The pictures are only the same on every build with the same type: a substitute font
  // would quietly change every picture, so a missing one stops the build.
  for (const char* family : {"Liberation Serif", "Liberation Sans"}) {
    if (QFontInfo(QFont(QString::fromLatin1(family))).family() != QLatin1String(family)) {
      throw std::runtime_error(std::string("font missing: ") + family + " (package fonts-liberation)");
    }
  }
  const Terrain terrain;
  std::string offLand;
  for (const City& city : cities()) {
    if (!terrain.rectOnLand(city.hotspot, 3)) offLand += " " + city.name.toStdString();
  }
  out.write(QStringLiteral("Configuracion.ini"), configurationIni(cities()));
  out.write(QStringLiteral("Graficos/p3"), jpeg(renderMap(terrain, Mood::Day)));
  out.write(QStringLiteral("Graficos/p8"), jpeg(renderMap(terrain, Mood::Night)));
  out.write(QStringLiteral("Graficos/p5"), jpeg(renderSmallMap(terrain)));
  out.write(QStringLiteral("Graficos/p1"), jpeg(renderPublisherLogo()));
  out.write(QStringLiteral("Graficos/p2"), jpeg(renderCover()));
  out.write(QStringLiteral("Graficos/p4"), jpeg(renderCreditsBackground()));
  out.write(QStringLiteral("Graficos/p6"), jpeg(renderCdPanel()));
  out.write(QStringLiteral("Graficos/p9"), jpeg(renderMp3Panel()));
  for (const City& city : cities()) {
    out.write(QStringLiteral("Graficos/s%1").arg(city.number), jpeg(renderSectionPicture(city.number)));
  }
  writeArticles(sourceDir, out);

  QFile notes(sourceDir + QStringLiteral("/music/ondravia.notes"));
  if (!notes.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read the note list");
  const Score score = parseScore(notes.readAll());
  const Mp3Tags tags{QStringLiteral("Ondravia"), QStringLiteral("Ralvek's"), QStringLiteral("ONDRAVIA VARDEL 1"),
                     QStringLiteral("1999"), QStringLiteral("Tonada de bienvenida del muelle de Vardel")};
  out.write(QStringLiteral("Musica/Ondravia.mp3"), encodeMp3(synthesize(score, kSampleRate), kSampleRate, tags));
  if (!offLand.empty()) throw std::runtime_error("cities not well inside the island:" + offLand);
}

}  // namespace vardel::content

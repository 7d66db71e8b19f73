// The generated pictures: present, decodable, sized for their places, buttons painted under
// the program's hotspots, calm ground under the program's labels, cities on land.
#include "tests/content/content_support.h"

#include "platform/inifile.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <vector>

namespace vardel::test {
namespace {

struct Hotspot {
  const char* name;
  QRect rect;  // in the picture's own pixels
};

// The map window's fixed hotspots (the map shows p3/p8 at 0, 0).
const std::vector<Hotspot> kMapHotspots = {{"editor", {31, 528, 81, 28}},  {"close", {765, 1, 28, 25}},
                                           {"minimise", {733, 3, 28, 23}}, {"cd", {5, 565, 58, 27}},
                                           {"credits", {-1, 2, 140, 35}},  {"mp3", {67, 568, 65, 27}},
                                           {"game", {16, 480, 101, 41}}};

// The CD window's hotspots in client pixels; its picture lies at 2, 2.
const std::vector<Hotspot> kCdHotspots = {{"tray", {173, 252, 24, 22}},     {"next", {252, 128, 22, 22}},
                                          {"stop", {231, 128, 22, 21}},     {"play", {211, 128, 21, 20}},
                                          {"previous", {192, 129, 20, 19}}, {"close", {183, 265, 107, 27}}};
// The MP3 window's hotspots in client pixels; its picture lies at 3, 2.
const std::vector<Hotspot> kMp3Hotspots = {{"stop", {172, 162, 19, 20}},
                                           {"play", {194, 163, 20, 20}},
                                           {"pause", {215, 162, 18, 19}},
                                           {"open", {236, 162, 19, 21}},
                                           {"close", {187, 265, 102, 26}}};

std::vector<Hotspot> shifted(const std::vector<Hotspot>& hotspots, QPoint offset) {
  std::vector<Hotspot> out = hotspots;
  for (Hotspot& h : out) h.rect.translate(-offset);
  return out;
}

// A painted button fills its hotspot: its mean colour stands apart from the ground around it,
// and most of its pixels differ from that ground.
void expectButtonsUnderHotspots(const QImage& image, const std::vector<Hotspot>& hotspots) {
  for (const Hotspot& h : hotspots) {
    std::vector<QRect> others;
    for (const Hotspot& o : hotspots) {
      if (o.name != h.name) others.push_back(o.rect.adjusted(-1, -1, 1, 1));
    }
    const ColorStats inside = stats(image, h.rect);
    const ColorStats around = ringStats(image, h.rect, 3, others);
    ASSERT_GT(around.count, 0) << h.name;
    EXPECT_GT(colorDistance(inside, around), 40) << h.name;
    EXPECT_GT(fractionDifferent(image, h.rect, around, 30), 0.75) << h.name;
  }
}

// Ground under a black label: light and nearly plain.
void expectCalmLightArea(const QImage& image, const QRect& area, const char* what, double maxStdDev = 12) {
  const ColorStats s = stats(image, area);
  EXPECT_GT(s.meanLuminance, 200) << what;
  EXPECT_LT(s.luminanceStdDev, maxStdDev) << what;
}

TEST(Pictures, EveryPictureDecodesAtItsSize) {
  for (const char* name : {"p3", "p8", "p4", "p1", "p2"}) {
    const QImage image = picture(QString::fromLatin1(name));
    ASSERT_FALSE(image.isNull()) << name;
    EXPECT_EQ(image.size(), QSize(800, 600)) << name;
  }
  for (const char* name : {"p6", "p9"}) {
    const QImage image = picture(QString::fromLatin1(name));
    ASSERT_FALSE(image.isNull()) << name;
    EXPECT_EQ(image.size(), QSize(289, 292)) << name;
  }
  // The small map sits at 0, 0 above the section picture at 4, 121.
  const QImage small = picture(QStringLiteral("p5"));
  ASSERT_FALSE(small.isNull());
  EXPECT_GE(small.width(), 120);
  EXPECT_LE(small.width(), 140);
  EXPECT_LE(small.height(), 121);
  // Section pictures stay left of the article display at x 140 and above the clock at y 443.
  for (int n = 1; n <= 15; ++n) {
    const QImage section = picture(QStringLiteral("s%1").arg(n));
    ASSERT_FALSE(section.isNull()) << n;
    EXPECT_LE(4 + section.width(), 140) << n;
    EXPECT_LE(121 + section.height(), 438) << n;
  }
  // The program never asks for p7, and the pictures carry no extension.
  EXPECT_FALSE(QFileInfo::exists(programDir() + QStringLiteral("Graficos/p7")));
  EXPECT_FALSE(QFileInfo::exists(programDir() + QStringLiteral("Graficos/p3.jpg")));
}

TEST(Pictures, MapButtonsLieUnderTheirHotspotsByDayAndNight) {
  for (const char* name : {"p3", "p8"}) {
    SCOPED_TRACE(name);
    const QImage map = picture(QString::fromLatin1(name));
    ASSERT_FALSE(map.isNull());
    expectButtonsUnderHotspots(map, kMapHotspots);
  }
}

TEST(Pictures, PlayerButtonsLieUnderTheirHotspots) {
  const QImage cd = picture(QStringLiteral("p6"));
  const QImage mp3 = picture(QStringLiteral("p9"));
  ASSERT_FALSE(cd.isNull());
  ASSERT_FALSE(mp3.isNull());
  {
    SCOPED_TRACE("p6");
    expectButtonsUnderHotspots(cd, shifted(kCdHotspots, {2, 2}));
  }
  {
    SCOPED_TRACE("p9");
    expectButtonsUnderHotspots(mp3, shifted(kMp3Hotspots, {3, 2}));
  }
}

TEST(Pictures, LabelsOfTheProgramStandOnCalmGround) {
  const QImage map = picture(QStringLiteral("p3"));
  expectCalmLightArea(map, {5, 132, 124, 221}, "hint label");
  expectCalmLightArea(map, {43, 443, 60, 15}, "clock");
  const QImage logo = picture(QStringLiteral("p1"));
  expectCalmLightArea(logo, {330, 341, 130, 26}, "PRESENTA", 3);
  expectCalmLightArea(logo, {220, 451, 370, 38}, "title", 3);
  const QImage cover = picture(QStringLiteral("p2"));
  expectCalmLightArea(cover, {178, 569, 431, 16}, "status line", 3);
  const QImage credits = picture(QStringLiteral("p4"));
  expectCalmLightArea(credits, {231, 252, 320, 190}, "credits labels", 20);
  const QImage cd = picture(QStringLiteral("p6"));
  expectCalmLightArea(cd, QRect(155, 157, 127, 87).translated(-2, -2), "CD hint label");
  expectCalmLightArea(cd, QRect(186, 68, 96, 50).translated(-2, -2), "CD track display");
  const QImage mp3 = picture(QStringLiteral("p9"));
  expectCalmLightArea(mp3, QRect(121, 201, 165, 61).translated(-3, -2), "MP3 hint label");
}

TEST(Pictures, CreditsBackButtonLiesUnderItsHotspot) {
  const QImage credits = picture(QStringLiteral("p4"));
  ASSERT_FALSE(credits.isNull());
  expectButtonsUnderHotspots(credits, {{"volver", {448, 461, 85, 28}}});
}

// The cities as the program reads them, through its own INI reader.
std::vector<QRect> citiesFromIni() {
  const platform::IniFile ini = platform::IniFile::open(programDir() + QStringLiteral("Configuracion.ini"));
  std::vector<QRect> rects;
  const int count = ini.readInteger(QStringLiteral("Mapa"), QStringLiteral("NCiudades"), 1) & 0xFF;
  for (int n = 1; n <= std::min(count, 15); ++n) {
    const QString key = QStringLiteral("Ciudad%1").arg(n);
    rects.emplace_back(ini.readInteger(QStringLiteral("Posiciones"), key + QStringLiteral("X"), 0),
                       ini.readInteger(QStringLiteral("Posiciones"), key + QStringLiteral("Y"), 0),
                       ini.readInteger(QStringLiteral("Tamanios"), key + QStringLiteral("Ancho"), 50),
                       ini.readInteger(QStringLiteral("Tamanios"), key + QStringLiteral("Alto"), 50));
  }
  return rects;
}

TEST(Pictures, CitiesLieOnLandAwayFromButtonsAndTheProgramsColumn) {
  const std::vector<QRect> cities = citiesFromIni();
  ASSERT_EQ(cities.size(), 15u);
  for (const char* name : {"p3", "p8"}) {
    const QImage map = picture(QString::fromLatin1(name));
    ASSERT_FALSE(map.isNull());
    for (size_t i = 0; i < cities.size(); ++i) {
      const QRect& city = cities[i];
      int water = 0;
      for (int y = city.top(); y <= city.bottom(); ++y) {
        for (int x = city.left(); x <= city.right(); ++x) water += isWater(map.pixel(x, y));
      }
      EXPECT_EQ(water, 0) << name << " city " << i + 1;
    }
  }
  for (size_t i = 0; i < cities.size(); ++i) {
    const QRect& city = cities[i];
    EXPECT_TRUE(QRect(0, 0, 800, 600).contains(city)) << "city " << i + 1;
    // Right of the column where the hint label, small map and section pictures live.
    EXPECT_GE(city.left(), 140) << "city " << i + 1;
    EXPECT_GE(city.width(), 30) << "city " << i + 1;
    EXPECT_GE(city.height(), 30) << "city " << i + 1;
    for (const Hotspot& button : kMapHotspots) {
      EXPECT_FALSE(city.intersects(button.rect)) << "city " << i + 1 << " over " << button.name;
    }
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(city.intersects(cities[j])) << "cities " << j + 1 << ", " << i + 1;
  }
}

TEST(Pictures, NightMapShowsTheSameIsland) {
  const QImage day = picture(QStringLiteral("p3"));
  const QImage night = picture(QStringLiteral("p8"));
  ASSERT_FALSE(day.isNull());
  ASSERT_FALSE(night.isNull());
  int agree = 0, total = 0, land = 0;
  double dayLight = 0, nightLight = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 150; x < 800; ++x) {
      const bool dayWater = isWater(day.pixel(x, y));
      agree += dayWater == isWater(night.pixel(x, y));
      land += !dayWater;
      ++total;
      dayLight += qGray(day.pixel(x, y));
      nightLight += qGray(night.pixel(x, y));
    }
  }
  EXPECT_GT(double(agree) / total, 0.97);
  // An island, not a sea or a continent.
  EXPECT_GT(double(land) / total, 0.35);
  EXPECT_LT(double(land) / total, 0.8);
  // Another mood: the night is clearly darker.
  EXPECT_LT(nightLight, dayLight * 0.6);
}

}  // namespace
}  // namespace vardel::test

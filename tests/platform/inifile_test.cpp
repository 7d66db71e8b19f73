// INI reading: the value rules of the configuration file.
#include "platform/inifile.h"

#include "platform/paths.h"
#include "platform/textcodec.h"
#include "tests/support/test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

IniFile ini(const char* text) { return IniFile::fromBytes(QByteArray(text)); }

TEST(IniFile, SectionsAndKeysMatchWithoutRegardToCaseAndValuesAreTrimmed) {
  const IniFile f = ini("[Mapa]\r\nNCiudades = 3 \r\n[TAMANIOS]\r\n  ciudad1ancho\t=\t40\r\n");
  EXPECT_EQ(f.readInteger("mapa", "nciudades", 1), 3);
  EXPECT_EQ(f.readInteger("Tamanios", "Ciudad1Ancho", 50), 40);
  EXPECT_EQ(f.readString("Mapa", "NCiudades", "x"), "3");
}

TEST(IniFile, MissingFileSectionOrKeyGiveTheDefault) {
  const IniFile f = ini("[Mapa]\nNCiudades=3\n");
  EXPECT_EQ(f.readInteger("Mapa", "Otra", 1), 1);
  EXPECT_EQ(f.readString("Hints", "Ciudad1", " "), " ");
  const IniFile missing = IniFile::open(QStringLiteral("/no/such/folder/Configuracion.ini"));
  EXPECT_EQ(missing.readInteger("Mapa", "NCiudades", 1), 1);
  EXPECT_EQ(missing.readString("Ficheros", "Ciudad1", " "), " ");
}

TEST(IniFile, OnePairOfEnclosingQuotesIsRemoved) {
  const IniFile f =
      ini("[Hints]\nCiudad1=\"La capital\"\nCiudad2='Puerto'\nCiudad3=\"\"dos\"\"\n"
          "Ciudad4=\"sin cerrar\nCiudad5=\"mezcla'\nCiudad6=\"\n");
  EXPECT_EQ(f.readString("Hints", "Ciudad1", ""), "La capital");
  EXPECT_EQ(f.readString("Hints", "Ciudad2", ""), "Puerto");
  EXPECT_EQ(f.readString("Hints", "Ciudad3", ""), "\"dos\"");
  EXPECT_EQ(f.readString("Hints", "Ciudad4", ""), "\"sin cerrar");
  EXPECT_EQ(f.readString("Hints", "Ciudad5", ""), "\"mezcla'");
  EXPECT_EQ(f.readString("Hints", "Ciudad6", ""), "\"");
}

TEST(IniFile, TextValuesAreCutTo1023Characters) {
  QByteArray text = "[Hints]\nCiudad1=";
  text += QByteArray(2000, 'a');
  text += "\n";
  const IniFile f = IniFile::fromBytes(text);
  EXPECT_EQ(f.readString("Hints", "Ciudad1", "").size(), 1023);
  QByteArray huge = "[Hints]\nCiudad1=";
  huge += QByteArray(1024 * 1024, 'b');
  huge += "\r\n[Mapa]\r\nNCiudades=7\r\n";
  const IniFile big = IniFile::fromBytes(huge);
  EXPECT_EQ(big.readString("Hints", "Ciudad1", "").size(), 1023);
  EXPECT_EQ(big.readInteger("Mapa", "NCiudades", 1), 7);
}

TEST(IniFile, FirstSectionAndFirstKeyWinAndOddLinesAreSkipped) {
  const IniFile f = ini("NoSection=1\n[Mapa]\nNCiudades=4\nNCiudades=9\nsin igual\n; comentario\n[Mapa]\nOtra=2\n");
  EXPECT_EQ(f.readInteger("Mapa", "NCiudades", 1), 4);
  EXPECT_EQ(f.readInteger("Mapa", "Otra", 1), 1);
  EXPECT_EQ(f.readString("Mapa", "sin igual", "d"), "");
}

TEST(IniFile, ValuesDecodeAsUtf8WhenValidElseWindows1252) {
  QByteArray bytes = "[Hints]\r\nCiudad1=";
  bytes += encodeWindows1252(QStringLiteral("¡TUMBLO! Diseño"));
  bytes += "\r\nCiudad2=";
  bytes += QStringLiteral("¡TUMBLO! Diseño").toUtf8();
  bytes += "\r\n";
  const IniFile f = IniFile::fromBytes(bytes);
  EXPECT_EQ(f.readString("Hints", "Ciudad1", ""), QStringLiteral("¡TUMBLO! Diseño"));
  EXPECT_EQ(f.readString("Hints", "Ciudad2", ""), QStringLiteral("¡TUMBLO! Diseño"));
}

TEST(IniFile, NamesBeyondAsciiMatchWithoutRegardToCaseInEitherEncoding) {
  QByteArray bytes = "[Ficheros]\r\n";
  bytes += encodeWindows1252(QStringLiteral("Ciudád1")) + "=uno\r\n";
  bytes += QStringLiteral("Ñandú2").toUtf8() + "=dos\r\n";
  bytes += "CIUDAD3=tres\r\n";
  const IniFile f = IniFile::fromBytes(bytes);
  EXPECT_EQ(f.readString("Ficheros", QStringLiteral("CIUDÁD1"), "-"), "uno");
  EXPECT_EQ(f.readString("Ficheros", QStringLiteral("ñANDÚ2"), "-"), "dos");
  EXPECT_EQ(f.readString("ficheros", QStringLiteral("ciudad3"), "-"), "tres");
  EXPECT_EQ(f.readString("Ficheros", QStringLiteral("Ciudad1"), "-"), "-");  // an accent makes another letter
}

TEST(IniFile, AHundredThousandCitiesAreReadOnceAndTheFirstKeysStillWin) {
  QByteArray bytes = "[Mapa]\r\nNCiudades=100000\r\n[Posiciones]\r\n";
  for (int n = 1; n <= 100000; ++n) bytes += "Ciudad" + QByteArray::number(n) + "X=" + QByteArray::number(n) + "\r\n";
  bytes += "ciudad7x=repetida\r\n";
  QTemporaryDir dir;
  const IniFile f = IniFile::open(test::writeFile(dir.path(), QStringLiteral("Configuracion.ini"), bytes));
  EXPECT_EQ(f.readInteger("Mapa", "NCiudades", 1) & 0xFF, 160);
  EXPECT_EQ(f.readInteger("Posiciones", "Ciudad7X", 0), 7);
  EXPECT_EQ(f.readInteger("Posiciones", "CIUDAD100000X", 0), 100000);
  EXPECT_EQ(f.readInteger("Posiciones", "Ciudad100001X", -1), -1);
}

TEST(IniFile, BinaryGarbageNeverBreaksReading) {
  QByteArray garbage;
  for (int i = 0; i < 70000; ++i) garbage.append(char((i * 7919 + 13) % 256));
  garbage += "\n[Mapa]\nNCiudades=5\n";
  const IniFile f = IniFile::fromBytes(garbage);
  EXPECT_EQ(f.readInteger("Mapa", "NCiudades", 1), 5);
  const IniFile nul = IniFile::fromBytes(QByteArray("[Mapa]\nNCiudades=1\0002\n", 22));
  EXPECT_EQ(nul.readInteger("Mapa", "NCiudades", 9), 1);
}

TEST(IniFile, OpenReadsAFileNamedTheWindowsWay) {
  QTemporaryDir dir;
  test::writeFile(dir.path(), QStringLiteral("CONFIGURACION.INI"), "[Mapa]\r\nNCiudades=0x0F\r\n");
  const IniFile f = IniFile::open(dir.path() + QStringLiteral("/Configuracion.ini"));
  EXPECT_EQ(f.readInteger("Mapa", "NCiudades", 1), 15);
}

TEST(IniInteger, DecimalWithSign) {
  EXPECT_EQ(parseIniInteger("3", 1), 3);
  EXPECT_EQ(parseIniInteger("-10", 0), -10);
  EXPECT_EQ(parseIniInteger("+7", 0), 7);
  EXPECT_EQ(parseIniInteger("0", 1), 0);
  EXPECT_EQ(parseIniInteger("007", 1), 7);
  EXPECT_EQ(parseIniInteger("2147483647", 1), 2147483647);
  EXPECT_EQ(parseIniInteger("-2147483648", 1), std::numeric_limits<std::int32_t>::min());
}

TEST(IniInteger, Hexadecimal) {
  EXPECT_EQ(parseIniInteger("0x0F", 1), 15);
  EXPECT_EQ(parseIniInteger("0XfF", 1), 255);
  EXPECT_EQ(parseIniInteger("$10", 1), 16);
  EXPECT_EQ(parseIniInteger("-$10", 1), -16);
  EXPECT_EQ(parseIniInteger("$FFFFFFFF", 1), -1);
  EXPECT_EQ(parseIniInteger("0x80000000", 1), std::numeric_limits<std::int32_t>::min());
}

TEST(IniInteger, AnythingElseGivesTheDefault) {
  for (const char* bad : {"", "abc", "12abc", " 12", "12 ", "0x", "0X", "$", "-", "+", "0xG1", "1.5", "$1FFFFFFFF",
                          "2147483648", "-2147483649", "99999999999999999999", "0x-5", "--1", "0x 1"}) {
    EXPECT_EQ(parseIniInteger(QString::fromLatin1(bad), 42), 42) << bad;
  }
}

}  // namespace
}  // namespace vardel::platform

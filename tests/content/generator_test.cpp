// The generator's own pieces: the almanac's sky, article encodings, the INI writer, and the
// whole run (same bytes every time, its outputs checked against the build's list).
#include "tests/content/content_support.h"

#include "content/generator/almanac.h"
#include "content/generator/articles.h"
#include "content/generator/cities.h"
#include "content/generator/ini.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <stdexcept>

namespace vardel::test {
namespace {

using namespace vardel::content;

int minutes(const QDateTime& t) { return t.time().hour() * 60 + t.time().minute(); }

TEST(Almanac, MoonPhasesMatchTheRecordedOnesOf1999) {
  // Published times (UTC): full moon 2 Jan 1999 02:50, "blue moon" 31 Jan 16:07, new moon
  // of the total eclipse 11 Aug 1999 11:08; first quarter on 24 Mar 1999.
  const QDateTime full = julianDayToUtc(moonPhaseJde(-13, 2));
  EXPECT_EQ(full.date(), QDate(1999, 1, 2));
  EXPECT_NEAR(minutes(full), 2 * 60 + 50, 10);
  const QDateTime blue = julianDayToUtc(moonPhaseJde(-12, 2));
  EXPECT_EQ(blue.date(), QDate(1999, 1, 31));
  EXPECT_NEAR(minutes(blue), 16 * 60 + 7, 10);
  const QDateTime eclipse = julianDayToUtc(moonPhaseJde(-5, 0));
  EXPECT_EQ(eclipse.date(), QDate(1999, 8, 11));
  EXPECT_NEAR(minutes(eclipse), 11 * 60 + 8, 10);
  EXPECT_EQ(julianDayToUtc(moonPhaseJde(-10, 1)).date(), QDate(1999, 3, 24));
  EXPECT_LT(moonAge(QDate(1999, 8, 11)), 1.0);
  EXPECT_NEAR(moonAge(QDate(1999, 1, 2)), 14.8, 1.0);
}

TEST(Almanac, SunTimesMatchGreenwichAndFollowSummerTime) {
  // Greenwich at midsummer 1999: sunrise 04:43, sunset 21:21 British Summer Time.
  const SunTimes midsummer = sunTimes(QDate(1999, 6, 21), 51.4769, -0.0005);
  EXPECT_NEAR(midsummer.rise, 4 * 60 + 43, 3);
  EXPECT_NEAR(midsummer.set, 21 * 60 + 21, 3);
  // Midwinter: 08:04 and 15:53 Greenwich Mean Time.
  const SunTimes midwinter = sunTimes(QDate(1999, 12, 22), 51.4769, -0.0005);
  EXPECT_NEAR(midwinter.rise, 8 * 60 + 4, 3);
  EXPECT_NEAR(midwinter.set, 15 * 60 + 53, 3);
  // Summer time from the last Sunday of March to the last Sunday of October 1999.
  EXPECT_EQ(utcOffsetHours(QDate(1999, 3, 27)), 0);
  EXPECT_EQ(utcOffsetHours(QDate(1999, 3, 28)), 1);
  EXPECT_EQ(utcOffsetHours(QDate(1999, 10, 30)), 1);
  EXPECT_EQ(utcOffsetHours(QDate(1999, 10, 31)), 0);
}

TEST(Almanac, MonthTableHasOneRowADayAndItsEvents) {
  const QString february = almanacMonthTable(2);
  EXPECT_EQ(february.count(QStringLiteral("<tr bgcolor")), 1 + 28);  // the header and a row a day
  EXPECT_FALSE(february.contains(QStringLiteral("Luna llena")));     // 1999 had no full moon in February
  const QString january = almanacMonthTable(1);
  EXPECT_EQ(january.count(QStringLiteral("Luna llena")), 2);
  EXPECT_TRUE(january.contains(QStringLiteral("Reyes")));
}

TEST(ArticleSources, DeclaredEncodingDecidesTheStoredBytes) {
  const QString declared1252 =
      QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">año");
  const QString declaredUtf8 =
      QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">año");
  const QString undeclared = QStringLiteral("<html>año “comillas”</html>");
  EXPECT_EQ(declaredEncoding(declared1252), ArticleEncoding::Windows1252);
  EXPECT_EQ(declaredEncoding(declaredUtf8), ArticleEncoding::Utf8);
  EXPECT_EQ(declaredEncoding(undeclared), ArticleEncoding::Windows1252);
  EXPECT_TRUE(encodeArticle(declaredUtf8, QStringLiteral("a")).endsWith("a\xC3\xB1o"));
  EXPECT_TRUE(encodeArticle(declared1252, QStringLiteral("a")).endsWith("a\xF1o"));
  EXPECT_TRUE(encodeArticle(undeclared, QStringLiteral("a")).contains("\x93"));
  // A character the code page lacks must stop the build, not become '?'.
  EXPECT_THROW(encodeArticle(QStringLiteral("<p>flecha →</p>"), QStringLiteral("a")), std::runtime_error);
}

TEST(ArticleSources, AlmanacMarkersBecomeMonthTables) {
  const QString page = expandAlmanac(QStringLiteral("<h2>Enero</h2><!--ALMANAQUE:1--><p>fin</p>"));
  EXPECT_FALSE(page.contains(QStringLiteral("ALMANAQUE")));
  EXPECT_EQ(page.count(QStringLiteral("<tr bgcolor")), 1 + 31);
  EXPECT_TRUE(page.endsWith(QStringLiteral("<p>fin</p>")));
  EXPECT_THROW(expandAlmanac(QStringLiteral("<!--ALMANAQUE:13-->")), std::runtime_error);
  EXPECT_EQ(expandAlmanac(QStringLiteral("nada")), QStringLiteral("nada"));
}

TEST(ConfigurationWriter, RefusesHintsTheCodePageCannotHold) {
  std::vector<City> table = cities();
  EXPECT_NO_THROW(configurationIni(table));
  table[3].hint = QStringLiteral("Música ♫");
  EXPECT_THROW(configurationIni(table), std::runtime_error);
}

QString generatorPath() { return QStringLiteral(VARDEL_CONTENT_GENERATOR); }

TEST(GeneratorRun, WritesTheSameBytesAsTheBuildDid) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  // CPU time of the run, not wall time: the machine is shared and a busy neighbour must not
  // make the check flaky.
  const auto childCpuMs = [] {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
  };
  const long long cpuBefore = childCpuMs();
  QProcess run;
  QElapsedTimer clock;
  clock.start();
  run.start(generatorPath(),
            {QStringLiteral("--source"), QStringLiteral(VARDEL_SOURCE_DIR "/content"), QStringLiteral("--out"),
             out.path(), QStringLiteral("--expect"), QStringLiteral(VARDEL_CONTENT_OUTPUTS)});
  ASSERT_TRUE(run.waitForFinished(60000));
  const qint64 elapsed = clock.elapsed();
  const long long cpu = childCpuMs() - cpuBefore;
  ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
  std::printf("[ measured ] generator run: %lld ms wall, %lld ms CPU\n", static_cast<long long>(elapsed), cpu);
#if !defined(__SANITIZE_ADDRESS__)
  // Well inside the build's budget of 10 s (a sanitizer build is several times slower and
  // proves nothing about it).
  EXPECT_LT(cpu, 10000);
#endif
  int compared = 0;
  for (QDirIterator it(out.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    const QString path = it.next();
    const QString relative = QDir(out.path()).relativeFilePath(path);
    QFile fresh(path), built(programDir() + relative);
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly)) << relative.toStdString();
    EXPECT_TRUE(fresh.readAll() == built.readAll()) << relative.toStdString() << " differs between runs";
    ++compared;
  }
  EXPECT_GT(compared, 50);
}

TEST(GeneratorRun, FailsWhenItsOutputsDisagreeWithTheDeclaredList) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  QFile declared(QStringLiteral(VARDEL_CONTENT_OUTPUTS));
  ASSERT_TRUE(declared.open(QIODevice::ReadOnly));
  QByteArray list = declared.readAll();
  list.replace("Graficos/p9\n", "Graficos/p7\n");
  const QString listPath = out.filePath(QStringLiteral("list.txt"));
  QFile copy(listPath);
  ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
  copy.write(list);
  copy.close();
  QProcess run;
  run.start(generatorPath(),
            {QStringLiteral("--source"), QStringLiteral(VARDEL_SOURCE_DIR "/content"), QStringLiteral("--out"),
             out.filePath(QStringLiteral("folder")), QStringLiteral("--expect"), listPath});
  ASSERT_TRUE(run.waitForFinished(60000));
  EXPECT_EQ(run.exitCode(), 1);
  const QString errors = QString::fromUtf8(run.readAllStandardError());
  EXPECT_TRUE(errors.contains(QStringLiteral("written but not declared: Graficos/p9")));
  EXPECT_TRUE(errors.contains(QStringLiteral("declared but not written: Graficos/p7")));
}

TEST(GeneratorRun, ReportsAMissingSourceFolder) {
  QTemporaryDir out;
  QProcess run;
  run.start(generatorPath(),
            {QStringLiteral("--source"), out.filePath(QStringLiteral("nowhere")), QStringLiteral("--out"), out.path()});
  ASSERT_TRUE(run.waitForFinished(60000));
  EXPECT_EQ(run.exitCode(), 1);
  EXPECT_FALSE(run.readAllStandardError().isEmpty());
}

}  // namespace
}  // namespace vardel::test

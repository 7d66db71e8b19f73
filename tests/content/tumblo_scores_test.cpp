// Tumblo's records: reading damaged files, ordering, the table's limit, saving where it can.
#include "content/tumblo/scores.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace tumblo {
namespace {

TEST(TumbloScores, ReadsGoodLinesBestFirstAndSkipsTheRest) {
  const Scores scores = Scores::fromBytes(
      "120\t1\t2\tAna\n"
      "garbage line\n"
      "900\t3\t25\tIker Goñi\n"
      "-5\t1\t0\tNegativo\n"
      "50\t0\t1\tNivel cero\n"
      "77\t1\t1\n"
      "300\t2\t12\t\n");
  ASSERT_EQ(scores.records().size(), 3u);
  EXPECT_EQ(scores.records()[0].name, QStringLiteral("Iker Goñi"));
  EXPECT_EQ(scores.records()[0].level, 3);
  EXPECT_EQ(scores.records()[1].score, 300);
  EXPECT_EQ(scores.records()[1].name, QStringLiteral("Anónimo"));  // an empty name
  EXPECT_EQ(scores.records()[2].name, QStringLiteral("Ana"));
  // What it writes, it reads back the same.
  const Scores again = Scores::fromBytes(scores.toBytes());
  ASSERT_EQ(again.records().size(), 3u);
  EXPECT_EQ(again.records()[0].name, QStringLiteral("Iker Goñi"));
  EXPECT_EQ(again.records()[2].lines, 2);
}

TEST(TumbloScores, KeepsTheTenBestAndCleansNames) {
  Scores scores;
  for (int i = 1; i <= 10; ++i) EXPECT_GE(scores.add({QStringLiteral("J%1").arg(i), i * 100, 1, i}), 0);
  EXPECT_FALSE(scores.qualifies(100));  // ties with the last do not enter a full table
  EXPECT_FALSE(scores.qualifies(0));
  EXPECT_EQ(scores.add({QStringLiteral("Lento"), 50, 1, 0}), -1);
  EXPECT_EQ(scores.add({QStringLiteral("  Un\tnombre   larguísimo de verdad, de más de veinte  "), 550, 2, 11}), 5);
  ASSERT_EQ(scores.records().size(), size_t(kMaxRecords));
  EXPECT_EQ(scores.records().back().score, 200);
  const QString name = scores.records()[5].name;
  EXPECT_LE(name.size(), kMaxNameLength);
  EXPECT_FALSE(name.contains(QLatin1Char('\t')));
  EXPECT_TRUE(name.startsWith(QStringLiteral("Un nombre")));
  // A second record of an equal score goes after the first one.
  EXPECT_EQ(scores.add({QStringLiteral("Otra"), 550, 2, 11}), 6);
}

TEST(TumbloScores, SavesInTheFolderAndSurvivesAReadOnlyOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(QString::fromLatin1(kScoresFile));
  EXPECT_TRUE(Scores::load(path).records().empty());  // no file yet
  Scores scores;
  scores.add({QStringLiteral("Rosalía"), 4200, 4, 33});
  ASSERT_TRUE(scores.save(path));
  const Scores loaded = Scores::load(path);
  ASSERT_EQ(loaded.records().size(), 1u);
  EXPECT_EQ(loaded.records()[0].name, QStringLiteral("Rosalía"));
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  const QString locked = dir.filePath(QStringLiteral("disc"));
  ASSERT_TRUE(QDir().mkpath(locked));
  ASSERT_EQ(::chmod(locked.toLocal8Bit().constData(), 0555), 0);
  EXPECT_FALSE(scores.save(locked + QStringLiteral("/Tumblo.txt")));
  EXPECT_EQ(scores.records().size(), 1u);
  ::chmod(locked.toLocal8Bit().constData(), 0755);
}

TEST(TumbloScores, SaveFailsCleanlyWhenThePathIsAFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("Tumblo.txt"))));
  Scores scores;
  scores.add({QStringLiteral("Ana"), 10, 1, 0});
  EXPECT_FALSE(scores.save(dir.filePath(QStringLiteral("Tumblo.txt"))));
  // A huge or binary stranger in place of the file reads as an empty table.
  QFile junk(dir.filePath(QStringLiteral("junk")));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(200000, '\xFF'));
  junk.close();
  EXPECT_TRUE(Scores::load(dir.filePath(QStringLiteral("junk"))).records().empty());
}

}  // namespace
}  // namespace tumblo

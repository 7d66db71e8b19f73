// Our RTF as other programs read it: the one-character fallback of \uN as an escape of the
// closest Windows-1252 character, font names without foundries, and pandoc reading what we
// write as we read it ourselves.
#include "platform/richedit/richedit.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <vector>

namespace vardel::platform {
namespace {

// pandoc's plain-text reading of RTF bytes; empty when pandoc cannot run.
QString pandocText(const QByteArray& rtf) {
  QProcess pandoc;
  pandoc.start(QStringLiteral("pandoc"), {"-f", "rtf", "-t", "plain", "--wrap=none"});
  if (!pandoc.waitForStarted(30000)) return {};
  pandoc.write(rtf);
  pandoc.closeWriteChannel();
  if (!pandoc.waitForFinished(120000) || pandoc.exitCode() != 0) return {};
  return QString::fromUtf8(pandoc.readAllStandardOutput());
}

QStringList words(const QString& text) {
  static const QRegularExpression word(QStringLiteral("[^\\W_]+"), QRegularExpression::UseUnicodePropertiesOption);
  QStringList found;
  for (auto it = word.globalMatch(text); it.hasNext();) found << it.next().captured();
  return found;
}

// Words both texts hold in the same order (their longest common subsequence).
int wordsInCommon(const QStringList& a, const QStringList& b) {
  std::vector<int> row(size_t(b.size()) + 1, 0), next(row.size(), 0);
  for (qsizetype i = a.size() - 1; i >= 0; --i) {
    for (qsizetype j = b.size() - 1; j >= 0; --j)
      next[size_t(j)] = a[i] == b[j] ? row[size_t(j) + 1] + 1 : std::max(row[size_t(j)], next[size_t(j) + 1]);
    std::swap(row, next);
  }
  return row[0];
}

class Interchange : public ::testing::Test {
 protected:
  void SetUp() override { edit_.setFont(QFont(QStringLiteral("Arial"), 10)); }
  bool havePandoc() const { return !QStandardPaths::findExecutable(QStringLiteral("pandoc")).isEmpty(); }
  TRichEdit edit_;
};

TEST_F(Interchange, UnicodeFallbacksAreEscapesOfTheClosestWindows1252Character) {
  edit_.setLines({u"cafés y Жar őrt ł−x 日本 ｆ"_qs});
  const QByteArray written = edit_.toRtf();
  for (const char* escape :
       {"\\u1046\\'3f", "\\u337\\'6f", "\\u322\\'6c", "\\u8722\\'2d", "\\u26085\\'3f", "\\u26412\\'3f", "\\u-186\\'66"})
    EXPECT_TRUE(written.contains(escape)) << escape << "\n" << written.toStdString();
  EXPECT_TRUE(written.contains("caf\\'e9s"));
  EXPECT_FALSE(written.contains("?"));
  // A font of another code page reads \'hh in that code page: only ASCII stands in there.
  edit_.selectAll();
  edit_.selAttributes().setCharset(204);
  EXPECT_TRUE(edit_.toRtf().contains("caf\\u233\\'65s"));
  edit_.loadFromBytes(written);
  EXPECT_EQ(edit_.toPlainText(), u"cafés y Жar őrt ł−x 日本 ｆ");

  if (!havePandoc()) GTEST_SKIP() << "pandoc is not installed";
  EXPECT_EQ(pandocText(written).trimmed(), u"cafés y Жar őrt ł−x 日本 ｆ");
}

TEST_F(Interchange, TheFontTableNamesFamiliesWithoutTheirFoundry) {
  edit_.setLines({"uno"});
  edit_.selectAll();
  edit_.selAttributes().setName(QStringLiteral("C059 [UKWN]"));
  const QByteArray written = edit_.toRtf();
  EXPECT_TRUE(written.contains(" C059;}")) << written.toStdString();
  EXPECT_FALSE(written.contains("["));
}

TEST_F(Interchange, PandocReadsWhatWeWriteOfTheSamplesAsWeReadIt) {
  if (!havePandoc()) GTEST_SKIP() << "pandoc is not installed";
  int matched = 0, total = 0;
  for (const QString& name : QDir(QStringLiteral(VARDEL_SOURCE_DIR "/tests/data/rtf")).entryList({"*.rtf"})) {
    edit_.loadFromFile(QStringLiteral(VARDEL_SOURCE_DIR "/tests/data/rtf/") + name);
    const QStringList ours = words(edit_.toPlainText());
    const QStringList theirs = words(pandocText(edit_.toRtf()));
    ASSERT_FALSE(theirs.isEmpty()) << name.toStdString();
    matched += 2 * wordsInCommon(ours, theirs);
    total += int(ours.size() + theirs.size());
  }
  ASSERT_GT(total, 0);
  EXPECT_GE(100.0 * matched / total, 95.0);
}

}  // namespace
}  // namespace vardel::platform

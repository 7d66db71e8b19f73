// Program folder and the mapping of Windows-style content names.
#include "platform/paths.h"

#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path() + QLatin1Char('/');
  }
  void TearDown() override {
    overrideProgramFolder(QString());
    setContentFolder(QString());
  }
  QString make(const QString& relative) { return test::writeFile(dir_.path(), relative, "x"); }

  QTemporaryDir dir_;
  QString root_;
};

TEST(ProgramFolder, IsTheExecutablesRealFolderWithTrailingSlash) {
  const QString folder = programFolder();
  ASSERT_TRUE(folder.endsWith(QLatin1Char('/')));
  EXPECT_TRUE(QFileInfo(folder + QStringLiteral("platform_test")).exists()) << folder.toStdString();
}

TEST_F(PathsTest, OverrideAddsTheSeparatorAndEmptyRestores) {
  const QString real = programFolder();
  overrideProgramFolder(dir_.path());
  EXPECT_EQ(programFolder(), root_);
  overrideProgramFolder(QString());
  EXPECT_EQ(programFolder(), real);
}

TEST_F(PathsTest, AContentFolderMovesContentPathsButNeverTheInstallation) {
  const QString installation = installationFolder();
  setContentFolder(dir_.path());
  EXPECT_EQ(programFolder(), root_);
  EXPECT_EQ(contentPath(QStringLiteral("Graficos\\p1.")), root_ + QStringLiteral("Graficos/p1."));
  EXPECT_EQ(installationFolder(), installation);
  // A test's own program folder moves the installation, but a content folder still wins.
  QTemporaryDir other;
  overrideProgramFolder(other.path());
  EXPECT_EQ(installationFolder(), other.path() + QLatin1Char('/'));
  EXPECT_EQ(programFolder(), root_);
  setContentFolder(QString());
  EXPECT_EQ(programFolder(), other.path() + QLatin1Char('/'));
}

TEST_F(PathsTest, LiesInsideSeesThroughLinksAndDotsButNotNeighbours) {
  make(QStringLiteral("revista/Ficheros/a.htm"));
  make(QStringLiteral("revista2/b.htm"));
  ASSERT_TRUE(QFile::link(root_ + QStringLiteral("revista"), root_ + QStringLiteral("enlace")));
  const QString revista = root_ + QStringLiteral("revista");
  EXPECT_TRUE(liesInside(revista + QStringLiteral("/Ficheros/a.htm"), revista));
  EXPECT_TRUE(liesInside(revista + QStringLiteral("/nuevo.rtf"), revista + QLatin1Char('/')));
  EXPECT_TRUE(liesInside(root_ + QStringLiteral("enlace/Ficheros/nuevo.rtf"), revista));
  EXPECT_TRUE(liesInside(revista + QStringLiteral("/Ficheros/../x.rtf"), revista));
  EXPECT_FALSE(liesInside(revista + QStringLiteral("/../revista2/b.htm"), revista));
  EXPECT_FALSE(liesInside(root_ + QStringLiteral("revista2/b.htm"), revista));
  EXPECT_FALSE(liesInside(QString(), revista));
}

TEST_F(PathsTest, APersonsOwnFolderIsWritableAndNotADiscsRunFolder) {
  EXPECT_TRUE(isPersonsOwnFolder(dir_.path()));
  const QString run = root_ + QStringLiteral("run");
  make(QStringLiteral("run/") + QLatin1String(kDiscRunFolderMarker));
  EXPECT_FALSE(isPersonsOwnFolder(run));
  const QString copy = root_ + QStringLiteral("copia");
  ASSERT_TRUE(QDir().mkpath(copy));
  // Read-only, also for the administrator the tests may run as.
  ASSERT_TRUE(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
  EXPECT_FALSE(isPersonsOwnFolder(copy));
  QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_FALSE(isPersonsOwnFolder(root_ + QStringLiteral("ninguna")));
  EXPECT_FALSE(isPersonsOwnFolder(make(QStringLiteral("fichero"))));
}

TEST_F(PathsTest, BackslashesAndTheTrailingDotOfPictures) {
  const QString p8 = make(QStringLiteral("Graficos/p8"));
  overrideProgramFolder(root_);
  EXPECT_EQ(contentPath(QStringLiteral("Graficos\\p8.")), p8);
  EXPECT_EQ(nativePath(root_ + QStringLiteral("Graficos\\p8.")), p8);
  // A file that really has the dot keeps it.
  const QString dotted = make(QStringLiteral("Graficos/q1."));
  EXPECT_EQ(contentPath(QStringLiteral("Graficos\\q1.")), dotted);
}

TEST_F(PathsTest, ComponentsMatchWithoutRegardToCaseWhenTheExactNameIsAbsent) {
  const QString upper = make(QStringLiteral("GRAFICOS/P8"));
  const QString article = make(QStringLiteral("FICHEROS/Geografia.HTML"));
  overrideProgramFolder(root_);
  EXPECT_EQ(contentPath(QStringLiteral("Graficos\\p8.")), upper);
  EXPECT_EQ(contentPath(QStringLiteral("Ficheros\\geografia.html")), article);
  // The exact name wins when both exist.
  const QString exact = make(QStringLiteral("FICHEROS/geografia.html"));
  EXPECT_EQ(contentPath(QStringLiteral("FICHEROS\\geografia.html")), exact);
}

TEST_F(PathsTest, AMissingFileKeepsTheRestAsWritten) {
  make(QStringLiteral("Graficos/p1"));
  overrideProgramFolder(root_);
  EXPECT_EQ(contentPath(QStringLiteral("graficos\\nada\\p9.")), root_ + QStringLiteral("Graficos/nada/p9."));
  EXPECT_FALSE(QFileInfo::exists(contentPath(QStringLiteral("Graficos\\p7."))));
  EXPECT_EQ(contentPath(QStringLiteral("Ficheros\\ ")), root_ + QStringLiteral("Ficheros/ "));
}

TEST_F(PathsTest, TrailingSeparatorAndDotComponentsArePreserved) {
  make(QStringLiteral("Extras/Tumblo/Tumblo.exe"));
  overrideProgramFolder(root_);
  EXPECT_EQ(contentPath(QStringLiteral("extras\\tumblo\\")), root_ + QStringLiteral("Extras/Tumblo/"));
  EXPECT_EQ(contentPath(QStringLiteral("Extras\\.\\TUMBLO\\tumblo.EXE")),
            root_ + QStringLiteral("Extras/./Tumblo/Tumblo.exe"));
}

TEST_F(PathsTest, AProgramFolderOfFourHundredCharactersWorks) {
  QString deep = dir_.path();
  while (deep.size() < 400) deep += QStringLiteral("/carpeta_con_nombre_largo_") + QString::number(deep.size());
  ASSERT_TRUE(QDir().mkpath(deep));
  const QString picture = test::writeFile(deep, QStringLiteral("Graficos/p3"), "x");
  overrideProgramFolder(deep);
  ASSERT_GE(programFolder().size(), 400);
  EXPECT_EQ(contentPath(QStringLiteral("graficos\\P3.")), picture);
}

TEST_F(PathsTest, NonAsciiNamesMatchIgnoringCase) {
  const QString file = make(QStringLiteral("Ficheros/DISEÑO.html"));
  overrideProgramFolder(root_);
  EXPECT_EQ(contentPath(QStringLiteral("Ficheros\\diseño.html")), file);
}

}  // namespace
}  // namespace vardel::platform

// Confinement to the magazine's folder: "..", absolute names and links that leave it.
#include "platform/content_folder.h"

#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

class ContentFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    magazine_ = dir_.path() + QStringLiteral("/revista");
    test::writeFile(magazine_, QStringLiteral("Ficheros/geografia.html"), "<p>x</p>");
    test::writeFile(magazine_, QStringLiteral("Graficos/p1"), "x");
    beside_ = test::writeFile(dir_.path(), QStringLiteral("secreto.txt"), "secreto");
  }
  bool inside(const QString& relative) const {
    return insideFolder(magazine_ + QLatin1Char('/') + relative, magazine_);
  }
  void link(const QString& target, const QString& relative) const {
    ASSERT_TRUE(QFile::link(target, magazine_ + QLatin1Char('/') + relative)) << relative.toStdString();
  }

  QTemporaryDir dir_;
  QString magazine_, beside_;
};

TEST_F(ContentFolderTest, NamesInsideTheFolderExistingOrNot) {
  EXPECT_TRUE(inside(QStringLiteral("Ficheros/geografia.html")));
  EXPECT_TRUE(inside(QStringLiteral("Ficheros/../Graficos/p1")));
  EXPECT_TRUE(inside(QStringLiteral("Ficheros/no-existe.html")));
  EXPECT_TRUE(inside(QStringLiteral("nada/tampoco/p9")));
  EXPECT_TRUE(inside(QStringLiteral("./Ficheros//geografia.html")));
  EXPECT_TRUE(inside(QString()));  // the folder itself
  EXPECT_TRUE(insideFolder(magazine_ + QStringLiteral("/Graficos/p1"), magazine_ + QLatin1Char('/')));
}

TEST_F(ContentFolderTest, DotDotAbsoluteAndNeighbourNamesLeaveIt) {
  EXPECT_FALSE(inside(QStringLiteral("../secreto.txt")));
  EXPECT_FALSE(inside(QStringLiteral("Ficheros/../../secreto.txt")));
  EXPECT_FALSE(inside(QStringLiteral("Ficheros/../../../../../../etc/passwd")));
  EXPECT_FALSE(insideFolder(QStringLiteral("/etc/passwd"), magazine_));
  EXPECT_FALSE(insideFolder(beside_, magazine_));
  // A folder whose name begins like the magazine's is another folder.
  test::writeFile(dir_.path(), QStringLiteral("revista2/x.html"), "x");
  EXPECT_FALSE(inside(QStringLiteral("../revista2/x.html")));
  // ".." after a missing folder names nothing at all.
  EXPECT_FALSE(inside(QStringLiteral("nada/../Ficheros/geografia.html")));
}

TEST_F(ContentFolderTest, LinksAreFollowedBeforeJudging) {
  link(beside_, QStringLiteral("Ficheros/enlace.html"));
  link(dir_.path(), QStringLiteral("arriba"));
  link(magazine_ + QStringLiteral("/Graficos"), QStringLiteral("Ficheros/fotos"));
  link(dir_.path() + QStringLiteral("/aun-no-existe"), QStringLiteral("Ficheros/colgado.html"));
  EXPECT_FALSE(inside(QStringLiteral("Ficheros/enlace.html")));
  EXPECT_FALSE(inside(QStringLiteral("arriba/secreto.txt")));
  EXPECT_FALSE(inside(QStringLiteral("Ficheros/colgado.html")));
  EXPECT_TRUE(inside(QStringLiteral("Ficheros/fotos/p1")));
  // ".." after a link is taken from where the link leads, as the system takes it.
  EXPECT_FALSE(inside(QStringLiteral("arriba/revista/../secreto.txt")));
  EXPECT_TRUE(inside(QStringLiteral("Ficheros/fotos/../Ficheros/geografia.html")));
}

TEST_F(ContentFolderTest, AMissingOrEmptyFolderHoldsNothing) {
  EXPECT_FALSE(insideFolder(magazine_ + QStringLiteral("/Graficos/p1"), dir_.path() + QStringLiteral("/no-existe")));
  EXPECT_FALSE(insideFolder(magazine_ + QStringLiteral("/Graficos/p1"), QString()));
  EXPECT_FALSE(insideFolder(QString(), magazine_));
  EXPECT_TRUE(insideFolder(QStringLiteral("/etc/passwd"), QStringLiteral("/")));
}

TEST_F(ContentFolderTest, RealPathFollowsLinksAndKeepsMissingNames) {
  link(magazine_ + QStringLiteral("/Graficos"), QStringLiteral("Ficheros/fotos"));
  const QString real = QDir(magazine_).canonicalPath();
  EXPECT_EQ(realPath(magazine_ + QStringLiteral("/Ficheros/fotos/p1")), real + QStringLiteral("/Graficos/p1"));
  EXPECT_EQ(realPath(magazine_ + QStringLiteral("/Ficheros/fotos/nuevo/p2")),
            real + QStringLiteral("/Graficos/nuevo/p2"));
  EXPECT_EQ(realPath(QString()), QString());
}

}  // namespace
}  // namespace vardel::platform

// "file:" URLs in the forms the program, the viewer and the browser engine write.
#include "platform/file_url.h"

#include "tests/support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

class FileUrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.path();
    article_ = test::writeFile(root_, QStringLiteral("Ficheros/geografia.html"), "<p>x");
    spaced_ = test::writeFile(root_, QStringLiteral("Ficheros/mi artículo.html"), "<p>x");
    percent_ = test::writeFile(root_, QStringLiteral("Ficheros/100%.html"), "<p>x");
  }
  QTemporaryDir dir_;
  QString root_, article_, spaced_, percent_;
};

TEST_F(FileUrlTest, EveryFormOfTheSameFileResolvesToIt) {
  const QString windowsForm = QStringLiteral("file:") + root_ + QStringLiteral("/Ficheros\\geografia.html");
  for (const QString& url :
       {windowsForm, QStringLiteral("file:") + article_, QStringLiteral("file://") + article_,
        QStringLiteral("FILE:///") + article_.mid(1), QStringLiteral("file://localhost") + article_,
        QStringLiteral("file:file:") + article_, QStringLiteral("  file:") + article_ + QStringLiteral("  "),
        QStringLiteral("file:") + root_ + QStringLiteral("\\FICHEROS\\Geografia.HTML")}) {
    const FileUrl resolved = resolveFileUrl(url);
    EXPECT_EQ(resolved.path, article_) << url.toStdString();
    EXPECT_TRUE(resolved.fragment.isEmpty()) << url.toStdString();
  }
  EXPECT_TRUE(isFileUrl(QStringLiteral(" File:/x")));
  EXPECT_FALSE(isFileUrl(QStringLiteral("http://x/file:/y")));
}

TEST_F(FileUrlTest, BlanksEscapesAndAnchorsAreUnderstood) {
  const QString folder = root_ + QStringLiteral("/Ficheros/");
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file:") + folder + QStringLiteral("mi artículo.html")).path, spaced_);
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file://") + folder + QStringLiteral("mi%20art%C3%ADculo.html")).path,
            spaced_);
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file://") + folder + QStringLiteral("mi%20art%EDculo.html")).path, spaced_);
  // A literal '%' in a name works as written, and escaped.
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file:") + percent_).path, percent_);
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file://") + folder + QStringLiteral("100%25.html")).path, percent_);

  const FileUrl anchored = resolveFileUrl(QStringLiteral("file:///") + article_.mid(1) + QStringLiteral("#el%20clima"));
  EXPECT_EQ(anchored.path, article_);
  EXPECT_EQ(anchored.fragment, QStringLiteral("el clima"));
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file:") + article_ + QStringLiteral("?v=2")).path, article_);
}

TEST_F(FileUrlTest, RelativeNamesResolveAgainstTheirFolder) {
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file:Geografia.html"), root_ + QStringLiteral("/ficheros")).path, article_);
  const QString up =
      resolveFileUrl(QStringLiteral("file:..\\FICHEROS\\geografia.html"), root_ + QStringLiteral("/Ficheros")).path;
  EXPECT_EQ(QFileInfo(up).canonicalFilePath(), QFileInfo(article_).canonicalFilePath());
  // A name that begins with ':' is a file of that folder, not one of the program's resources.
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file::/qt-project.org/x"), root_).path,
            root_ + QStringLiteral("/:/qt-project.org/x"));
}

TEST_F(FileUrlTest, OtherSchemesAndRemoteHostsAreNotLocalFiles) {
  EXPECT_TRUE(resolveFileUrl(QStringLiteral("http://example.org/a.html")).path.isEmpty());
  EXPECT_TRUE(resolveFileUrl(QStringLiteral("about:blank")).path.isEmpty());
  EXPECT_TRUE(resolveFileUrl(QStringLiteral("file://servidor/compartido/a.html")).path.isEmpty());
  EXPECT_TRUE(resolveFileUrl(QString()).path.isEmpty());
  // A missing file still resolves: whether it exists is the caller's question.
  EXPECT_EQ(resolveFileUrl(QStringLiteral("file:") + root_ + QStringLiteral("/Ficheros/no.html")).path,
            root_ + QStringLiteral("/Ficheros/no.html"));
}

TEST(FileUrl, CanonicalFormIsTheEnginesForm) {
  EXPECT_EQ(fileUrlOf(QStringLiteral("/home/x/Ondravia/Ficheros/mi artículo.html")),
            QStringLiteral("file:///home/x/Ondravia/Ficheros/mi%20art%C3%ADculo.html"));
}

}  // namespace
}  // namespace vardel::platform

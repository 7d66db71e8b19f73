// Readers of outside data take regular files within their limits only, and never wait on
// anything else: a pipe, a device, a folder or an oversized file is refused at once.
#include "platform/regular_file.h"
#include "platform/inifile.h"
#include "platform/jpeg.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace vardel::platform {
namespace {

class RegularFiles : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    fifo_ = dir_.filePath(QStringLiteral("tuberia"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo_).constData(), 0600), 0);
    zeroLink_ = dir_.filePath(QStringLiteral("p8"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink_));
  }
  QTemporaryDir dir_;
  QString fifo_, zeroLink_;
};

TEST_F(RegularFiles, RegularFilesAndLinksToThemReadWhole) {
  const QString file = test::writeFile(dir_.path(), QStringLiteral("a.txt"), "contenido");
  const QString link = dir_.filePath(QStringLiteral("enlace"));
  ASSERT_TRUE(QFile::link(file, link));
  for (const QString& path : {file, link}) {
    FileRefusal why = FileRefusal::Unreadable;
    const std::optional<QByteArray> bytes = readRegularFile(path, 9, &why);
    ASSERT_TRUE(bytes) << path.toStdString();
    EXPECT_EQ(*bytes, "contenido");
    EXPECT_EQ(why, FileRefusal::None);
  }
  EXPECT_EQ(readRegularFile(test::writeFile(dir_.path(), QStringLiteral("vacio"), ""), 0), QByteArray(""));
}

TEST_F(RegularFiles, EverythingElseIsRefusedWithItsReason) {
  const QString dangling = dir_.filePath(QStringLiteral("roto"));
  ASSERT_TRUE(QFile::link(dir_.filePath(QStringLiteral("nada")), dangling));
  const QString folderLink = dir_.filePath(QStringLiteral("carpeta"));
  ASSERT_TRUE(QFile::link(dir_.path(), folderLink));
  const struct {
    QString path;
    FileRefusal why;
  } cases[] = {
      {dir_.filePath(QStringLiteral("no-existe")), FileRefusal::Missing},
      {dangling, FileRefusal::Missing},
      {QString(), FileRefusal::Missing},
      {dir_.path(), FileRefusal::NotRegular},
      {folderLink, FileRefusal::NotRegular},
      {zeroLink_, FileRefusal::NotRegular},
      {QStringLiteral("/dev/null"), FileRefusal::NotRegular},
      {fifo_, FileRefusal::NotRegular},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    EXPECT_EQ(checkRegularFile(c.path, kMaxPictureBytes), c.why);
    FileRefusal why = FileRefusal::None;
    QString error;
    EXPECT_TRUE(test::returnsWithoutWaitingOnAPipe(
        fifo_, [&] { EXPECT_FALSE(readRegularFile(c.path, kMaxPictureBytes, &why, &error)); }));
    EXPECT_EQ(why, c.why);
    EXPECT_FALSE(error.isEmpty());
  }
}

TEST_F(RegularFiles, AFileAboveTheLimitIsRefusedUnread) {
  const QString path = test::writeFile(dir_.path(), QStringLiteral("diez"), "0123456789");
  EXPECT_TRUE(readRegularFile(path, 10));
  FileRefusal why = FileRefusal::None;
  EXPECT_FALSE(readRegularFile(path, 9, &why));
  EXPECT_EQ(why, FileRefusal::TooLarge);
  // A sparse file far above the limit: refused from its size, never read.
  QFile huge(dir_.filePath(QStringLiteral("enorme")));
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(kMaxIniBytes + 1));
  huge.close();
  EXPECT_EQ(checkRegularFile(huge.fileName(), kMaxIniBytes), FileRefusal::TooLarge);
  EXPECT_FALSE(readRegularFile(huge.fileName(), kMaxIniBytes, &why));
  EXPECT_EQ(why, FileRefusal::TooLarge);
}

// The picture and configuration readers: a device or a pipe in a content file's place reads as
// a missing file, at once.
TEST_F(RegularFiles, PicturesAndTheConfigurationRefuseDevicesAndPipes) {
  for (const QString& path : {zeroLink_, fifo_, dir_.path()}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_TRUE(test::returnsWithoutWaitingOnAPipe(fifo_, [&] {
      QString error;
      EXPECT_TRUE(loadJpegFile(path, &error).isNull());
      EXPECT_FALSE(error.isEmpty());
      const IniFile ini = IniFile::open(path);
      EXPECT_EQ(ini.readInteger(QStringLiteral("Mapa"), QStringLiteral("NCiudades"), 1), 1);
    }));
  }
  // A picture above its limit: refused before decoding.
  QFile huge(dir_.filePath(QStringLiteral("s1")));
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.write("\xFF\xD8\xFF", 3) == 3 &&
              huge.resize(kMaxPictureBytes + 1));
  huge.close();
  QString error;
  EXPECT_TRUE(loadJpegFile(huge.fileName(), &error).isNull());
  EXPECT_EQ(error, QString::fromLatin1(refusalText(FileRefusal::TooLarge)));
}

}  // namespace
}  // namespace vardel::platform

// TRichEdit files: opening every kind of bad path, and saves that never destroy the previous
// file (a folder that refuses new files, a full disk through /dev/full).
#include "platform/richedit/richedit.h"

#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>

#include <csignal>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

// File permissions checked as the unprivileged "nobody" on this thread, also when the tests
// run as root (root is not refused by permission bits).
class AsNobody {
 public:
  AsNobody() : previous_(setfsuid(65534)) { setfsgid(65534); }
  ~AsNobody() {
    setfsuid(previous_);
    setfsgid(0);
  }

 private:
  int previous_;
};

// Qt's words for a system error, in the language of the installed translation.
QString systemError(int error) {
  switch (error) {
    case ENOENT:
      return QCoreApplication::translate("QIODevice", "No such file or directory");
    case EACCES:
      return QCoreApplication::translate("QIODevice", "Permission denied");
    case ENOSPC:
      return QCoreApplication::translate("QIODevice", "No space left on device");
    default:
      return QString::fromLocal8Bit(strerror(error));
  }
}

class RichEditFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
    edit_.setLines({"el texto de antes"});
    edit_.setModified(true);
  }
  QString path(const QString& name) const { return dir_.filePath(name); }
  // Loading must fail with a message naming the file and leave the text as it was.
  void expectLoadFails(const QString& file, const QString& reason) {
    try {
      edit_.loadFromFile(file);
      ADD_FAILURE() << "loaded " << file.toStdString();
    } catch (const std::runtime_error& e) {
      EXPECT_NE(QString::fromUtf8(e.what()).indexOf(file), -1) << e.what();
      EXPECT_NE(QString::fromUtf8(e.what()).indexOf(reason, 0, Qt::CaseInsensitive), -1) << e.what();
    }
    EXPECT_EQ(edit_.toPlainText(), "el texto de antes");
    EXPECT_TRUE(edit_.modified());
  }
  QTemporaryDir dir_;
  TRichEdit edit_;
};

TEST_F(RichEditFiles, BadPathsGiveAClearErrorAndKeepTheText) {
  expectLoadFails(dir_.path(), "folder");
  expectLoadFails(path("no-existe.rtf"), systemError(ENOENT));
  const QString locked = test::writeFile(dir_.path(), "cerrado.rtf", "{\\rtf1 secreto}");
  ::chmod(QFile::encodeName(locked).constData(), 0);
  {
    AsNobody nobody;
    expectLoadFails(locked, systemError(EACCES));
  }
  // A sparse file beyond the limit is refused before it is read.
  QFile huge(path("enorme.txt"));
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
  ASSERT_TRUE(huge.resize(TRichEdit::kMaxFileBytes + 1));
  huge.close();
  expectLoadFails(huge.fileName(), "larger than");
  expectLoadFails(QStringLiteral("/dev/zero"), "not a document file");
  // A pipe nobody writes to is refused, never waited on.
  const QString pipe = path("tuberia.rtf");
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  expectLoadFails(pipe, "not a document file");
}

TEST_F(RichEditFiles, EmptyBinaryAndTruncatedFilesLoad) {
  edit_.loadFromFile(test::writeFile(dir_.path(), "vacio.txt", ""));
  EXPECT_EQ(edit_.lineCount(), 0);
  EXPECT_FALSE(edit_.modified());
  QByteArray binary;
  for (int i = 0; i < 4096; ++i) binary.append(char(i * 7));
  edit_.loadFromFile(test::writeFile(dir_.path(), "binario.bin", binary));
  EXPECT_GT(edit_.document()->characterCount(), 1000);
  edit_.loadFromFile(test::writeFile(dir_.path(), "cortado.rtf", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 uno\\par do"));
  EXPECT_EQ(edit_.toPlainText(), "uno\ndo");
  // A plain-text file with a rich-text name is still plain text.
  edit_.loadFromFile(test::writeFile(dir_.path(), "texto.rtf", "solo texto"));
  EXPECT_EQ(edit_.toPlainText(), "solo texto");
}

TEST_F(RichEditFiles, SavingReplacesTheFileOnlyWhenTheNewOneIsComplete) {
  const QString target = test::writeFile(dir_.path(), "carta.rtf", "la carta de antes");
  ::chmod(QFile::encodeName(target).constData(), 0640);
  edit_.saveToFile(target);
  QFile saved(target);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray bytes = saved.readAll();
  EXPECT_TRUE(bytes.startsWith("{\\rtf1"));
  EXPECT_TRUE(bytes.contains("el texto de antes"));
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"carta.rtf"});  // nothing left beside it
  TRichEdit other;
  other.loadFromFile(target);
  EXPECT_EQ(other.toPlainText(), "el texto de antes");
}

TEST_F(RichEditFiles, AFolderThatRefusesNewFilesLeavesThePreviousFileIntact) {
  const QString target = test::writeFile(dir_.path(), "ro/carta.rtf", "la carta de antes");
  ::chmod(QFile::encodeName(target).constData(), 0666);
  ::chmod(QFile::encodeName(dir_.filePath("ro")).constData(), 0555);
  {
    AsNobody nobody;
    EXPECT_THROW(edit_.saveToFile(target), std::runtime_error);
    EXPECT_THROW(edit_.saveToFile(dir_.filePath("ro/nueva.rtf")), std::runtime_error);
  }
  ::chmod(QFile::encodeName(dir_.filePath("ro")).constData(), 0755);
  QFile kept(target);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "la carta de antes");
  EXPECT_EQ(QDir(dir_.filePath("ro")).entryList(QDir::Files), QStringList{"carta.rtf"});
}

// A disk that fills up in the middle of the save (here: a file-size limit that the new file
// reaches) is an error, and the previous file stays whole.
TEST_F(RichEditFiles, ADiskFillingUpDuringTheSaveLeavesThePreviousFileWhole) {
  const QString target = test::writeFile(dir_.path(), "carta.rtf", "la carta de antes");
  QStringList lines;
  for (int i = 0; i < 200; ++i) lines << QStringLiteral("una línea larga del documento número %1").arg(i);
  edit_.setLines(lines);
  struct rlimit previous {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = previous;
  limit.rlim_cur = 2000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  EXPECT_THROW(edit_.saveToFile(target), std::runtime_error);
  ::setrlimit(RLIMIT_FSIZE, &previous);
  ::signal(SIGXFSZ, previousHandler);
  QFile kept(target);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "la carta de antes");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"carta.rtf"});
}

TEST_F(RichEditFiles, AFullDiskAndOtherTargetsGiveAnError) {
  try {
    edit_.saveToFile(QStringLiteral("/dev/full"));
    ADD_FAILURE() << "saved to a full disk";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(QString::fromUtf8(e.what()).indexOf(systemError(ENOSPC)), -1) << e.what();
  }
  struct stat st {};
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device is still a device";
  EXPECT_THROW(edit_.saveToFile(dir_.path()), std::runtime_error);
  ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0644), 0);
  EXPECT_THROW(edit_.saveToFile(path("fifo")), std::runtime_error);  // refused, not blocked on
}

}  // namespace
}  // namespace vardel::platform

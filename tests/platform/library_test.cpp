// Loading libraries at run time.
#include "platform/library.h"

#include "platform/paths.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vardel::platform {
namespace {

const QString kAnswer = QStringLiteral(VARDEL_ANSWER_LIBRARY);

int call(const Library& library) {
  auto answer = library.resolveAs<int (*)()>("vardel_answer");
  return answer ? answer() : -1;
}

TEST(Library, LoadsByPathResolvesAndFrees) {
  Library library;
  ASSERT_TRUE(library.load(kAnswer)) << library.errorString().toStdString();
  EXPECT_TRUE(library.isLoaded());
  EXPECT_EQ(call(library), 42);
  EXPECT_EQ(library.resolve("no_such_symbol"), nullptr);
  EXPECT_TRUE(library.free());
  EXPECT_FALSE(library.isLoaded());
  EXPECT_FALSE(library.free());
  EXPECT_EQ(library.resolve("vardel_answer"), nullptr);
}

TEST(Library, ABareNameLooksInTheProgramFolderFirst) {
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::copy(kAnswer, dir.path() + QStringLiteral("/answer.dll")));
  overrideProgramFolder(dir.path());
  Library library;
  EXPECT_TRUE(library.load(QStringLiteral("answer.dll"))) << library.errorString().toStdString();
  EXPECT_EQ(call(library), 42);
  EXPECT_EQ(library.fileName(), dir.path() + QStringLiteral("/answer.dll"));
  overrideProgramFolder(QString());
}

TEST(Library, ABareNameFallsBackToTheSystemSearch) {
  Library library;
  EXPECT_TRUE(library.load(QStringLiteral("libm.so.6"))) << library.errorString().toStdString();
  EXPECT_NE(library.resolve("cos"), nullptr);
}

TEST(Library, FailuresKeepTheirErrorText) {
  QTemporaryDir dir;
  const QString notLibrary = test::writeFile(dir.path(), QStringLiteral("html.ocx"), "not an ELF file");
  Library library;
  EXPECT_FALSE(library.load(notLibrary));
  EXPECT_FALSE(library.errorString().isEmpty());
  EXPECT_FALSE(library.load(dir.path() + QStringLiteral("/missing.dll")));
  EXPECT_FALSE(library.isLoaded());
  EXPECT_FALSE(library.errorString().isEmpty());
}

TEST(Library, MovingTransfersOwnership) {
  Library a;
  ASSERT_TRUE(a.load(kAnswer));
  Library b(std::move(a));
  EXPECT_FALSE(a.isLoaded());  // NOLINT(bugprone-use-after-move): the moved-from state is the point
  EXPECT_EQ(call(b), 42);
  Library c;
  c = std::move(b);
  EXPECT_EQ(call(c), 42);
}

}  // namespace
}  // namespace vardel::platform

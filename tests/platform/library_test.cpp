// Loading libraries at run time.
#include "platform/library.h"

#include "platform/elf_layout.h"
#include "platform/paths.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>

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
  EXPECT_EQ(library.errorString(), QStringLiteral("La biblioteca %1 no exporta no_such_symbol").arg(kAnswer));
  EXPECT_TRUE(library.free());
  EXPECT_FALSE(library.isLoaded());
  EXPECT_FALSE(library.free());
  EXPECT_EQ(library.resolve("vardel_answer"), nullptr);
  EXPECT_TRUE(library.errorString().contains(QStringLiteral("vardel_answer")));
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

TEST(Library, NothingIsLoadedFromTheContentFolder) {
  QTemporaryDir installation, content;
  ASSERT_TRUE(QFile::copy(kAnswer, content.path() + QStringLiteral("/answer.dll")));
  ASSERT_TRUE(QFile::copy(kAnswer, content.path() + QStringLiteral("/libanswer.so")));
  overrideProgramFolder(installation.path());
  setContentFolder(content.path());
  Library library;
  // A bare name is not looked for beside the magazine, and a path into it is refused.
  EXPECT_FALSE(library.load(QStringLiteral("answer.dll")));
  EXPECT_FALSE(library.load(content.path() + QStringLiteral("/libanswer.so")));
  EXPECT_TRUE(library.errorString().contains(QStringLiteral("carpeta de la revista")));
  EXPECT_FALSE(library.load(content.path() + QStringLiteral("/./ANSWER.DLL")));
  // Nor through a link from elsewhere.
  ASSERT_TRUE(
      QFile::link(content.path() + QStringLiteral("/libanswer.so"), installation.path() + QStringLiteral("/x.so")));
  EXPECT_FALSE(library.load(installation.path() + QStringLiteral("/x.so")));
  // The installation's own copy loads.
  ASSERT_TRUE(QFile::copy(kAnswer, installation.path() + QStringLiteral("/answer.dll")));
  EXPECT_TRUE(library.load(QStringLiteral("answer.dll"))) << library.errorString().toStdString();
  EXPECT_EQ(library.fileName(), installation.path() + QStringLiteral("/answer.dll"));
  setContentFolder(QString());
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

// A copy of one of the program folder's libraries in `dir`, optionally stripped, cut to `size`
// bytes (a negative size keeps that many bytes fewer than half).
QString cutCopy(const QTemporaryDir& dir, const QString& name, bool strip, qint64 size) {
  const QString source = QStringLiteral(VARDEL_PROGRAM_DIR) + name;
  const QString copy = dir.filePath(name);
  QFile::remove(copy);
  if (strip) {
    if (QProcess::execute(QStringLiteral("strip"),
                          {QStringLiteral("--strip-all"), QStringLiteral("-o"), copy, source}) != 0)
      return {};
  } else if (!QFile::copy(source, copy)) {
    return {};
  }
  QFile file(copy);
  if (size < 0) size = file.size() / 2 + size;
  if (!file.resize(size)) return {};
  return copy;
}

// Where the last segment the loader maps ends in the file, read with the system's own header.
qint64 endOfLoadedSegments(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray bytes = file.readAll();
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.constData(), sizeof header);
  qint64 end = 0;
  for (int i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr segment;
    std::memcpy(&segment, bytes.constData() + header.e_phoff + i * sizeof segment, sizeof segment);
    if (segment.p_type == PT_LOAD) end = std::max<qint64>(end, qint64(segment.p_offset + segment.p_filesz));
  }
  return end;
}

struct CutCase {
  const char* library;
  bool strip;
  qint64 size;  // bytes kept; negative: that many fewer than half
};

class CutLibrary : public ::testing::TestWithParam<CutCase> {};

// A library cut short inside its loaded code, as a copy off a scratched disc often is: refused
// before it is mapped, never a fault inside the loader.
TEST_P(CutLibrary, IsALoadFailureFoundBeforeTheLoaderMapsIt) {
  const CutCase& c = GetParam();
  if (!QFile::exists(QStringLiteral(VARDEL_PROGRAM_DIR) + QLatin1String(c.library)))
    GTEST_SKIP() << c.library << " is not built here";
  QTemporaryDir dir;
  const QString copy = cutCopy(dir, QLatin1String(c.library), c.strip, c.size);
  ASSERT_FALSE(copy.isEmpty());
  Library library;
  EXPECT_FALSE(library.load(copy));
  EXPECT_FALSE(library.isLoaded());
  EXPECT_TRUE(library.errorString().startsWith(QStringLiteral("La biblioteca %1 está incompleta: ").arg(copy)))
      << library.errorString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(ProgramLibraries, CutLibrary,
                         ::testing::Values(CutCase{"mpegdll.dll", false, 30000}, CutCase{"mpegdll.dll", true, -1},
                                           CutCase{"html.ocx", false, 100000}, CutCase{"html.ocx", true, -1},
                                           CutCase{"webbrowser.so", false, 60000}, CutCase{"webbrowser.so", true, -1},
                                           CutCase{"mpegdll.dll", false, 40}, CutCase{"mpegdll.dll", false, 100}));

TEST(Library, OnlyWhatTheLoaderMapsMustBeWhole) {
  // Cutting off the section headers and debugging data that follow the loaded segments
  // leaves a library that loads and works.
  QTemporaryDir dir;
  const QString copy = dir.filePath(QStringLiteral("answer.dll"));
  ASSERT_TRUE(QFile::copy(kAnswer, copy));
  const qint64 end = endOfLoadedSegments(copy);
  ASSERT_GT(end, 0);
  ASSERT_LT(end, QFileInfo(copy).size());
  ASSERT_TRUE(QFile(copy).resize(end));
  Library library;
  ASSERT_TRUE(library.load(copy)) << library.errorString().toStdString();
  EXPECT_EQ(call(library), 42);
}

TEST(ElfLayout, HeadersThatPointOutsideTheFileAreProblems) {
  Elf64_Ehdr header{};
  std::memcpy(header.e_ident, ELFMAG, SELFMAG);
  header.e_ident[EI_CLASS] = ELFCLASS64;
  header.e_ident[EI_DATA] = ELFDATA2LSB;
  header.e_phoff = sizeof header;
  header.e_phentsize = sizeof(Elf64_Phdr);
  header.e_phnum = 1;
  const QByteArrayView bytes(reinterpret_cast<const char*>(&header), sizeof header);
  QString problem;
  ElfHeaderInfo info = readElfHeader(bytes, sizeof header + sizeof(Elf64_Phdr), &problem);
  EXPECT_TRUE(problem.isEmpty());
  EXPECT_EQ(info.programHeaderSize, sizeof(Elf64_Phdr));

  readElfHeader(bytes, sizeof header + 10, &problem);  // the table runs past the end
  EXPECT_FALSE(problem.isEmpty());
  readElfHeader(bytes.first(30), 30, &problem);  // the header itself is cut
  EXPECT_FALSE(problem.isEmpty());
  header.e_phoff = ~std::uint64_t(0) - 8;  // an offset that wraps around
  readElfHeader(bytes, 1 << 20, &problem);
  EXPECT_FALSE(problem.isEmpty());
  header.e_phoff = sizeof header;
  header.e_phentsize = 12;
  readElfHeader(bytes, 1 << 20, &problem);
  EXPECT_FALSE(problem.isEmpty());

  Elf64_Phdr segment{};
  segment.p_type = PT_LOAD;
  segment.p_offset = 4096;
  segment.p_filesz = 8192;
  const QByteArrayView table(reinterpret_cast<const char*>(&segment), sizeof segment);
  EXPECT_TRUE(checkElfSegments(info, table, 4096 + 8192).isEmpty());
  EXPECT_FALSE(checkElfSegments(info, table, 4096 + 8191).isEmpty());
  segment.p_filesz = ~std::uint64_t(0);
  EXPECT_FALSE(checkElfSegments(info, table, 1 << 20).isEmpty());
  segment.p_type = PT_GNU_STACK;  // nothing to load
  segment.p_filesz = 0;
  EXPECT_FALSE(checkElfSegments(info, table, 1 << 20).isEmpty());

  // Text is not ELF: left to the loader, which reads it without mapping it.
  EXPECT_FALSE(readElfHeader(QByteArrayView("no es una biblioteca"), 20, &problem).elf);
  EXPECT_TRUE(problem.isEmpty());
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

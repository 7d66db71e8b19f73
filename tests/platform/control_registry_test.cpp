// The per-user control class registry.
#include "platform/control_registry.h"

#include "platform/paths.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace vardel::platform {
namespace {

const QString kViewer = QLatin1String(kHtmlViewerClassId);
const QString kBrowser = QLatin1String(kWebBrowserClassId);

// Each test gets a data folder, a program folder and a home of its own.
class ControlRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedData_ = qgetenv("XDG_DATA_HOME");
    savedHome_ = qgetenv("HOME");
    qputenv("XDG_DATA_HOME", data_.path().toUtf8());
    overrideProgramFolder(program_.path());
  }
  void TearDown() override {
    qputenv("XDG_DATA_HOME", savedData_);
    qputenv("HOME", savedHome_);
    overrideProgramFolder(QString());
  }
  QTemporaryDir data_, program_;
  QByteArray savedData_, savedHome_;
};

TEST_F(ControlRegistryTest, ClassIdsAreCanonicalisedOrRejected) {
  EXPECT_EQ(canonicalClassId(QStringLiteral("{b7fc355e-8ce7-11cf-9754-00aa00c00908}")), kViewer);
  EXPECT_EQ(canonicalClassId(QStringLiteral(" B7FC355E-8CE7-11CF-9754-00AA00C00908 ")), kViewer);
  EXPECT_EQ(canonicalClassId(QStringLiteral("{B7FC355E-8CE7-11CF-9754-00AA00C00908")), QString());
  EXPECT_EQ(canonicalClassId(QStringLiteral("{B7FC355E-8CE7-11CF-9754-00AA00C0090}")), QString());
  EXPECT_EQ(canonicalClassId(QStringLiteral("{B7FC355E-8CE7-11CF-9754-00AA00C0090G}")), QString());
  EXPECT_EQ(canonicalClassId(QString()), QString());
}

TEST_F(ControlRegistryTest, RegistrationRoundTripsThroughTheFile) {
  EXPECT_EQ(controlRegistryFile(), data_.path() + QStringLiteral("/vardel/controls.reg"));
  EXPECT_EQ(registeredControl(kViewer), QString());
  QString error;
  ASSERT_TRUE(registerControl(QStringLiteral("{b7fc355e-8ce7-11cf-9754-00aa00c00908}"),
                              QStringLiteral("/opt/x/html.ocx"), &error))
      << error.toStdString();
  ASSERT_TRUE(
      registerControl(QStringLiteral("{11111111-2222-3333-4444-555555555555}"), QStringLiteral("/opt/y/other.so")));
  EXPECT_EQ(registeredControl(kViewer), QStringLiteral("/opt/x/html.ocx"));
  EXPECT_EQ(lookupControl(kViewer), QStringLiteral("/opt/x/html.ocx"));
  EXPECT_TRUE(QFile::exists(controlRegistryFile()));

  // A later registration replaces the earlier one; the other class stays.
  ASSERT_TRUE(registerControl(kViewer, QStringLiteral("/opt/z/html.ocx")));
  EXPECT_EQ(registeredControl(kViewer), QStringLiteral("/opt/z/html.ocx"));
  EXPECT_EQ(registeredControl(QStringLiteral("{11111111-2222-3333-4444-555555555555}")),
            QStringLiteral("/opt/y/other.so"));

  // Unregistering another copy's path leaves the entry; unregistering this one removes it.
  EXPECT_TRUE(unregisterControl(kViewer, QStringLiteral("/opt/x/html.ocx")));
  EXPECT_EQ(registeredControl(kViewer), QStringLiteral("/opt/z/html.ocx"));
  EXPECT_TRUE(unregisterControl(kViewer, QStringLiteral("/opt/z/html.ocx")));
  EXPECT_EQ(registeredControl(kViewer), QString());
  EXPECT_TRUE(unregisterControl(kViewer));  // nothing left: still a success
  EXPECT_EQ(registeredControl(QStringLiteral("{11111111-2222-3333-4444-555555555555}")),
            QStringLiteral("/opt/y/other.so"));
}

TEST_F(ControlRegistryTest, RelativePathsAreStoredAbsolute) {
  ASSERT_TRUE(registerControl(kViewer, QStringLiteral("html.ocx")));
  EXPECT_EQ(registeredControl(kViewer), QDir::current().absoluteFilePath(QStringLiteral("html.ocx")));
}

TEST_F(ControlRegistryTest, BadInputAndUnwritableFoldersFailWithAReason) {
  QString error;
  EXPECT_FALSE(registerControl(QStringLiteral("html"), QStringLiteral("/opt/x/html.ocx"), &error));
  EXPECT_TRUE(error.contains(QStringLiteral("html")));
  EXPECT_FALSE(
      registerControl(kViewer, QStringLiteral("/opt/x\n{B7FC355E-8CE7-11CF-9754-00AA00C00908}=/evil"), &error));
  EXPECT_EQ(registeredControl(kViewer), QString());
  EXPECT_FALSE(registerControl(kViewer, QString(), &error));

  // A data folder that is a file cannot hold the registry.
  const QString blocker = test::writeFile(data_.path(), QStringLiteral("file"), "x");
  qputenv("XDG_DATA_HOME", blocker.toUtf8());
  error.clear();
  EXPECT_FALSE(registerControl(kViewer, QStringLiteral("/opt/x/html.ocx"), &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST_F(ControlRegistryTest, DamagedLinesAreIgnoredAndTheLastEntryWins) {
  test::writeFile(data_.path(), QStringLiteral("vardel/controls.reg"),
                  "# comment\n"
                  "garbage line\n"
                  "{NOT-A-CLASS}=/x\n"
                  "{B7FC355E-8CE7-11CF-9754-00AA00C00908}=\n"
                  "{b7fc355e-8ce7-11cf-9754-00aa00c00908}=/first/html.ocx\n"
                  "  {B7FC355E-8CE7-11CF-9754-00AA00C00908} = /second/html.ocx  \r\n");
  EXPECT_EQ(registeredControl(kViewer), QStringLiteral("/second/html.ocx"));
}

TEST_F(ControlRegistryTest, WithoutXdgDataHomeTheRegistryLivesUnderHome) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  for (const char* value : {"", "relative/folder"}) {
    qputenv("XDG_DATA_HOME", value);
    EXPECT_EQ(controlRegistryFile(), home.path() + QStringLiteral("/.local/share/vardel/controls.reg"));
  }
  ASSERT_TRUE(registerControl(kViewer, QStringLiteral("/opt/x/html.ocx")));
  EXPECT_TRUE(QFile::exists(home.path() + QStringLiteral("/.local/share/vardel/controls.reg")));
}

TEST_F(ControlRegistryTest, ConcurrentRegistrationsLoseNothing) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < 10; ++i) {
        const QString id = QStringLiteral("{%1-0000-0000-0000-000000000000}").arg(t * 100 + i, 8, 10, QLatin1Char('0'));
        registerControl(id, QStringLiteral("/lib/%1.so").arg(t * 100 + i));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < 10; ++i) {
      const QString id = QStringLiteral("{%1-0000-0000-0000-000000000000}").arg(t * 100 + i, 8, 10, QLatin1Char('0'));
      EXPECT_EQ(registeredControl(id), QStringLiteral("/lib/%1.so").arg(t * 100 + i)) << id.toStdString();
    }
  }
}

TEST_F(ControlRegistryTest, TheBrowserIsFoundWithoutRegistrationBesideTheProgram) {
  // Not installed anywhere: absent (unless an installation put it in the system folder).
  const bool installed = QFile::exists(systemControlFolder() + QLatin1String(kWebBrowserLibrary));
  EXPECT_EQ(lookupControl(kBrowser).isEmpty(), !installed);
  EXPECT_TRUE(systemControlFolder().endsWith(QStringLiteral("/lib/vardel/")));

  const QString beside = test::writeFile(program_.path(), QLatin1String(kWebBrowserLibrary), "library");
  EXPECT_EQ(lookupControl(QStringLiteral("{8856f961-340a-11d0-a96b-00c04fd705a2}")), beside);

  // A registration wins while its file exists; a stale one falls back to the program folder.
  const QString elsewhere = test::writeFile(data_.path(), QStringLiteral("lib/browser.so"), "library");
  ASSERT_TRUE(registerControl(kBrowser, elsewhere));
  EXPECT_EQ(lookupControl(kBrowser), elsewhere);
  QFile::remove(elsewhere);
  EXPECT_EQ(lookupControl(kBrowser), beside);

  // The viewer, by contrast, is only ever where it was registered, even when stale.
  test::writeFile(program_.path(), QStringLiteral("html.ocx"), "library");
  EXPECT_EQ(lookupControl(kViewer), QString());
  ASSERT_TRUE(registerControl(kViewer, QStringLiteral("/gone/html.ocx")));
  EXPECT_EQ(lookupControl(kViewer), QStringLiteral("/gone/html.ocx"));
}

}  // namespace
}  // namespace vardel::platform

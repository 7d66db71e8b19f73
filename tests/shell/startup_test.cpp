// Start-up's registration of html.ocx when the map cannot be made: every failure with its own
// message, exactly one each, and the second attempt.
#include "shell/startup.h"
#include "platform/control_registry.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "shell/presenta_form.h"
#include "tests/shell/shell_fixture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace vardel {
namespace {

using test::ContentFolder;
using test::MessageRecorder;

const QString kViewer = QString::fromLatin1(platform::kHtmlViewerClassId);
const QString kFakes = QStringLiteral(VARDEL_BINARY_DIR "/tests/fakes/");

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() : folder_(test::kThreeCities, false) {}
  void TearDown() override {
    delete frmPresenta.data();
    delete frmMapa.data();
    ui::Application::instance().setCursor(ui::Cursor::crDefault);
  }
  // Puts one of the broken libraries (or the real one) into the program folder as html.ocx.
  void installOcx(const QString& source) {
    ASSERT_TRUE(QFile::copy(source, folder_.root() + QStringLiteral("html.ocx"))) << source.toStdString();
  }
  ContentFolder folder_;
  MessageRecorder messages_;
};

TEST_F(StartupTest, AnUnregisteredViewerIsRegisteredAndTheWindowsOpenWithoutAWord) {
  installOcx(QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx"));
  EXPECT_TRUE(prepareMagazine(Variant::Basic));
  EXPECT_TRUE(messages_.texts().isEmpty()) << messages_.texts().join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(frmMapa.isNull());
  EXPECT_FALSE(frmPresenta.isNull());
  EXPECT_EQ(platform::registeredControl(kViewer), folder_.root() + QStringLiteral("html.ocx"));
  EXPECT_EQ(ui::Application::instance().title(), QStringLiteral("VARDEL"));
}

// The opening's window is painted during the start-up, before the map and the opening's
// controls are made; the map is the main window all the same.
TEST_F(StartupTest, TheOpeningsFirstFrameComesBeforeTheRestAndTheMapIsTheMainWindow) {
  platform::registerControl(kViewer, QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx"));
  ASSERT_TRUE(prepareMagazine(Variant::Basic));
  ASSERT_FALSE(frmPresenta.isNull());
  EXPECT_TRUE(frmPresenta->firstFrameOnScreen());  // before the message loop ever ran
  EXPECT_EQ(ui::Application::instance().mainForm(), frmMapa.data());
  EXPECT_NE(frmPresenta->imgLogo, nullptr);
  EXPECT_TRUE(frmPresenta->tmControl->enabled());
}

TEST_F(StartupTest, AnAlreadyRegisteredViewerIsNeverLoadedByPath) {
  platform::registerControl(kViewer, QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx"));
  installOcx(kFakes + QStringLiteral("not-a-library/html.ocx"));  // loading this would fail
  EXPECT_TRUE(prepareMagazine(Variant::Basic));
  EXPECT_TRUE(messages_.texts().isEmpty());
  EXPECT_FALSE(frmMapa.isNull());
}

TEST_F(StartupTest, AMissingLibrarySaysSoAndEnds) {
  EXPECT_FALSE(prepareMagazine(Variant::Basic));
  EXPECT_EQ(messages_.texts(), QStringList{QStringLiteral("Error. No se encuentra el OCX")});
  EXPECT_TRUE(frmMapa.isNull());
  EXPECT_TRUE(frmPresenta.isNull());
}

TEST_F(StartupTest, ALibraryThatCannotLoadSaysSoAndEnds) {
  installOcx(kFakes + QStringLiteral("not-a-library/html.ocx"));
  EXPECT_FALSE(prepareMagazine(Variant::Basic));
  EXPECT_EQ(messages_.texts(), QStringList{QStringLiteral("Error al cargar el OCX")});
  EXPECT_TRUE(frmMapa.isNull());
}

TEST_F(StartupTest, ALibraryWithoutItsEntriesSaysSoAndEnds) {
  installOcx(kFakes + QStringLiteral("no-register/html.ocx"));
  EXPECT_FALSE(prepareMagazine(Variant::WebBrowser));
  EXPECT_EQ(messages_.texts(), QStringList{QStringLiteral("Fallo al cargar los procedimientos del OCX")});
  EXPECT_TRUE(frmMapa.isNull());
}

TEST_F(StartupTest, ARegistrationThatReportsFailureButWorkedStillOpensTheWindows) {
  installOcx(kFakes + QStringLiteral("register-fails/html.ocx"));
  EXPECT_TRUE(prepareMagazine(Variant::Basic));
  EXPECT_EQ(messages_.texts(), QStringList{QStringLiteral("No se ha podido realizar el registro")});
  EXPECT_FALSE(frmMapa.isNull());
  EXPECT_FALSE(frmPresenta.isNull());
}

TEST_F(StartupTest, AFailedSecondAttemptReportsTheErrorsOwnTextInTheBasicProgram) {
  installOcx(kFakes + QStringLiteral("no-factory/html.ocx"));
  EXPECT_FALSE(prepareMagazine(Variant::Basic));
  ASSERT_EQ(messages_.texts().size(), 1);
  EXPECT_NE(messages_.texts()[0], QStringLiteral("Debes instalar primero la versión 4.x del Internet Explorer"));
  EXPECT_FALSE(messages_.texts()[0].isEmpty());
  EXPECT_TRUE(frmMapa.isNull());
  EXPECT_TRUE(frmPresenta.isNull());
}

TEST_F(StartupTest, AFailedSecondAttemptAsksForTheBrowserInTheBrowserProgram) {
  installOcx(kFakes + QStringLiteral("no-factory/html.ocx"));
  EXPECT_FALSE(prepareMagazine(Variant::WebBrowser));
  EXPECT_EQ(messages_.texts(),
            QStringList{QStringLiteral("Debes instalar primero la versión 4.x del Internet Explorer")});
  EXPECT_TRUE(frmMapa.isNull());
}

}  // namespace
}  // namespace vardel

// Start-up on a screen that is not 800 by 600: the message, and an end without the map.
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "shell/presenta_form.h"
#include "shell/startup.h"
#include "tests/shell/shell_fixture.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace vardel {
namespace {

TEST(StartupScreen, AScreenOtherThan800x600GetsTheMessageAndTheProgramEndsWithoutTheMap) {
  test::ContentFolder folder;
  QStringList order;
  ui::Application::instance().setMessageHook([&](const ui::MessageRequest& r) { order << r.text; });
  QElapsedTimer clock;
  clock.start();
  const int code = runMagazine(Variant::Basic);
  EXPECT_LT(clock.elapsed(), 3000);  // the loop returned at once
  ASSERT_EQ(order.size(), 1);
  EXPECT_EQ(
      order[0],
      QStringLiteral("Tu sistema está configurado a 801x600. La resolución de pantalla debe ser de 800x600 píxeles."));
  // The remaining steps still ran, and the loop ended at its first turn.
  EXPECT_EQ(ui::Application::instance().title(), QStringLiteral("VARDEL"));
  EXPECT_TRUE(ui::Application::instance().terminated());
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(frmMapa.isNull());
}

}  // namespace
}  // namespace vardel

// GoogleTest main for widget tests: a QApplication on the offscreen platform (800x600 screen,
// from the environment ctest sets) with the application object installed.
#include "ui/application.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // As in the programs: the browser control, loaded later, shares GL contexts.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  vardel::ui::Application application;
  application.setTitle(QStringLiteral("VARDEL"));
  // A message box nobody expected fails the test instead of waiting for a click.
  application.setMessageHook([](const vardel::ui::MessageRequest& request) {
    ADD_FAILURE() << "unexpected message box: " << request.text.toStdString();
  });
  return RUN_ALL_TESTS();
}

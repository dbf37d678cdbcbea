// Runs every test program inside an application object on the offscreen platform, so that
// models, timers, icons and widgets behave as in the program without a display. The logic
// layers' tests get a QGuiApplication (they link no widget code), the desktop windows' tests a
// QApplication (built with PINBRO_TEST_WIDGETS).
#ifdef PINBRO_TEST_WIDGETS
#include <QApplication>
using CTestApplication = QApplication;
#else
#include <QGuiApplication>
using CTestApplication = QGuiApplication;
#endif

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  CTestApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

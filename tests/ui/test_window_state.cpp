// The main window's place: its first size fitted into the screen's available area, and the
// stored position, size and maximized state brought back inside the screen.
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "core/settings_store.h"
#include "support/temp_root.h"
#include "ui/window_state.h"

namespace {

// The frame's allowance: 32 pixels of title bar above, 4 pixels of border on the other sides.
TEST(WindowGeometry, FirstStartAndFittingStayInsideTheArea) {
  const struct {
    const char* name;
    QRect available;
    QRect expected;
  } firsts[] = {
      {"room for the whole window", {0, 0, 1280, 800}, {128, 64, 1024, 700}},
      {"a small screen: the area less the frame", {0, 0, 800, 480}, {4, 32, 792, 444}},
      {"a panel at the top of a second screen", {1920, 40, 1280, 760}, {2048, 84, 1024, 700}},
  };
  for (const auto& c : firsts) {
    const QRect geometry = FirstWindowGeometry(c.available);
    EXPECT_EQ(geometry, c.expected) << c.name;
    EXPECT_TRUE(c.available.contains(geometry)) << c.name;
  }
  const QRect area(0, 0, 1280, 800);
  const struct {
    const char* name;
    QRect wanted;
    QRect expected;
  } fits[] = {
      {"inside already", {100, 100, 600, 400}, {100, 100, 600, 400}},
      {"off the right and bottom", {1200, 700, 600, 400}, {676, 396, 600, 400}},
      {"far off on another screen gone", {5000, -3000, 600, 400}, {676, 32, 600, 400}},
      {"larger than the area", {-50, -50, 3000, 2000}, {4, 32, 1272, 764}},
  };
  for (const auto& c : fits) EXPECT_EQ(FitIntoArea(c.wanted, area), c.expected) << c.name;
}

TEST(WindowGeometry, StoredTextIsReadOnlyWhenWhole) {
  CWindowState state;
  ASSERT_TRUE(ParseWindowState("10,-20,800,600,1", &state));
  EXPECT_EQ(state.geometry, QRect(10, -20, 800, 600));
  EXPECT_TRUE(state.bMaximized);
  EXPECT_EQ(FormatWindowState(state), "10,-20,800,600,1");
  for (const char* bad : {"", "1,2,3,4", "1,2,3,4,5,6", "a,2,3,4,0", "1,2,0,4,0", "1,2,3,-4,0",
                          "1,2,3,4,2"})
    EXPECT_FALSE(ParseWindowState(bad, &state)) << bad;
}

class WindowStateTest : public test::TempRootAndHive {};

TEST_F(WindowStateTest, PlaceAndMaximizedStateComeBackOnScreen) {
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  {
    // Nothing stored: the first-start place.
    QMainWindow window;
    RestoreWindowState(&window);
    EXPECT_EQ(window.geometry(), FirstWindowGeometry(available));
    window.setGeometry(QRect(available.topLeft() + QPoint(40, 60), QSize(300, 200)));
    ASSERT_TRUE(SaveWindowState(&window));
  }
  {
    QMainWindow window;
    RestoreWindowState(&window);
    EXPECT_EQ(window.geometry(), QRect(available.topLeft() + QPoint(40, 60), QSize(300, 200)));
    EXPECT_FALSE(window.isMaximized());
  }
  // A place on a screen that is gone, maximized: brought onto this screen, maximized again.
  ASSERT_TRUE(WriteGlobalString("DesktopWindow", "9000,9000,300,200,1"));
  {
    QMainWindow window;
    RestoreWindowState(&window);
    EXPECT_TRUE(available.contains(window.geometry()));
    EXPECT_EQ(window.geometry().size(), QSize(300, 200));
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
  }
  // A value that is no place is taken for none.
  ASSERT_TRUE(WriteGlobalString("DesktopWindow", "garbage"));
  QMainWindow window;
  RestoreWindowState(&window);
  EXPECT_EQ(window.geometry(), FirstWindowGeometry(available));
}

}  // namespace

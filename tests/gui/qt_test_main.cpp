// The Qt window tests need one QApplication for the whole program, made before the first test.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // A death test starts the test program afresh rather than forking it: a forked child would share
  // the parent's window-system state.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // Always the offscreen platform: no display needed, and the same frame sizes everywhere.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}

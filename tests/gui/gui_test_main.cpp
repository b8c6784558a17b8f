// GoogleTest main for GUI tests: one QApplication on the offscreen platform for the whole run.
#include <gtest/gtest.h>

#include <cstdlib>
#include "app/velmora_application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  velmora::gui::TVelmoraApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// GoogleTest main for GUI tests: one QApplication on the offscreen platform for the whole run.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/velmora_application.h"
#include "dialog_guard.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  velmora::gui::TVelmoraApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  velmora::testing::InstallDialogGuard();
  return RUN_ALL_TESTS();
}

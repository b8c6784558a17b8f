#pragma once
// What the setup windows' tests share: the program's objects on a temporary store and registry,
// message boxes answered from a script, and a way to act on a modal dialog once it is shown.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QWidget>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "platform/configuration.h"
#include "platform/registry.h"
#include "records/match_info.h"
#include "server_fakes.h"
#include "stats/model.h"
#include "store/database_plugin.h"
#include "temp_folder.h"
#include "when_shown.h"

namespace velmora::testing {

// Saves a picture of the widget when VELMORA_SCREENSHOT_DIR names a folder, to look at by eye.
void SaveScreenshot(QWidget& widget, const char* name);

// Clicks the child button with the object name.
void Click(QWidget& window, const char* buttonName);

class SetupWindowTest : public ::testing::Test {
 protected:
  SetupWindowTest();
  ~SetupWindowTest() override;

  // Stores a local game of `players` players a team, with the actions when given.
  void StoreGame(const TMatchInfo& matchInfo, const TActionList* actions = nullptr);

  TTempFolder Temp;
  TRegistry Registry{Temp / "DravonES.json"};
  TConfiguration Config;
  TModel Model;
  TDatabasePlugin* Store = nullptr;  // owned by the model
  TRecordingUserInterface Ui;
  std::unique_ptr<TApp> App;
  std::unique_ptr<gui::TGuiContext> Context;
};

}  // namespace velmora::testing

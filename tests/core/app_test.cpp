#include "app/app.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/user_interface.h"
#include "game_builder.h"
#include "stats/model.h"
#include "temp_folder.h"

namespace velmora {
namespace {

class TFakeUserInterface final : public TUserInterface {
 public:
  void ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) override {
    Shown.push_back(std::string(title) + "|" + std::string(text) + "|" + (icon == TMessageIcon::Error ? "error" : "?"));
  }
  bool AskYesNo(std::string_view, std::string_view, TMessageIcon) override { return false; }
  TAnswer AskYesNoCancel(std::string_view, std::string_view, TMessageIcon, std::string_view, std::string_view) override {
    return TAnswer::Cancel;
  }
  std::vector<std::string> Shown;
};

// Records "n:kind" (":system" appended for system actions) and "n:destroyed", n counting senders.
class TFakeSender final : public TSender {
 public:
  TFakeSender(std::vector<std::string>& events, int number) : Events_(events), Number_(std::to_string(number)) {}
  ~TFakeSender() override { Events_.push_back(Number_ + ":destroyed"); }
  TEnqueueResult Enqueue(std::unique_ptr<TAction> action) override {
    Events_.push_back(Number_ + ":" + action->ShortName + (action->System ? ":system" : ""));
    return TEnqueueResult::Accepted;
  }

 private:
  std::vector<std::string>& Events_;
  std::string Number_;
};

class AppTest : public ::testing::Test {
 protected:
  AppTest() {
    testing::WriteFile(Folder / "program" / "messages_EN.txt", "Param_Made=Made\nGreeting=Hello#13there\n");
    testing::WriteFile(Folder / "program" / "messages_ES.txt", "Param_Made=Anotado\n");
  }
  std::unique_ptr<TApp> MakeApp(TUserInterface* userInterface) {
    return std::make_unique<TApp>(Model, Config, Registry, Folder / "program", userInterface);
  }
  void UseFakeSenders(TApp& app) {
    app.SetSenderFactory([this] { return std::make_unique<TFakeSender>(Events, ++SendersMade); });
  }

  testing::TTempFolder Folder;
  TConfiguration Config{Folder / "program"};
  TRegistry Registry{Folder / "config" / "DravonES.json"};
  TModel Model{Config};
  TFakeUserInterface UserInterface;
  std::vector<std::string> Events;
  int SendersMade = 0;
};

TEST_F(AppTest, MessagesComeFromTheReportLanguageFile) {
  Config.SetString("report_language", "FR");
  ASSERT_TRUE(Config.Save(Registry));  // the application object loads the settings itself
  auto app = MakeApp(&UserInterface);
  const std::string missing = (Folder / "program" / "messages_FR.txt").string();
  EXPECT_EQ(UserInterface.Shown, std::vector<std::string>{"Talvex Velmora|Failed to load messages from language file \"" +
                                                          missing + "\"|error"});
  EXPECT_EQ(app->Message("Param_Made"), "");

  app->SetString("report_language", "EN");
  EXPECT_TRUE(app->LoadMessages());
  EXPECT_EQ(app->Message("Param_Made"), "Made");
  EXPECT_EQ(app->Message("Greeting"), "Hello\rthere");
  app->SetString("report_language", "ES");
  EXPECT_TRUE(app->LoadMessages());
  EXPECT_EQ(app->Message("Param_Made"), "Anotado");
  EXPECT_EQ(app->Message("Greeting"), "");  // the table starts afresh
  EXPECT_EQ(UserInterface.Shown.size(), 1u);

  app->SetString("report_language", "XX");
  EXPECT_FALSE(app->LoadMessages());  // shown again at each failed load
  EXPECT_EQ(UserInterface.Shown.size(), 2u);
  EXPECT_EQ(app->Message("Param_Made"), "");
  app.reset();
  EXPECT_FALSE(MakeApp(nullptr)->LoadMessages());  // without a user interface it is only returned
}

TEST_F(AppTest, SettingsFacadeKnowsOnlyTheSettings) {
  auto app = MakeApp(&UserInterface);
  EXPECT_EQ(app->GetInt("no_of_quarters"), 4);
  app->SetInt("not_a_setting", 3);
  app->SetString("not_a_setting", "x");
  EXPECT_EQ(app->GetInt("not_a_setting"), -1);
  EXPECT_EQ(app->GetString("not_a_setting"), "");
  EXPECT_EQ(app->GetString("no_of_quarters"), "");  // an integer setting is no text setting
  EXPECT_EQ(app->GetInt("report_language"), -1);

  app->SetInt("quarter_duration", 12);
  app->SetString("eff_formula", "PT+RT");
  ASSERT_TRUE(app->SaveSettings());
  app.reset();
  TConfiguration reloaded(Folder / "program");
  TModel model(reloaded);
  TApp again(model, reloaded, Registry, Folder / "program", &UserInterface);
  EXPECT_EQ(again.GetInt("quarter_duration"), 12);
  EXPECT_EQ(again.GetString("eff_formula"), "PT+RT");
  EXPECT_FALSE(reloaded.HasInt("not_a_setting"));
}

TEST_F(AppTest, NewActionsAreStampedWithClockPeriodAndTime) {
  auto app = MakeApp(&UserInterface);
  EXPECT_EQ(app->NewAction("shot"), nullptr);  // the catalogue is loaded when a game opens
  app->LoadCatalogue();
  EXPECT_EQ(app->NewAction("no such kind"), nullptr);

  testing::TActionFactory factory;
  TActionList actions;
  actions.push_back(factory.Period(0, 1, "Start Game"));
  actions.push_back(factory.Period(600, 2, "Start"));
  Model.SetActions(std::move(actions));
  Model.Recompute();
  Model.MatchInfo.CurrentGameTime = EncodeTime(0, 13, 27);
  const TDateTime before = Now();
  const auto action = app->NewAction("shot");
  const TDateTime after = Now();
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->ShortName, "shot");
  EXPECT_EQ(action->GameTime, EncodeTime(0, 13, 27));
  EXPECT_EQ(action->Period, 2);
  EXPECT_GE(action->AstroTime, before - 1e-8);  // local date and time
  EXPECT_LE(action->AstroTime, after + 1e-8);
  EXPECT_NE(action->ID, app->NewAction("shot")->ID);
}

TEST_F(AppTest, StartSenderReplacesTheSenderAndSendsAClockMark) {
  auto app = MakeApp(&UserInterface);
  app->StartSender();  // no factory: nothing to start, nothing breaks
  EXPECT_EQ(app->Sender(), nullptr);
  UseFakeSenders(*app);
  app->StartSender();  // no catalogue: no clock mark
  app->LoadCatalogue();
  app->StopSender();
  EXPECT_EQ(app->Sender(), nullptr);
  app->Submit(app->NewAction("steal"));  // no sender: dropped

  app->StartSender();
  ASSERT_NE(app->Sender(), nullptr);
  app->Submit(app->NewAction("steal"));
  Model.ClockTick();  // the model's own actions go through the application object
  app->StartSender();
  app->StopSender();
  app->StopSender();
  Model.ClockTick();
  app->StartSender();
  app.reset();  // ends the sender and detaches the model
  Model.ClockTick();
  Model.SendClockMark();

  EXPECT_EQ(Events, (std::vector<std::string>{"1:destroyed", "2:clock:system", "2:steal", "2:clock", "2:destroyed",
                                              "3:clock:system", "3:destroyed", "4:clock:system", "4:destroyed"}));
}

}  // namespace
}  // namespace velmora

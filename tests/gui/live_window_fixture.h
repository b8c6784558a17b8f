#pragma once
// The live window on a real game store in a temporary folder: rosters of twelve (shirts 4 to 15),
// a real sender (TQueue) posting to the window, a clock beaten by hand, and message boxes answered
// from a script. Every action the sender takes is recorded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "game_builder.h"
#include "live/casting_form.h"
#include "manual_clock_timer.h"
#include "platform/configuration.h"
#include "platform/registry.h"
#include "server_fakes.h"
#include "serverlink/sender.h"
#include "stats/model.h"
#include "temp_folder.h"

namespace velmora {
class TDatabasePlugin;
class TInternetPlugin;
class TQueue;
}  // namespace velmora

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace velmora::gui::testing {

using velmora::testing::TActionFactory;
using velmora::testing::TRecordingUserInterface;

// Passes everything on to the real sender and remembers what it took, with its defaults and the
// wall-clock time the sender stamped on it.
class TRecordingSender final : public TSender {
 public:
  TRecordingSender(std::unique_ptr<TSender> inner, const TModel& model) : Inner_(std::move(inner)), Model_(model) {}
  TEnqueueResult Enqueue(std::unique_ptr<TAction> action) override;
  void AttachHistoryList(THistoryList* history) override { Inner_->AttachHistoryList(history); }
  const TAction* FindHistoryAction(const std::string& id) const override { return Inner_->FindHistoryAction(id); }
  const TAction* FindFollowUpAction(const std::string& id, const std::string& kind) const override {
    return Inner_->FindFollowUpAction(id, kind);
  }
  std::vector<const TAction*> HistoryActions() const override { return Inner_->HistoryActions(); }
  TSendingState SendingState() const override { return Inner_->SendingState(); }
  void SetStateListener(std::function<void(const TSendingState&)> listener) override {
    Inner_->SetStateListener(std::move(listener));
  }
  void Resume() override { Inner_->Resume(); }

  // "kind" of every action taken, ":system" appended for system actions.
  std::vector<std::string> Kinds() const;
  TActionList Taken;

 private:
  std::unique_ptr<TSender> Inner_;
  const TModel& Model_;
};

// The real store, refusing to store actions while `Fail` is set (a full disk, a locked database).
class TFlakyStore final : public TGameStore {
 public:
  explicit TFlakyStore(std::unique_ptr<TGameStore> inner) : Inner_(std::move(inner)) {}
  bool LoadMatchInfo(std::string_view game, TMatchInfo& matchInfo) override {
    return Inner_->LoadMatchInfo(game, matchInfo);
  }
  bool LoadActions(std::string_view game, TActionList& actions) override { return Inner_->LoadActions(game, actions); }
  bool StoreAction(TMatchInfo& matchInfo, const TAction& action) override {
    return !Fail && Inner_->StoreAction(matchInfo, action);
  }
  TStatus StoreMatchInfo(const TMatchInfo& matchInfo) override { return Inner_->StoreMatchInfo(matchInfo); }

  bool Fail = false;

 private:
  std::unique_ptr<TGameStore> Inner_;
};

class LiveWindowTest : public ::testing::Test {
 protected:
  LiveWindowTest();
  ~LiveWindowTest() override;

  // Stores game "G-1" with both rosters and the given actions.
  void StoreGame(const TActionList& actions, std::uint8_t availability = kLocalOnly);
  // Starting lineups at 0:00: shirts 4 to 3 + n of each team.
  TActionList Lineups(int team1, int team2);
  // Five a side on court, the game started, then `extra`.
  TActionList StartedGame(TActionList extra = {});
  // Stores that game and opens it.
  void OpenStartedGame(TActionList extra = {});
  // Opens the stored game as the game selection window would (without showing it modally).
  TCastingForm& Open();
  // Closes the window without questions and stops the sender.
  void CloseWindow();

  // Submits an action as the entry would, and redraws what it changes.
  void Enter(std::unique_ptr<TAction> action);
  void Tick(int beats);
  // Lets posted work and layout requests run.
  void Settle();
  // Waits until the sender has dealt with everything entered, then lets its marks and reloads run.
  void WaitUntilSent();

  template <typename T>
  T* Find(const char* name) const {
    T* found = Window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void Click(const char* buttonName);
  void Trigger(const char* actionName);
  QString TextOf(const char* name) const;
  bool Shown(const char* name) const;
  bool Enabled(const char* name) const;
  // Kinds the sender took since the last call.
  std::vector<std::string> TakenKinds();
  // The kinds of the game's actions in the store, in their order.
  std::vector<std::string> StoredKinds();

  velmora::testing::TTempFolder Folder;
  TRegistry Registry;
  TConfiguration Config;
  TModel Model;
  TDatabasePlugin* Store = nullptr;  // owned by the model, behind Flaky
  TFlakyStore* Flaky = nullptr;
  TRecordingUserInterface Ui;
  std::unique_ptr<TApp> App;
  std::unique_ptr<TGuiContext> Context;
  TActionFactory Make;
  std::unique_ptr<TCastingForm> Window;
  TManualClockTimer* Timer = nullptr;  // owned by the window
  TRecordingSender* Sender = nullptr;  // owned by the application object
  TQueue* Queue = nullptr;             // inside Sender
  TInternetPlugin* Server = nullptr;   // the server client of an online game
  std::size_t KindsSeen_ = 0;
};

// Saves a picture of the widget when VELMORA_SCREENSHOT_DIR names a folder, to look at by eye.
void SaveScreenshot(QWidget& widget, const char* name);

}  // namespace velmora::gui::testing

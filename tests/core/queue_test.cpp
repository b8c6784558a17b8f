// The live sender: what the operator sees in the history list, what the local store gets, and what
// reaches a loopback server, with the test thread playing the user interface thread.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>

#include <pugixml.hpp>

#include "game_builder.h"
#include "loopback_http_server.h"
#include "platform/configuration.h"
#include "platform/user_interface.h"
#include "protocol/form_encoding.h"
#include "records/date_time.h"
#include "records/message_source.h"
#include "server_fakes.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/queue.h"
#include "stats/model.h"
#include "wait_until.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

class TRecordingStore final : public TGameStore {
 public:
  bool LoadMatchInfo(std::string_view, TMatchInfo&) override { return true; }
  bool LoadActions(std::string_view, TActionList&) override { return true; }
  bool StoreAction(TMatchInfo&, const TAction& action) override {
    Stored.push_back(action.Clone());
    return Accepts;
  }
  TStatus StoreMatchInfo(const TMatchInfo&) override { return {}; }

  TActionList Stored;
  bool Accepts = true;
};

class QueueTest : public ::testing::Test {
 protected:
  QueueTest() {
    Model.MatchInfo = MakeMatchInfo(12);
    auto store = std::make_unique<TRecordingStore>();
    Store = store.get();
    Model.SetStore(std::move(store));
    Client.SetServerUrl(Server.Url("/"));
    Client.SetSession("{s}");
    Client.SetRetryPause(2ms);
  }

  void Start(std::uint8_t availability, std::chrono::milliseconds period) {
    Model.MatchInfo.Availability = availability;
    Queue = std::make_unique<TQueue>(Model, &Client, Ui, Messages, period);
    Queue->AttachHistoryList(&History);
  }
  TEnqueueResult Enqueue(const std::unique_ptr<TAction>& action) { return Queue->Enqueue(action->Clone()); }
  // Waits until the sending thread has dealt with everything entered.
  void WaitUntilSent() { ASSERT_TRUE(WaitUntil([&] { return Queue->PendingCount() == 0; })); }
  // Waits until the sending thread has made its first pass and waits for the next.
  void WaitForFirstPass() { ASSERT_TRUE(WaitUntil([&] { return Queue->Passes() >= 1; })); }
  // Enters the actions after the first pass, and the next pass takes them all in one batch.
  template <typename... TActions>
  void EnterInOneBatch(const TActions&... actions) {
    WaitForFirstPass();
    (Enqueue(actions), ...);
    Queue->SendNow();
  }
  void Drain() {
    WaitUntilSent();
    Ui.RunPosted();
  }
  std::vector<std::string> Kinds() const { return History.Kinds(); }
  std::vector<bool> Marks() const { return History.Marks(); }
  // The ID and entry time of every ACTION of a live batch.
  static std::vector<std::pair<std::string, std::string>> ActionsOf(const TLoopbackRequest& request) {
    std::vector<std::pair<std::string, std::string>> actions;
    const TFormFields fields = ParseFormText(request.Body);
    pugi::xml_document document;
    if (const std::string* text = FindField(fields, "action")) document.load_string(text->c_str());
    for (const auto& element : document.child("ACTIONS").children("ACTION")) {
      actions.emplace_back(element.attribute("ID").value(), element.attribute("AstroTime").value());
    }
    return actions;
  }
  static std::vector<std::string> IdsOf(const TLoopbackRequest& request) {
    std::vector<std::string> ids;
    for (const auto& [id, time] : ActionsOf(request)) ids.push_back(id);
    return ids;
  }
  // Every live batch the server received, batch by batch.
  std::vector<std::vector<std::pair<std::string, std::string>>> Batches() const {
    std::vector<std::vector<std::pair<std::string, std::string>>> batches;
    for (const auto& request : Server.Requests()) batches.push_back(ActionsOf(request));
    return batches;
  }
  std::vector<std::vector<std::string>> BatchIds() const {
    std::vector<std::vector<std::string>> batches;
    for (const auto& request : Server.Requests()) batches.push_back(IdsOf(request));
    return batches;
  }

  TConfiguration Config{"/opt/velmora"};
  TModel Model{Config};
  TRecordingStore* Store = nullptr;
  TManualUiThread Ui;
  TNoMessages Messages;
  TRecordingHistory History;
  TActionFactory Make;
  std::atomic<bool> ServerRefuses{false};
  // Answers each batch the server is sent, when set before the queue starts; the server takes it
  // otherwise.
  std::function<TLoopbackReply(const std::vector<std::string>& ids)> Verdict;
  TLoopbackHttpServer Server{[this](const TLoopbackRequest& request) {
    if (ServerRefuses) return TLoopbackReply::Text("busy", 500);
    return Verdict ? Verdict(IdsOf(request)) : TLoopbackReply::Text("OK");
  }};
  TInternetPlugin Client{Config, nullptr};
  std::unique_ptr<TQueue> Queue;  // last: stopped before anything it uses goes
};

TEST_F(QueueTest, LocalGameMakesNoRequestYetConsumesItsPendingListEveryPeriod) {
  Start(kLocalOnly, 5ms);
  auto clockMark = Make.Make("clock", 0, {});
  clockMark->System = true;
  EXPECT_EQ(Enqueue(clockMark), TEnqueueResult::Accepted);
  EXPECT_EQ(Enqueue(Make.Shot(10, 1, 4, "Made", 2)), TEnqueueResult::Accepted);
  EXPECT_EQ(Enqueue(Make.Foul(12, 2, 5, 4)), TEnqueueResult::Accepted);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false}));
  Drain();
  EXPECT_EQ(Enqueue(Make.Rebound(14, 1, 6, false)), TEnqueueResult::Accepted);
  Drain();

  EXPECT_EQ(Kinds(), (std::vector<std::string>{"reb", "foul", "shot"}));
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(Server.RequestCount(), 0u);
  EXPECT_EQ(Model.Actions().size(), 3u);
}

TEST_F(QueueTest, OnlineLinesKeepTheNotSentMarkUntilTheServerTakesTheirBatch) {
  ServerRefuses = true;
  // Passes only when asked for: both actions are in the first batch, however busy the machine.
  Start(kOnlineOnly, 1h);
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  const auto foul = Make.Foul(12, 2, 5, 4);
  EnterInOneBatch(shot, foul);
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true}));
  ASSERT_TRUE(Server.WaitForRequests(3, 5s)) << "the refused batch is tried again";
  const auto late = Make.Rebound(14, 1, 6, false);
  Enqueue(late);
  EXPECT_EQ(Ui.RunPosted(), 0u) << "no verdict while the send is being repeated";
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Store->Stored.size(), 3u) << "the local store does not wait for the server";

  ServerRefuses = false;
  ASSERT_TRUE(WaitUntil([&] { return Queue->PendingCount() == 1; })) << "the repeated batch got through";
  Queue->SendNow();
  Drain();
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(History.Changed, 3) << "each line is repainted once, when its mark changes";
  // Every attempt carried the same batch; what came later went in the next request.
  const auto batches = Batches();
  ASSERT_GE(batches.size(), 4u);
  for (std::size_t i = 0; i + 1 < batches.size(); ++i) {
    ASSERT_EQ(batches[i].size(), 2u);
    EXPECT_EQ(batches[i][0].first, shot->ID);
    EXPECT_EQ(batches[i][1].first, foul->ID);
  }
  ASSERT_EQ(batches.back().size(), 1u);
  EXPECT_EQ(batches.back()[0].first, late->ID);
}

TEST_F(QueueTest, EditChangesTheLineValuesButKeepsItsKind) {
  Start(kOnlineOnly, 5ms);
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  Enqueue(shot);
  Drain();
  const std::string before = History.Line(0).Text;

  auto edit = shot->Clone();
  edit->ShortName = "edit";
  edit->Name = "Editar";
  edit->SetParam("Made", "Missed");
  EXPECT_EQ(Enqueue(edit), TEnqueueResult::Accepted);

  ASSERT_EQ(History.Count(), 1u);
  const THistoryLine& line = History.Line(0);
  EXPECT_EQ(line.Record.Action->ShortName, "shot");
  EXPECT_EQ(line.Record.Action->Name, shot->Name);
  EXPECT_EQ(line.Record.Action->GetParam("Made"), "Missed");
  EXPECT_NE(line.Text, before);
  EXPECT_NE(line.Text.find(shot->Name), std::string::npos) << line.Text;
  EXPECT_EQ(line.Text.find("Editar"), std::string::npos) << line.Text;
  EXPECT_EQ(Queue->FindHistoryAction(shot->ID), line.Record.Action.get());
  ASSERT_EQ(Model.Actions().size(), 1u);
  EXPECT_EQ(Model.Actions()[0]->ShortName, "shot");
  EXPECT_EQ(Model.Actions()[0]->GetParam("Made"), "Missed");
}

TEST_F(QueueTest, DeleteRemovesTheLineAtOnceBeforeAnythingIsSent) {
  ServerRefuses = true;
  Start(kOnlineOnly, 5ms);
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  Enqueue(shot);
  Enqueue(Make.Foul(12, 2, 5, 4));
  EXPECT_EQ(Enqueue(Make.Make("delete", 20, {{"Event", shot->ID}})), TEnqueueResult::Accepted);
  EXPECT_EQ(Kinds(), std::vector<std::string>{"foul"});
  EXPECT_EQ(Queue->FindHistoryAction(shot->ID), nullptr);
  EXPECT_EQ(Model.Actions().size(), 1u);
  EXPECT_EQ(Ui.RunPosted(), 0u);
}

TEST_F(QueueTest, ClockTicksAndCompleteMakeNoLineAndIncompleteActionsLeaveNoTrace) {
  Start(kOnlineOnly, 1h);
  auto clockMark = Make.Make("clock", 0, {});
  clockMark->System = true;
  EXPECT_EQ(Enqueue(clockMark), TEnqueueResult::Accepted);
  EXPECT_EQ(Enqueue(Make.Make("clock", 1, {})), TEnqueueResult::Accepted);
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  EXPECT_EQ(Enqueue(Make.Make("complete", 12, {{"Event", shot->ID}})), TEnqueueResult::Accepted);
  EXPECT_TRUE(History.Empty());

  const std::size_t stored = Store->Stored.size();
  const std::size_t pending = Queue->PendingCount();
  EXPECT_EQ(Enqueue(Make.Make("shot", 15, {{"Team", "1"}})), TEnqueueResult::Incomplete);
  EXPECT_TRUE(History.Empty());
  EXPECT_EQ(Store->Stored.size(), stored);
  EXPECT_LE(Queue->PendingCount(), pending);
  EXPECT_TRUE(Model.Actions().empty());
}

TEST_F(QueueTest, EditOrDeleteBatchAsksTheHistoryToReloadWithoutWaitingForIt) {
  Start(kLocalOnly, 2ms);
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  const auto foul = Make.Foul(12, 2, 5, 4);
  Enqueue(shot);
  Enqueue(foul);
  Drain();
  EXPECT_EQ(History.Reloads, 0);

  Enqueue(Make.Make("delete", 20, {{"Event", shot->ID}}));
  WaitUntilSent();  // the sending thread goes on although the posted reload has not run yet
  EXPECT_EQ(History.Reloads, 0);
  Ui.RunPosted();
  EXPECT_EQ(History.Reloads, 1);

  auto edit = foul->Clone();
  edit->ShortName = "edit";
  Enqueue(edit);
  Drain();
  EXPECT_EQ(History.Reloads, 2);

  History.IsShown = false;
  Enqueue(edit);
  Drain();
  EXPECT_EQ(History.Reloads, 2) << "a hidden list is left alone";

  // A reload still waiting when the live window closes must not reach the gone queue.
  History.IsShown = true;
  Enqueue(Make.Make("delete", 30, {{"Event", foul->ID}}));
  WaitUntilSent();
  Queue.reset();
  Ui.RunPosted();
  EXPECT_EQ(History.Reloads, 2);
}

TEST_F(QueueTest, ReboundRuleSeesTheHistoryEarliestFirst) {
  Start(kLocalOnly, 1h);
  const auto first = Make.Shot(10, 1, 4, "Missed", 2);
  auto tipIn = Make.Shot(11, 2, 5, "Missed", 2);
  tipIn->FollowUpID = first->ID;
  Enqueue(first);
  Enqueue(tipIn);

  const auto history = Queue->HistoryActions();
  ASSERT_EQ(history.size(), 2u);
  EXPECT_EQ(history[0]->ID, first->ID);
  EXPECT_EQ(history[1]->ID, tipIn->ID);
  EXPECT_EQ(Queue->FindFollowUpAction(first->ID, "shot")->ID, first->ID);
  EXPECT_EQ(Queue->FindFollowUpAction(first->ID, "reb"), nullptr);

  // The chain's earliest shot was team 1's: a rebound by team 1 is offensive.
  auto rebound = Make.Make("reb", 12, {{"Player", "6"}});
  rebound->FollowUpID = first->ID;
  rebound->SetParam("Team", "1", Queue.get());
  EXPECT_EQ(rebound->GetParam("Type"), "Offensive");
  rebound->SetParam("Team", "2", Queue.get());
  EXPECT_EQ(rebound->GetParam("Type"), "Defensive");
}

TEST_F(QueueTest, ActionTheStoreRefusesIsReportedButStillShownAndSent) {
  Store->Accepts = false;
  Start(kOnlineOnly, 2ms);
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  EXPECT_EQ(Enqueue(shot), TEnqueueResult::NotStored);
  EXPECT_EQ(Kinds(), std::vector<std::string>{"shot"});
  EXPECT_EQ(Model.Actions().size(), 1u);
  Drain();
  ASSERT_EQ(Batches().size(), 1u);
  EXPECT_EQ(Batches()[0][0].first, shot->ID);
}

TEST_F(QueueTest, SentShownAndStoredCopiesCarryOneWallClockTime) {
  Start(kOnlineOnly, 2ms);
  auto shot = Make.Shot(10, 1, 4, "Made", 2);
  shot->AstroTime = EncodeTime(3, 4, 5);
  Enqueue(shot);
  Drain();
  ASSERT_EQ(Store->Stored.size(), 1u);
  const TDateTime stamped = Store->Stored[0]->AstroTime;
  EXPECT_NE(FormatLongTime(stamped), "03:04:05") << "stamped at entry";
  EXPECT_EQ(History.Line(0).Record.Action->AstroTime, stamped);
  ASSERT_EQ(Batches().size(), 1u);
  EXPECT_EQ(Batches()[0][0].second, FormatLongTime(stamped));
}

// ---- A server that refuses for good ------------------------------------------------------------

TEST_F(QueueTest, ARefusedSessionHoldsSendingWithEverythingPendingUntilResumed) {
  std::atomic<bool> sessionEnded{true};
  Verdict = [&](const std::vector<std::string>&) {
    return sessionEnded ? TLoopbackReply::Text("session expired", 403) : TLoopbackReply::Text("OK");
  };
  Start(kOnlineOnly, 1h);
  std::vector<TSendingState> told;
  Queue->SetStateListener([&](const TSendingState& state) { told.push_back(state); });
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  const auto foul = Make.Foul(12, 2, 5, 4);
  EnterInOneBatch(shot, foul);
  ASSERT_TRUE(WaitUntil([&] { return Queue->SendingState().Held.has_value(); }));
  Ui.RunPosted();
  ASSERT_EQ(told.size(), 1u);
  ASSERT_TRUE(told[0].Held);
  EXPECT_EQ(told[0].Held->Status, 403);
  EXPECT_EQ(told[0].Held->Answer, "session expired");

  // Entry goes on; a pass asked for meanwhile waits as well.
  const auto late = Make.Rebound(14, 1, 6, false);
  EXPECT_EQ(Enqueue(late), TEnqueueResult::Accepted);
  Queue->SendNow();
  EXPECT_EQ(Store->Stored.size(), 3u);
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Queue->PendingCount(), 3u);
  EXPECT_EQ(Server.RequestCount(), 1u) << "a refused session is not asked again";

  sessionEnded = false;
  Queue->Resume();
  Drain();
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
  ASSERT_FALSE(told.empty());
  EXPECT_FALSE(told.back().Held) << "the window hears that sending goes on";
  // The refused batch once more, with what was entered meanwhile behind it.
  EXPECT_EQ(BatchIds(), (std::vector<std::vector<std::string>>{{shot->ID, foul->ID}, {shot->ID, foul->ID, late->ID}}));
}

TEST_F(QueueTest, ABatchRefusedForWhatItHoldsIsSplitSoThatOnlyTheBadActionStaysBehind) {
  for (const bool named : {true, false}) {
    SCOPED_TRACE(named ? "the server names the action" : "the server names nothing");
    TActionList actions;
    for (int i = 0; i < 7; ++i) actions.push_back(Make.Shot(10 + i, 1 + i % 2, 4 + i, "Missed", 2));
    const std::string bad = actions[3]->ID;
    std::mutex lock;
    std::vector<std::string> taken;
    Verdict = [&](const std::vector<std::string>& ids) {
      if (std::find(ids.begin(), ids.end(), bad) != ids.end()) {
        return TLoopbackReply::Text(named ? "Period number \"99\" of action " + bad + " is not valid" : "malformed XML",
                                    400);
      }
      const std::lock_guard guard(lock);
      taken.insert(taken.end(), ids.begin(), ids.end());
      return TLoopbackReply::Text("OK");
    };
    const std::size_t inGame = Model.Actions().size();
    Start(kOnlineOnly, 1h);
    WaitForFirstPass();
    for (const auto& action : actions) Enqueue(action);
    Queue->SendNow();
    Drain();

    std::vector<std::string> others;
    for (const auto& action : actions) {
      if (action->ID != bad) others.push_back(action->ID);
    }
    EXPECT_EQ(taken, others) << "each of the others once, in order";
    if (named) {
      EXPECT_EQ(Server.RequestCount(), 2u) << "the named action is left out at once";
    }
    EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false, true, false, false, false}));
    const TSendingState state = Queue->SendingState();
    EXPECT_FALSE(state.Held) << "nothing waits for the bad action";
    ASSERT_EQ(state.Refused.size(), 1u);
    EXPECT_EQ(state.Refused[0].ID, bad);
    EXPECT_EQ(state.Refused[0].Text, History.Line(3).Text);
    EXPECT_EQ(state.Refused[0].Refusal.Status, 400);
    EXPECT_EQ(Model.Actions().size(), inGame + actions.size()) << "the refused action stays in the game";

    Queue.reset();
    History.Assign({});
    Server.ClearRequests();
  }
}

TEST_F(QueueTest, ABatchTooLargeIsSplitAndAnActionTooLargeOnItsOwnIsRefused) {
  const auto huge = Make.Make("comment", 11, {{"Comment", std::string(2000, 'x')}});
  std::mutex lock;
  std::vector<std::string> taken;
  Verdict = [&](const std::vector<std::string>& ids) {
    if (ids.size() > 2 || std::find(ids.begin(), ids.end(), huge->ID) != ids.end()) {
      return TLoopbackReply::Text("this request's body may have 4096 bytes", 413);
    }
    const std::lock_guard guard(lock);
    taken.insert(taken.end(), ids.begin(), ids.end());
    return TLoopbackReply::Text("OK");
  };
  Start(kOnlineOnly, 1h);
  const auto shot = Make.Shot(10, 1, 4, "Made", 2);
  const auto foul = Make.Foul(12, 2, 5, 4);
  const auto rebound = Make.Rebound(14, 1, 6, false);
  EnterInOneBatch(shot, huge, foul, rebound);
  Drain();
  EXPECT_EQ(taken, (std::vector<std::string>{shot->ID, foul->ID, rebound->ID}));
  const TSendingState state = Queue->SendingState();
  ASSERT_EQ(state.Refused.size(), 1u);
  EXPECT_EQ(state.Refused[0].ID, huge->ID);
  EXPECT_EQ(state.Refused[0].Refusal.Status, 413);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true, false}));
}

}  // namespace
}  // namespace velmora::testing

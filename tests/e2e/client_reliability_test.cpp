// A live game sent to a server that is down, goes away in the middle, answers errors or rubbish,
// hangs up or hangs: nothing the operator enters may be lost, the not-sent marks must tell the
// truth, closing the live window may never wait for the network, and in the end the server's copy
// must be the local one.

#include <algorithm>
#include <set>

#include "client_fixture.h"
#include "platform/logger.h"
#include "records/date_time.h"
#include "serverlink/uploader_thread.h"
#include "wait_until.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

enum class TTrouble { Unreachable, Answers500, AnswersGarbage, HangsUp, NeverAnswers };

std::string NameOf(TTrouble trouble) {
  switch (trouble) {
    case TTrouble::Unreachable: return "Unreachable";
    case TTrouble::Answers500: return "Answers500";
    case TTrouble::AnswersGarbage: return "AnswersGarbage";
    case TTrouble::HangsUp: return "HangsUp";
    case TTrouble::NeverAnswers: return "NeverAnswers";
  }
  return {};
}
std::string TroubleName(const ::testing::TestParamInfo<TTrouble>& info) { return NameOf(info.param); }
void PrintTo(TTrouble trouble, std::ostream* out) { *out << NameOf(trouble); }

class ReliabilityTest : public ClientE2eTest {
 protected:
  // The day log shows every failed send, also of a server nobody answers for.
  ReliabilityTest() : Game(SimulateGame(MakeMatchInfo(12, "G-1"), 1000, 11)) {
    EXPECT_TRUE(Logger().Open(Temp.Path()).Ok());
  }
  ~ReliabilityTest() override { Logger().Close(); }

  std::size_t FailedSends() const {
    const std::string log = ReadFile(Logger().File());
    std::size_t count = 0;
    for (std::size_t at = log.find(kFailedSend); at != std::string::npos; at = log.find(kFailedSend, at + 1)) ++count;
    return count;
  }
  // Until the sender has met trouble that began after `failuresBefore` failed sends twice.
  void WaitForFailedSends(std::size_t failuresBefore) {
    ASSERT_TRUE(WaitUntil([&] { return FailedSends() >= failuresBefore + 2; })) << "the sender never met the trouble";
  }

  // Enters the next actions of the game as the operator does, the game clock ticking up to each.
  std::vector<std::string> EnterNext(std::size_t count) {
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < count && Next < Game.size(); ++i, ++Next) {
      const TAction& action = *Game[Next];
      while (WholeSeconds(Model.MatchInfo.CurrentGameTime) < WholeSeconds(action.GameTime)) Model.ClockTick();
      EXPECT_EQ(Enter(action.Clone()), TEnqueueResult::Accepted);
      ids.push_back(action.ID);
    }
    return ids;
  }
  // The marks of the history, newest line first.
  static std::vector<bool> Expected(std::size_t notSent, std::size_t sent) {
    std::vector<bool> marks(notSent, true);
    marks.insert(marks.end(), sent, false);
    return marks;
  }
  void ExpectSameGameEverywhere() {
    EXPECT_EQ(ServerIds(), LocalIds());
    EXPECT_EQ(ServerChecksum(), LocalChecksum());
    EXPECT_EQ(Client->GetRemoteChecksum("G-1"), LocalChecksum());
  }
  // The live batches the front received; each distinct one once.
  std::size_t DistinctBatches() const {
    std::set<std::string> bodies;
    for (const auto& request : FrontRequests("multipleaction")) bodies.insert(request.Body);
    return bodies.size();
  }
  void Misbehave(TTrouble trouble) {
    FailuresBefore = FailedSends();
    RequestsBefore = Front.RequestCount();
    switch (trouble) {
      case TTrouble::Unreachable: Front.Stop(); break;
      case TTrouble::Answers500: Mode = TFrontMode::Refuse; break;
      case TTrouble::AnswersGarbage: Mode = TFrontMode::NotHttp; break;
      case TTrouble::HangsUp: Mode = TFrontMode::Drop; break;
      case TTrouble::NeverAnswers: Mode = TFrontMode::Stall; break;
    }
  }
  void Recover() {
    Front.Start();
    Mode = TFrontMode::Forward;
  }
  // Until the sender has met the trouble Misbehave began: twice, or once when the server hangs.
  void WaitForTrouble(TTrouble trouble) {
    if (trouble == TTrouble::NeverAnswers) {
      ASSERT_TRUE(Front.WaitForRequests(RequestsBefore + 1, 10s));
    } else {
      WaitForFailedSends(FailuresBefore);
    }
  }

  static constexpr const char* kFailedSend = "Failed to send multiple actions: ";
  TActionList Game;
  std::size_t Next = 0;
  std::size_t FailuresBefore = 0;
  std::size_t RequestsBefore = 0;
};

TEST_F(ReliabilityTest, ServerDownAtTheStartGetsEverythingOnceItAnswers) {
  Connect(FrontUrl());
  Pull("G-1");
  Front.Stop();
  Front.ClearRequests();
  const std::size_t failuresBefore = FailedSends();

  StartLive();
  const auto ids = EnterNext(30);
  // Corrections too: the first shot edited, the last action deleted.
  std::size_t shot = 0;
  while (Game[shot]->ShortName != "shot") ++shot;
  ASSERT_LT(shot, 29u);
  auto edit = Game[shot]->Clone();
  edit->ShortName = "edit";
  edit->SetParam("Made", Game[shot]->GetParam("Made") == "Made" ? "Missed" : "Made");
  EXPECT_EQ(Enter(std::move(edit)), TEnqueueResult::Accepted);
  EXPECT_EQ(Enter(Make.Make("delete", WholeSeconds(Model.MatchInfo.CurrentGameTime), {{"Event", ids.back()}})),
            TEnqueueResult::Accepted);
  // An edit takes the wall-clock time of the correction, which may move it among actions of the
  // same game time: compare as sets.
  std::vector<std::string> kept(ids.begin(), ids.end() - 1);
  std::vector<std::string> local = LocalIds();
  std::sort(kept.begin(), kept.end());
  std::sort(local.begin(), local.end());
  EXPECT_EQ(local, kept) << "the local store does not wait for the server";
  WaitForFailedSends(failuresBefore);
  UiThread.RunPosted();
  EXPECT_EQ(History.Marks(), Expected(29, 0));
  EXPECT_EQ(History.Reloads, 0);

  Front.Start();
  ASSERT_TRUE(WaitUntilSent());
  EXPECT_EQ(History.Marks(), Expected(0, 29)) << "all lines lose the mark together";
  EXPECT_GE(History.Reloads, 1);
  // The batch that was being repeated and one request with all that piled up behind it.
  EXPECT_LE(FrontRequests("multipleaction").size(), 2u);
  std::vector<std::string> sent;
  for (const auto& batch : FrontBatches()) sent.insert(sent.end(), batch.begin(), batch.end());
  std::vector<std::string> entered = ids;
  entered.push_back(ids[shot]);  // the edit carries the ID of what it corrects
  ASSERT_EQ(sent.size(), entered.size() + 1);
  sent.pop_back();  // the delete's own ID
  EXPECT_EQ(sent, entered);
  ExpectSameGameEverywhere();
}

class MisbehavingServerTest : public ReliabilityTest, public ::testing::WithParamInterface<TTrouble> {};

TEST_P(MisbehavingServerTest, NothingIsLostAndTheMarksFollowTheOutcome) {
  Connect(FrontUrl());
  Pull("G-1");
  StartLive();
  const auto early = EnterNext(10);
  ASSERT_TRUE(WaitUntilSent());
  EXPECT_EQ(History.Marks(), Expected(0, 10));

  Front.ClearRequests();
  Misbehave(GetParam());
  auto late = EnterNext(15);
  WaitForTrouble(GetParam());
  UiThread.RunPosted();
  EXPECT_EQ(History.Marks(), Expected(15, 10));
  EXPECT_EQ(ServerIds(), early);
  std::vector<std::string> all = early;
  all.insert(all.end(), late.begin(), late.end());
  EXPECT_EQ(LocalIds(), all);

  Recover();
  ASSERT_TRUE(WaitUntilSent());
  EXPECT_EQ(History.Marks(), Expected(0, 25));
  EXPECT_LE(DistinctBatches(), 2u) << "the repeated batch and the pile-up behind it";
  ExpectSameGameEverywhere();
}

INSTANTIATE_TEST_SUITE_P(Client, MisbehavingServerTest,
                         ::testing::Values(TTrouble::Unreachable, TTrouble::Answers500, TTrouble::AnswersGarbage,
                                           TTrouble::HangsUp, TTrouble::NeverAnswers),
                         TroubleName);

class ClosingTheLiveWindowTest : public ReliabilityTest, public ::testing::WithParamInterface<TTrouble> {};

TEST_P(ClosingTheLiveWindowTest, ReturnsAtOnceAndTheClientStillWorks) {
  // A request in flight would hold a close that waited for it for a minute.
  Config.SetInt("read_timeout", 60000);
  Connect(FrontUrl());
  Pull("G-1");
  StartLive();
  EnterNext(5);
  ASSERT_TRUE(WaitUntilSent());

  Misbehave(GetParam());
  EnterNext(5);
  WaitForTrouble(GetParam());
  EXPECT_LT(StopLive(), 5s) << "closing may not wait for a send being repeated or in flight";
  EXPECT_EQ(LocalIds().size(), 10u);
  EXPECT_EQ(ServerIds().size(), 5u) << "what was not sent stays in the local store only";

  Recover();
  EXPECT_TRUE(Client->Ping());
  EXPECT_EQ(Client->GetRemoteChecksum("G-1"), ServerChecksum());
  // Reopening the game: the copies differ, the operator lets the local one overwrite the server's.
  TObjectHash<TMatchInfo> games;
  ASSERT_TRUE(Local->LoadGamesList(games));
  auto job = TUploaderThread::CompareAndOverwrite(Model, *Client, *Local, games.Get("G-1"), Ui);
  job->Wait();
  EXPECT_TRUE(job->ResultFlag());
  EXPECT_EQ(Ui.Questions.size(), 1u);
  ExpectSameGameEverywhere();

  // And the next live window sends as before.
  History.Assign({});
  Model.OpenGame("G-1");
  Model.MatchInfo.Availability = kLocalAndOnline;
  StartLive();
  EnterNext(4);
  ASSERT_TRUE(WaitUntilSent());
  EXPECT_EQ(History.Marks(), Expected(0, History.Count()));
  ExpectSameGameEverywhere();
}

INSTANTIATE_TEST_SUITE_P(Client, ClosingTheLiveWindowTest,
                         ::testing::Values(TTrouble::Unreachable, TTrouble::Answers500, TTrouble::NeverAnswers),
                         TroubleName);

TEST_F(ReliabilityTest, ServerRestartedOnTheSamePortAndDatabaseKeepsTheSession) {
  // Through the front, which holds no connection open to the server.
  Connect(FrontUrl());
  Pull("G-1");
  StartLive();
  EnterNext(8);
  ASSERT_TRUE(WaitUntilSent());

  const std::size_t failuresBefore = FailedSends();
  Server->Stop();
  EnterNext(8);
  WaitForFailedSends(failuresBefore);
  Server->Start();
  // The restarted server knows the session from its database: what piled up goes through and the
  // live game simply goes on.
  ASSERT_TRUE(WaitUntilSent());
  UiThread.RunPosted();
  EXPECT_EQ(History.Marks(), Expected(0, 16));
  EXPECT_EQ(LocalIds().size(), 16u);
  EXPECT_EQ(ServerIds(), LocalIds());
  EXPECT_LT(StopLive(), 5s);
  ExpectSameGameEverywhere();
}

}  // namespace
}  // namespace velmora::testing

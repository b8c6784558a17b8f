// Two server processes on one PostgreSQL database are one server to their clients: sessions,
// failed logins, live pages and batches sent again through the other process, also after one of
// them was killed in the middle of its work.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include "platform/folders.h"
#include "protocol/soap.h"
#include "server_fixture.h"
#include "server_process.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ServerProcessesTest : public ::testing::Test {
 protected:
  ServerProcessesTest() {
    auto store = statserver::TServerStore::Open(Database, ProgramFolder() / "dravon.db");
    if (!store) throw std::runtime_error(store.Error());
    Store = std::move(store.Value());
    EXPECT_TRUE(Store->AddUser("alice", kAlicePassword));
    for (int g = 1; g <= kGames; ++g) {
      const TMatchInfo game = MakeMatchInfo(12, "G-" + std::to_string(g));
      EXPECT_TRUE(Store->Publish(game, MatchInfoText(game), nullptr, "alice"));
    }
  }
  void StartBoth(const std::vector<std::string>& options = {}) {
    A = std::make_unique<TServerProcess>(Database, Temp.Path(), "a", options);
    B = std::make_unique<TServerProcess>(Database, Temp.Path(), "b", options);
  }

  // The session value in braces; empty when refused. The fault's text when there was one.
  std::string Login(const TServerProcess& server, const std::string& password) {
    THttpClient client;
    const THttpReply reply =
        client.Post(server.Url("dvadminws/dvadmin.asmx"),
                    SoapRequestEnvelope("ValidateUser", {{"user", "alice"}, {"pass", password}}),
                    "text/xml; charset=utf-8", {"SOAPAction: \"http://tempuri.org/ValidateUser\""});
    const auto result = ParseSoapResult(reply.Body, "ValidateUser");
    if (!result) return "fault: " + result.Error();
    return result.Value().empty() ? std::string() : "{" + result.Value() + "}";
  }
  long Games(const TServerProcess& server, const std::string& session) {
    THttpClient client;
    return client.Get(server.Url("default.asp?do=get_active_games&SESSIONID=" + session)).Status;
  }
  THttpReply Send(THttpClient& client, const TServerProcess& server, const std::string& session,
                  const std::string& gameNumber, const TActionList& batch) {
    return client.Post(server.Url("default.asp?game_number=" + gameNumber + "&do=multipleaction&SESSIONID=" + session),
                       FormBody({{"action", ActionsText(batch, gameNumber)}, {"do", "multipleaction"}}));
  }
  std::vector<std::string> StoredIds(const std::string& gameNumber) {
    std::vector<std::string> ids;
    const auto snapshot = Store->Snapshot(gameNumber);
    EXPECT_TRUE(snapshot) << gameNumber;
    if (snapshot) {
      for (const auto& action : snapshot->Actions) ids.push_back(action->ID);
    }
    return ids;
  }

  static constexpr int kGames = 6;
  TTempFolder Temp;
  std::string Database = TPostgresCluster::Shared().CreateDatabase();
  std::unique_ptr<statserver::TServerStore> Store;
  std::unique_ptr<TServerProcess> A;
  std::unique_ptr<TServerProcess> B;
  TActionFactory Make;
};

TEST_F(ServerProcessesTest, ASessionMadeOnOneIsValidOnTheOtherAndEndsOnBoth) {
  StartBoth({"--session-timeout", "3"});
  const std::string session = Login(*A, kAlicePassword);
  ASSERT_FALSE(session.empty());
  // Used on both in turn, it stays alive past its idle time.
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Games(i % 2 ? *A : *B, session), 200) << i;
    std::this_thread::sleep_for(1s);
  }
  // Idle, it ends on both.
  std::this_thread::sleep_for(3s);
  EXPECT_EQ(Games(*B, session), 403);
  EXPECT_EQ(Games(*A, session), 403);

  // A new password ends the sessions of both.
  const std::string again = Login(*B, kAlicePassword);
  ASSERT_EQ(Games(*A, again), 200);
  ASSERT_TRUE(Store->AddUser("alice", "another-password"));
  EXPECT_EQ(Games(*A, again), 403);
  EXPECT_EQ(Games(*B, again), 403);
}

TEST_F(ServerProcessesTest, TheLoginThrottleCountsTheFailuresOfBoth) {
  StartBoth();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Login(i % 2 ? *A : *B, "guess" + std::to_string(i)), "") << i;
  EXPECT_NE(Login(*A, kAlicePassword).find("Espere"), std::string::npos);
  EXPECT_NE(Login(*B, kAlicePassword).find("Espere"), std::string::npos);
  std::this_thread::sleep_for(1100ms);
  EXPECT_FALSE(Login(*B, kAlicePassword).empty());

  // Guesses spread over both at once are slowed as one.
  std::atomic<int> checked = 0;
  std::vector<std::thread> guessers;
  for (int i = 0; i < 16; ++i) {
    guessers.emplace_back([&, i] {
      if (Login(i % 2 ? *A : *B, "guess" + std::to_string(i)).find("Espere") == std::string::npos) ++checked;
    });
  }
  for (auto& guesser : guessers) guesser.join();
  EXPECT_EQ(checked, 5);
}

TEST_F(ServerProcessesTest, ABatchSentToOneIsOnTheLivePageOfTheOtherWithinASecond) {
  StartBoth();
  const std::string session = Login(*A, kAlicePassword);
  THttpClient operatorClient;
  THttpClient spectator;
  const std::string page = B->Url("live/G-1?format=json");
  const THttpReply before = spectator.Get(page);
  ASSERT_TRUE(before.Ok());
  ASSERT_EQ(nlohmann::json::parse(before.Body)["stats"]["score"], nlohmann::json::array({0, 0}));

  for (int points : {2, 3}) {
    TActionList batch;
    batch.push_back(Make.Shot(30 * points, 1, 4, "Made", points));
    ASSERT_TRUE(Send(operatorClient, *A, session, "G-1", batch).Ok());
    const auto sent = Clock::now();
    nlohmann::json live;
    while (Clock::now() - sent < 3s) {
      live = nlohmann::json::parse(spectator.Get(page).Body);
      if (live["plays"].size() == static_cast<std::size_t>(points - 1)) break;
      std::this_thread::sleep_for(20ms);
    }
    EXPECT_LT(Clock::now() - sent, 1s) << points;
    EXPECT_EQ(live["plays"][0]["score"][0], points == 2 ? 2 : 5);
  }
}

TEST_F(ServerProcessesTest, ABatchSentAgainThroughTheOtherIsStoredOnce) {
  StartBoth();
  const std::string session = Login(*A, kAlicePassword);
  THttpClient client;
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  batch.push_back(Make.Foul(11, 2, 5, 4));
  StampAstroTimes(batch);
  ASSERT_TRUE(Send(client, *A, session, "G-1", batch).Ok());
  // The answer was lost on the way; the client's next try reaches the other process, one more
  // action with it.
  batch.push_back(Make.Shot(12, 2, 5, "Missed", 3));
  StampAstroTimes(batch);
  ASSERT_TRUE(Send(client, *B, session, "G-1", batch).Ok());
  EXPECT_EQ(StoredIds("G-1"), (std::vector<std::string>{batch[0]->ID, batch[1]->ID, batch[2]->ID}));
}

TEST_F(ServerProcessesTest, AProcessKilledInTheMiddleOfBatchesLosesNoAcknowledgedActionAndDoublesNone) {
  StartBoth({"--threads", "8"});
  const std::string session = Login(*A, kAlicePassword);
  // Games 1 to 4 send to A, and send again through B what A did not acknowledge; games 5 and 6 go
  // on at B all along.
  std::mutex lock;
  std::map<std::string, std::vector<std::string>> acknowledged;
  std::atomic<int> sentAgain = 0;
  std::atomic<int> batchesAcknowledged = 0;
  std::atomic<bool> killed = false;
  std::vector<std::thread> games;
  for (int g = 1; g <= kGames; ++g) {
    games.emplace_back([&, g] {
      const std::string gameNumber = "G-" + std::to_string(g);
      THttpClient client;
      client.SetTimeout(10);
      TActionFactory make;
      for (int b = 0; b < 12; ++b) {
        const TActionList batch = MissedShots(make, b * 150, 150);
        const bool toA = g <= 4 && !killed;
        THttpReply reply = Send(client, toA ? *A : *B, session, gameNumber, batch);
        if (!reply.Ok() && toA) {
          ++sentAgain;
          reply = Send(client, *B, session, gameNumber, batch);
        }
        if (!reply.Ok()) continue;
        const std::lock_guard guard(lock);
        for (const auto& action : batch) acknowledged[gameNumber].push_back(action->ID);
        ++batchesAcknowledged;
      }
    });
  }
  // Killed while the games are under way.
  const auto started = Clock::now();
  while (batchesAcknowledged < 12 && Clock::now() - started < 20s) std::this_thread::sleep_for(5ms);
  killed = true;
  A->Kill();
  for (auto& game : games) game.join();

  EXPECT_GT(sentAgain, 0) << "the kill met no batch on its way";
  for (int g = 1; g <= kGames; ++g) {
    const std::string gameNumber = "G-" + std::to_string(g);
    EXPECT_EQ(acknowledged[gameNumber].size(), 12u * 150u) << gameNumber;
    ExpectStoredOnce(StoredIds(gameNumber), acknowledged[gameNumber], gameNumber);
  }
}

}  // namespace
}  // namespace velmora::testing

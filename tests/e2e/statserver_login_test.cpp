// Logins cannot be hammered, and sessions are kept so that a copy of the database opens none and
// a new password ends the old ones.

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "passwords.h"
#include "platform/folders.h"
#include "protocol/soap.h"
#include "server_fixture.h"
#include "store/sqlite.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using statserver::TLoginLimits;
using statserver::TLoginThrottle;

TEST(LoginThrottle, DelaysDoubleAfterTheFreeFailuresAndAreForgottenLater) {
  TLoginLimits limits;
  limits.FreeFailuresPerUser = 2;
  limits.FreeFailuresPerAddress = 100;
  limits.FirstDelay = 1000ms;
  limits.LongestDelay = 4000ms;
  limits.Memory = 60s;
  TLoginThrottle throttle(limits);
  auto now = TLoginThrottle::TClock::time_point() + 1h;
  EXPECT_EQ(throttle.Begin("ana", "a", now), 0ms);
  EXPECT_EQ(throttle.Begin("ana", "a", now), 0ms);  // the last free attempt
  EXPECT_EQ(throttle.Begin("ana", "b", now), 1000ms);
  EXPECT_EQ(throttle.Begin("eva", "a", now), 0ms);  // other users go on
  for (const auto& [later, delay] : {std::pair{1001ms, 2000ms}, {2001ms, 4000ms}, {4001ms, 4000ms}}) {
    now += later;
    EXPECT_EQ(throttle.Begin("ana", "a", now), 0ms);
    EXPECT_EQ(throttle.Begin("ana", "a", now), delay);
  }
  now += 61s;  // forgotten: free attempts again
  EXPECT_EQ(throttle.Begin("ana", "a", now), 0ms);
  throttle.Succeeded("ana", "a");
  EXPECT_EQ(throttle.Begin("ana", "a", now), 0ms);
  EXPECT_EQ(throttle.Begin("ana", "a", now), 0ms);
  EXPECT_EQ(throttle.Begin("ana", "a", now), 1000ms);
}

class LoginTest : public StatServerTest {
 protected:
  // The session value, empty for a refusal, or the fault's text.
  std::string Attempt(THttpClient& client, const std::string& user, const std::string& password) {
    const THttpReply reply =
        client.Post(Server->Url("/dvadminws/dvadmin.asmx"),
                    SoapRequestEnvelope("ValidateUser", {{"user", user}, {"pass", password}}),
                    "text/xml; charset=utf-8", {"SOAPAction: \"http://tempuri.org/ValidateUser\""});
    const auto result = ParseSoapResult(reply.Body, "ValidateUser");
    return result ? result.Value() : "fault: " + result.Error();
  }
  bool Throttled(const std::string& answer) { return answer.find("Espere") != std::string::npos; }
  int SessionRows() {
    TSqliteDatabase database(Temp / "server.db");
    auto rows = database.Prepare("SELECT count(*) FROM svSessions");
    rows->Step();
    return static_cast<int>(rows->Integer(0));
  }
};

TEST_F(LoginTest, RepeatedFailuresSlowTheUserDownButNotTheOthers) {
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Attempt(Client, "alice", "guess" + std::to_string(i)), "") << i;
  // Even the right password waits now, and is told why.
  EXPECT_TRUE(Throttled(Attempt(Client, "alice", kAlicePassword)));
  EXPECT_FALSE(Login("bob", kBobPassword).empty());
  ClockAheadMs += 1100;  // past the first delay
  EXPECT_FALSE(Login("alice", kAlicePassword).empty());
}

TEST_F(LoginTest, GuessesInParallelAreSlowedAsWell) {
  std::atomic<int> checked = 0;
  std::vector<std::thread> guessers;
  for (int i = 0; i < 16; ++i) {
    guessers.emplace_back([&, i] {
      THttpClient client;
      if (!Throttled(Attempt(client, "alice", "guess" + std::to_string(i)))) ++checked;
    });
  }
  for (auto& guesser : guessers) guesser.join();
  EXPECT_EQ(checked, 5);
}

TEST_F(LoginTest, AnAddressThatKeepsFailingIsSlowedForEveryName) {
  for (int i = 0; i < 20; ++i) EXPECT_EQ(Attempt(Client, "nobody" + std::to_string(i), "x"), "") << i;
  EXPECT_TRUE(Throttled(Attempt(Client, "bob", kBobPassword)));
  THttpClient elsewhere;
  elsewhere.SetLocalAddress("127.0.0.2");
  EXPECT_FALSE(Attempt(elsewhere, "bob", kBobPassword).empty());
}

TEST_F(LoginTest, SessionsAreStoredAsDigestsAndSurviveARestart) {
  const std::string value = Session.substr(1, Session.size() - 2);
  TSqliteDatabase database(Temp / "server.db");
  auto rows = database.Prepare("SELECT token_digest FROM svSessions");
  std::vector<std::string> stored;
  while (rows->Step()) stored.push_back(rows->Text(0));
  EXPECT_EQ(stored, std::vector<std::string>{statserver::TokenDigest(value)});

  TRunningServer restarted(*Store, TestServerOptions());
  EXPECT_TRUE(Client.Get(restarted.Url("/default.asp?do=get_active_games&SESSIONID=" + Session)).Ok());
}

TEST_F(LoginTest, ANewPasswordEndsTheUsersSessionsAtOnce) {
  const std::string bob = Login("bob", kBobPassword);
  const std::string second = Login("alice", kAlicePassword);
  ASSERT_TRUE(GetWithSession("do=get_active_games", second).Ok());
  // As the administration command does it, from a process of its own.
  {
    auto admin = statserver::TServerStore::Open(Temp / "server.db", ProgramFolder() / "dravon.db");
    ASSERT_TRUE(admin);
    ASSERT_TRUE(admin.Value()->AddUser("alice", "a-new-password"));
  }
  EXPECT_EQ(GetWithSession("do=get_active_games").Status, 403);
  EXPECT_EQ(GetWithSession("do=get_active_games", second).Status, 403);
  EXPECT_TRUE(GetWithSession("do=get_active_games", bob).Ok());
  EXPECT_EQ(SessionRows(), 1);
  EXPECT_FALSE(Login("alice", "a-new-password").empty());
}

TEST(SessionMigration, ClearSessionsOfAnOlderDatabaseBecomeDigestsAndStillWork) {
  TTempFolder temp;
  const auto file = temp / "server.db";
  const std::string value = "0123456789abcdef0123456789abcdef";
  {
    auto store = statserver::TServerStore::Open(file, ProgramFolder() / "dravon.db");
    ASSERT_TRUE(store);
    ASSERT_TRUE(store.Value()->AddUser("alice", kAlicePassword));
    TSqliteDatabase database(file);
    database.Execute(
        "DROP TABLE svSessions;"
        "CREATE TABLE svSessions (token TEXT PRIMARY KEY, user_id INTEGER NOT NULL, last_used REAL NOT NULL);");
    auto insert = database.Prepare("INSERT INTO svSessions VALUES (?, (SELECT id FROM svUsers), ?)");
    insert->Bind(1, value).Bind(2, static_cast<double>(std::time(nullptr)));
    insert->Step();
  }
  auto store = statserver::TServerStore::Open(file, ProgramFolder() / "dravon.db");
  ASSERT_TRUE(store) << store.Error();
  TRunningServer server(*store.Value(), TestServerOptions());
  THttpClient client;
  EXPECT_TRUE(client.Get(server.Url("/default.asp?do=get_active_games&SESSIONID={" + value + "}")).Ok());
  TSqliteDatabase database(file);
  auto clear = database.Prepare("SELECT count(*) FROM svSessions WHERE token_digest=?");
  clear->Bind(1, value);
  ASSERT_TRUE(clear->Step());
  EXPECT_EQ(clear->Integer(0), 0);
}

}  // namespace
}  // namespace velmora::testing

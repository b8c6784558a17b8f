// Bad input, oversized bodies and many clients at once must never cost the server an accepted
// action or its life; and the live pages follow the game as it is sent.

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include <nlohmann/json.hpp>

#include "platform/folders.h"
#include "records/date_time.h"
#include "server_fixture.h"
#include "server_process.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

class RobustnessTest : public StatServerTest {
 protected:
  THttpReply PostAction(const std::string& actionText) {
    return PostForm("game_number=G-1&do=multipleaction&SESSIONID=" + Session,
                    {{"action", actionText}, {"do", "multipleaction"}});
  }
  void ExpectStillServing() {
    EXPECT_EQ(Get("do=ping").Body, "pong");
    TActionList batch;
    batch.push_back(Make.Shot(15, 2, 4, "Missed", 2));
    EXPECT_TRUE(SendActions(batch).Ok());
  }
  TActionFactory Make;
};

TEST_F(RobustnessTest, MalformedXmlIsRefusedAndChangesNothing) {
  TActionList kept;
  kept.push_back(Make.Shot(10, 1, 4, "Made", 2));
  ASSERT_TRUE(SendActions(kept).Ok());
  const std::string good = ActionsText(kept, "G-1");

  const std::string noShortName =
      good.substr(0, good.size() - 10) +
      "<ACTION ID=\"{00000000-0000-0000-0000-000000000001}\" GameTime=\"00:00:20\"/></ACTIONS>";
  for (const std::string& text : {good.substr(0, good.size() / 2), std::string("<GAMES/>"), std::string(""),
                                  std::string("not xml at all"), noShortName}) {
    EXPECT_EQ(PostAction(text).Status, 400) << text;
  }
  for (const std::string& text : {good.substr(0, good.size() - 3), std::string("<ACTIONS><ACTION></ACTIONS>")}) {
    const THttpReply reply =
        PostForm("do=send_action_list&SESSIONID=" + Session + "&game_number=G-1&append=0",
                 {{"actions1", text.substr(0, text.size() / 2)}, {"actions2", text.substr(text.size() / 2)}});
    EXPECT_EQ(reply.Status, 400) << text;
  }
  EXPECT_EQ(ServerActionIds(), std::vector<std::string>{kept[0]->ID});

  const std::string matchInfo = MatchInfoText(Game);
  for (const std::string& text :
       {matchInfo.substr(0, matchInfo.size() - 20), std::string("<MATCHINFO GameNumber=\"G-1\"/>"),
        std::string("<ACTIONS/>"), std::string("")}) {
    EXPECT_EQ(UpdateMatchInfo(text).Status, 400) << text;
  }
  const THttpReply current = GetWithSession("do=get_match_info&game_number=G-1&get_initial=0");
  pugi::xml_document document;
  EXPECT_STREQ(ParseReply(current, document).attribute("Referee1").value(), "Ana Pérez");
  ExpectStillServing();
}

TEST_F(RobustnessTest, ABatchSentAgainAfterALostAnswerIsStoredOnce) {
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  batch.push_back(Make.Foul(11, 2, 5, 4));
  ASSERT_TRUE(SendActions(batch).Ok());
  // The client never saw the answer and sends the same batch again, with one more action.
  batch.push_back(Make.Shot(12, 2, 5, "Missed", 3));
  ASSERT_TRUE(SendActions(batch).Ok());
  EXPECT_EQ(ServerActionIds(), (std::vector<std::string>{batch[0]->ID, batch[1]->ID, batch[2]->ID}));
}

TEST_F(RobustnessTest, MissingOrUnreadableFieldsAreRefused) {
  const std::string s = "&SESSIONID=" + Session;
  for (const std::string& query :
       {"SESSIONID=" + Session, "do=get_match_info&game_number=G-1" + s, "do=get_match_info&get_initial=1" + s,
        "do=get_match_info&game_number=G-1&get_initial=yes" + s, "do=get_action_list" + s, "do=crc" + s,
        "do=confirm_score&game_number=G-1&score_a=x&score_b=1&name=a&contacts=b" + s,
        "do=confirm_score&game_number=G-1&score_a=1&score_b=1" + s, "do=drop_tables" + s}) {
    EXPECT_EQ(Get(query).Status, 400) << query;
  }
  TActionList batch;
  batch.push_back(Make.Shot(10, 1, 4, "Made", 2));
  const std::string actions = ActionsText(batch, "G-1");
  EXPECT_EQ(PostForm("game_number=G-1&do=multipleaction" + s, {{"do", "multipleaction"}}).Status, 400);
  EXPECT_EQ(PostForm("do=multipleaction" + s, {{"action", actions}, {"do", "multipleaction"}}).Status, 400);
  EXPECT_EQ(PostForm("do=send_action_list&game_number=G-1" + s, {{"actions1", actions}}).Status, 400);
  EXPECT_EQ(PostForm("do=update_match_info" + s, {{"match", MatchInfoText(Game)}}).Status, 400);
  EXPECT_EQ(Client.Post(Server->Url("/statistics.asp?do=upload_statistics&game_number=G-1" + s), "score=1").Status,
            400);
  EXPECT_EQ(
      Client.Post(Server->Url("/statistics.asp?game_number=G-1" + s), FormBody({{"boxscore", "<BOXSCORE/>"}})).Status,
      400);
  EXPECT_TRUE(ServerActionIds().empty());
  ExpectStillServing();
}

TEST_F(RobustnessTest, ABodyAboveTheLimitIsRefused) {
  TActionList batch;
  batch.push_back(Make.Make("comment", 20, {{"Comment", std::string(5 * 1024 * 1024, 'x')}}));
  const THttpReply reply = SendActions(batch);
  EXPECT_EQ(reply.Status, 413) << reply.Error;
  EXPECT_TRUE(ServerActionIds().empty());
  ExpectStillServing();
  EXPECT_EQ(ServerActionIds().size(), 1u);
}

TEST_F(RobustnessTest, APeriodBeyondWhatAGameCanReachIsRefusedWhereverActionsEnter) {
  TActionList start;
  start.push_back(Make.Period(0, 1, "Start Game"));
  ASSERT_TRUE(SendActions(start).Ok());
  const auto editOf = [](const TAction& action, const std::string& period) {
    auto edit = action.Clone();
    edit->ShortName = "edit";
    edit->Parameters[0].Data = period;
    return edit;
  };
  const auto refused = [&](TActionList batch) {
    const THttpReply reply = SendActions(batch);
    EXPECT_EQ(reply.Status, 400);
    return reply.Body;
  };
  TActionList hostile;
  hostile.push_back(Make.Period(10, 2147483647, "Start"));
  EXPECT_NE(refused(CloneAll(hostile)).find("2147483647"), std::string::npos);
  // An edit is checked as the action it edits will stand: the stored one, or one earlier in its batch.
  TActionList edits;
  edits.push_back(editOf(*start[0], "100000"));
  refused(std::move(edits));
  TActionList both;
  both.push_back(Make.Period(20, 2, "Start"));
  both.push_back(editOf(*both[0], "21"));
  refused(std::move(both));
  const THttpReply list = PostForm("do=send_action_list&SESSIONID=" + Session + "&game_number=G-1&append=1",
                                   {{"actions1", ActionsText(hostile, "G-1")}});
  EXPECT_EQ(list.Status, 400);
  EXPECT_EQ(ServerActionIds(), std::vector<std::string>{start[0]->ID});

  TActionList last;
  last.push_back(Make.Period(30, kMaxPeriod, "Start"));
  EXPECT_TRUE(SendActions(last).Ok());
}

TEST_F(RobustnessTest, TwentyClientsPostingAtOnceLoseNoAcceptedAction) {
  constexpr int kClients = 20;
  constexpr int kBatches = 8;
  constexpr int kPerBatch = 5;
  std::mutex lock;
  std::vector<std::string> accepted;
  std::atomic<int> failures = 0;
  std::atomic<bool> posting = true;
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      THttpClient client;
      TActionFactory make;
      for (int b = 0; b < kBatches; ++b) {
        TActionList batch;
        for (int i = 0; i < kPerBatch; ++i) batch.push_back(make.Shot(c * 60 + b * 5 + i, 1 + c % 2, 4 + i, "Made", 2));
        StampAstroTimes(batch, c * 100 + b * 10);
        const THttpReply reply =
            client.Post(Page() + "?game_number=G-1&do=multipleaction&SESSIONID=" + Session,
                        FormBody({{"action", ActionsText(batch, "G-1")}, {"do", "multipleaction"}}));
        if (!reply.Ok()) {
          ++failures;
          continue;
        }
        const std::lock_guard guard(lock);
        for (const auto& action : batch) accepted.push_back(action->ID);
      }
    });
  }
  // Readers meanwhile: the action list, the checksum and the live page.
  std::thread reader([&] {
    THttpClient client;
    while (posting) {
      if (!client.Get(Page() + "?do=get_action_list&game_number=G-1&SESSIONID=" + Session).Ok()) ++failures;
      if (!client.Get(Page() + "?do=crc&game_number=G-1&SESSIONID=" + Session).Ok()) ++failures;
      if (!client.Get(Server->Url("/live/G-1?format=json")).Ok()) ++failures;
    }
  });
  for (auto& client : clients) client.join();
  posting = false;
  reader.join();

  EXPECT_EQ(failures, 0);
  EXPECT_EQ(accepted.size(), std::size_t{kClients * kBatches * kPerBatch});
  ExpectStoredOnce(ServerActionIds(), accepted, "G-1");
  ExpectStillServing();
}

TEST_F(RobustnessTest, AServerKilledInTheMiddleOfBatchesLosesNoAcknowledgedActionAndDoublesNone) {
  for (const char* game : {"G-2", "G-3", "G-4"}) Publish(MakeMatchInfo(12, game), "alice");
  auto server = std::make_unique<TServerProcess>(Database.Location(), Temp.Path(), "first",
                                                 std::vector<std::string>{"--threads", "8"});
  std::mutex lock;
  std::string base = server->Url();
  std::map<std::string, std::vector<std::string>> acknowledged;
  std::atomic<int> sentAgain = 0;
  std::atomic<int> batchesAcknowledged = 0;
  std::vector<std::thread> games;
  for (const std::string gameNumber : {"G-1", "G-2", "G-3", "G-4"}) {
    games.emplace_back([&, gameNumber] {
      THttpClient client;
      client.SetTimeout(10);
      TActionFactory make;
      for (int b = 0; b < 10; ++b) {
        const TActionList batch = MissedShots(make, b * 100, 100);
        const std::string body = FormBody({{"action", ActionsText(batch, gameNumber)}, {"do", "multipleaction"}});
        // As the program's sender does: the same batch again until it is acknowledged.
        for (int attempt = 0;; ++attempt) {
          const std::string url = [&] {
            const std::lock_guard guard(lock);
            return base;
          }();
          if (client.Post(url + "default.asp?game_number=" + gameNumber + "&do=multipleaction&SESSIONID=" + Session,
                          body)
                  .Ok()) {
            break;
          }
          if (attempt == 0) ++sentAgain;
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        const std::lock_guard guard(lock);
        for (const auto& action : batch) acknowledged[gameNumber].push_back(action->ID);
        ++batchesAcknowledged;
      }
    });
  }
  // Killed while the games are under way.
  const auto started = std::chrono::steady_clock::now();
  while (batchesAcknowledged < 8 && std::chrono::steady_clock::now() - started < 20s) std::this_thread::sleep_for(5ms);
  server->Kill();
  server = std::make_unique<TServerProcess>(Database.Location(), Temp.Path(), "second");
  {
    const std::lock_guard guard(lock);
    base = server->Url();
  }
  for (auto& game : games) game.join();

  EXPECT_GT(sentAgain, 0) << "the kill met no batch on its way";
  for (const auto& [gameNumber, sent] : acknowledged) {
    EXPECT_EQ(sent.size(), 1000u) << gameNumber;
    ExpectStoredOnce(ServerActionIds(gameNumber), sent, gameNumber);
  }
}

// ---- live pages

class LivePagesTest : public RobustnessTest {
 protected:
  nlohmann::json LiveJson(const std::string& game = "G-1") {
    const THttpReply reply = Client.Get(Server->Url("/live/" + FormEncodeValue(game) + "?format=json"));
    EXPECT_TRUE(reply.Ok()) << reply.Status;
    return nlohmann::json::parse(reply.Body);
  }
};

TEST_F(LivePagesTest, TheLiveDocumentFollowsEachBatch) {
  TActionList start;
  for (int team = 1; team <= 2; ++team) {
    for (int shirt = 4; shirt <= 8; ++shirt) start.push_back(Make.Subst(0, team, 0, shirt));
  }
  start.push_back(Make.Period(0, 1, "Start Game"));
  start.push_back(Make.Shot(30, 1, 4, "Made", 2));
  start.push_back(Make.FreeThrow(45, 2, 5, true));
  start.push_back(Make.Make("clock", 50, {}));
  StampAstroTimes(start);
  ASSERT_TRUE(SendActions(start).Ok());

  nlohmann::json live = LiveJson();
  EXPECT_EQ(live["stats"]["score"], nlohmann::json::array({2, 1}));
  EXPECT_EQ(live["period_name"], "Period I");
  EXPECT_EQ(live["period_clock"], "09:10");
  EXPECT_EQ(live["teams"][0]["name"], "Club Baloncesto Norte");
  // Newest first, clock actions left out.
  ASSERT_EQ(live["plays"].size(), start.size() - 1);
  EXPECT_EQ(live["plays"][0]["clock"], "09:15");
  EXPECT_EQ(live["plays"][0]["score"], nlohmann::json::array({2, 1}));
  EXPECT_EQ(live["plays"][1]["score"], nlohmann::json::array({2, 0}));

  TActionList more;
  more.push_back(Make.Shot(70, 2, 6, "Made", 3));
  more.push_back(Make.Period(600, 1, "End"));
  more.push_back(Make.Period(600, 2, "Start"));
  StampAstroTimes(more, 100);
  ASSERT_TRUE(SendActions(more).Ok());
  live = LiveJson();
  EXPECT_EQ(live["stats"]["score"], nlohmann::json::array({2, 4}));
  EXPECT_EQ(live["period_name"], "Period II");
  ASSERT_EQ(live["plays"].size(), start.size() - 1 + more.size());
  EXPECT_EQ(live["plays"][2]["clock"], "08:50");
  EXPECT_EQ(live["plays"][2]["score"], nlohmann::json::array({2, 4}));
  EXPECT_EQ(live["plays"][0]["period"], "II");
}

TEST_F(LivePagesTest, TheDocumentIsCacheableAndRevalidatedByItsTag) {
  const std::string url = Server->Url("/live/G-1?format=json");
  const THttpReply first = Client.Get(url);
  ASSERT_TRUE(first.Ok());
  EXPECT_EQ(first.Header("Cache-Control"), "public, max-age=1");
  const std::string tag = first.Header("ETag");
  ASSERT_TRUE(tag.size() > 2 && tag.front() == '"' && tag.back() == '"') << tag;  // strong

  // However the cache names it, the tag of the unchanged game gets 304 without a document.
  for (const std::string& asked : {tag, "W/" + tag, "\"elsewhere\", " + tag, std::string("*")}) {
    const THttpReply again = Client.Get(url, {"If-None-Match: " + asked});
    EXPECT_EQ(again.Status, 304) << asked;
    EXPECT_EQ(again.Body, "") << asked;
    EXPECT_EQ(again.Header("ETag"), tag) << asked;
    EXPECT_EQ(again.Header("Cache-Control"), "public, max-age=1") << asked;
  }
  EXPECT_EQ(Client.Get(url, {"If-None-Match: \"elsewhere\""}).Body, first.Body);

  // A batch makes a new state: the old tag gets the new document.
  TActionList batch;
  batch.push_back(Make.Shot(30, 1, 4, "Made", 2));
  ASSERT_TRUE(SendActions(batch).Ok());
  const THttpReply changed = Client.Get(url, {"If-None-Match: " + tag});
  ASSERT_EQ(changed.Status, 200);
  EXPECT_NE(changed.Header("ETag"), tag);
  EXPECT_EQ(nlohmann::json::parse(changed.Body)["stats"]["score"], nlohmann::json::array({2, 0}));
  // The old address of the document is the same document.
  EXPECT_EQ(Client.Get(Server->Url("/live/G-1.json"), {"If-None-Match: " + changed.Header("ETag")}).Status, 304);

  // Unpublished, it is gone for the cache too; published again, no tag of the old game is its own.
  ASSERT_TRUE(Store->Unpublish("G-1"));
  EXPECT_EQ(Client.Get(url, {"If-None-Match: " + changed.Header("ETag")}).Status, 404);
  Publish(MakeMatchInfo(8, "G-1"), "alice");
  const THttpReply republished = Client.Get(url, {"If-None-Match: " + changed.Header("ETag")});
  EXPECT_EQ(republished.Status, 200);
  EXPECT_NE(republished.Header("ETag"), tag);
}

TEST_F(LivePagesTest, TheIndexListsThePublishedGamesAndAnUnknownGameIsNotFound) {
  const THttpReply index = Client.Get(Server->Url("/live/"));
  ASSERT_TRUE(index.Ok());
  EXPECT_NE(index.Body.find("href=\"/live/G-1\""), std::string::npos);
  EXPECT_NE(index.Body.find("href=\"/live/B-1\""), std::string::npos);
  EXPECT_NE(index.Body.find("Bob&#39;s team"), std::string::npos);
  const THttpReply page = Client.Get(Server->Url("/live/G-1"));
  EXPECT_TRUE(page.Ok());
  // The page is the same all game long; only its document changes.
  EXPECT_EQ(page.Header("Cache-Control"), "public, max-age=600");
  EXPECT_EQ(Client.Get(Server->Url("/live/NOPE")).Status, 404);
  EXPECT_EQ(Client.Get(Server->Url("/live/NOPE.json")).Status, 404);
  EXPECT_EQ(Client.Get(Server->Url("/live/NOPE?format=json")).Status, 404);
}

TEST_F(LivePagesTest, AGameWhoseNumberEndsInJsonHasItsPageAndItsDocument) {
  TMatchInfo game = MakeMatchInfo(8, "B-1.json");
  game.Team1.Name = "Punto Json";
  Publish(game, "alice");
  const THttpReply page = Client.Get(Server->Url("/live/B-1.json"));
  ASSERT_TRUE(page.Ok());
  EXPECT_NE(page.ContentType.find("text/html"), std::string::npos);
  EXPECT_NE(page.Body.find("data-game=\"B-1.json\""), std::string::npos);
  EXPECT_EQ(LiveJson("B-1.json")["teams"][0]["name"], "Punto Json");
  EXPECT_EQ(LiveJson("B-1")["teams"][0]["name"], "Bob's team");
  // The document's address of pages opened earlier still answers.
  const THttpReply earlier = Client.Get(Server->Url("/live/G-1.json"));
  EXPECT_NE(earlier.ContentType.find("application/json"), std::string::npos);
  EXPECT_EQ(nlohmann::json::parse(earlier.Body)["game_number"], "G-1");
}

TEST_F(LivePagesTest, AHostilePeriodStoredBeforeTheBoundNeverReachesThePage) {
  TActionList start;
  start.push_back(Make.Period(0, 1, "Start Game"));
  start.push_back(Make.Shot(30, 1, 4, "Made", 2));
  start.push_back(Make.Period(600, 2, "Start"));
  StampAstroTimes(start);
  ASSERT_TRUE(SendActions(start).Ok());
  // As a database from before holds it.
  ASSERT_TRUE(Store->Engine().Write([&](statserver::TSqlConnection& db) -> statserver::TChangeStatus {
    db.Run("UPDATE dvEvents SET log_param_1='1000' WHERE log_id=?", {start[2]->ID});
    return TStatus{};
  }));
  const nlohmann::json live = LiveJson();
  EXPECT_EQ(live["stats"]["period_scores"].size(), 1u);
  EXPECT_EQ(live["stats"]["score"], nlohmann::json::array({2, 0}));
  EXPECT_EQ(live["plays"].size(), 2u);
}

TEST_F(LivePagesTest, TheDocumentFollowsChangesMadeByTheAdministrationCommands) {
  ASSERT_EQ(LiveJson("B-1")["teams"][0]["name"], "Bob's team");
  {
    auto admin = statserver::TServerStore::Open(Database.Location(), ProgramFolder() / "dravon.db");
    ASSERT_TRUE(admin);
    ASSERT_TRUE(admin.Value()->Unpublish("B-1"));
    TMatchInfo again = MakeMatchInfo(12, "B-1");
    again.Team1.Name = "Renamed";
    ASSERT_TRUE(admin.Value()->Publish(again, MatchInfoText(again), nullptr, "bob"));
  }
  // Another process's change reaches the page within a second (at once on the embedded engine).
  const auto changed = std::chrono::steady_clock::now();
  while (LiveJson("B-1")["teams"][0]["name"] != "Renamed" && std::chrono::steady_clock::now() - changed < 1s) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(LiveJson("B-1")["teams"][0]["name"], "Renamed");
}

}  // namespace
}  // namespace velmora::testing

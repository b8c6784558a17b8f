// A 48-minute game with three overtimes ends at 63:00. Past the hour nothing may wrap: not the
// transfer file, the store, the statistics, the export, the server's copy nor its live page.

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "client_fixture.h"
#include "command_line.h"
#include "records/xml_text.h"
#include "stats/game_documents.h"

namespace velmora::testing {
namespace {

using Json = nlohmann::json;

constexpr int kEnd = 63 * 60;  // four periods of 12 minutes and three overtimes of 5

// Regulation from the simulation stretched to twelve-minute periods, then three overtimes with
// baskets before and after the hour.
TActionList ThreeOvertimes(const TMatchInfo& matchInfo) {
  TActionList actions = SimulateGame(matchInfo, 400, 9);
  for (auto& action : actions) {
    action->GameTime = FromSeconds(WholeSeconds(action->GameTime) * 6 / 5);
    if (action->ShortName == "quarter" && action->GetParam("Type") == "End Game") action->SetParam("Type", "End");
  }
  TActionFactory make;
  const int home = matchInfo.Team1.Player(1).Number;
  const int away = matchInfo.Team2.Player(1).Number;
  for (int overtime = 1; overtime <= 3; ++overtime) {
    const int start = (48 + (overtime - 1) * 5) * 60;
    const int period = 4 + overtime;
    actions.push_back(make.Period(start, period, "Start"));
    actions.push_back(make.Shot(start + 90, 1, home, "Made", 2));
    actions.push_back(make.Shot(start + 165, 2, away, "Made", 3));
    actions.push_back(make.Shot(start + 240, 1, home, "Made", 3));
    actions.push_back(make.Period(start + 300, period, overtime == 3 ? "End Game" : "End"));
  }
  return actions;
}

class LongGameTest : public ClientE2eTest {
 protected:
  LongGameTest() {
    Config.SetInt("quarter_duration", 12);
    TModel played(Config);
    played.MatchInfo = MakeMatchInfo(12, "G-OT");
    played.SetActions(ThreeOvertimes(played.MatchInfo));
    played.MatchInfo.CurrentGameTime = FromSeconds(kEnd);
    played.Recompute();
    Score = played.Score();
    EXPECT_TRUE(WriteTransferFile(played, Played).Ok());
  }
  TCliRun Local(const TTempFolder& data, std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", data.Path().string()});
    return RunCli(args);
  }

  TTempFolder Data;
  TTempFolder Again;
  TTempFolder ConfigHome;
  TEnvironmentGuard ConfigGuard{"XDG_CONFIG_HOME", ConfigHome.Path().string()};
  std::filesystem::path Played = Temp / "played.log";
  std::pair<int, int> Score;
};

TEST_F(LongGameTest, NothingWrapsPastTheHour) {
  for (const TTempFolder* data : {&Data, &Again}) {
    ASSERT_EQ(Local(*data, {"settings", "set", "quarter_duration", "12"}).Status, cli::kSuccess);
  }

  // The transfer file, and the store it is imported into.
  const TCliRun fromFile = Local(Data, {"stats", "--file", Played.string()});
  ASSERT_EQ(fromFile.Status, cli::kSuccess) << fromFile.Err;
  ASSERT_EQ(Local(Data, {"import", Played.string()}).Status, cli::kSuccess);
  const TCliRun stored = Local(Data, {"stats", "G-OT"});
  ASSERT_EQ(stored.Status, cli::kSuccess) << stored.Err;
  EXPECT_EQ(stored.Out, fromFile.Out);
  const Json stats = Json::parse(stored.Out);
  EXPECT_EQ(stats["current_game_time"], "01:03:00");
  EXPECT_EQ(stats["current_period"], 7);
  EXPECT_EQ(stats["period_scores"].size(), 7u);
  EXPECT_EQ(stats["score"], Json::array({Score.first, Score.second}));
  for (const auto& team : stats["teams"]) EXPECT_EQ(team["totals"]["MIN"], 5 * kEnd) << "five on court all game";

  // The export reads back as it was written, and into another store with the same checksum.
  const auto exported = Temp / "exported.log";
  ASSERT_EQ(Local(Data, {"export", "G-OT", exported.string()}).Status, cli::kSuccess);
  const std::string text = ReadFile(exported);
  EXPECT_NE(text.find("CurrentGameTime=\"01:03:00\""), std::string::npos);
  EXPECT_NE(text.find("GameTime=\"01:02:00\""), std::string::npos);
  EXPECT_EQ(Local(Data, {"stats", "--file", exported.string()}).Out, stored.Out);
  ASSERT_EQ(Local(Again, {"import", exported.string()}).Status, cli::kSuccess);
  const std::string checksum = Local(Data, {"checksum", "G-OT"}).Out;
  ASSERT_EQ(checksum.size(), 33u);
  EXPECT_EQ(Local(Again, {"checksum", "G-OT"}).Out, checksum);

  // The server's copy, published from the export: the same checksum, its clock past the hour,
  // and its live page at the end of the third overtime.
  auto game = ReadTransferFile(exported);
  ASSERT_TRUE(game.Ok()) << game.Error();
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(DecodeXmlBytes(text).c_str()));
  const std::string matchInfoXml = XmlText(document.document_element().last_child());
  ASSERT_TRUE(ServerStore->Publish(game.Value().MatchInfo, matchInfoXml, &*game.Value().Actions, kOperator).Ok());
  Connect(DirectUrl());
  EXPECT_EQ(Client->GetRemoteChecksum("G-OT") + "\n", checksum);
  TMatchInfo served;
  ASSERT_TRUE(Client->GetMatchInfo("G-OT", served, false));
  EXPECT_EQ(FormatLongTime(served.CurrentGameTime), "01:03:00");
  httplib::Client viewer("127.0.0.1", Server->Port());
  const auto live = viewer.Get("/live/G-OT.json");
  ASSERT_TRUE(live && live->status == 200);
  const Json page = Json::parse(live->body);
  EXPECT_EQ(page["period_clock"], "00:00");
  EXPECT_EQ(page["plays"][1]["clock"], "01:00") << "the basket at 62:00, a minute before the end";
}

}  // namespace
}  // namespace velmora::testing

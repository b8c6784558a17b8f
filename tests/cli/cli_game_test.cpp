#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "platform/configuration.h"
#include "cli_fixture.h"
#include "game_builder.h"
#include "live/game_checks.h"
#include "stats/game_documents.h"
#include "stats/model.h"

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;

class CliGameTest : public CliTest {
 protected:
  CliGameTest() : Settings(Data.Path()), Model(Settings) {
    Model.MatchInfo = velmora::testing::MakeMatchInfo(12, "G-77");
    Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
    Model.SetActions(velmora::testing::SimulateGame(Model.MatchInfo, 400, 3));
    Model.Recompute();
    EXPECT_TRUE(WriteTransferFile(Model, GameFile()).Ok());
  }
  std::filesystem::path GameFile() const { return Data / "game.log"; }

  TConfiguration Settings;
  TModel Model;
};

TEST_F(CliGameTest, StatsReportsTheModelsFigures) {
  const TRunResult result = Run({"stats", "--file", GameFile().string()});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  const Json stats = Json::parse(result.Out);

  EXPECT_EQ(stats["game_number"], "G-77");
  EXPECT_EQ(stats["current_period"], 4);
  EXPECT_EQ(stats["game_ended"], true);
  EXPECT_EQ(stats["current_game_time"], "00:40:00");
  const auto [home, away] = Model.Score();
  EXPECT_EQ(stats["score"], Json::array({home, away}));
  ASSERT_EQ(stats["period_scores"].size(), 4u);

  for (int team = 1; team <= 2; ++team) {
    const Json& teamJson = stats["teams"][static_cast<std::size_t>(team - 1)];
    EXPECT_EQ(teamJson["team"], team);
    EXPECT_EQ(teamJson["totals"]["PTS"], Model.Stats(TModel::TotalsSlot(team)).Get("PTS"));
    EXPECT_EQ(teamJson["totals"]["MIN"], 5 * 2400) << "five players on court for the whole game";
    ASSERT_EQ(teamJson["players"].size(), 12u);
    for (const auto& player : teamJson["players"]) {
      const int slot = player["slot"];
      const TIntegerHash& table = Model.Stats(TModel::PlayerSlot(team, slot));
      std::vector<std::string> keys;
      for (const auto& [key, value] : player["stats"].items()) {
        keys.push_back(key);
        EXPECT_EQ(value, table.Get(key)) << key;
      }
      EXPECT_EQ(keys, table.KeysInOrder());
      EXPECT_EQ(player["plus_minus"], table.Get("PLLSS"));
    }
    for (const char* key : {"PAL", "PSC", "PCA", "PIZ", "PIBH"}) EXPECT_TRUE(teamJson["derived"].contains(key));
  }
}

TEST_F(CliGameTest, BoxScoreAndActionsDocuments) {
  const TRunResult boxscore = Run({"boxscore", "--file", GameFile().string()});
  ASSERT_EQ(boxscore.Status, kSuccess) << boxscore.Err;
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(boxscore.Out.c_str()));
  const pugi::xml_node player = document.child("BOXSCORE").child("TEAM").child("PLAYER");
  EXPECT_STREQ(player.first_attribute().next_attribute().next_attribute().name(), "ST");
  EXPECT_STREQ(player.last_attribute().name(), "RO");

  const TRunResult actions = Run({"actions", "--file", GameFile().string()});
  ASSERT_EQ(actions.Status, kSuccess) << actions.Err;
  ASSERT_TRUE(document.load_string(actions.Out.c_str()));
  const auto children = document.child("ACTIONS").children("ACTION");
  EXPECT_EQ(static_cast<std::size_t>(std::distance(children.begin(), children.end())), Model.Actions().size());
}

TEST_F(CliGameTest, AFormulaNestedBeyondTheBoundGivesZeroEfficiency) {
  const std::string deep = std::string(50'000, '(') + "PTS" + std::string(50'000, ')');
  ASSERT_EQ(Run({"settings", "set", "eff_formula", deep}).Status, kSuccess);
  const TRunResult result = Run({"stats", "--file", GameFile().string()});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  // Kept whole: a loop over a part of a temporary would read what is already gone.
  const Json stats = Json::parse(result.Out);
  for (const auto& team : stats["teams"]) {
    EXPECT_EQ(team["efficiency"], 0);
    for (const auto& player : team["players"]) EXPECT_EQ(player["efficiency"], 0);
  }
}

TEST_F(CliGameTest, UnreadableAndCorruptFilesAreFailures) {
  const TRunResult missing = Run({"stats", "--file", (Data / "nothing.log").string()});
  EXPECT_EQ(missing.Status, kFailure);
  EXPECT_EQ(missing.Err.find("Failed to read game data from specified file. "), 0u) << missing.Err;

  velmora::testing::WriteFile(Data / "broken.log", "<DRAVON><ACTIONS/><MATCHINFO");
  const TRunResult broken = Run({"boxscore", "--file", (Data / "broken.log").string()});
  EXPECT_EQ(broken.Status, kFailure);
  EXPECT_EQ(broken.Err, "Error al interpretar el fichero - quizá los datos están corruptos.\n");
  EXPECT_TRUE(broken.Out.empty());

  EXPECT_EQ(Run({"stats"}).Status, kUsageError);
}

TEST_F(CliTest, EvalPrintsTheShortestExactValue) {
  EXPECT_EQ(Run({"eval", "2+3*4"}).Out, "14\n");
  EXPECT_EQ(Run({"eval", "1/3"}).Out, "0.3333333333333333\n");
  EXPECT_EQ(Run({"eval", "-2^2"}).Out, "-4\n");
  const TRunResult error = Run({"eval", "2^3^2"});
  EXPECT_EQ(error.Status, kFailure);
  EXPECT_EQ(error.Err, "Error parsing expression:\n2^3^2\n");
  EXPECT_EQ(Run({"eval", "1/0"}).Status, kFailure);
}

TEST_F(CliGameTest, CheckListsTheGamesSlipsInTheOrderOfItsActions) {
  // The simulated game neither links free throws to their fouls nor takes fouled-out players off.
  const auto flags = CheckGame(Model);
  ASSERT_FALSE(flags.empty());
  const TRunResult result = Run({"check", "--file", GameFile().string(), "--json"});
  ASSERT_EQ(result.Status, kSuccess) << result.Err << " (slips are advice, not a failure)";
  const Json checked = Json::parse(result.Out);
  EXPECT_EQ(checked["game"], "G-77");
  ASSERT_EQ(checked["flags"].size(), flags.size());
  const Json& first = checked["flags"][0];
  EXPECT_EQ(first["kind"], std::string(CheckKindName(flags[0].Kind)));
  EXPECT_EQ(first["action"], flags[0].ActionID);
  EXPECT_EQ(first["period"], flags[0].Period);
  EXPECT_EQ(first["game_time"], FormatLongTime(flags[0].GameTime));
  EXPECT_EQ(first["team"], flags[0].Team);
  EXPECT_EQ(first["player"], flags[0].Player);
  EXPECT_EQ(first["text"], flags[0].Text);
  std::vector<std::string> keys;
  for (const auto& [key, value] : first.items()) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"kind", "action", "period", "game_time", "team", "player", "text"}));

  const TRunResult readable = Run({"check", "--file", GameFile().string()});
  EXPECT_EQ(readable.Status, kSuccess);
  EXPECT_EQ(std::count(readable.Out.begin(), readable.Out.end(), '\n'), static_cast<long>(flags.size()));
  EXPECT_NE(Run({"check", "--file", (Data / "missing.log").string()}).Status, kSuccess);
  EXPECT_EQ(Run({"check"}).Status, kUsageError);
}

}  // namespace
}  // namespace velmora::cli

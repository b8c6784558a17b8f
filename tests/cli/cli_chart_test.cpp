// "velmora-cli chart": the JSON of each chart for a small game of known shots, the options that
// change it, the errors of the options, and the pictures.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "game_builder.h"
#include "platform/configuration.h"
#include "stats/game_documents.h"
#include "stats/model.h"

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;

class CliChartTest : public CliTest {
 protected:
  CliChartTest() : Settings(Data.Path()), Model(Settings) {
    Model.MatchInfo = velmora::testing::MakeMatchInfo(12, "G-5");
    Model.MatchInfo.CurrentGameTime = FromSeconds(1500);
    velmora::testing::TActionFactory make;
    TActionList actions;
    for (int shirt = 4; shirt <= 8; ++shirt) actions.push_back(make.Subst(0, 1, 0, shirt));
    actions.push_back(make.Period(0, 1, "Start Game"));
    actions.push_back(make.Shot(60, 1, 4, "Made", 2, "139+29"));
    for (int i = 0; i < 9; ++i) actions.push_back(make.Shot(100 + i, 2, 5, i < 5 ? "Made" : "Missed", 2, "139+60"));
    actions.push_back(make.Period(600, 1, "End"));
    actions.push_back(make.Period(600, 2, "Start"));
    actions.push_back(make.Shot(700, 1, 6, "Blocked", 3, "20+60"));
    actions.push_back(make.Period(1200, 2, "End"));
    actions.push_back(make.Period(1200, 3, "Start"));
    actions.push_back(make.Shot(1300, 2, 4, "Made", 3, "250+70"));
    Model.SetActions(std::move(actions));
    Model.Recompute();
    EXPECT_TRUE(WriteTransferFile(Model, GameFile()).Ok());
  }
  std::filesystem::path GameFile() const { return Data / "game.log"; }
  Json Chart(std::vector<std::string> args) {
    args.insert(args.begin(), {"chart"});
    args.insert(args.begin() + 2, {"--file", GameFile().string()});
    const TRunResult result = Run(args);
    EXPECT_EQ(result.Status, kSuccess) << result.Err;
    return result.Status == kSuccess ? Json::parse(result.Out) : Json();
  }

  TConfiguration Settings;
  TModel Model;
};

TEST_F(CliChartTest, ShotChartPlacesFiltersAndExplains) {
  Json chart = Chart({"shotchart"});
  EXPECT_EQ(chart["side_labels"], Json::array({"Club Baloncesto Norte", "Müller Basket Süd"}));
  ASSERT_EQ(chart["shots"].size(), 12u);
  EXPECT_EQ(chart["shots"][0], (Json{{"x", 29}, {"y", 140}, {"team", 1}, {"made", "Made"}, {"period", 1}, {"side", "left"}}));
  EXPECT_EQ(chart["shots"][10]["made"], "Blocked");
  EXPECT_EQ(chart["description"], "");

  chart = Chart({"shotchart", "--no-team", "1", "--periods", "1,3", "--by-half"});
  EXPECT_EQ(chart["side_labels"][0], "Primera mitad");
  ASSERT_EQ(chart["shots"].size(), 10u);
  EXPECT_EQ(chart["shots"][9]["side"], "right") << "period 3 is in the second half";
  EXPECT_EQ(chart["description"],
            "Sólo los tiros del Müller Basket Süd representados.\rRepresentar sólo los tiros marcados en los cuartos "
            "1 y 3.\r");

  chart = Chart({"shotchart", "--players", "2:5"});
  EXPECT_EQ(chart["shots"].size(), 9u) << "only shirt 5 of team 2 is chosen";
}

TEST_F(CliChartTest, HeatMapCellsAfterNormalisation) {
  const Json chart = Chart({"heatmap", "--intensity", "50", "--no-team", "2"});
  ASSERT_EQ(chart["cells"].size(), 21u);
  ASSERT_EQ(chart["cells"][0].size(), 36u);
  // The shot at the left basket, (29, 140): cell column 2, row 10.
  EXPECT_EQ(chart["cells"][10][2], 66);
  EXPECT_EQ(chart["cells"][9][1], 20);
  EXPECT_EQ(chart["cells"][12][0], 5);
}

TEST_F(CliChartTest, TeamComparisonPercentagesAndLegend) {
  Json chart = Chart({"teamcomparison", "--stat", "3"});
  ASSERT_EQ(chart["series"].size(), 8u);
  EXPECT_EQ(chart["series"][7], (Json{{"title", "Prórroga 4"}, {"in_legend", false}, {"bars", {100, 56}}}));
  EXPECT_EQ(chart["series"][0]["bars"], Json::array({0, 0}));
  EXPECT_TRUE(chart["series"][1]["bars"].is_null());
  EXPECT_EQ(chart["title"], "2-point field goal percentage");

  chart = Chart({"teamcomparison", "--players", "1:4"});
  EXPECT_EQ(chart["series"][0]["bars"], Json::array({1, 0}));
}

TEST_F(CliChartTest, ScoreDevelopmentMinutesAndBands) {
  Json chart = Chart({"scoredevelopment", "--players", "1:4,1:5"});
  EXPECT_EQ(chart["title"], "Marcador");
  EXPECT_EQ(chart["minutes"], 25);
  EXPECT_EQ(chart["team1"][24], 2);
  EXPECT_EQ(chart["team2"][24], 13);
  EXPECT_EQ(chart["bands"][0], "team1");

  chart = Chart({"scoredevelopment", "--option", "2", "--no-accumulated"});
  EXPECT_EQ(chart["title"], "Porcentaje de tiros");
  EXPECT_NEAR(chart["team2"][1].get<double>(), 500.0 / 9, 1e-9);
  EXPECT_EQ(chart["bands"][0], "none");
}

TEST_F(CliChartTest, OptionsThatDoNotApplyAndPlayersMissingFromTheRoster) {
  const std::string file = GameFile().string();
  EXPECT_EQ(Run({"chart", "teamcomparison", "--file", file, "--bw"}).Status, kUsageError);
  EXPECT_EQ(Run({"chart", "heatmap", "--file", file, "--intensity", "1"}).Status, kUsageError);
  EXPECT_EQ(Run({"chart", "pie", "--file", file}).Status, kUsageError);
  EXPECT_EQ(Run({"chart", "shotchart"}).Status, kUsageError);
  const TRunResult stranger = Run({"chart", "shotchart", "--file", file, "--players", "1:99"});
  EXPECT_EQ(stranger.Status, kFailure);
  EXPECT_EQ(stranger.Err, "No hay jugador 1:99 en el equipo.\n");
  EXPECT_EQ(Run({"chart", "shotchart", "--file", file, "--periods", "7"}).Status, kFailure);
  EXPECT_EQ(Run({"chart", "shotchart", "G-404"}).Status, kFailure);
}

TEST_F(CliChartTest, PicturesAreWrittenWithoutAScreen) {
#ifndef VELMORA_CLI_PICTURES
  GTEST_SKIP() << "built without the windows";
#endif
  for (const char* kind : {"shotchart", "heatmap", "teamcomparison", "scoredevelopment"}) {
    const std::string png = (Data / (std::string(kind) + ".png")).string();
    const TRunResult result = Run({"chart", kind, "--file", GameFile().string(), "--png", png});
    ASSERT_EQ(result.Status, kSuccess) << result.Err;
    EXPECT_TRUE(result.Out.empty()) << "no JSON unless asked for";
    std::ifstream in(png, std::ios::binary);
    std::string header(24, '\0');
    in.read(header.data(), 24);
    ASSERT_EQ(header.substr(1, 3), "PNG") << kind;
    const auto big = [&header](std::size_t at) {
      return (static_cast<unsigned char>(header[at]) << 8) | static_cast<unsigned char>(header[at + 1]);
    };
    const bool court = std::string(kind) == "shotchart" || std::string(kind) == "heatmap";
    EXPECT_EQ(big(18), court ? 962 : 1520) << kind;
    EXPECT_EQ(big(22), court ? 558 : 800) << kind;
  }
  const TRunResult both = Run({"chart", "shotchart", "--file", GameFile().string(), "--json", "--png",
                               (Data / "again.png").string()});
  EXPECT_EQ(Json::parse(both.Out)["shots"].size(), 12u);
}

}  // namespace
}  // namespace velmora::cli

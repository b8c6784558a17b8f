// "velmora-cli chart": the JSON of each chart for a small game of known shots, the options that
// change it, the errors of the options, the pictures and the printed sheets.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "game_builder.h"
#include "pdf_reader.h"
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

// The printed sheet of a chart: its picture across the page at print resolution, the game's
// header, and what the chart shows in words.
class CliChartPdfTest : public CliChartTest {
 protected:
  // The text of the sheet the chart prints; checks that it holds one chart picture, crisp.
  std::string PrintedSheet(std::vector<std::string> args) {
    const std::filesystem::path pdf = Data / (args[0] + ".pdf");
    args.insert(args.begin(), "chart");
    args.insert(args.end(), {"--file", GameFile().string(), "--pdf", pdf.string()});
    const TRunResult result = Run(args);
    EXPECT_EQ(result.Status, kSuccess) << result.Err;
    EXPECT_TRUE(result.Out.empty()) << "no JSON unless asked for";
    std::vector<velmora::testing::TPdfPicture> charts;
    for (const auto& picture : velmora::testing::PdfPictures(pdf)) {
      if (picture.Height > 400) charts.push_back(picture);  // not the header, footer or logo
    }
    EXPECT_EQ(charts.size(), 1u) << args[1];
    if (!charts.empty()) {
      EXPECT_EQ(charts[0].Page, 1);
      EXPECT_GE(charts[0].Dpi, 290) << "the chart is drawn for the printer, not stretched from the screen";
    }
    return velmora::testing::PdfText(pdf);
  }
};

TEST_F(CliChartPdfTest, ShotChartAndHeatMapPrintTheirSidesAndFilters) {
#ifndef VELMORA_CLI_PICTURES
  GTEST_SKIP() << "built without the windows";
#endif
  for (const char* kind : {"shotchart", "heatmap"}) {
    const std::string text = PrintedSheet({kind, "--no-team", "1", "--periods", "1,3"});
    EXPECT_NE(text.find("Shot chart"), std::string::npos) << text;
    EXPECT_NE(text.find("Club Baloncesto Norte"), std::string::npos) << "the side labels and the score line";
    EXPECT_NE(text.find("Sólo los tiros del Müller Basket Süd representados."), std::string::npos) << text;
    EXPECT_NE(text.find("Representar sólo los tiros marcados en los cuartos 1 y 3."), std::string::npos) << text;
    EXPECT_NE(text.find("Game G-5"), std::string::npos) << "the game's header";
  }
  // Everything shown: no explanation under the chart.
  const std::string all = PrintedSheet({"shotchart"});
  EXPECT_EQ(all.find("Representar"), std::string::npos);
  EXPECT_EQ(all.find("Sólo"), std::string::npos);
}

TEST_F(CliChartPdfTest, TeamComparisonNamesThePlayersItCounts) {
#ifndef VELMORA_CLI_PICTURES
  GTEST_SKIP() << "built without the windows";
#endif
  std::string text = PrintedSheet({"teamcomparison", "--players", "1:4,1:6", "--stat", "3"});
  EXPECT_NE(text.find("Team comparison"), std::string::npos) << text;
  EXPECT_NE(text.find("4 Player1 Pérez"), std::string::npos) << text;
  EXPECT_NE(text.find("6 Player3 Pérez"), std::string::npos) << text;
  EXPECT_EQ(text.find("5 Player2 Pérez"), std::string::npos) << "not chosen";
  EXPECT_EQ(text.find("Todos los jugadores"), std::string::npos) << "team 2 has none chosen: no names";
  text = PrintedSheet({"teamcomparison"});
  EXPECT_EQ(text.find("Player1"), std::string::npos) << text;
  const auto all = text.find("Todos los jugadores");
  ASSERT_NE(all, std::string::npos) << text;
  EXPECT_NE(text.find("Todos los jugadores", all + 1), std::string::npos) << "for both teams";

  const std::string nowhere = (Data / "no such folder" / "chart.pdf").string();
  const TRunResult failed = Run({"chart", "teamcomparison", "--file", GameFile().string(), "--pdf", nowhere});
  EXPECT_EQ(failed.Status, kFailure);
  EXPECT_NE(failed.Err.find("chart.pdf"), std::string::npos) << failed.Err;
}

TEST_F(CliChartPdfTest, ScoreDevelopmentNamesThePlayersOfItsBands) {
#ifndef VELMORA_CLI_PICTURES
  GTEST_SKIP() << "built without the windows";
#endif
  std::string text = PrintedSheet({"scoredevelopment", "--players", "2:5,2:7", "--bars"});
  EXPECT_NE(text.find("Score development"), std::string::npos) << text;
  EXPECT_NE(text.find("5 Player2 Müller"), std::string::npos) << text;
  EXPECT_NE(text.find("7 Player4 Müller"), std::string::npos) << text;
  EXPECT_NE(text.find("Sin jugadores"), std::string::npos) << "team 1 has none chosen";
  text = PrintedSheet({"scoredevelopment", "--players", "1:4,1:5,1:6,1:7,1:8,1:9"});
  EXPECT_EQ(text.find("Player"), std::string::npos) << "six players make no band and are not named";
}

TEST_F(CliChartPdfTest, TheReportOfAChartIsTheSheetItPrints) {
  const std::string file = GameFile().string();
  const TRunResult result = Run({"report", "teamcomparison", "--file", file, "--players", "1:4", "--stat", "3"});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  const Json report = Json::parse(result.Out);
  EXPECT_EQ(report["report"], "TeamComparison");
  EXPECT_EQ(report["orientation"], "portrait");
  EXPECT_EQ(report["copies"], 1);
  EXPECT_EQ(report["parameters"]["Team1Name0"], "4 Player1 Pérez");
  EXPECT_EQ(report["parameters"]["Team2Name0"], "") << "--players chooses none of team 2";
  const Json shots = Json::parse(Run({"report", "shotchart", "--file", file, "--no-team", "1"}).Out);
  EXPECT_EQ(shots["report"], "ShotChart");
  EXPECT_EQ(shots["parameters"]["Expl3"], "Sólo los tiros del Müller Basket Süd representados.\r");
  EXPECT_EQ(Run({"report", "shotchart", "--file", file, "--png", (Data / "x.png").string()}).Status, kUsageError)
      << "a report has no picture of its own";
  EXPECT_EQ(Run({"report", "teamcomparison", "--file", file, "--bw"}).Status, kUsageError);

#ifdef VELMORA_CLI_PICTURES
  const std::string pdf = (Data / "report.pdf").string();
  const TRunResult printed =
      Run({"report", "scoredevelopment", "--file", file, "--players", "2:5", "--bars", "--pdf", pdf});
  ASSERT_EQ(printed.Status, kSuccess) << printed.Err;
  EXPECT_EQ(printed.Out, "") << "no JSON unless asked for beside a PDF";
  EXPECT_EQ(velmora::testing::PdfText(pdf), PrintedSheet({"scoredevelopment", "--players", "2:5", "--bars"}));
#endif
}

}  // namespace
}  // namespace velmora::cli

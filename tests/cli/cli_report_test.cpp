// velmora-cli report: the golden cases of tests/data/reports (a game file and the JSON its report
// gives), the PDF, and the faults named on standard error.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "records/file_io.h"

namespace velmora::cli {
namespace {

using Json = nlohmann::ordered_json;
using ::testing::HasSubstr;

const std::filesystem::path kCases = std::filesystem::path(VELMORA_TEST_DATA) / "reports";

class CliReportTest : public CliTest {};

TEST_F(CliReportTest, EveryGoldenCaseGivesItsExpectedData) {
  int cases = 0;
  for (const auto& folder : std::filesystem::directory_iterator(kCases)) {
    const std::string report = folder.path().filename().string();
    SCOPED_TRACE(report);
    const TRunResult result = Run({"report", report, "--file", (folder.path() / "game.log").string(), "--json"});
    ASSERT_EQ(result.Status, kSuccess) << result.Err;
    std::ifstream expected(folder.path() / "expected.json");
    // Ordered: the parameters in the order they are set.
    EXPECT_EQ(Json::parse(result.Out), Json::parse(expected)) << result.Out;
    ++cases;
  }
  EXPECT_EQ(cases, 6);
}

TEST_F(CliReportTest, AStoredGameGivesTheDataOfItsFileAndThePdfOfItsWindow) {
  const std::string game = (kCases / "boxscore" / "game.log").string();
  ASSERT_EQ(Run({"import", game}).Status, kSuccess);
  const TRunResult fromFile = Run({"report", "boxscore", "--file", game});
  const TRunResult stored = Run({"report", "boxscore", "LIGA-0917", "--json", "--pdf", (Data / "acta.pdf").string()});
  ASSERT_EQ(stored.Status, kSuccess) << stored.Err;
  EXPECT_EQ(Json::parse(stored.Out), Json::parse(fromFile.Out));
  const auto pdf = ReadWholeFile(Data / "acta.pdf");
  ASSERT_TRUE(pdf);
  EXPECT_TRUE(pdf->starts_with("%PDF-"));

  const TRunResult pdfOnly = Run({"report", "rosters", "--file", (kCases / "rosters" / "game.log").string(), "--pdf",
                                  (Data / "rosters.pdf").string()});
  ASSERT_EQ(pdfOnly.Status, kSuccess) << pdfOnly.Err;
  EXPECT_EQ(pdfOnly.Out, "") << "no JSON unless asked for beside a PDF";
  EXPECT_TRUE(std::filesystem::exists(Data / "rosters.pdf"));
}

TEST_F(CliReportTest, LineupsAreGeneratedForTheChosenTeamAndFigure) {
  const TRunResult result = Run({"report", "lineupefficiency", "--file",
                                 (kCases / "lineupefficiency" / "game.log").string(), "--team", "2", "--option", "1"});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  const Json data = Json::parse(result.Out);
  EXPECT_EQ(data["parameters"]["COUNTRYSELECTED"], "Basket Sur");
  EXPECT_EQ(data["parameters"]["OPTIONSELECTED"], "Score development");
  const Json& rows = data["connections"]["LineupEfficiencyConnection"]["rows"];
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], "+1");
  EXPECT_EQ(rows[1][1], "-3");
}

TEST_F(CliReportTest, FaultsAreNamedAndEndWithAFailure) {
  TRunResult result = Run({"report", "scoresheet", "G-1"});
  EXPECT_EQ(result.Status, kUsageError);
  EXPECT_THAT(result.Err, HasSubstr("unknown report \"scoresheet\""));
  EXPECT_THAT(result.Err, HasSubstr("boxscore, lineupefficiency, mediaboxscore, playbyplay, rosters, teamleaders"));
  EXPECT_EQ(Run({"report", "boxscore"}).Status, kUsageError);
  EXPECT_EQ(Run({"report", "boxscore", "G-1", "--pdf"}).Status, kUsageError);
  const std::string lineups = (kCases / "lineupefficiency" / "game.log").string();
  EXPECT_EQ(Run({"report", "lineupefficiency", "--file", lineups, "--team", "3"}).Status, kUsageError);
  EXPECT_EQ(Run({"report", "lineupefficiency", "--file", lineups, "--option", "7"}).Status, kUsageError);
  result = Run({"report", "boxscore", "--file", lineups, "--option", "1"});
  EXPECT_EQ(result.Status, kUsageError);
  EXPECT_THAT(result.Err, HasSubstr("--option are options of the lineup efficiency"));

  result = Run({"report", "boxscore", "NOPE-1"});
  EXPECT_EQ(result.Status, kFailure);
  EXPECT_THAT(result.Err, HasSubstr("NOPE-1"));
  result = Run({"report", "rosters", "--file", (Data / "missing.log").string()});
  EXPECT_EQ(result.Status, kFailure);
  EXPECT_THAT(result.Err, HasSubstr("missing.log"));

  result = Run({"report", "boxscore", "--file", (kCases / "boxscore" / "game.log").string(), "--pdf",
                (Data / "no such folder" / "acta.pdf").string()});
  EXPECT_EQ(result.Status, kFailure);
  EXPECT_THAT(result.Err, HasSubstr("acta.pdf"));
}

}  // namespace
}  // namespace velmora::cli

// The data of the reports: the shared header, the official box score with its places and figures,
// the transfer's checks, and the rosters' data connections.

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "platform/messages.h"
#include "reports/box_score_report.h"
#include "reports/common_header.h"
#include "reports/report_list.h"
#include "reports/rosters_report.h"

namespace velmora {
namespace {

using testing::TModelTest;

class ReportDataTest : public TModelTest {
 protected:
  ReportDataTest() { Messages.ReadText("Referees=Referees\nCommissioner=Commissioner\n"); }

  TReportData BoxScore() {
    TReportData data;
    DefineBoxScoreReport(data);
    FillBoxScoreReport(data, Model, Messages);
    return data;
  }
  TReportData Header(THeaderScores scores) {
    TReportData data;
    SetCommonHeader(data, Model, Messages, scores);
    return data;
  }
  std::vector<std::string> Names(const TReportData& data) const {
    std::vector<std::string> names;
    for (const auto& [name, text] : data.Parameters()) names.push_back(name);
    return names;
  }
  bool Has(const TReportData& data, const std::string& name) const { return data.Parameter(name).has_value(); }

  TMessages Messages;
};

TEST_F(ReportDataTest, CommonHeaderSetsTheOfficialsOnlyWhenTheyAreThere) {
  Model.MatchInfo.Spectators = 0;
  Model.MatchInfo.Referee1 = "";
  Model.MatchInfo.Referee2 = "Bea";
  Model.MatchInfo.Commissioner = "";
  TReportData data = Header(THeaderScores::Without);
  EXPECT_FALSE(Has(data, "ATTENDANCE"));
  EXPECT_FALSE(Has(data, "REFEREES")) << "referee 2 counts only after referee 1";
  EXPECT_FALSE(Has(data, "COMMISSIONER"));
  EXPECT_EQ(Names(data), (std::vector<std::string>{"GAMENR", "GAMETYPE", "GAMEDATE", "GAMETIME", "GAMEPLACE",
                                                   "T1COUNTRY", "T2COUNTRY", "T1COACH", "T2COACH"}));

  Model.MatchInfo.Spectators = 812;
  Model.MatchInfo.Referee1 = "A";
  Model.MatchInfo.Referee2 = "";
  Model.MatchInfo.Referee3 = "C";
  Model.MatchInfo.Commissioner = "Dora";
  Model.MatchInfo.Place = "";
  Model.MatchInfo.Time = *EncodeDate(2024, 3, 9) + EncodeTime(19, 30, 0);
  data = Header(THeaderScores::Without);
  EXPECT_EQ(data.Parameter("ATTENDANCE"), " : 812");
  EXPECT_EQ(data.Parameter("REFEREES"), "Referees : A, C");
  EXPECT_EQ(data.Parameter("COMMISSIONER"), "Commissioner : Dora");
  EXPECT_EQ(data.Parameter("GAMEPLACE"), ", Pabellón Fuente de San Luis");
  EXPECT_EQ(data.Parameter("GAMEDATE"), "2024.03.09");
  EXPECT_EQ(data.Parameter("GAMETIME"), "19:30:00");
}

TEST_F(ReportDataTest, CommonHeaderScoresFollowThePeriodsPlayed) {
  TReportData data = Header(THeaderScores::With);
  EXPECT_EQ(data.Parameter("QuarterScoresTop"), "(Game not started)");
  EXPECT_EQ(QuarterScoresText(Model, "Juego no empezado"), "(Juego no empezado)");

  Add(Make.Period(0, 1, "Start Game"));
  for (int i = 0; i < 9; ++i) Add(Make.Shot(10 + i, 1, 4, "Made", 2));
  for (int i = 0; i < 10; ++i) Add(Make.Shot(30 + i, 2, 4, "Made", 2));
  Add(Make.Period(600, 1, "End"));
  Add(Make.Period(600, 2, "Start"));
  Add(Make.Shot(610, 1, 5, "Made", 3));
  data = Header(THeaderScores::With);
  EXPECT_EQ(data.Parameter("QuarterScoresTop"), "(18-20, 3-0)");
  EXPECT_EQ(data.Parameter("T1FINALSCORE"), "21");
  EXPECT_EQ(data.Parameter("T2FINALSCORE"), "20");
}

TEST(ReportTexts, PercentagesHaveOneDecimalWithTheHalfToTheEvenNeighbour) {
  EXPECT_EQ(PercentText(2, 3), "66.7");
  EXPECT_EQ(PercentText(0, 0), "0.0");
  EXPECT_EQ(PercentText(3, 3), "100.0");
  EXPECT_EQ(PercentText(1, 16), "6.2") << "6.25";
  EXPECT_EQ(PercentText(3, 16), "18.8") << "18.75";
}

TEST_F(ReportDataTest, BoxScoreOfFivePlayersSetsTheirPlacesAndTheTeamLineOnly) {
  Model.MatchInfo = testing::MakeMatchInfo(5);
  Model.MatchInfo.Spectators = 0;
  Add(Make.Shot(5, 1, 4, "Made", 2));
  Add(Make.Rebound(8, 1, 0, true));  // the team's own
  const TReportData data = BoxScore();
  EXPECT_EQ(data.ReportName, "BOXSCORE");
  EXPECT_EQ(data.Orientation, TReportOrientation::Landscape);
  EXPECT_EQ(data.Copies, 2);
  for (int place = 1; place <= 5; ++place) EXPECT_TRUE(Has(data, "NameA" + std::to_string(place))) << place;
  for (int place = 6; place <= 12; ++place) {
    for (const char* key : {"No", "Name", "MIN", "PT", "EF"}) {
      EXPECT_FALSE(Has(data, key + ("A" + std::to_string(place)))) << key << place;
    }
  }
  EXPECT_EQ(data.Parameter("RTA13"), "1");
  EXPECT_EQ(data.Parameter("RDA13"), "1");
  EXPECT_FALSE(Has(data, "NameA13"));
  EXPECT_FALSE(Has(data, "G_Spectators"));
  EXPECT_EQ(data.Parameter("PTA1"), "2");
  EXPECT_EQ(data.Parameter("STAA1"), "");
}

TEST_F(ReportDataTest, BoxScoreOfFifteenPlayersLeavesTheTeamLinePlaceToTheTeam) {
  Model.MatchInfo = testing::MakeMatchInfo(15);
  Add(Make.Shot(5, 1, 16, "Made", 3));  // roster position 13
  Add(Make.Shot(6, 1, 17, "Made", 2));  // position 14
  Add(Make.Simple("assist", 7, 1, 0));  // the team's own
  const TReportData data = BoxScore();
  EXPECT_EQ(BoxScorePlace(1, 12), "A12");
  EXPECT_EQ(BoxScorePlace(2, 13), "B14");
  EXPECT_EQ(data.Parameter("NoA14"), "16");
  EXPECT_EQ(data.Parameter("PTA14"), "3");
  EXPECT_EQ(data.Parameter("PTA15"), "2");
  EXPECT_EQ(data.Parameter("NoA16"), "18");
  EXPECT_EQ(data.Parameter("ASA13"), "1") << "the team line is not overwritten";
  EXPECT_FALSE(Has(data, "NoA13"));
  EXPECT_TRUE(Has(data, "NameB16"));
  EXPECT_FALSE(Has(data, "NameB17"));
}

TEST_F(ReportDataTest, BoxScoreFiguresCapFoulsAndGivePercentagesTotalsAndPeriods) {
  Model.MatchInfo.TV = 2;
  Model.MatchInfo.Time = *EncodeDate(2024, 3, 9);
  Add(Make.Period(0, 1, "Start Game"));
  for (int i = 0; i < 6; ++i) Add(Make.Foul(10 + i, 1, 4, 0));
  Add(Make.Shot(20, 1, 5, "Made", 2));
  Add(Make.Shot(21, 1, 5, "Made", 2));
  Add(Make.Shot(22, 1, 5, "Missed", 2));
  Add(Make.FreeThrow(23, 2, 4, true));
  const TReportData data = BoxScore();
  EXPECT_EQ(data.Parameter("PFA1"), "5") << "capped at fouls_per_player";
  EXPECT_EQ(data.Parameter("ATotPF"), "6");
  EXPECT_EQ(data.Parameter("APerc2"), "66.7");
  EXPECT_EQ(data.Parameter("APerc3"), "0.0");
  EXPECT_EQ(data.Parameter("BPerc1"), "100.0");
  EXPECT_EQ(data.Parameter("G_FinalA"), "4");
  EXPECT_EQ(data.Parameter("Q1A"), "4");
  EXPECT_EQ(data.Parameter("Q1B"), "1");
  EXPECT_FALSE(Has(data, "Q2A"));
  EXPECT_EQ(data.Parameter("G_Date"), "2024.03.09") << "only the date at midnight";
  EXPECT_EQ(data.Parameter("EFA2"), "3");
  EXPECT_EQ(data.Parameter("MINA1"), "00:00");
  // Live and partial coverage, nothing else.
  for (const char* mark : {"G_TV0", "G_TV1", "G_TV4"}) EXPECT_FALSE(Has(data, mark)) << mark;
  EXPECT_EQ(data.Parameter("G_TV2"), "X");
  EXPECT_EQ(data.Parameter("G_TV3"), "X");
}

TEST_F(ReportDataTest, TransferIsOfferedForAServerGameAtTheEndOfRegulationOrOfAnOvertime) {
  Model.MatchInfo.Availability = kLocalAndOnline;
  Model.MatchInfo.CurrentGameTime = FromSeconds(35 * 60);
  EXPECT_FALSE(StatisticsTransferOffered(Model)) << "in the fourth period";
  Model.MatchInfo.CurrentGameTime = FromSeconds(40 * 60);
  EXPECT_TRUE(StatisticsTransferOffered(Model));
  Model.MatchInfo.CurrentGameTime = FromSeconds(45 * 60);
  EXPECT_TRUE(StatisticsTransferOffered(Model));
  Model.MatchInfo.Availability = kLocalOnly;
  EXPECT_FALSE(StatisticsTransferOffered(Model));
}

TEST_F(ReportDataTest, ConfirmedScoreIsCheckedInTheOrderTheOperatorSeesIt) {
  EXPECT_EQ(ReadScoreConfirmation("x", "y", "", "").Error(), "Invalid score for first team");
  EXPECT_EQ(ReadScoreConfirmation("80", "", "", "").Error(), "Invalid score for second team");
  EXPECT_EQ(ReadScoreConfirmation("80", "75", "  ", " ").Error(),
            "Please enter either your name and/or contact details.");
  auto confirmation = ReadScoreConfirmation(" 0", "2 ", "", "ana@example.org");
  ASSERT_TRUE(confirmation);
  EXPECT_FALSE(ScoresAsInStatistics(confirmation.Value(), Model));
  Add(Make.Shot(5, 2, 4, "Made", 2));
  EXPECT_TRUE(ScoresAsInStatistics(confirmation.Value(), Model));
}

TEST_F(ReportDataTest, RostersReadTheRosterWhenGenerated) {
  Model.MatchInfo.Team1.Player(1).Number = kShirtZero;
  Model.MatchInfo.Team1.Player(1).Height = 1.9;
  Model.MatchInfo.Team1.Player(1).Position = "PG";
  Model.MatchInfo.Team1.Player(1).Birth_date = *EncodeDate(2001, 5, 17);
  Model.MatchInfo.Team2.PlayerCount = 0;
  TReportData data;
  DefineRostersReport(data);
  FillRostersReport(data, Model, Messages);
  EXPECT_EQ(data.Orientation, TReportOrientation::Portrait);
  EXPECT_EQ(data.Copies, 1);
  EXPECT_FALSE(Has(data, "T1FINALSCORE"));
  EXPECT_FALSE(Has(data, "QuarterScoresTop"));

  Model.MatchInfo.Team1.Player(2).Surname = "Changed later";
  const auto rows = data.PullConnections();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].first, "RostersConnection1");
  const TConnectionRows& team1 = rows[0].second;
  ASSERT_EQ(team1.Columns.size(), 5u);
  EXPECT_EQ(team1.Columns[4].Name, "BirthDate");
  EXPECT_EQ(team1.Columns[4].FullName, "Date of birth");
  EXPECT_EQ(team1.Columns[4].Width, 255);
  ASSERT_EQ(team1.Rows.size(), 12u);
  EXPECT_EQ(team1.Rows[0], (std::vector<std::string>{"0 ", "Player1 Pérez", "1.90", "Point guard", "2001.05.17"}));
  EXPECT_EQ(team1.Rows[1], (std::vector<std::string>{"5 ", "Player2 Changed later", "", "", ""}));
  EXPECT_TRUE(rows[1].second.Rows.empty());
}

TEST_F(ReportDataTest, EveryMessageBecomesALabelAfterTheReportsOwnParameters) {
  Messages.ReadText("GAMENR=overwritten\nrosters_title=Rosters\n");
  TReportData data;
  SetCommonHeader(data, Model, Messages, THeaderScores::Without);
  data.SetParameter("LANG_rosters_title", "own");
  SetTranslatedLabels(data, Messages.Table());
  EXPECT_EQ(data.Parameter("LANG_rosters_title"), "Rosters") << "a label set before is overwritten";
  EXPECT_EQ(data.Parameter("GAMENR"), "G-1") << "only LANG_ names are the messages'";
  EXPECT_EQ(Names(data)[11], "LANG_rosters_title") << "a parameter set again keeps its place";

  const TReportKind* kind = FindReportKind("rosters");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(FindReportKind("boxscore")->Name, "boxscore");
  EXPECT_EQ(FindReportKind("scoresheet"), nullptr);
  const TReportData made = MakeReportData(*kind, Model, Messages);
  EXPECT_EQ(made.Caption, "Rosters");
  EXPECT_EQ(made.Parameter("LANG_Referees"), "Referees");
  EXPECT_EQ(made.Parameters().back().first.rfind("LANG_", 0), 0u) << "the labels come last";
}

}  // namespace
}  // namespace velmora

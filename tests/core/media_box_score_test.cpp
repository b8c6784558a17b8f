// The media box score's own figures: the game flow of the lead tracker, the half-period scores and
// the lines that differ from the statistics tables.

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "reports/media_box_score_report.h"

namespace velmora {
namespace {

using testing::TModelTest;

TEST(LeadTrackerTest, LeadChangesTiesAndRunsKeepTheFirstTimeABestIsReached) {
  TLeadTracker flow;
  for (int points : {2, -3, 2}) flow.Score(points);
  EXPECT_EQ(flow.LeadChanges, 2);
  EXPECT_EQ(flow.Ties, 0);
  EXPECT_EQ(flow.BiggestLead1, 2);
  EXPECT_EQ(flow.BiggestLead2, -1);
  EXPECT_EQ(flow.BestRun1, 2);
  EXPECT_EQ(flow.BestRun1Score, "2-0");
  EXPECT_EQ(flow.BestRun2, 3);
  EXPECT_EQ(flow.BestRun2Score, "2-3");

  TLeadTracker level;
  level.Score(2);
  level.Score(-2);
  EXPECT_EQ(level.Ties, 1);
  EXPECT_EQ(level.LeadChanges, 0);
  EXPECT_EQ(level.Leader, 1) << "a tie leaves the last leader";

  TLeadTracker run;
  for (int points : {2, 3, -2, -2, 2, 3, -2, -2, 3, 2, -3, -3}) run.Score(points);  // 15-14
  for (int points : {2, 3, 2, 3}) run.Score(points);
  run.Score(-2);
  EXPECT_EQ(run.BestRun1, 10);
  EXPECT_EQ(run.BestRun1Score, "25-14");
  EXPECT_EQ(run.BestRun2, 6);
  EXPECT_EQ(run.BestRun2Score, "15-14");
}

class MediaBoxScoreTest : public TModelTest {
 protected:
  TReportData Data() {
    TReportData data;
    DefineMediaBoxScoreReport(data);
    FillMediaBoxScoreReport(data, Model, Messages);
    return data;
  }
  TNoMessages Messages;
};

TEST_F(MediaBoxScoreTest, HalfPeriodScoresRunUpToTheClockAndLeaveTheOvertimesOut) {
  Add(Make.Period(0, 1, "Start Game"));
  EXPECT_FALSE(Data().Parameter("T1_Q1_5")) << "before the clock has started";

  Add(Make.Shot(300, 1, 4, "Made", 2));  // 5:00 of a ten-minute period
  Add(Make.Shot(301, 1, 4, "Made", 3));
  Add(Make.FreeThrow(1300, 2, 5, true));
  Add(Make.Shot(2500, 2, 5, "Made", 2));  // overtime
  Model.MatchInfo.CurrentGameTime = FromSeconds(1250);
  TReportData data = Data();
  EXPECT_EQ(data.Parameter("T1_Q1_5"), "2");
  EXPECT_EQ(data.Parameter("T1_Q1_10"), "5");
  EXPECT_EQ(data.Parameter("T1_Q2_10"), "5") << "running totals";
  EXPECT_EQ(data.Parameter("T2_Q3_5"), "1");
  EXPECT_FALSE(data.Parameter("T1_Q3_10")) << "the clock has not reached that half";

  Model.MatchInfo.CurrentGameTime = FromSeconds(2600);
  data = Data();
  EXPECT_EQ(data.Parameter("T2_Q4_10"), "1");
  EXPECT_EQ(data.Parameter("T2FINALSCORE"), "3") << "the final score has the overtime's basket";
  EXPECT_EQ(data.Parameter("BIGLEAD1"), "5");
  EXPECT_EQ(data.Parameter("BIGLEAD2SCORE"), "1-0 (5-1)");
}

TEST_F(MediaBoxScoreTest, PlayerLinesCapTheFoulsAndMarkOnlyStarters) {
  Config.SetInt("fouls_per_player", 5);
  Add(Make.Subst(0, 1, 0, 4));
  for (int i = 0; i < 6; ++i) Add(Make.Foul(10 + i, 1, 4, 4));
  Add(Make.Shot(30, 1, 5, "Made", 3));
  const TReportData data = Data();
  EXPECT_EQ(data.Parameter("A1No"), "4");
  EXPECT_EQ(data.Parameter("A1STA"), "*");
  EXPECT_FALSE(data.Parameter("A2STA"));
  EXPECT_EQ(data.Parameter("A1PF"), "5");
  EXPECT_EQ(data.Parameter("ASUMPF"), "6");
  EXPECT_EQ(data.Parameter("A23PFGMA"), "1/1");
  EXPECT_EQ(data.Parameter("A23PFGPR"), "100.0");
  EXPECT_EQ(data.Parameter("A22PFGPR"), "0.0");
  EXPECT_EQ(data.Parameter("BIGLEAD1SCORE"), "3-0 (3-0)");
  EXPECT_EQ(data.Parameter("TIMESTIED"), "0");
}

}  // namespace
}  // namespace velmora

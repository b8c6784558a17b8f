// The team comparison and the score development without a screen: what each counts per period
// or minute for the chosen players, the legend and band rules, and what their reports print.

#include <gtest/gtest.h>

#include "charts/axis_steps.h"
#include "charts/score_development.h"
#include "charts/team_comparison.h"
#include "model_fixture.h"
#include "platform/messages.h"

namespace velmora::testing {
namespace {

class ChartDataTest : public TModelTest {
 protected:
  ChartDataTest() { Messages.ReadText("2Points_FG_Made=Tiros de 2 anotados\n2Points_FG_PERCENTS=Porcentaje de 2\n"); }

  void StartPeriods(int periods) {
    for (int k = 1; k <= periods; ++k) Add(Make.Period((k - 1) * 600, k, "Start"));
  }
  static std::vector<int> BarsOf(const TComparisonSeries& series) {
    return series.Bars ? std::vector<int>{(*series.Bars)[0], (*series.Bars)[1]} : std::vector<int>{};
  }

  TMessages Messages;
};

TEST_F(ChartDataTest, MadeTwosStackByPeriodForAllPlayers) {
  StartPeriods(4);
  Add(Make.Shot(100, 1, 4, "Made", 2));
  Add(Make.Shot(600, 1, 5, "Made", 2));  // the end of the first period still belongs to it
  Add(Make.Shot(601, 1, 5, "Made", 2));
  Add(Make.Shot(700, 1, 5, "Missed", 2));
  Add(Make.Shot(700, 1, 5, "Made", 3));
  Add(Make.Shot(2000, 2, 7, "Made", 2));
  TTeamComparison comparison(Model, Messages);
  const TComparisonChart chart = comparison.Chart();
  EXPECT_EQ(chart.Title, "Tiros de 2 anotados");
  EXPECT_EQ(chart.TeamNames[1], "Müller Basket Süd");
  EXPECT_EQ(BarsOf(chart.Series[0]), (std::vector<int>{2, 0}));
  EXPECT_EQ(BarsOf(chart.Series[1]), (std::vector<int>{1, 0}));
  EXPECT_EQ(BarsOf(chart.Series[3]), (std::vector<int>{0, 1}));
  EXPECT_FALSE(chart.Series[2].Bars) << "a period without data gets no bars";
  EXPECT_TRUE(chart.Series[2].InLegend);
  EXPECT_FALSE(chart.Series[4].InLegend);
  EXPECT_EQ(chart.Series[4].Title, "Prórroga 1");
}

TEST_F(ChartDataTest, TeamActionsCountWithoutAnySelection) {
  StartPeriods(2);
  Add(Make.Simple("assist", 100, 1, 4));
  Add(Make.Simple("assist", 110, 1, 5));
  Add(Make.Simple("assist", 120, 2, 4));
  Add(Make.Simple("assist", 700, 2, 0));
  TTeamComparison comparison(Model, Messages);
  comparison.SetStatistic(10);
  comparison.SelectAll(1, false);
  comparison.SelectAll(2, false);
  comparison.Players(1)[0].Selected = true;  // shirt 4
  const TComparisonChart chart = comparison.Chart();
  EXPECT_EQ(BarsOf(chart.Series[0]), (std::vector<int>{1, 0}));
  EXPECT_EQ(BarsOf(chart.Series[1]), (std::vector<int>{0, 1})) << "only the assist without a player";
  // A game in its second period: the third and fourth quarter listed anyway, without values.
  EXPECT_TRUE(chart.Series[3].InLegend);
  EXPECT_FALSE(chart.Series[3].Bars);
}

TEST_F(ChartDataTest, PercentagesAreOneRoundedBarInTheLastSeries) {
  StartPeriods(2);
  for (int i = 0; i < 9; ++i) Add(Make.Shot(100 + i * 60, 1, 4, i < 5 ? "Made" : "Missed", 2));
  Add(Make.Shot(100, 2, 4, "Made", 2));
  Add(Make.Shot(110, 2, 4, "Blocked", 2));
  TTeamComparison comparison(Model, Messages);
  comparison.SetStatistic(3);
  const TComparisonChart chart = comparison.Chart();
  EXPECT_TRUE(chart.Percentage);
  EXPECT_EQ(BarsOf(chart.Series[7]), (std::vector<int>{56, 50}));
  EXPECT_FALSE(chart.Series[7].InLegend);
  EXPECT_EQ(BarsOf(chart.Series[0]), (std::vector<int>{0, 0})) << "the first series always has its bars";
  EXPECT_FALSE(chart.Series[1].Bars);

  comparison.SetStatistic(17);
  const TComparisonChart empty = comparison.Chart();
  for (const auto& series : empty.Series) EXPECT_FALSE(series.Bars);
}

TEST_F(ChartDataTest, PeriodsFollowTheGamesLength) {
  // Two halves of twenty minutes: the third series is the first overtime.
  Config.SetInt("no_of_quarters", 2);
  Config.SetInt("quarter_duration", 20);
  StartPeriods(3);
  Add(Make.Shot(1300, 1, 4, "Made", 2));  // 21:40, first half
  Add(Make.Shot(2500, 1, 4, "Made", 2));  // 41:40, the overtime
  Add(Make.Shot(4000, 1, 4, "Made", 2));  // past every started period
  TTeamComparison comparison(Model, Messages);
  const TComparisonChart chart = comparison.Chart();
  EXPECT_EQ(BarsOf(chart.Series[1]), (std::vector<int>{1, 0}));
  EXPECT_EQ(BarsOf(chart.Series[2]), (std::vector<int>{2, 0}));
  EXPECT_EQ(chart.Series[2].Title, "Prórroga 1");
  EXPECT_TRUE(chart.Series[2].InLegend) << "an overtime with data";
  EXPECT_EQ(ComparisonPeriodOf(ComparisonPeriodLengths({4, 10, 5}, 0), FromSeconds(90)), 1);
}

TEST_F(ChartDataTest, EveryRosterPlayerIsOfferedAndPrinted) {
  Model.MatchInfo = MakeMatchInfo(15);
  StartPeriods(1);
  Add(Make.Shot(100, 1, 18, "Made", 2));  // the fifteenth player
  TTeamComparison comparison(Model, Messages);
  ASSERT_EQ(comparison.Players(1).size(), 15u);
  EXPECT_EQ(BarsOf(comparison.Chart().Series[0]), (std::vector<int>{1, 0}));
  TChartParameters parameters = comparison.PrintParameters();
  EXPECT_EQ(parameters[0], (std::pair<std::string, std::string>{"Team1Name0", "Todos los jugadores"}));
  EXPECT_EQ(parameters[12].second, "");
  comparison.Players(1)[14].Selected = false;
  parameters = comparison.PrintParameters();
  EXPECT_EQ(parameters[13], (std::pair<std::string, std::string>{"Team1Name13", "17 Player14 Pérez"}));
  EXPECT_EQ(parameters.size(), 14u + 13u);

  TScoreDevelopment development(Model);
  EXPECT_EQ(development.Players(2).size(), 15u);
}

TEST_F(ChartDataTest, MinutesDrawnFollowTheClock) {
  Model.MatchInfo.CurrentGameTime = EncodeTime(0, 12, 0);
  EXPECT_EQ(TScoreDevelopment(Model).Minutes(), 12);
  Model.MatchInfo.CurrentGameTime = EncodeTime(0, 12, 1);
  EXPECT_EQ(TScoreDevelopment(Model).Minutes(), 13);
  // A game long past the hundredth minute is drawn whole.
  Model.MatchInfo.CurrentGameTime = EncodeTime(1, 55, 0);
  EXPECT_EQ(TScoreDevelopment(Model).Minutes(), 115);
}

TEST_F(ChartDataTest, AccumulatedPointsEndAtTheScore) {
  Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
  Model.SetActions(SimulateGame(Model.MatchInfo, 500, 11));
  Model.Recompute();
  Add(Make.Shot(2400, 2, 4, "Made", 3));  // at the buzzer
  TScoreDevelopment development(Model);
  const TDevelopmentChart chart = development.Chart();
  ASSERT_EQ(chart.Minutes, 40);
  const auto [home, away] = Model.Score();
  EXPECT_EQ(chart.Values[0].back(), home);
  EXPECT_EQ(chart.Values[1].back(), away);

  development.SetAccumulated(false);
  development.SetOption(2);
  const TDevelopmentChart percentages = development.Chart();
  EXPECT_EQ(percentages.Title, "Porcentaje de tiros");
  for (const double value : percentages.Values[0]) EXPECT_LE(value, 100);
}

TEST_F(ChartDataTest, MinuteValuesAndTheirPoints) {
  Model.MatchInfo.CurrentGameTime = FromSeconds(185);
  Add(Make.Shot(30, 1, 4, "Made", 2));
  Add(Make.Shot(40, 1, 4, "Missed", 3));
  Add(Make.FreeThrow(50, 1, 4, true));
  Add(Make.Make("shot", 150, {{"Team", "1"}, {"Player", "4"}, {"Made", "Made"}, {"Points", "1"}}));
  Add(Make.Shot(150, 3, 4, "Made", 2));  // a team that is neither
  TScoreDevelopment development(Model);
  development.SetAccumulated(false);
  TDevelopmentChart chart = development.Chart();
  EXPECT_EQ(chart.Values[0], (std::vector<double>{3, 0, 0, 0}));
  development.SetOption(2);
  chart = development.Chart();
  EXPECT_EQ(chart.Values[0], (std::vector<double>{50, 0, 0, 0})) << "free throws are no attempts";
  development.SetAccumulated(true);
  EXPECT_EQ(development.Chart().Values[0], (std::vector<double>{50, 50, 50, 50}));

  const auto lines = DevelopmentPoints({3, 5}, false);
  EXPECT_EQ(lines, (std::vector<std::pair<double, double>>{{0, 0}, {1, 3}, {2, 5}}));
  const auto bars = DevelopmentPoints({3, 5}, true);
  EXPECT_EQ(bars, (std::vector<std::pair<double, double>>{{1, 3}, {2, 5}}));
}

TEST_F(ChartDataTest, BandsShowWhenTheChosenPlayersPlayTogether) {
  Model.MatchInfo.CurrentGameTime = FromSeconds(300);
  for (int shirt = 4; shirt <= 8; ++shirt) Add(Make.Subst(0, 1, 0, shirt));
  for (int shirt = 4; shirt <= 7; ++shirt) Add(Make.Subst(0, 2, 0, shirt));  // only four on court
  Add(Make.Subst(130, 1, 4, 9));
  Add(Make.Subst(200, 2, 0, 15));
  TScoreDevelopment development(Model);
  EXPECT_EQ(development.OnCourt()[2].Fives[0], (TFive{"9", "5", "6", "7", "8"}));
  EXPECT_EQ(development.OnCourt()[1].Fives[0][0], "4");

  development.Players(1)[0].Selected = true;  // shirt 4
  development.Players(1)[1].Selected = true;  // shirt 5
  development.Players(2)[0].Selected = true;
  const auto bands = development.Chart().Bands;
  EXPECT_EQ(bands, (std::vector<TPresence>{TPresence::Team1, TPresence::Team1, TPresence::None, TPresence::Team2,
                                            TPresence::Team2}))
      << "team 2 counts only once its five is complete";

  development.SelectAll(1, true);
  for (const TPresence band : development.Chart().Bands) EXPECT_NE(band, TPresence::Team1);
  development.SelectAll(1, false);
  development.Players(1)[11].Selected = true;  // never played
  EXPECT_EQ(development.Chart().Bands[0], TPresence::None);

  TChartParameters parameters = development.PrintParameters();
  EXPECT_EQ(parameters[0].second, "15 Player12 Pérez");
  EXPECT_EQ(parameters[13], (std::pair<std::string, std::string>{"Team2Name0", "4 Player1 Müller"}));
  development.SelectAll(2, true);
  EXPECT_EQ(development.PrintParameters()[13].second, "Sin jugadores") << "more than five";
}

TEST(AxisStepsTest, WholeStepsThatFitTheLabels) {
  EXPECT_EQ(AxisStep(8, 10), 1);
  EXPECT_EQ(AxisStep(0, 10), 1) << "an empty chart still counts in ones";
  EXPECT_EQ(AxisStep(40, 25), 2);
  EXPECT_EQ(AxisStep(115, 25), 5);
  EXPECT_EQ(AxisStep(150, 10), 20);
  EXPECT_EQ(AxisTop(36, 5), 40);
  EXPECT_EQ(AxisTop(40, 5), 45) << "room above the highest bar";
  EXPECT_EQ(AxisTop(0, 1), 1);
}

}  // namespace
}  // namespace velmora::testing

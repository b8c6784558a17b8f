// The shot chart and the heat map without a screen: where shots land on the full court, which
// shots the filters let through, the printed explanation, the heat grid and its blur.

#include <gtest/gtest.h>

#include <algorithm>

#include "charts/heat_map.h"
#include "charts/shot_chart.h"
#include "model_fixture.h"
#include "records/text_utils.h"

namespace velmora::testing {
namespace {

class ShotChartTest : public TModelTest {
 protected:
  // Four periods of the default length started and ended.
  void PlayPeriods(int periods) {
    for (int k = 1; k <= periods; ++k) {
      Add(Make.Period((k - 1) * 600, k, "Start"));
      Add(Make.Period(k * 600, k, "End"));
    }
  }
  static std::vector<std::pair<int, int>> Points(const std::vector<TShotMark>& shots) {
    std::vector<std::pair<int, int>> points;
    for (const TShotMark& shot : shots) points.emplace_back(shot.Point.X, shot.Point.Y);
    return points;
  }
};

TEST_F(ShotChartTest, EachHalfFacesTheOther) {
  EXPECT_EQ(PlaceOnCourt({139, 29}, TCourtSide::Left).X, 29);
  EXPECT_EQ(PlaceOnCourt({139, 29}, TCourtSide::Left).Y, 140);
  EXPECT_EQ(PlaceOnCourt({139, 29}, TCourtSide::Right).X, 452);
  EXPECT_EQ(PlaceOnCourt({139, 29}, TCourtSide::Right).Y, 139);
  // Twice the size: the same place, twice as far.
  EXPECT_EQ(PlaceOnCourt({139, 29}, TCourtSide::Right, 962, 558).X, 904);
  EXPECT_EQ(PlaceOnCourt({0, 199}, TCourtSide::Left).X, 199) << "the map's far edge is near the centre line";

  PlayPeriods(4);
  Add(Make.Shot(100, 1, 4, "Made", 2, "139+29"));
  Add(Make.Shot(110, 2, 4, "Made", 2, "139+29"));
  TShotChart chart(Model);
  EXPECT_EQ(Points(chart.Shots()), (std::vector<std::pair<int, int>>{{29, 140}, {452, 139}}));
  EXPECT_EQ(chart.SideLabels()[0], "Club Baloncesto Norte");
}

TEST_F(ShotChartTest, PeriodsOfTheClockCountOvertimesAndHours) {
  const TPeriodSettings defaults;
  EXPECT_EQ(PeriodOfClock(defaults, EncodeTime(0, 10, 0)), 2) << "a boundary starts the next period";
  EXPECT_EQ(PeriodOfClock(defaults, EncodeTime(0, 9, 59)), 1);
  EXPECT_EQ(PeriodOfClock(defaults, EncodeTime(0, 42, 0)), 5) << "the first overtime";
  EXPECT_EQ(PeriodOfClock(defaults, EncodeTime(0, 57, 0)), 8);
  // Past the hour the minutes go on: 62 minutes is the fifth overtime, not the first quarter.
  EXPECT_EQ(PeriodOfClock(defaults, EncodeTime(1, 2, 0)), 9);
  EXPECT_EQ(PeriodOfClock({2, 20, 5}, EncodeTime(0, 42, 0)), 3);
}

TEST_F(ShotChartTest, ByHalfPutsTheSecondHalfRightForBothTeams) {
  PlayPeriods(4);
  Add(Make.Shot(1250, 1, 4, "Made", 2, "139+29"));  // period 3
  Add(Make.Shot(1260, 2, 4, "Missed", 2, "139+29"));
  Add(Make.Shot(100, 2, 4, "Missed", 2, "139+29"));
  TShotChart chart(Model);
  chart.SetByHalf(true);
  const auto shots = chart.Shots();
  ASSERT_EQ(shots.size(), 3u);
  EXPECT_EQ(shots[0].Side, TCourtSide::Right);
  EXPECT_EQ(shots[1].Side, TCourtSide::Right);
  EXPECT_EQ(shots[2].Side, TCourtSide::Left);
  EXPECT_EQ(shots[1].Team, 2);
  EXPECT_EQ(chart.SideLabels()[1], "Segunda mitad");
}

TEST_F(ShotChartTest, PeriodEntriesAndTheirTicks) {
  PlayPeriods(4);
  Add(Make.Period(2400, 5, "Start"));
  Add(Make.Shot(100, 1, 4, "Made", 2));
  Add(Make.Shot(1300, 1, 5, "Made", 2));
  Add(Make.Shot(2520, 1, 6, "Made", 2));  // 42:00, the overtime
  TShotChart chart(Model);
  EXPECT_EQ(chart.PeriodCaptions(), (std::vector<std::string>{"Todos los cuartos", "Cuarto 1", "Cuarto 2", "Cuarto 3",
                                                              "Cuarto 4", "Prórroga 1"}));
  chart.TogglePeriod(1);
  chart.TogglePeriod(3);
  EXPECT_FALSE(chart.PeriodTicks()[0]) << "a single period unticks all periods";
  ASSERT_EQ(chart.Shots().size(), 2u);
  EXPECT_EQ(chart.Shots()[1].Period, 3);
  EXPECT_EQ(chart.Description(), "Representar sólo los tiros marcados en los cuartos 1 y 3.\r");
  chart.TogglePeriod(5);
  EXPECT_EQ(chart.Description(), "Representar sólo los tiros marcados en los cuartos 1, 3 y 5.\r");
  chart.TogglePeriod(0);
  EXPECT_EQ(chart.PeriodTicks(), std::vector<bool>({true, false, false, false, false, false}));
  EXPECT_EQ(chart.Shots().size(), 3u);
  EXPECT_EQ(chart.Description(), "");
}

TEST_F(ShotChartTest, TeamBoxAndPlayerTicksFilterAndAreExplained) {
  PlayPeriods(2);
  Add(Make.Shot(100, 1, 4, "Made", 2));
  Add(Make.Shot(110, 1, 99, "Made", 2));  // not in the roster
  Add(Make.Shot(120, 2, 5, "Blocked", 2));
  Add(Make.Shot(130, 2, 6, "Missed", 3, "10+150"));
  TShotChart chart(Model);
  chart.SetTeamTicked(1, false);
  auto shots = chart.Shots();
  ASSERT_EQ(shots.size(), 2u) << "an unticked team shows none of its shots";
  EXPECT_EQ(shots[0].Made, "Blocked");
  EXPECT_FALSE(chart.Players(1)[0].Selected);
  EXPECT_EQ(chart.Description(), "Sólo los tiros del Müller Basket Süd representados.\r");
  EXPECT_EQ(chart.PrintParameters()[2].second, chart.Description());

  chart.SetTeamTicked(1, true);
  chart.TogglePlayer(2, 1);  // shirt 5
  shots = chart.Shots();
  ASSERT_EQ(shots.size(), 3u) << "the roster's unticked player is hidden, the stranger is not";
  EXPECT_EQ(shots[2].Point.X, kFullCourtWidth - 150);
  chart.SelectAll(2, false);
  chart.TogglePlayer(2, 0);
  chart.TogglePlayer(2, 2);
  EXPECT_EQ(chart.Description(),
            "Representar los tiros de los jugadores del equipo Müller Basket Süd seleccionados:P. Müller, P. Müller\r");
  EXPECT_EQ(chart.Players(1)[0].Caption, "4. P. Pérez");
}

TEST_F(ShotChartTest, UnreadableCoordinatesLeaveTheShotOut) {
  Add(Make.Shot(100, 1, 4, "Made", 2, "nowhere"));
  Add(Make.Shot(110, 1, 4, "Made", 2, "139+60"));
  TShotChart chart(Model);
  EXPECT_EQ(chart.Shots().size(), 1u);
}

TEST(HeatGridTest, OneShotStampsItsBlockAndIsNormalised) {
  THeatGrid grid;
  EXPECT_EQ(grid.Columns(), 34);
  EXPECT_EQ(grid.Rows(), 19);
  EXPECT_EQ(grid.OriginX(), -12);
  grid.Stamp({230, 140});  // cell (17, 10)
  EXPECT_EQ(grid.At(17, 10), 13);
  EXPECT_EQ(grid.At(16, 9), 4);
  EXPECT_EQ(grid.At(15, 12), 1);
  EXPECT_EQ(grid.At(14, 10), 0);
  grid.Normalise(50);
  EXPECT_EQ(grid.At(17, 10), 66);
  EXPECT_EQ(grid.At(18, 11), 20);
  EXPECT_EQ(grid.At(19, 8), 5);
  const auto cells = grid.Cells();
  ASSERT_EQ(cells.size(), 21u);
  ASSERT_EQ(cells[0].size(), 36u);
  EXPECT_EQ(cells[10][17], 66);
}

TEST(HeatGridTest, IntensityTwoSaturatesAndEdgeShotsStayOnTheGrid) {
  THeatGrid grid;
  grid.Stamp({230, 140});
  grid.Stamp({258, 140});  // two cells to the right: the rings overlap
  grid.Normalise(2);
  EXPECT_EQ(grid.At(17, 10), 255);
  EXPECT_EQ(grid.At(16, 10), 255) << "a count of 4 saturates";
  EXPECT_EQ(grid.At(15, 10), 127) << "a count of 1";

  THeatGrid edge;
  edge.Stamp({0, 0});
  edge.Stamp({480, 278});
  edge.Stamp({-5000, 90000});  // from an imported file
  EXPECT_EQ(edge.At(0, 0), 13);
  EXPECT_EQ(edge.At(-2, -2), 1);
  EXPECT_EQ(edge.At(35, 20), 13);
  EXPECT_EQ(edge.At(0, 20), 13) << "far off the picture, the nearest border cell";
  EXPECT_EQ(edge.At(37, 22), 1);
}

TEST(HeatGridTest, ColoursRunFromBlueToRedAndCornersBlend) {
  EXPECT_EQ(HeatColour(0), 0x0000FFu);
  EXPECT_EQ(HeatColour(120), 0x00FF00u);
  EXPECT_EQ(HeatColour(240), 0xFF0000u);
  EXPECT_EQ(HeatColour(255), 0xFF0040u) << "a slightly magenta red";

  THeatGrid grid;
  grid.Stamp({230, 140});
  grid.Normalise(50);
  const auto cells = HeatCells(grid);
  ASSERT_EQ(cells.size(), 36u * 21u);
  // The shot's own cell differs from its neighbours on every corner: each quarter blends.
  const THeatCell& centre = cells[17 * 21 + 10];
  EXPECT_EQ(centre.X, -12 + 14 * 17);
  EXPECT_EQ(centre.Colour, HeatColour(66));
  for (const std::uint32_t quarter : centre.Quarters) EXPECT_EQ(quarter, HeatColour(Average3(20, 20, 66)));
  // Cell (16, 9) equals its neighbours to the right and below (both 20): that quarter stays.
  EXPECT_EQ(cells[16 * 21 + 9].Quarters[2], HeatColour(20));
  EXPECT_EQ(cells[0].Quarters[0], HeatColour(0)) << "the border keeps its own value";
}

TEST(GaussianBlurTest, KeepsFlatAreasAndSpreadsAPointSymmetrically) {
  constexpr int kWidth = 61;
  constexpr int kHeight = 41;
  std::vector<std::uint32_t> flat(kWidth * kHeight, 0xFF204080u);
  GaussianBlur(flat.data(), kWidth, kHeight, kWidth, 9);
  EXPECT_TRUE(std::all_of(flat.begin(), flat.end(), [](std::uint32_t p) { return p == 0xFF204080u; }));

  std::vector<std::uint32_t> bright(kWidth * kHeight, 0);
  // A bright square, so the blurred values are large enough to compare.
  for (int y = 15; y < 26; ++y) {
    for (int x = 25; x < 36; ++x) bright[y * kWidth + x] = 0x00FF0000u;
  }
  GaussianBlur(bright.data(), kWidth, kHeight, kWidth, 3);
  const auto red = [&](int x, int y) { return bright[y * kWidth + x] >> 16 & 0xFF; };
  EXPECT_EQ(red(25, 20), red(35, 20));
  EXPECT_EQ(red(30, 15), red(30, 25));
  EXPECT_LT(red(30, 20), 255u);
  EXPECT_GT(red(30, 20), red(25, 20));
  EXPECT_GT(red(22, 20), 0u) << "spread past the square";
  EXPECT_EQ(bright[20 * kWidth + 30] & 0xFFFF, 0u) << "channels stay apart";
  EXPECT_NEAR(HeatBlurSigma(2), 18, 1e-9);
}

}  // namespace
}  // namespace velmora::testing

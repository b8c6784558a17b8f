// The live window's report menu opens the chart windows on the game under way, the clock stopped.

#include <gtest/gtest.h>

#include <QAction>
#include <functional>

#include "charts/score_development_form.h"
#include "charts/team_comparison_form.h"
#include "charts/temperature_map_form.h"
#include "live_window_fixture.h"
#include "when_shown.h"

namespace velmora::gui::testing {
namespace {

using velmora::testing::WhenShown;

class ChartMenuTest : public LiveWindowTest {
 protected:
  // Starts the clock, opens the chart from its menu item and checks it once it is shown.
  template <typename TForm>
  void Open(const char* item, std::function<void(TForm&)> check) {
    Click("StartClockButton");
    ASSERT_TRUE(Window->ClockRunning());
    bool stopped = false;
    bool shown = false;
    WhenShown<TForm>([&](TForm& form) {
      shown = true;
      stopped = !Window->ClockRunning();
      check(form);
      form.close();
    });
    Trigger(item);
    EXPECT_TRUE(shown) << item;
    EXPECT_TRUE(stopped) << item;
  }
};

TEST_F(ChartMenuTest, ReportMenuOpensEveryChartOnTheGameWithTheClockStopped) {
  TActionList play;
  play.push_back(Make.Shot(100, 1, 4, "Made", 2, "139+29"));
  play.push_back(Make.Shot(130, 2, 5, "Missed", 3, "20+60"));
  OpenStartedGame(std::move(play));

  Open<TShotChartForm>("ShotChartItem", [](TShotChartForm& form) {
    ASSERT_EQ(form.Shots().size(), 2u);
    EXPECT_EQ(form.Shots()[0].Point.X, 29);
    EXPECT_EQ(form.Shots()[1].Side, TCourtSide::Right);
  });
  Open<TTemperatureMapForm>("HeatMapItem", [](TTemperatureMapForm& form) { EXPECT_EQ(form.Shots().size(), 2u); });
  Open<TTeamComparisonForm>("TeamComparisonItem", [](TTeamComparisonForm& form) {
    ASSERT_TRUE(form.Comparison().Chart().Series[0].Bars);
    EXPECT_EQ((*form.Comparison().Chart().Series[0].Bars)[0], 1);
  });
  Open<TScoreDevelopmentChartForm>("ScoreDevelopmentItem", [](TScoreDevelopmentChartForm& form) {
    EXPECT_EQ(form.Development().Chart().Values[0].back(), 2);
  });
}

}  // namespace
}  // namespace velmora::gui::testing

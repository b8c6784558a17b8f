// One golden picture of each chart, drawn by the paint routines the windows, the saved pictures
// and the command line share.

#include <gtest/gtest.h>

#include <QApplication>
#include <QChart>
#include <QFontInfo>

#include "charts/chart_look.h"
#include "charts/comparison_chart.h"
#include "charts/development_chart.h"
#include "charts/shot_chart_picture.h"
#include "game_builder.h"
#include "golden_picture.h"
#include "platform/configuration.h"
#include "platform/messages.h"
#include "stats/model.h"

namespace velmora::testing {
namespace {

QString Golden(const char* name) { return QStringLiteral(VELMORA_TEST_DATA "/charts/") + QString::fromLatin1(name); }

class ChartPicturesTest : public ::testing::Test {
 protected:
  ChartPicturesTest() {
    Model.MatchInfo = MakeMatchInfo(12, "G-9");
    Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
    Model.SetActions(SimulateGame(Model.MatchInfo, 600, 7));
    Model.Recompute();
    Messages.ReadText("2Points_FG_Made=Tiros de 2 anotados\n");
  }

  TConfiguration Config{"/opt/velmora"};
  TModel Model{Config};
  TMessages Messages;
};

TEST_F(ChartPicturesTest, ShotChartAndHeatMap) {
  TShotChart chart(Model);
  const std::vector<TShotMark> shots = chart.Shots();
  ASSERT_GT(shots.size(), 100u);
  QImage picture = gui::ShotChartImage(shots, false, 1);
  ExpectLikeGolden(picture, Golden("shot_chart.png"), 0.01);
  // The last shot on the left half, drawn over every other there: a red disc when made, a red ring otherwise.
  const TShotMark& last = *std::find_if(shots.rbegin(), shots.rend(), [](const TShotMark& shot) { return shot.Team == 1; });
  EXPECT_EQ(picture.pixelColor(last.Point.X, last.Point.Y), last.Made == "Made" ? QColor(Qt::red) : QColor(Qt::white));

  picture = gui::HeatMapImage(shots, 50, 1);
  ExpectLikeGolden(picture, Golden("heat_map.png"), 0.01);
  const QColor centre = picture.pixelColor(kFullCourtWidth / 2 + 20, 60);
  EXPECT_GT(centre.blue(), 200) << "no shots near the centre line: blue";
  EXPECT_LT(centre.red(), 40);
}

TEST_F(ChartPicturesTest, EmptyHeatMapIsBlueUnderTheLines) {
  const QImage field = gui::HeatField({}, 50);
  for (const QPoint point : {QPoint(0, 0), QPoint(field.width() / 2, field.height() / 2),
                             QPoint(field.width() - 1, field.height() - 1)}) {
    EXPECT_EQ(field.pixelColor(point), QColor(Qt::blue));
  }
}

TEST_F(ChartPicturesTest, TeamComparisonAndScoreDevelopment) {
  // Their titles, axes and legends are written in the application's font.
  ASSERT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"))
      << "the golden pictures are drawn in DejaVu Sans (fonts-dejavu-core, which scripts/deps.sh installs)";
  TTeamComparison comparison(Model, Messages);
  ExpectLikeGolden(gui::StandaloneChartImage([&](QChart& chart) { gui::TComparisonScene(chart).Show(comparison.Chart()); }, 1),
                   Golden("team_comparison.png"), 0.02);

  TScoreDevelopment development(Model);
  for (std::size_t i = 0; i < 5; ++i) development.Players(1)[i].Selected = true;  // the starters
  const std::array<std::string, 2> names{Model.MatchInfo.Team1.Name, Model.MatchInfo.Team2.Name};
  const QImage lines = gui::StandaloneChartImage(
      [&](QChart& chart) { gui::TDevelopmentScene(chart, names).Show(development.Chart(), {false, true}); }, 1);
  ExpectLikeGolden(lines, Golden("score_development.png"), 0.02);
}

}  // namespace
}  // namespace velmora::testing

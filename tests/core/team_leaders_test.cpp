// The team leaders' places: the ranking with its ties, the folding of ties that do not fit, the
// value texts, and the rows of the chosen categories.

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "reports/team_leaders_report.h"

namespace velmora {
namespace {

using testing::TModelTest;

class TeamLeadersTest : public TModelTest {
 protected:
  const TLeaderCategory& Category(std::string_view name) const {
    for (const TLeaderCategory& category : LeaderCategories()) {
      if (category.Name == name) return category;
    }
    throw std::invalid_argument(std::string(name));
  }
  void Assists(int shirt, int count) {
    for (int i = 0; i < count; ++i) Add(Make.Simple("assist", 10, 1, shirt));
  }
  std::array<TLeaderPlace, 3> Places(std::string_view name, int team = 1) const {
    return LeaderPlaces(Model, team, Category(name));
  }
};

TEST_F(TeamLeadersTest, PlacesFollowTheValuesWithTheLaterRosterSlotFirstAmongEquals) {
  Model.MatchInfo.Team1.Player(2).Number = 210;
  for (const auto& [shirt, points] : {std::pair{4, 20}, {5, 15}, {6, 15}, {7, 2}}) {
    for (int made = 0; made < points; made += 5) {
      Add(Make.Shot(20, 1, shirt == 5 ? 210 : shirt, "Made", 2));
      Add(Make.Shot(20, 1, shirt == 5 ? 210 : shirt, "Made", 3));
    }
  }
  const auto places = Places("PTS");
  EXPECT_EQ(places[0].Player, "Player1 Pérez");
  EXPECT_EQ(places[0].Value, "20");
  EXPECT_EQ(places[1].Number, "6") << "the later of the two with 15";
  EXPECT_EQ(places[2].Number, "0");
  EXPECT_EQ(places[2].Value, "15");

  Add(Make.Shot(30, 1, 4, "Missed", 2));
  Add(Make.Shot(30, 1, 4, "Missed", 2));
  const auto percent = Places("P2FGPER");
  EXPECT_EQ(percent[2].Value, "100.0") << "three of 100 % fit the three places";
  EXPECT_EQ(percent[2].Number, "0");
}

TEST_F(TeamLeadersTest, TiesThatDoNotFitFoldIntoACountAndNothingIsNobody) {
  for (int shirt : {4, 5, 6, 7}) Assists(shirt, 4);
  auto places = Places("ASSI");
  EXPECT_EQ(places[0].Number, "");
  EXPECT_EQ(places[0].Player, "4 jugadores");
  EXPECT_EQ(places[0].Value, "4");
  EXPECT_EQ(places[1].Player, "");
  EXPECT_EQ(places[2].Value, "");

  Assists(8, 5);
  Assists(9, 1);
  places = Places("ASSI");
  EXPECT_EQ(places[0].Number, "8");
  EXPECT_EQ(places[1].Player, "4 jugadores") << "ties are folded from the place they start at";
  EXPECT_EQ(places[2].Player, "");

  places = Places("BS");
  EXPECT_EQ(places[0].Player, "Sin jugadores");
  EXPECT_EQ(places[0].Value, "");
  EXPECT_EQ(places[1].Player, "");
}

TEST_F(TeamLeadersTest, RowsAreTheChosenCategoriesInReportOrder) {
  TTeamLeadersConnection leaders(Model, TNoMessages());
  EXPECT_EQ(leaders.Open(), 9) << "the nine ticked at start";
  auto selection = LeaderSelectionOf("PTS, ASSI");
  ASSERT_TRUE(selection);
  leaders.Select(selection.Value());
  ASSERT_EQ(leaders.Open(), 2);
  const auto row = leaders.Row(1);
  ASSERT_EQ(row.size(), leaders.Columns().size());
  EXPECT_EQ(row[1], Model.MatchInfo.Team1.Name);
  EXPECT_EQ(row[11], Model.MatchInfo.Team2.Name);
  EXPECT_EQ(row[3], "Sin jugadores") << "the points come after the assists";
  leaders.Select({});
  EXPECT_EQ(leaders.Open(), 0);
  EXPECT_FALSE(LeaderSelectionOf("PTS,GOALS"));
}

}  // namespace
}  // namespace velmora

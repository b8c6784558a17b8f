// The lineup efficiency: the stints rebuilt from the substitutions, the seven figures of a five,
// the merging of a five that played more than once, and the rows a generation leaves.

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "reports/lineup_efficiency_report.h"

namespace velmora {
namespace {

using testing::TModelTest;
using TRows = std::vector<std::pair<std::string, std::string>>;

class LineupEfficiencyTest : public TModelTest {
 protected:
  // The five of team 1 wearing 4 to 8 come in at the start, the other team's five likewise.
  void Starters(int seconds = 0) {
    for (int team = 1; team <= 2; ++team) {
      for (int shirt = 4; shirt <= 8; ++shirt) Add(Make.Subst(seconds, team, 0, shirt));
    }
  }
  void Basket(int seconds, int team, int points) { Add(Make.Shot(seconds, team, 4, "Made", points)); }
  // The generated rows (players, value) once the clock stands at `now`.
  TRows Rows(int now, int option, int team = 1) {
    Model.MatchInfo.CurrentGameTime = FromSeconds(now);
    TLineupEfficiencyConnection lineups(Model, TNoMessages());
    const TStatus generated = lineups.Generate(team, option);
    EXPECT_TRUE(generated) << generated.Error();
    return RowsOf(lineups);
  }
  static TRows RowsOf(TLineupEfficiencyConnection& lineups) {
    TRows rows;
    for (const auto& row : PullRows(lineups).Rows) rows.emplace_back(row[0], row[1]);
    return rows;
  }
  static std::string Five(std::initializer_list<int> shirts) {
    std::string text;
    for (int shirt : shirts) text += std::to_string(shirt) + ". Player" + std::to_string(shirt - 3) + " Pérez ";
    return text;
  }
};

TEST_F(LineupEfficiencyTest, PlayingTimeListsEveryFiveLongestFirstWithoutTheMomentsOfSubstitutions) {
  Starters();
  Add(Make.Subst(250, 1, 8, 9));
  // Two changes at one second: the five between them never played.
  Add(Make.Subst(400, 1, 7, 10));
  Add(Make.Subst(400, 1, 9, 8));
  Add(Make.Subst(460, 1, 10, 7));
  const TRows rows = Rows(600, 0);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], std::pair(Five({4, 5, 6, 7, 8}), std::string("06:30"))) << "04:10 and then 02:20 again";
  EXPECT_EQ(rows[1], std::pair(Five({4, 5, 6, 7, 9}), std::string("02:30")));
  EXPECT_EQ(rows[2], std::pair(Five({4, 5, 6, 8, 10}), std::string("01:00"))) << "numbers ascending";
  for (int option = 1; option <= 6; ++option) {
    for (const auto& [players, value] : Rows(600, option)) {
      EXPECT_NE(players, Five({4, 5, 6, 9, 10})) << "zero length, option " << option;
    }
  }
}

TEST_F(LineupEfficiencyTest, TheSevenFiguresOfAFiveAbsoluteAndPerFortyMinutes) {
  Starters();
  Basket(10, 1, 3);
  Basket(90, 1, 2);
  Add(Make.FreeThrow(100, 1, 5, true));
  Add(Make.FreeThrow(100, 1, 5, false));
  // At the second of the change: still the five that leaves.
  Basket(120, 2, 2);
  Add(Make.Subst(120, 2, 8, 9));
  Add(Make.Subst(120, 1, 8, 9));
  Basket(121, 1, 2);
  const std::string starters = Five({4, 5, 6, 7, 8});
  const std::vector<std::string> expected = {"02:00", "+4", "+80", "6", "120", "2", "40"};
  for (int option = 0; option <= 6; ++option) {
    const TRows rows = Rows(120, option);
    ASSERT_EQ(rows.size(), 1u) << option;
    EXPECT_EQ(rows[0], std::pair(starters, expected[static_cast<std::size_t>(option)])) << option;
  }
  EXPECT_EQ(Rows(120, 1, 2)[0].second, "-4") << "the other team's view";
  EXPECT_EQ(Rows(120, 6, 2)[0].second, "120");
}

TEST_F(LineupEfficiencyTest, PerFortyMinutesRoundsToTheNearest) {
  Starters();
  Add(Make.FreeThrow(7, 1, 5, true));
  Add(Make.Subst(7, 1, 8, 9));  // 7 seconds at +1
  Add(Make.FreeThrow(60, 1, 5, true));
  Add(Make.Subst(67, 1, 9, 10));  // 60 seconds at +1
  EXPECT_EQ(Rows(67, 2), (TRows{{Five({4, 5, 6, 7, 8}), "+343"}, {Five({4, 5, 6, 7, 9}), "+40"}}));
}

TEST_F(LineupEfficiencyTest, AFiveThatPlayedTwiceIsListedOnceWithTheSumOfItsStints) {
  Starters();
  Basket(30, 1, 2);
  Basket(90, 1, 2);
  Add(Make.Subst(120, 1, 8, 9));  // 2:00 at +4
  Basket(150, 2, 3);
  Add(Make.Subst(180, 1, 9, 8));
  Add(Make.FreeThrow(200, 2, 4, true));
  Add(Make.Subst(240, 1, 8, 10));  // 1:00 at -1
  EXPECT_EQ(Rows(240, 1), (TRows{{Five({4, 5, 6, 7, 8}), "+3"}, {Five({4, 5, 6, 7, 9}), "-3"}}));
  EXPECT_EQ(Rows(240, 2), (TRows{{Five({4, 5, 6, 7, 8}), "+40"}, {Five({4, 5, 6, 7, 9}), "-120"}}))
      << "80 and -40, each normalised before they are added";
}

TEST_F(LineupEfficiencyTest, PartialLineupsMergeOnlyWithTheSamePlayers) {
  // Four starters only: every stint has an empty slot.
  for (int shirt = 4; shirt <= 7; ++shirt) Add(Make.Subst(0, 1, 0, shirt));
  Add(Make.Subst(60, 1, 4, 8));
  Add(Make.Subst(90, 1, 5, 9));
  const TRows rows = Rows(150, 0);
  ASSERT_EQ(rows.size(), 3u) << "no five swallows another's time";
  EXPECT_EQ(rows[0], std::pair(Five({4, 5, 6, 7}), std::string("01:00"))) << "the earlier of two equal first";
  EXPECT_EQ(rows[1], std::pair(Five({6, 7, 8, 9}), std::string("01:00")));
  EXPECT_EQ(rows[2], std::pair(Five({5, 6, 7, 8}), std::string("00:30")));
}

TEST_F(LineupEfficiencyTest, AGenerationReplacesTheRowsAndAFaultKeepsThePreviousOnes) {
  Model.MatchInfo.Team1.Player(1).Number = 210;
  Starters();
  Add(Make.Subst(300, 1, 4, 210));
  Basket(3000, 1, 2);
  Model.MatchInfo.CurrentGameTime = FromSeconds(4000);
  TLineupEfficiencyConnection lineups(Model, TNoMessages());
  EXPECT_EQ(lineups.Open(), 0) << "nothing before the first generation";
  ASSERT_TRUE(lineups.Generate(1, 0));
  const TRows first = RowsOf(lineups);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].second, "01:01:40");
  EXPECT_EQ(first[0].first, "5. Player2 Pérez 6. Player3 Pérez 7. Player4 Pérez 8. Player5 Pérez 0. Player1 Pérez ")
      << "0 is stored as 210";
  EXPECT_EQ(first[1].first, "5. Player2 Pérez 6. Player3 Pérez 7. Player4 Pérez 8. Player5 Pérez ")
      << "nobody of this roster wears 4";
  EXPECT_EQ(RowsOf(lineups), first) << "every pass starts at the first row";

  ASSERT_TRUE(lineups.Generate(2, 3));
  EXPECT_EQ(
      RowsOf(lineups),
      (TRows{{"4. Player1 Müller 5. Player2 Müller 6. Player3 Müller 7. Player4 Müller 8. Player5 Müller ", "0"}}))
      << "the other team scored nothing";

  Add(Make.Make("shot", 3100, {{"Team", "1"}, {"Player", "5"}, {"Made", "Made"}, {"Points", "two"}}));
  ASSERT_TRUE(lineups.Generate(1, 0));
  const TStatus fault = lineups.Generate(1, 3);
  ASSERT_FALSE(fault);
  EXPECT_NE(fault.Error().find("two"), std::string::npos) << fault.Error();
  EXPECT_EQ(RowsOf(lineups), first);
  EXPECT_FALSE(lineups.Generate(3, 0));
  EXPECT_FALSE(lineups.Generate(1, 7));
}

TEST(LineupValueTextTest, TimesSignsAndPlainNumbers) {
  EXPECT_EQ(LineupValueText(754, 0), "12:34");
  EXPECT_EQ(LineupValueText(65, 0), "01:05");
  EXPECT_EQ(LineupValueText(3725, 0), "01:02:05");
  EXPECT_EQ(LineupValueText(0, 1), "0");
  EXPECT_EQ(LineupValueText(-3, 2), "-3");
  EXPECT_EQ(LineupValueText(5, 3), "5");
}

}  // namespace
}  // namespace velmora

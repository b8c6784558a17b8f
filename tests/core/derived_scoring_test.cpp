#include <gtest/gtest.h>

#include "model_fixture.h"
#include "records/text_utils.h"
#include "stats/derived_scoring.h"

namespace velmora {
namespace {

using testing::CloneAll;

template <typename... TActions>
TActionList ListOf(TActions... actions) {
  TActionList list;
  (list.push_back(std::move(actions)), ...);
  return list;
}

// The plus/minus as defined stint by stint: each substitution naming the player takes the score
// difference by walking the list from its start.
int LiteralScoreDiffUpTo(const TActionList& actions, const std::string& id, const std::string& team) {
  int points1 = 0;
  int points2 = 0;
  for (const auto& action : actions) {
    if (action->GetParam("Made") == "Made") {
      int points = 0;
      if (action->ShortName == "shot") points = ParseInt32(action->GetParam("Points")).value_or(0);
      if (action->ShortName == "fthrow") points = 1;
      if (action->GetParam("Team") == "1") points1 += points;
      if (action->GetParam("Team") == "2") points2 += points;
    }
    if (action->ID == id) break;
  }
  return team == "1" ? points1 - points2 : team == "2" ? points2 - points1 : 0;
}

int LiteralPlusMinus(const TModel& model, const TPlayer& player, const std::string& team) {
  const TActionList& actions = model.Actions();
  const std::string number = std::to_string(player.Number);
  int entryDiff = 0;
  int exitDiff = 0;
  int total = 0;
  for (const auto& action : actions) {
    if (action->ShortName != "subst" || action->GetParam("Team") != team) continue;
    const bool out = action->GetParam("Player Out") == number;
    const bool in = action->GetParam("Player In") == number;
    if (!out && !in) continue;
    const int diff = LiteralScoreDiffUpTo(actions, action->ID, team);
    if (out) {
      exitDiff = diff;
      total += exitDiff - entryDiff;
    }
    if (in) {
      entryDiff = diff;
      exitDiff = 0;
    }
  }
  if (team != "1" && team != "2") return total;
  const int teamNumber = team == "1" ? 1 : 2;
  for (int slot = 1; slot <= model.StatPlayerCount(teamNumber); ++slot) {
    if (model.Stats(TModel::PlayerSlot(teamNumber, slot)).Get("IN") == 1 &&
        model.MatchInfo.Team(teamNumber).Player(slot).Number == player.Number) {
      exitDiff = LiteralScoreDiffUpTo(actions, actions.back()->ID, team);
      total += exitDiff - entryDiff;
    }
  }
  return total;
}

using DerivedScoringTest = testing::TModelTest;

TEST_F(DerivedScoringTest, PointsAfterTurnovers) {
  const TActionList afterTurnover = ListOf(Make.Simple("turnover", 0, 2, 4), Make.Shot(0, 1, 5, "Made", 2));
  EXPECT_EQ(PointsAfterTurnovers(afterTurnover, "1"), 2);
  EXPECT_EQ(PointsAfterTurnovers(afterTurnover, "2"), 0);

  const TActionList others =
      ListOf(Make.Shot(0, 1, 5, "Made", 2),  // first of the list: nothing before it
             Make.Simple("steal", 0, 1, 6), Make.Shot(0, 1, 5, "Made", 3), Make.Simple("turnover", 0, 2, 4),
             Make.FreeThrow(0, 1, 5, true), Make.Simple("turnover", 0, 2, 4), Make.Shot(0, 1, 5, "Missed", 2));
  EXPECT_EQ(PointsAfterTurnovers(others, "1"), 3);
}

TEST_F(DerivedScoringTest, SecondChancePoints) {
  const auto second = [&](const std::string& made, int shooter, int rebounder) {
    return SecondChancePoints(
        ListOf(Make.Shot(0, shooter, 4, made, 2), Make.Rebound(0, rebounder, 5, false), Make.Shot(0, 1, 6, "Made", 3)),
        "1");
  };
  EXPECT_EQ(second("Missed", 1, 1), 3);
  EXPECT_EQ(second("Blocked", 1, 1), 3);
  EXPECT_EQ(second("Missed", 1, 2), 0);
  EXPECT_EQ(second("Missed", 2, 1), 0);
  EXPECT_EQ(second("Made", 1, 1), 0);
  EXPECT_EQ(SecondChancePoints(ListOf(Make.Rebound(0, 1, 5, false), Make.Shot(0, 1, 6, "Made", 3)), "1"), 0);
}

TEST_F(DerivedScoringTest, CounterAttackPoints) {
  const TActionList list =
      ListOf(Make.Shot(0, 1, 4, "Made", 2, "139+60", true), Make.Shot(0, 1, 4, "Missed", 3, "20+60", true),
             Make.Shot(0, 1, 4, "Made", 3, "20+60", false), Make.Shot(0, 2, 4, "Made", 3, "20+60", true),
             Make.Make("fthrow", 0, {{"Team", "1"}, {"Player", "4"}, {"Made", "Made"}, {"CounterAttack", "True"}}));
  EXPECT_EQ(CounterAttackPoints(list, "1"), 3);
  EXPECT_EQ(CounterAttackPoints(list, "2"), 3);
}

TEST_F(DerivedScoringTest, RestrictedAreaIsATrapezoidUnderTheBasket) {
  const auto inZone = [&](const std::string& coordinates) {
    return InZone(*Make.Shot(0, 1, 4, "Made", 2, coordinates));
  };
  EXPECT_TRUE(inZone("139+29"));
  EXPECT_FALSE(inZone("139+109"));
  EXPECT_TRUE(inZone("84+0"));
  EXPECT_FALSE(inZone("83+0"));
  EXPECT_TRUE(inZone("192+0"));
  EXPECT_FALSE(inZone("193+0"));
  EXPECT_TRUE(inZone("106+108"));  // d = 22 at the far edge: 105 < x < 171
  EXPECT_FALSE(inZone("105+108"));
  EXPECT_FALSE(inZone("171+108"));
  EXPECT_FALSE(inZone(""));
  EXPECT_FALSE(inZone("139"));
  EXPECT_FALSE(inZone("a+b"));
  EXPECT_FALSE(InZone(*Make.FreeThrow(0, 1, 4, true)));

  const TActionList list = ListOf(Make.Shot(0, 1, 4, "Made", 2, "139+20"), Make.Shot(0, 1, 4, "Missed", 2, "139+20"),
                                  Make.Shot(0, 1, 4, "Made", 3, "20+60"), Make.Shot(0, 2, 4, "Made", 2, "139+20"),
                                  Make.FreeThrow(0, 1, 4, true));
  EXPECT_EQ(PointsInZone(list, "1"), 2);
  EXPECT_EQ(PointsInZone(list, "2"), 2);
}

TEST_F(DerivedScoringTest, PointsThatAreNotANumberCountNothing) {
  const auto odd = [&] {
    auto shot = Make.Shot(0, 1, 4, "Made", 2, "139+20", true);
    shot->SetParam("Points", "two");
    return shot;
  };
  // After a turnover, in the zone, on a counter-attack: each figure would count it if it had points.
  const TActionList list = ListOf(Make.Simple("turnover", 0, 2, 4), odd());
  EXPECT_EQ(PointsAfterTurnovers(list, "1"), 0);
  EXPECT_EQ(CounterAttackPoints(list, "1"), 0);
  EXPECT_EQ(PointsInZone(list, "1"), 0);
  EXPECT_EQ(ScoreDiffUpTo(list, list[1]->ID, "1"), 0);
  EXPECT_EQ(SecondChancePoints(ListOf(Make.Shot(0, 1, 5, "Missed", 2), Make.Rebound(0, 1, 5, false), odd()), "1"), 0);
}

TEST_F(DerivedScoringTest, ScoreDifferenceUpToAnAction) {
  const TActionList list = ListOf(Make.Shot(0, 1, 4, "Made", 2), Make.FreeThrow(0, 2, 4, true),
                                  Make.Shot(0, 2, 4, "Missed", 3), Make.Shot(0, 2, 4, "Made", 3));
  EXPECT_EQ(ScoreDiffUpTo(list, list[0]->ID, "1"), 2);
  EXPECT_EQ(ScoreDiffUpTo(list, list[0]->ID, "2"), -2);
  EXPECT_EQ(ScoreDiffUpTo(list, list[2]->ID, "1"), 1);
  EXPECT_EQ(ScoreDiffUpTo(list, list[3]->ID, "1"), -2);
  EXPECT_EQ(ScoreDiffUpTo(list, "{00000000-0000-0000-0000-000000000001}", "2"), 2);  // the whole list
  EXPECT_EQ(ScoreDiffUpTo(list, list[3]->ID, "3"), 0);
  EXPECT_EQ(ScoreDiffUpTo(TActionList(), "", "1"), 0);
}

TEST_F(DerivedScoringTest, BenchPointsAreScoredByPlayersWhoDidNotStart) {
  for (int shirt = 4; shirt <= 8; ++shirt) Add(Make.Subst(0, 1, 0, shirt));
  Add(Make.Subst(1, 1, 8, 9));
  Add(Make.Shot(10, 1, 9, "Made", 2));
  Add(Make.FreeThrow(10, 1, 9, true));
  Add(Make.FreeThrow(10, 1, 9, false));
  Add(Make.Shot(10, 1, 9, "Missed", 2));
  Add(Make.Shot(20, 1, 4, "Made", 3));
  Add(Make.Shot(20, 1, 10, "Made", 2));  // never came in, but on the roster and not a starter
  Add(Make.Shot(20, 1, 99, "Made", 2));
  Add(Make.Shot(30, 2, 9, "Made", 3));
  EXPECT_EQ(BenchPoints(Model, "1"), 5);
  EXPECT_EQ(BenchPoints(Model, "2"), 3);
  EXPECT_EQ(BenchPoints(Model, "3"), 0);

  EXPECT_FALSE(IsBenchPlayer(Model, "1", "4"));
  EXPECT_FALSE(IsBenchPlayer(Model, "1", "8"));  // started, even if he left a second later
  EXPECT_TRUE(IsBenchPlayer(Model, "1", "9"));
  EXPECT_FALSE(IsBenchPlayer(Model, "1", "99"));
  EXPECT_FALSE(IsBenchPlayer(Model, "3", "9"));

  Model.MatchInfo = testing::MakeMatchInfo(30);
  Model.Recompute();
  EXPECT_TRUE(IsBenchPlayer(Model, "1", "32"));
  EXPECT_FALSE(IsBenchPlayer(Model, "1", "33"));  // the 30th player has no table
}

TEST_F(DerivedScoringTest, PlusMinusOverTwoStints) {
  int score1 = 0;
  int score2 = 0;
  const auto scoreTo = [&](int team1, int team2) {
    for (; score1 < team1; ++score1) Add(Make.FreeThrow(0, 1, 4, true));
    for (; score2 < team2; ++score2) Add(Make.FreeThrow(0, 2, 4, true));
  };
  for (int shirt = 4; shirt <= 8; ++shirt) {
    Add(Make.Subst(0, 1, 0, shirt));
    Add(Make.Subst(0, 2, 0, shirt));
  }
  scoreTo(10, 8);
  Add(Make.Subst(60, 1, 5, 9));  // +2
  scoreTo(20, 21);
  Add(Make.Subst(120, 1, 9, 5));  // -1
  scoreTo(30, 30);
  Add(Make.Subst(180, 1, 6, 9));  // 0
  scoreTo(40, 35);
  Model.Recompute();

  EXPECT_EQ(Stat(1, 9, "PLLSS"), (-1 - 2) + (5 - 0));
  EXPECT_EQ(Stat(1, 5, "PLLSS"), (2 - 0) + (5 - -1));
  EXPECT_EQ(Stat(1, 6, "PLLSS"), 0);
  EXPECT_EQ(Stat(1, 4, "PLLSS"), 5);
  EXPECT_EQ(Stat(2, 4, "PLLSS"), -5);
  EXPECT_EQ(Stat(1, 10, "PLLSS"), 0);

  TPlayer nine = Model.MatchInfo.Team1.Player(6);
  nine.LocalId = 77;
  const TPlusLessPlayer record = PlusMinus(Model, nine, "1");
  EXPECT_EQ(record.Total, 2);
  EXPECT_EQ(record.EntryDiff, 0);
  EXPECT_EQ(record.ExitDiff, 5);
  EXPECT_EQ(record.PlayerId, 77);
  EXPECT_EQ(record.Player.Number, 9);
  EXPECT_EQ(PlusMinus(Model, nine, "3").Total, 0);
}

TEST_F(DerivedScoringTest, PlusMinusAgreesWithTheStintByStintDefinition) {
  enum TRoster { kPlain, kDuplicateShirts, kPastTheTables };
  for (const TRoster kind : {kPlain, kDuplicateShirts, kPastTheTables}) {
    TMatchInfo matchInfo = testing::MakeMatchInfo(kind == kPastTheTables ? 30 : 12);
    if (kind == kDuplicateShirts) {
      matchInfo.Team1.Player(12).Number = 5;  // a starter's shirt on the bench
      matchInfo.Team2.Player(9).Number = 4;
      matchInfo.Team2.Player(10).Number = 14;
    }
    for (const std::uint32_t seed : {1u, 2u, 3u}) {
      const TActionList game = testing::SimulateGame(matchInfo, 400, seed);
      // Cut short too, so that other players are on the court at the end.
      for (const std::size_t length : {game.size(), game.size() / 2, game.size() / 3 + 7}) {
        TModel model(Config);
        model.MatchInfo = matchInfo;
        TActionList actions = CloneAll(game);
        actions.resize(length);
        model.SetActions(std::move(actions));
        model.Recompute();
        for (int team = 1; team <= 2; ++team) {
          const std::string teamText = std::to_string(team);
          for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
            const TPlayer& player = matchInfo.Team(team).Player(slot);
            const int expected = LiteralPlusMinus(model, player, teamText);
            const std::string where = "roster " + std::to_string(kind) + " seed " + std::to_string(seed) + " length " +
                                      std::to_string(length) + " team " + teamText + " slot " + std::to_string(slot);
            EXPECT_EQ(model.Stats(TModel::PlayerSlot(team, slot)).Get("PLLSS"), expected) << where;
            EXPECT_EQ(PlusMinus(model, player, teamText).Total, expected) << where;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace velmora

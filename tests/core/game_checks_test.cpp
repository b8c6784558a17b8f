#include "live/game_checks.h"

#include <gtest/gtest.h>

#include "model_fixture.h"

namespace velmora::testing {
namespace {

// A model whose game is built action by action; Flags() checks it.
class GameChecksTest : public TModelTest {
 protected:
  // Five of each team on court (shirts 4 to 8) and the game started.
  void StartGame() {
    for (int team = 1; team <= 2; ++team) {
      for (int shirt = 4; shirt <= 8; ++shirt) Add(Make.Subst(0, team, 0, shirt));
    }
    Add(Make.Period(0, 0, "Start Game"));
  }
  // Adds the action and gives it back for chains.
  const TAction& Enter(std::unique_ptr<TAction> action) {
    Add(std::move(action));
    return *Model.Actions().back();
  }
  std::unique_ptr<TAction> FollowUp(std::unique_ptr<TAction> action, const TAction& root) {
    action->FollowUpID = root.ID;
    return action;
  }
  // "kind@index" of every flag.
  std::vector<std::string> Flags() {
    std::vector<std::string> found;
    for (const TCheckFlag& flag : CheckGame(Model)) {
      found.push_back(std::string(CheckKindName(flag.Kind)) + "@" + std::to_string(flag.ActionIndex));
    }
    return found;
  }
  std::size_t Last() const { return Model.Actions().size() - 1; }
  std::string At(const char* kind, std::size_t index) { return std::string(kind) + "@" + std::to_string(index); }
};

using Texts = std::vector<std::string>;

TEST_F(GameChecksTest, ACleanGameHasNoFlags) {
  StartGame();
  const TAction& shot = Enter(Make.Shot(30, 1, 4, "Made", 2));
  Enter(FollowUp(Make.Simple("assist", 30, 1, 5), shot));
  const TAction& foul = Enter(Make.Foul(50, 2, 6, 7));
  Enter(FollowUp(Make.FreeThrow(52, 1, 7, true), foul));
  Enter(Make.Subst(60, 1, 4, 9));
  Enter(Make.Simple("reb", 70, 1, 9));
  EXPECT_TRUE(Flags().empty());
  EXPECT_EQ(FlagCountText(0), "");
  EXPECT_EQ(FlagCountText(1), "1 aviso");
  EXPECT_EQ(FlagCountText(3), "3 avisos");
}

TEST_F(GameChecksTest, APlayerOnTheBenchIsFlaggedButNotOneWhoCameBackInNorATeamWithoutSubstitutions) {
  for (int shirt = 4; shirt <= 8; ++shirt) Add(Make.Subst(0, 1, 0, shirt));
  Add(Make.Period(0, 0, "Start Game"));
  Enter(Make.Shot(20, 1, 9, "Missed", 2));  // 9 is on the bench
  const std::size_t benched = Last();
  Enter(Make.Simple("reb", 22, 2, 12));  // team 2 has no substitutions: nobody checked
  Enter(Make.Subst(30, 1, 4, 9));
  Enter(Make.Subst(40, 1, 9, 4));
  Enter(Make.Simple("steal", 45, 1, 4));  // back on court
  Enter(Make.Make("foul", 50, {{"Team", "1"}, {"Player", "10"}, {"Type", "Technical"}, {"Shots to make", "1"}}));
  EXPECT_EQ(Flags(), Texts{At("not-on-court", benched)}) << "a technical foul may come from the bench";
  const auto flags = CheckGame(Model);
  EXPECT_EQ(flags[0].Text, "9. P. Pérez no está en la pista");
  EXPECT_EQ(flags[0].Team, 1);
  EXPECT_EQ(flags[0].Player, "9");
  EXPECT_EQ(flags[0].Period, 1);
}

TEST_F(GameChecksTest, AnUnevenLineupIsFlaggedOnceAtTheFirstActionAfterTheSubstitutions) {
  StartGame();
  Enter(Make.Subst(30, 1, 0, 9));  // six on court
  Enter(Make.Subst(30, 2, 4, 0));  // four on court
  Enter(Make.Shot(35, 1, 9, "Made", 2));
  const std::size_t first = Last();
  Enter(Make.Shot(40, 1, 9, "Made", 2));
  EXPECT_EQ(Flags(), (Texts{At("lineup-size", first), At("lineup-size", first)}));
  const auto flags = CheckGame(Model);
  EXPECT_EQ(flags[0].Team, 1);
  EXPECT_EQ(flags[1].Team, 2);
  EXPECT_EQ(flags[1].Text, "Müller Basket Süd tiene 4 jugadores en la pista");
}

TEST_F(GameChecksTest, AnythingAfterTheLimitOfFoulsIsFlaggedButNotTheLimitingFoulItself) {
  StartGame();
  for (int i = 0; i < 5; ++i) Enter(Make.Foul(10 + i, 1, 4, 5));
  EXPECT_TRUE(Flags().empty()) << "the fifth foul is what puts him out";
  Enter(Make.Shot(30, 1, 4, "Made", 2));
  EXPECT_EQ(Flags(), Texts{At("fouled-out", Last())});
  EXPECT_EQ(CheckGame(Model)[0].Text, "4. P. Pérez ya tenía 5 faltas");
  Config.SetInt("fouls_per_player", 6);
  EXPECT_TRUE(Flags().empty()) << "the limit of the settings counts";
}

TEST_F(GameChecksTest, FreeThrowsNeedAFoulOfTheOtherTeamAndAssistsAMadeBasketOfTheirOwn) {
  StartGame();
  const TAction& technical =
      Enter(Make.Make("foul", 10, {{"Team", "2"}, {"Player", "5"}, {"Type", "Technical"}, {"Shots to make", "1"}}));
  Enter(FollowUp(Make.FreeThrow(11, 1, 4, true), technical));  // fine: the other team's foul
  Enter(Make.FreeThrow(12, 1, 4, true));                       // no foul at all
  const std::size_t alone = Last();
  const TAction& ownFoul = Enter(Make.Foul(20, 1, 6, 5));
  Enter(FollowUp(Make.FreeThrow(21, 1, 4, true), ownFoul));
  const std::size_t own = Last();
  const TAction& missed = Enter(Make.Shot(30, 1, 4, "Missed", 2));
  Enter(FollowUp(Make.Simple("assist", 30, 1, 5), missed));
  const std::size_t noBasket = Last();
  const TAction& made = Enter(Make.Shot(40, 2, 4, "Made", 3));
  Enter(FollowUp(Make.Simple("assist", 40, 1, 5), made));
  const std::size_t otherTeam = Last();
  Enter(FollowUp(Make.Simple("assist", 40, 2, 6), made));
  EXPECT_EQ(Flags(), (Texts{At("free-throw-without-foul", alone), At("free-throw-without-foul", own),
                            At("assist-without-basket", noBasket), At("assist-without-basket", otherTeam)}));
}

TEST_F(GameChecksTest, TimeOutsBeyondTheAllowanceOfTheirSpanAreFlagged) {
  StartGame();
  const auto timeout = [&](int seconds, const char* team) {
    auto action = Make.Make("timeout", seconds, {});
    action->Param("Team")->Data = team;
    Enter(std::move(action));
  };
  timeout(60, "1");
  timeout(120, "1");
  timeout(130, "0");  // a commercial time-out counts for nobody
  timeout(140, "2");
  Enter(Make.Period(600, 1, "End"));
  Enter(Make.Period(600, 2, "Start"));
  timeout(700, "1");  // the third of the first half
  const std::size_t third = Last();
  Enter(Make.Period(1200, 2, "End"));
  Enter(Make.Period(1200, 3, "Start"));
  timeout(1300, "1");  // the second half has three
  EXPECT_EQ(Flags(), Texts{At("timeouts-over-limit", third)});
  EXPECT_EQ(CheckGame(Model)[0].Text, "Club Baloncesto Norte supera los 2 tiempos muertos permitidos");
}

TEST_F(GameChecksTest, AClockThatGoesBackAndPlayOutsideThePeriodsAreFlagged) {
  Enter(Make.Shot(0, 1, 4, "Made", 2));  // before the game
  StartGame();
  Enter(Make.Shot(100, 1, 4, "Made", 2));
  Enter(Make.Simple("reb", 90, 2, 4));
  const std::size_t back = Last();
  Enter(Make.Period(600, 1, "End"));
  auto comment = Make.Make("comment", 600, {{"Comment", "Tiempo de TV"}});
  Enter(std::move(comment));  // comments, time-outs and substitutions are fine between periods
  Enter(Make.Subst(600, 1, 4, 9));
  Enter(Make.Foul(600, 2, 5, 6));
  const std::size_t between = Last();
  Enter(Make.Period(600, 2, "Start"));
  Enter(Make.Simple("steal", 610, 2, 5));
  Enter(Make.Period(2400, 0, "End Game"));
  Enter(Make.Simple("turnover", 2400, 1, 5));
  EXPECT_EQ(Flags(), (Texts{At("outside-period", 0), At("clock-backwards", back), At("outside-period", between),
                            At("outside-period", Last())}));
}

}  // namespace
}  // namespace velmora::testing

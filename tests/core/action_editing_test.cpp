// Corrections without a screen: the filters and period times of the action editing window, what a
// delete takes along, and the pending corrections with their questions.

#include <gtest/gtest.h>

#include "game_builder.h"
#include "live/action_editing.h"
#include "records/catalogue.h"
#include "records/message_source.h"
#include "stats/game_store.h"

namespace velmora::testing {
namespace {

std::string Clock(TDateTime value) { return FormatLongTime(value); }

class TCollectingSubmitter final : public TActionSubmitter {
 public:
  TCollectingSubmitter() { Catalogue.LoadCatalogue(); }
  std::unique_ptr<TAction> NewAction(std::string_view kind) override { return Catalogue.NewAction(kind, 0, 0, 0); }
  void Submit(std::unique_ptr<TAction> action) override { Submitted.push_back(std::move(action)); }
  TCatalogue Catalogue;
  TActionList Submitted;
};

class ActionEditingTest : public ::testing::Test {
 protected:
  ActionEditingTest() { Catalogue.LoadCatalogue(); }

  // A filter that lets everything through, over the default rosters.
  TActionFilter OpenFilter(TTeamChoice teams = TTeamChoice::Both) {
    TActionFilter filter;
    filter.Kinds = KindEntries(Catalogue);
    filter.KindTicked.assign(filter.Kinds.size(), true);
    filter.Teams = teams;
    filter.Players = PlayerEntries(MatchInfo, teams);
    filter.PlayerTicked.assign(filter.Players.size(), true);
    filter.Span = {0, FromSeconds(3600)};
    return filter;
  }
  static void TickOnly(std::vector<bool>& ticks, std::size_t index) {
    ticks.assign(ticks.size(), false);
    ticks[index] = true;
  }
  std::vector<std::string> IdsOf(std::initializer_list<const TAction*> actions) {
    std::vector<std::string> ids;
    for (const TAction* action : actions) ids.push_back(action->ID);
    return ids;
  }

  TCatalogue Catalogue;
  TMatchInfo MatchInfo = MakeMatchInfo(12);
  TActionFactory Make;
};

TEST_F(ActionEditingTest, PeriodButtonsSpanTheirPeriod) {
  const TPeriodSettings defaults;
  EXPECT_EQ(Clock(PeriodButtonSpan(defaults, 2).From), "00:10:00");
  EXPECT_EQ(Clock(PeriodButtonSpan(defaults, 2).To), "00:20:00");
  EXPECT_EQ(Clock(PeriodButtonSpan(defaults, 5).From), "00:40:00");
  EXPECT_EQ(Clock(PeriodButtonSpan(defaults, 5).To), "00:45:00");
  EXPECT_EQ(Clock(PeriodButtonSpan(defaults, 6).To), "00:50:00");
  // Two halves of twenty minutes: the third button is the first overtime.
  const TPeriodSettings halves{2, 20, 5};
  EXPECT_EQ(Clock(PeriodButtonSpan(halves, 3).From), "00:40:00");
  EXPECT_EQ(Clock(PeriodButtonSpan(halves, 3).To), "00:45:00");

  TActionList game;
  game.push_back(Make.Shot(600, 1, 4, "Made", 2));
  EXPECT_EQ(Clock(InitialSpan(game).To), "01:00:00");
  game.push_back(Make.Shot(63 * 60, 1, 4, "Made", 2));
  EXPECT_EQ(Clock(InitialSpan(game).To), "01:03:00") << "a game past the hour is shown whole";
}

TEST_F(ActionEditingTest, KindsListTwoShotEntriesAndNoSystemKinds) {
  const auto kinds = KindEntries(Catalogue);
  ASSERT_GE(kinds.size(), 3u);
  EXPECT_EQ(kinds[0].Caption, "Tiro (Made)");
  EXPECT_EQ(kinds[1].Caption, "Tiro (Missed)");
  EXPECT_EQ(kinds[2].Caption, "Rebote");
  for (const auto& kind : kinds) EXPECT_NE(kind.Kind, "delete") << "system kinds are not listed";
  EXPECT_EQ(kinds.size(), 14u);

  // Each shot entry stands for its own shots: a blocked shot is one that was not made.
  TActionFilter filter = OpenFilter();
  TickOnly(filter.KindTicked, 1);
  EXPECT_FALSE(filter.Passes(*Make.Shot(60, 1, 4, "Made", 2)));
  EXPECT_TRUE(filter.Passes(*Make.Shot(60, 1, 4, "Missed", 2)));
  EXPECT_TRUE(filter.Passes(*Make.Shot(60, 1, 4, "Blocked", 2)));
  EXPECT_FALSE(filter.Passes(*Make.Rebound(60, 1, 4, true)));
}

TEST_F(ActionEditingTest, TeamPlayerAndTimeTests) {
  const auto home = OpenFilter(TTeamChoice::Home);
  EXPECT_TRUE(home.Passes(*Make.Shot(60, 1, 4, "Made", 2)));
  EXPECT_FALSE(home.Passes(*Make.Shot(60, 2, 4, "Made", 2)));
  EXPECT_FALSE(home.Passes(*Make.Period(600, 1, "End"))) << "an action of no team belongs to neither";
  EXPECT_TRUE(OpenFilter().Passes(*Make.Period(600, 1, "End")));

  // Player 7 of team 1 only, both teams listed: team 2's number 7 is somebody else.
  TActionFilter seven = OpenFilter();
  TickOnly(seven.PlayerTicked, 3);
  ASSERT_EQ(seven.Players[3].Number, 7);
  EXPECT_TRUE(seven.Passes(*Make.Shot(60, 1, 7, "Made", 2)));
  EXPECT_FALSE(seven.Passes(*Make.Shot(60, 2, 7, "Made", 2)));
  EXPECT_TRUE(seven.Passes(*Make.Foul(60, 1, 4, 7))) << "any player parameter of the action counts";
  EXPECT_FALSE(seven.Passes(*Make.Period(600, 1, "End")));

  auto strange = Make.Shot(60, 1, 7, "Made", 2);
  strange->Param("Player")->Data = "seven";
  EXPECT_FALSE(OpenFilter().Passes(*strange)) << "an action that cannot be judged is left out";

  TActionFilter second = OpenFilter();
  second.Span = PeriodButtonSpan(TPeriodSettings{}, 2);
  EXPECT_TRUE(second.Passes(*Make.Shot(600, 1, 4, "Made", 2)));
  EXPECT_TRUE(second.Passes(*Make.Shot(1200, 1, 4, "Made", 2)));
  EXPECT_FALSE(second.Passes(*Make.Shot(1201, 1, 4, "Made", 2)));
  EXPECT_FALSE(second.Passes(*Make.Shot(599, 1, 4, "Made", 2)));
}

TEST_F(ActionEditingTest, DeletesTakeLaterActionsAndFollowUpsAlong) {
  auto start = Make.Period(0, 0, "Start Game");
  auto shot = Make.Shot(300, 1, 4, "Missed", 2);
  auto rebound = Make.Rebound(302, 2, 5, true);
  rebound->FollowUpID = shot->ID;
  auto end = Make.Period(1200, 2, "End");
  auto next = Make.Period(1200, 3, "Start");
  auto late = Make.Shot(1300, 2, 6, "Made", 3);
  const std::vector<const TAction*> game = {start.get(), shot.get(), rebound.get(), end.get(), next.get(), late.get()};

  const auto plain = ExpandDeleteSelection(game, {rebound->ID});
  EXPECT_EQ(plain.IDs, IdsOf({rebound.get()}));
  EXPECT_EQ(plain.Question, "");
  EXPECT_EQ(ExpandDeleteSelection(game, {start->ID}).IDs, IdsOf({start.get()})) << "the game's start goes alone";

  const auto chain = ExpandDeleteSelection(game, {shot->ID});
  EXPECT_EQ(chain.IDs, IdsOf({shot.get(), rebound.get()}));
  EXPECT_EQ(chain.Question,
            "Esta intentando eliminar acciones con seguimiento\nEsto eliminará el seguimiento de las acciones "
            "seleccionadas.\nDesea continuar?");

  const auto period = ExpandDeleteSelection(game, {end->ID});
  EXPECT_EQ(period.IDs, IdsOf({end.get(), late.get()}));
  EXPECT_EQ(period.Question,
            "Esta intentando eliminar los cuartos\nEsto eliminará todas las acciones desde el minuto 00:20:00.\n"
            "Desea continuar?");

  const auto both = ExpandDeleteSelection(game, {shot->ID, end->ID});
  EXPECT_EQ(both.IDs, IdsOf({shot.get(), rebound.get(), end.get(), late.get()}));
  EXPECT_TRUE(both.Question.starts_with("Esta intentando eliminar los cuartos\n"));
  EXPECT_NE(both.Question.find("\nEsta intentando eliminar acciones con seguimiento\n"), std::string::npos);
}

TEST_F(ActionEditingTest, PendingCorrectionsAskAndGoDeletesFirst) {
  TCollectingSubmitter submitter;
  TPendingCorrections pending;
  EXPECT_TRUE(pending.Empty());
  auto shot = Make.Shot(300, 1, 4, "Missed", 2);
  auto edit = shot->Clone();
  edit->ShortName = "edit";
  edit->SetParam("Made", "Made");
  pending.SetEdit(edit->Clone());
  pending.SetEdit(std::move(edit));
  ASSERT_TRUE(pending.AddDelete(submitter, "{A}"));
  ASSERT_TRUE(pending.AddDelete(submitter, "{B}"));
  EXPECT_EQ(pending.EditCount(), 1u) << "one edit per action";
  EXPECT_TRUE(pending.Deleted("{B}"));

  pending.Submit(submitter);
  EXPECT_TRUE(pending.Empty());
  ASSERT_EQ(submitter.Submitted.size(), 3u);
  EXPECT_EQ(submitter.Submitted[0]->GetParam("Event"), "{A}");
  EXPECT_EQ(submitter.Submitted[1]->GetParam("Event"), "{B}");
  EXPECT_EQ(submitter.Submitted[2]->ShortName, "edit");

  // Deleting an edited action leaves nothing to change.
  auto other = Make.Shot(400, 1, 5, "Made", 2);
  auto second = other->Clone();
  pending.SetEdit(shot->Clone());
  pending.SetEdit(std::move(second));
  ASSERT_TRUE(pending.AddDelete(submitter, other->ID));
  EXPECT_EQ(pending.EditOf(other->ID), nullptr);
  EXPECT_EQ(pending.SaveQuestion(),
            "Se han realizado los siguientes cambios:\r    Se ha eliminado una acción.\r    Se ha cambiado una "
            "acción.\r\rDesea ejecutar los cambios?");
}

TEST_F(ActionEditingTest, CaptionsAndPlayersOfTheEditors) {
  const TNoMessages messages;
  EXPECT_EQ(EditorCaption(messages, "Made"), "Resultado");
  EXPECT_EQ(EditorCaption(messages, "Type of personal"), "Type of persona...");
  EXPECT_EQ(EditorCaption(messages, "Shots to make"), "Shots to make");
  EXPECT_EQ(PlayerParameterTeam("Fouled on", 1), 2);
  EXPECT_EQ(PlayerParameterTeam("Player", 2), 2);
  EXPECT_EQ(RosterChoices(MatchInfo, 2).front().Caption.substr(0, 3), "4. ");
  EXPECT_EQ(CoordinatesText(ClampToCourt(-3, 250)), "1+199");
}

}  // namespace
}  // namespace velmora::testing

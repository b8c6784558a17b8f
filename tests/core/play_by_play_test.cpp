// The play-by-play's rows: the sentences with their follow-ups in the right columns, the fouls with
// their counts, the periods, and the actions that get no row.

#include <gtest/gtest.h>

#include "model_fixture.h"
#include "platform/messages.h"
#include "reports/play_by_play_report.h"

namespace velmora {
namespace {

using testing::TModelTest;

class PlayByPlayTest : public TModelTest {
 protected:
  PlayByPlayTest() {
    Model.MatchInfo = testing::MakeMatchInfo(15);
    Messages.ReadText("Period=Period\nOvertime=Overtime\nParam_Jump shot=Tiro en suspensión\n");
  }

  // Adds the action as a follow-up of `root`.
  void Follow(const TAction& root, std::unique_ptr<TAction> action) {
    action->FollowUpID = root.ID;
    Add(std::move(action));
  }
  const TAction& Last() const { return *Model.Actions().back(); }
  std::vector<TPlayByPlayRow> Rows() const { return PlayByPlayRows(Model, Messages); }
  // The connection's texts of every row.
  std::vector<std::vector<std::string>> Texts() {
    TReportData data;
    FillPlayByPlayReport(data, Model, Messages);
    return PullRows(*data.Connection("ActionListConnection")).Rows;
  }

  TMessages Messages;
};

TEST_F(PlayByPlayTest, ShotsTakeTheirFollowUpsIntoTheColumnsOfTheTeams) {
  Add(Make.Shot(30, 1, 7, "Made", 2));
  Follow(Last(), Make.Simple("assist", 30, 1, 5));
  Add(Make.Shot(50, 1, 8, "Blocked", 3));
  const TAction& blocked = Last();
  Follow(blocked, Make.Simple("block", 50, 2, 9));
  Follow(blocked, Make.Rebound(51, 2, 10, true));
  Add(Make.Shot(70, 2, 4, "Missed", 2));
  Follow(Last(), Make.Rebound(71, 2, 5, false));

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3U) << "follow-ups get no rows of their own";
  EXPECT_EQ(rows[0].Team1Text, "7 P. Pérez - Tiro de 2 puntos (Tiro en suspensión) anotado\rAsistencia: 5 P. Pérez");
  EXPECT_EQ(rows[0].Team2Text, "");
  EXPECT_EQ(rows[1].Team1Text, "8 P. Pérez - Tiro de 3 puntos (Tiro en suspensión) fallado (taponado)");
  EXPECT_EQ(rows[1].Team2Text, "9 P. Müller - Tapón\r10 P. Müller - Rebote defensivo");
  EXPECT_EQ(rows[2].Team2Text,
            "4 P. Müller - Tiro de 2 puntos (Tiro en suspensión) fallado\rRebote ofensivo: 5 P. Müller");
  EXPECT_EQ(rows[2].Team1Text, "");
  const auto texts = Texts();
  EXPECT_EQ(texts[0], (std::vector<std::string>{"Period 1", "09:30", rows[0].Team1Text, "", "2 - 0"}));
  EXPECT_EQ(texts[1][4], "") << "only baskets show the score";
}

TEST_F(PlayByPlayTest, FoulsCountPerPlayerAndTeamWhereverThePlayerStandsOnTheRoster) {
  Add(Make.Foul(10, 1, 99, 4));  // nobody of the roster wears 99
  Add(Make.Foul(20, 1, 99, 4));
  Add(Make.Foul(30, 1, 17, 4));  // roster slot 14
  Add(Make.Foul(40, 1, 17, 4));
  auto technical = Make.Foul(50, 1, 4, 0);
  technical->SetParam("Type", "Technical");
  Add(std::move(technical));
  Add(Make.Foul(60, 1, 4, 5));
  Add(Make.Foul(70, 1, 5, 5));

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 7U);
  EXPECT_EQ(rows[0].Team1Text, "Equipo - 1st Falta personal");
  EXPECT_EQ(rows[1].Team1Text, "Equipo - 1st Falta personal") << "the unknown player counts no fouls";
  EXPECT_EQ(rows[2].Team1Text, "17 P. Pérez - 1st Falta personal (1st falta de equipo)");
  EXPECT_EQ(rows[3].Team1Text, "17 P. Pérez - 2nd Falta personal (2nd falta de equipo)");
  EXPECT_EQ(rows[4].Team1Text, "4 P. Pérez - Falta technical (3rd falta de equipo)");
  EXPECT_EQ(rows[5].Team1Text, "4 P. Pérez - 2nd Falta personal (4th falta de equipo)")
      << "a foul of any type counts towards the next personal foul's number";
  EXPECT_EQ(rows[6].Team1Text, "5 P. Pérez - 1st Falta personal (5th falta de equipo)");
}

TEST_F(PlayByPlayTest, AnOffensiveFoulFindsItsTurnoverBehindAFoulOutSubstitution) {
  auto foul = Make.Foul(100, 2, 6, 0);
  foul->SetParam("Type of personal", "Offensive");
  Add(std::move(foul));
  const TAction& root = Last();
  Follow(root, Make.Subst(100, 2, 6, 11));
  auto turnover = Make.Simple("turnover", 100, 2, 6);
  turnover->SetParam("Type", "Offensive foul");
  Follow(root, std::move(turnover));

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 1U) << "the substitution follows the foul and gets no row";
  EXPECT_EQ(rows[0].Team2Text,
            "6 P. Müller - Falta en ataque (1st falta de equipo)\r6 P. Müller Perdida de balón (Offensive foul)");
}

TEST_F(PlayByPlayTest, FreeThrowsHaveRowsAndTheLastOneTakesTheChainsRebound) {
  auto foul = Make.Foul(200, 2, 4, 7);
  foul->SetParam("Type of personal", "Shooting");
  Add(std::move(foul));
  const TAction& root = Last();
  auto first = Make.FreeThrow(200, 1, 7, true);
  first->SetParam("Throws Left", "2");
  Follow(root, std::move(first));
  auto second = Make.FreeThrow(200, 1, 7, false);
  second->SetParam("Throws Left", "2");
  second->SetParam("Throw Number", "2");
  Follow(root, std::move(second));
  Follow(root, Make.Rebound(202, 2, 8, true));

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 3U);
  EXPECT_EQ(rows[1].Team1Text, "7 P. Pérez - Tiro libre anotado(1/2)");
  EXPECT_EQ(rows[1].Team1Score, 1);
  EXPECT_EQ(rows[2].Team1Text, "7 P. Pérez - Tiro libre fallado(2/2)");
  EXPECT_EQ(rows[2].Team2Text, "8 P. Müller - Rebote defensivo") << "no rebound disappears";
  EXPECT_EQ(rows[2].Team1Score, 0) << "a miss shows no score";
}

TEST_F(PlayByPlayTest, PeriodsNameTheOvertimesAndTeamFoulsCarryIntoThem) {
  Add(Make.Period(0, 1, "Start Game"));
  for (int period = 1; period <= 4; ++period) {
    if (period > 1) Add(Make.Period(600 * (period - 1), period, "Start"));
    Add(Make.Foul(600 * period - 10, 1, 4 + period, 4));
    Add(Make.Period(600 * period, period, "End"));
  }
  Add(Make.Period(2400, 5, "Start"));
  Add(Make.Foul(2410, 1, 10, 4));
  Add(Make.Shot(2700, 2, 4, "Made", 2));  // on the overtime's last second

  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 6U);
  EXPECT_EQ(texts[3][0], "Period 4");
  EXPECT_EQ(texts[3][2], "8 P. Pérez - 1st Falta personal (1st falta de equipo)") << "a new period starts afresh";
  EXPECT_EQ(texts[4][0], "Overtime 1");
  EXPECT_EQ(texts[4][1], "04:50");
  EXPECT_EQ(texts[4][2], "10 P. Pérez - 1st Falta personal (2nd falta de equipo)");
  EXPECT_EQ(texts[5][1], "00:00");

  Config.SetInt("no_of_quarters", 2);
  EXPECT_EQ(Texts()[2][0], "Overtime 1") << "the third period follows two regular ones";
}

TEST_F(PlayByPlayTest, ActionsWithoutASentenceGetNoRowAndTimeOutsGoToTheirTeam) {
  Add(Make.Subst(0, 1, 0, 4));  // a starter comes in
  Add(Make.Make("reb", 10, {{"Team", "1"}, {"Player", "4"}}));
  Add(Make.Make("comment", 20, {{"Comment", "Lluvia en la pista"}}));
  auto commercial = Make.Make("timeout", 30, {});
  commercial->Param("Team")->Data = "0";
  Add(std::move(commercial));
  auto second = Make.Make("timeout", 40, {});
  second->Param("Team")->Data = "2";
  Add(std::move(second));
  Add(Make.Subst(50, 2, 210, 5));

  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].Team1Text, "");
  EXPECT_EQ(rows[0].Team2Text, "Tiempo muerto");
  EXPECT_EQ(rows[1].Team2Text, "Sustitución: Equipo sale, \r5 P. Müller entra");
}

TEST_F(PlayByPlayTest, EveryActionOfALongGameHasItsRow) {
  for (int i = 0; i < 2100; ++i) Add(Make.Simple("assist", i, 1 + i % 2, 4));
  EXPECT_EQ(Rows().size(), 2100U);
}

TEST_F(PlayByPlayTest, LabelsUseTheWornShirtAndAWholeInitial) {
  Model.MatchInfo.Team1.Player(3).Number = 210;
  Model.MatchInfo.Team1.Player(3).Name = "Álvaro";
  EXPECT_EQ(PlayerLabel(Model.MatchInfo, "1", "210"), "0 Á. Pérez");
  EXPECT_EQ(PlayerLabel(Model.MatchInfo, "2", "210"), "Equipo");
  EXPECT_EQ(PlayerLabel(Model.MatchInfo, "3", "4"), "Equipo");
}

}  // namespace
}  // namespace velmora

// Entering plays through the live window: court clicks, player buttons, function keys, the small
// dialogs, follow-up chains, comments and substitutions.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "entry_fixture.h"
#include "live/court_view.h"
#include "live/entry_dialogs.h"
#include "live/player_column.h"
#include "live/subst_form.h"
#include "store/database_plugin.h"

namespace velmora::gui::testing {
namespace {

TEST_F(EntryTest, RightClickMakesAMissedThreeAndTheRebound) {
  OpenStartedGame();
  ClickCourt(139, 150, Qt::RightButton);
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->GetParam("Points"), "3");
  EXPECT_EQ(Current()->GetParam("Made"), "Missed");
  EXPECT_EQ(Current()->GetParam("Shot type"), "Jump shot");
  EXPECT_EQ(Current()->GetParam("Coordinates"), "139+150");
  EXPECT_TRUE(Find<TCourtPanel>("ImagePanel")->MarkerShown(true));
  EXPECT_EQ(Prompt(), QStringLiteral("Tiro: Seleccionar Player"));

  ClickPlayer(1, 6);
  EXPECT_TRUE(Asked().empty()) << "nothing to ask: a missed shot is no fast break";
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"shot"});
  EXPECT_EQ(taken[0]->GetParam("CounterAttack"), "False");
  EXPECT_FALSE(taken[0]->Complete) << "it opens a chain";
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->ShortName, "reb");
  EXPECT_EQ(Current()->FollowUpID, taken[0]->ID);
  EXPECT_EQ(Prompt(), QStringLiteral("Rebote: Seleccione jugador/equipo infractor"));
  EXPECT_TRUE(Shown("TeamAct1Button") && Shown("TeamAct2Button"));

  // The defender's rebound: its type follows from the shot of the chain.
  ClickPlayer(2, 5);
  const auto rebound = Taken();
  ASSERT_EQ(KindsOf(rebound), (Kinds{"reb", "complete"}));
  EXPECT_EQ(rebound[0]->GetParam("Type"), "Defensive");
  EXPECT_EQ(rebound[1]->GetParam("Event"), taken[0]->ID);
  EXPECT_EQ(Current(), nullptr);
  EXPECT_EQ(Model.Stats(TModel::PlayerSlot(2, 2)).Get("RD"), 1);
}

TEST_F(EntryTest, TheLaneAsksTheShotTypeAndOutsideItIsAJumpShot) {
  OpenStartedGame();
  ClickPlayer(1, 4);
  Answer({"1", "3", "2"});  // made, dunk, no fast break
  ClickCourt(139, 60);
  EXPECT_EQ(Asked(), (Kinds{"Made", "Shot type", "En contra ataque?"}));
  auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"shot"});
  EXPECT_EQ(taken[0]->GetParam("Shot type"), "Dunk");
  EXPECT_EQ(taken[0]->GetParam("Points"), "2");
  EXPECT_EQ(Current()->ShortName, "assist");
  Key(Qt::Key_Escape);
  EXPECT_EQ(KindsOf(Taken()), Kinds{"complete"});

  Window->Dialogs().Asked.clear();
  ClickCourt(30, 60);
  EXPECT_EQ(Current()->GetParam("Shot type"), "Jump shot");
  EXPECT_EQ(Current()->GetParam("Points"), "2");
  ClickCourt(-5, 250);  // clicks beyond the picture land on its edge
  EXPECT_EQ(Current()->GetParam("Coordinates"), "1+199");
  EXPECT_EQ(Current()->GetParam("Points"), "3");
}

TEST_F(EntryTest, APlayerChosenFirstGoesIntoTheNextAction) {
  OpenStartedGame();
  ClickPlayer(1, 7);
  EXPECT_EQ(Prompt(), QStringLiteral("Seleccione una acción"));
  EXPECT_EQ(TextOf("CommentText"), QStringLiteral("Player4 Pérez ")) << "his name goes into the comment";
  Answer({"1"});
  Key(Qt::Key_F4);
  EXPECT_EQ(Asked(), Kinds{"Type"});
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"reb"});
  EXPECT_EQ(taken[0]->GetParam("Team"), "1");
  EXPECT_EQ(taken[0]->GetParam("Player"), "7");
  EXPECT_EQ(taken[0]->GetParam("Type"), "Offensive");
  EXPECT_TRUE(taken[0]->Complete);
}

TEST_F(EntryTest, TheShooterCannotAssistHimselfUnlessTheOperatorInsists) {
  OpenStartedGame();
  ClickPlayer(1, 7);
  Answer({"1", "2"});
  ClickCourt(40, 60);
  ASSERT_EQ(Current()->ShortName, "assist");
  EXPECT_FALSE(PlayerButton(2, 4)->isEnabled()) << "the assist belongs to the shooting team";
  EXPECT_TRUE(PlayerButton(1, 8)->isEnabled());
  ClickPlayer(1, 7);
  ASSERT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_EQ(Ui.Boxes[0].Text, "No se puede asistir a si mismo");
  EXPECT_EQ(Current()->ShortName, "assist") << "still waiting for the assist";
  Taken();
  ClickPlayer(1, 7);
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), (Kinds{"assist", "complete"}));
  EXPECT_EQ(taken[0]->GetParam("Player"), "7");
}

TEST_F(EntryTest, AFifthShootingFoulBringsTheSubstitutionFirstThenTheFreeThrows) {
  TActionList fouls;
  for (int i = 0; i < 4; ++i) fouls.push_back(Make.Foul(10 + i, 1, 4, 5));
  OpenStartedGame(std::move(fouls));
  Window->Dialogs().Asked.clear();
  Ui.Boxes.clear();
  // Foul by 4 of team 1 on 5 of team 2: personal, shooting, two shots; 9 comes in.
  ClickPlayer(1, 4);
  Answer({"1", "5", "2", "3", "9"});
  Key(Qt::Key_F5);
  EXPECT_EQ(Asked(),
            (Kinds{"Type", "Falta cometida sobre", "Type of personal", "Cuantos tiros libres?", "Jugador que entra"}));
  ASSERT_NE(Current(), nullptr);
  ASSERT_EQ(Current()->ShortName, "fthrow") << "after the substitution, the free throws";
  Answer({"2", "2"});  // both missed
  ClickPlayer(2, 5);
  ASSERT_FALSE(Ui.Boxes.empty());
  EXPECT_EQ(Ui.Boxes[0].Text, "El jugador Player1 Pérez abandona la pista");
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), (Kinds{"foul", "subst", "fthrow", "fthrow"}));
  EXPECT_EQ(taken[0]->GetParam("Fouled on"), "5");
  EXPECT_EQ(taken[1]->GetParam("Player Out"), "4");
  EXPECT_EQ(taken[1]->GetParam("Player In"), "9");
  EXPECT_EQ(taken[2]->GetParam("Team"), "2");
  EXPECT_EQ(taken[3]->FollowUpID, taken[0]->ID);
  EXPECT_EQ(Asked().back(), "Tiro 2 de 2");
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->ShortName, "reb") << "the missed last free throw";
  EXPECT_TRUE(Window->ClockRunning()) << "a missed last free throw of a personal foul restarts the clock";
}

TEST_F(EntryTest, AShootingFoulBelowTheLimitGoesStraightToTheFreeThrows) {
  TActionList fouls;
  for (int i = 0; i < 3; ++i) fouls.push_back(Make.Foul(10 + i, 1, 4, 5));
  OpenStartedGame(std::move(fouls));
  Window->Dialogs().Asked.clear();
  ClickPlayer(1, 4);
  Answer({"1", "5", "2", "3"});
  Key(Qt::Key_F5);
  ASSERT_EQ(Current()->ShortName, "fthrow");
  EXPECT_FALSE(PlayerButton(1, 5)->isEnabled()) << "free throws of the other team";
  EXPECT_TRUE(PlayerButton(2, 5)->isEnabled());
  Answer({"1", "2", "1", "2"});  // made, no fast break; made, no fast break
  ClickPlayer(2, 5);
  EXPECT_EQ(Asked(), (Kinds{"Type", "Falta cometida sobre", "Type of personal", "Cuantos tiros libres?", "Tiro 1 de 2",
                            "En contra ataque?", "Tiro 2 de 2", "En contra ataque?"}));
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), (Kinds{"foul", "fthrow", "fthrow", "complete"}));
  EXPECT_EQ(taken[2]->GetParam("Throw Number"), "2");
  EXPECT_EQ(taken[2]->GetParam("Player"), "5") << "the second throw by the same player";
  EXPECT_EQ(Model.Stats(TModel::TotalsSlot(2)).Get("PTS"), 2);
}

TEST_F(EntryTest, ATechnicalFoulAsksNoVictimAndItsMissedThrowLeavesTheClockStopped) {
  OpenStartedGame();
  ClickPlayer(2, 6);
  Click("StopClockButton");
  Answer({"2", "2"});  // technical; one shot
  Key(Qt::Key_F5);
  EXPECT_EQ(Asked(), (Kinds{"Type", "Cuantos tiros libres?"}));
  Answer({"2"});  // the throw missed
  ClickPlayer(1, 4);
  EXPECT_EQ(Asked().back(), "Tiro 1 de 1");
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), (Kinds{"foul", "fthrow"}));
  EXPECT_EQ(taken[0]->GetParam("Type"), "Technical");
  EXPECT_EQ(taken[0]->GetParam("Fouled on"), "0");
  EXPECT_FALSE(Window->ClockRunning());
}

TEST_F(EntryTest, WithoutFollowUpsAFreeThrowStandsAlone) {
  Config.SetInt("enable_followups", 0);
  OpenStartedGame();
  ClickPlayer(1, 5);
  Answer({"2", "2"});  // missed, no fast break asked since missed
  Key(Qt::Key_F3);
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"fthrow"});
  EXPECT_EQ(taken[0]->GetParam("Throw Number"), "0");
  EXPECT_EQ(taken[0]->GetParam("Throws Left"), "1");
  EXPECT_TRUE(taken[0]->Complete);
  EXPECT_EQ(Current(), nullptr) << "no rebound follows";
}

TEST_F(EntryTest, EscEndsAnOfferedReboundWithOneMarkForTheChain) {
  OpenStartedGame();
  ClickPlayer(2, 8);
  Answer({"1"});  // a jump shot from the lane
  ClickCourt(139, 100, Qt::RightButton);
  const auto shot = Taken();
  ASSERT_EQ(KindsOf(shot), Kinds{"shot"});
  ASSERT_EQ(Current()->ShortName, "reb");
  Key(Qt::Key_Escape);
  Key(Qt::Key_Escape);
  const auto after = Taken();
  ASSERT_EQ(KindsOf(after), Kinds{"complete"});
  EXPECT_EQ(after[0]->GetParam("Event"), shot[0]->ID);
}

TEST_F(EntryTest, PageUpPicksAPlayerByTheDigitsOfHisShirt) {
  TActionList game;
  game.push_back(Make.Subst(0, 1, 0, 4));
  game.push_back(Make.Subst(0, 1, 0, 15));
  StoreGame(game);
  // Shirt 45 is not in the standard roster: wear it in slot 3.
  TMatchInfo matchInfo;
  ASSERT_TRUE(Store->LoadMatchInfo("G-1", matchInfo));
  matchInfo.Team1.Player(3).Number = 45;
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
  TActionList more;
  more.push_back(Make.Subst(0, 1, 0, 45));
  TDateTime clock = 0;
  ASSERT_TRUE(Store->SaveActionList("G-1", more, true, clock));
  Open();
  const auto& entry = Window->Entry();
  EXPECT_EQ(entry.ShirtNumbersStartingWith(1, "1"), std::vector<int>{15});
  EXPECT_EQ(entry.ShirtNumbersStartingWith(1, "4"), (std::vector<int>{4, 45}));

  // Through the real box: "4" keeps it open, "5" then picks 45.
  WhenShown<TNumberEntryForm>([](TNumberEntryForm& form) {
    QTest::keyClick(form.Edit(), Qt::Key_4);
    EXPECT_TRUE(form.isVisible());
    QTest::keyClick(form.Edit(), Qt::Key_5);
  });
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Window->Entry().SelectedPlayer(), 45);
  EXPECT_TRUE(PlayerButton(1, 45)->isChecked());
}

TEST_F(EntryTest, ShirtsZeroAndDoubleZeroAreTypedAsShownAndTheOtherTeamsFollowUpPicksNobody) {
  TMatchInfo matchInfo = velmora::testing::MakeMatchInfo(12, "G-1");
  matchInfo.Team1.Player(1).Number = 210;  // "0"
  matchInfo.Team1.Player(2).Number = 200;  // "00"
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
  TActionList game;
  for (int shirt : {210, 200, 6, 7, 8}) game.push_back(Make.Subst(0, 1, 0, shirt));
  for (int shirt = 4; shirt <= 8; ++shirt) game.push_back(Make.Subst(0, 2, 0, shirt));
  game.push_back(Make.Period(0, 0, "Start Game"));
  TDateTime clock = 0;
  ASSERT_TRUE(Store->SaveActionList("G-1", game, false, clock));
  Open();
  const auto& entry = Window->Entry();
  EXPECT_EQ(entry.ShirtNumbersStartingWith(1, "0"), (std::vector<int>{210, 200}));
  EXPECT_EQ(entry.ShirtNumbersStartingWith(1, "00"), std::vector<int>{200});
  EXPECT_EQ(entry.ShirtNumbersStartingWith(1, "21"), std::vector<int>{210}) << "the stored codes still work";
  EXPECT_EQ(entry.ShirtNumbersStartingWith(1, "200"), std::vector<int>{200});

  // "0" keeps the box open (both "0" and "00" are on court); the second "0" picks "00".
  WhenShown<TNumberEntryForm>([](TNumberEntryForm& form) {
    QTest::keyClick(form.Edit(), Qt::Key_0);
    EXPECT_TRUE(form.isVisible());
    QTest::keyClick(form.Edit(), Qt::Key_0);
  });
  Key(Qt::Key_PageUp);
  EXPECT_EQ(entry.SelectedPlayer(), 200);

  // A made basket of team 1: its assist belongs to team 1, so team 2's 5 is not picked by his shirt.
  Answer({"1", "2"});  // made, no fast break
  ClickCourt(30, 60);
  ASSERT_EQ(Current()->ShortName, "assist");
  Answer({"5"});
  Key(Qt::Key_PageDown);
  EXPECT_EQ(entry.SelectedPlayer(), 0);
  EXPECT_FALSE(PlayerButton(2, 5)->isChecked());
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->ShortName, "assist") << "still waiting for its player";
  EXPECT_EQ(KindsOf(Taken()), Kinds{"shot"});
}

TEST_F(EntryTest, HiddenFollowUpKindsKeepTheirMenuItemsButLoseButtonsAndKeys) {
  Config.SetInt("hide_followups", 1);
  OpenStartedGame();
  EXPECT_EQ(Window->findChild<QPushButton*>(QStringLiteral("ActionButton1")), nullptr) << "no assist button";
  EXPECT_NE(Window->findChild<QPushButton*>(QStringLiteral("ActionButton2")), nullptr);
  Key(Qt::Key_F2);
  EXPECT_EQ(Current(), nullptr) << "F2 does nothing";
  Trigger("ActionItem1");
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->ShortName, "assist");
  EXPECT_EQ(Find<QAction>("ActionItem1")->text(), QStringLiteral("Asistencia"));
}

TEST_F(EntryTest, ATimeOutBeyondTheAllowanceIsRefusedAndATeamTimeOutStopsTheClock) {
  TActionList timeouts;
  for (int i = 0; i < 2; ++i) timeouts.push_back(Make.Make("timeout", 100 + i, {{"Team", "Second Team"}}));
  OpenStartedGame(std::move(timeouts));
  Click("StartClockButton");
  Answer({"3"});
  Click("btn_Timeout");
  ASSERT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_EQ(Ui.Boxes[0].Text, "No se permiten mas tiempos muertos en este periodo");
  EXPECT_EQ(Current()->ShortName, "timeout");
  EXPECT_TRUE(Taken().empty());
  Key(Qt::Key_Escape);
  Answer({"2"});
  Click("btn_Timeout");
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"timeout"});
  EXPECT_FALSE(Window->ClockRunning());
  EXPECT_EQ(TextOf("Team1Timeouts"), QStringLiteral("Time-Outs: 1/2"));
}

TEST_F(EntryTest, SingleSubstitutionsWithAndWithoutAFullLineup) {
  TActionList game = Lineups(5, 4);
  game.push_back(Make.Period(0, 0, "Start Game"));
  StoreGame(game);
  Open();
  Click("Team1_SubstOne");
  EXPECT_TRUE(Prompt().startsWith(QStringLiteral("Sustitución: Seleccionar Player"))) << Prompt().toStdString();
  EXPECT_FALSE(PlayerButton(2, 4)->isEnabled());
  Answer({"10"});
  ClickPlayer(1, 6);
  EXPECT_EQ(Asked(), Kinds{"Jugador que entra"});
  auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"subst"});
  EXPECT_EQ(taken[0]->GetParam("Player Out"), "6");
  EXPECT_EQ(taken[0]->GetParam("Player In"), "10");
  EXPECT_NE(PlayerButton(1, 10), nullptr);
  EXPECT_EQ(Window->findChild<TPlayerButton*>(QStringLiteral("PlayerButton1006")), nullptr);

  // Four on court: straight to the player coming in, nobody going out.
  Answer({"12"});
  Click("Team2_SubstOne");
  taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"subst"});
  EXPECT_EQ(taken[0]->GetParam("Player Out"), "0");
  EXPECT_EQ(taken[0]->GetParam("Player In"), "12");
  EXPECT_EQ(Model.PlayersOnCourt(2), 5);

  // An impossible pair is refused.
  Window->Entry().Cancel();
  Click("Team1_SubstOne");
  Answer({"4"});
  ClickPlayer(1, 5);
  EXPECT_EQ(Ui.Boxes.back().Text, "Invalid players for substitution");
  EXPECT_TRUE(Taken().empty());
}

TEST_F(EntryTest, TheSubstitutionDialogHoldsFiveAndSubmitsPairsFirst) {
  TActionList game = Lineups(4, 5);
  for (int i = 0; i < 5; ++i) game.push_back(Make.Foul(1, 1, 15, 4));  // 15 of team 1 fouled out
  StoreGame(game);
  Open();
  WhenShown<TSubstForm>([](TSubstForm& dialog) {
    TSubstForm* form = &dialog;
    SaveScreenshot(*form, "subst_form");
    QListWidget* bench = form->Bench(1);
    for (int row = 0; row < bench->count(); ++row) {
      EXPECT_NE(bench->item(row)->text().left(3), QStringLiteral("15.")) << "a fouled-out player is in neither list";
    }
    EXPECT_EQ(form->Court(1)->count(), 4);
    // Three chosen for a list that holds four: only the first goes.
    for (int row = 0; row < 3; ++row) bench->item(row)->setSelected(true);
    QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("Add1Button")), Qt::LeftButton);
    EXPECT_EQ(form->Court(1)->count(), 5);
    // Team 1: 4 out for the first chosen; team 2: one more on court is impossible, one swap.
    form->Court(1)->item(0)->setSelected(true);
    QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("Remove1Button")), Qt::LeftButton);
    form->Court(2)->item(0)->setSelected(true);
    QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("Remove2Button")), Qt::LeftButton);
    form->Bench(2)->item(1)->setSelected(true);
    QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("Add2Button")), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
  });
  Trigger("SubstituteAll1");
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), (Kinds{"subst", "subst"}));
  EXPECT_EQ(taken[0]->GetParam("Team"), "1");
  EXPECT_EQ(taken[0]->GetParam("Player Out"), "4");
  EXPECT_EQ(taken[0]->GetParam("Player In"), "8");
  EXPECT_EQ(taken[1]->GetParam("Team"), "2");
  EXPECT_EQ(taken[1]->GetParam("Player Out"), "4");
  EXPECT_EQ(Model.PlayersOnCourt(1), 4);

  // Cancel submits nothing but the player buttons are rebuilt all the same.
  WhenShown<TSubstForm>([](TSubstForm& form) {
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
  });
  Trigger("SubstituteAll1");
  EXPECT_TRUE(Taken().empty());
}

TEST_F(EntryTest, ChoicesAndPlayersCanBeChosenInTheRealDialogs) {
  OpenStartedGame();
  ClickPlayer(1, 8);
  WhenShown<TChoiceForm>([](TChoiceForm& form) {
    EXPECT_TRUE(form.screen()->availableGeometry().contains(form.geometry()));
    // In the lane the shot type is asked next, and cancelled.
    WhenShown<TChoiceForm>([](TChoiceForm& next) { QTest::keyClick(&next, Qt::Key_Escape); });
    QTest::keyClick(&form, Qt::Key_Right);  // from "Made" to "Missed"
    QTest::keyClick(&form, Qt::Key_Return);
  });
  ClickCourt(139, 60);
  const auto taken = Taken();
  EXPECT_TRUE(taken.empty()) << "a cancelled dialog ends the entry";
  EXPECT_EQ(Current(), nullptr);

  // The player fouled, picked with the arrows and Enter.
  ClickPlayer(1, 5);
  Answer({"1"});
  WhenShown<TPlayerForm>([this](TPlayerForm& form) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Falta cometida sobre"));
    QTest::keyClick(&form, Qt::Key_Down);  // to the first player on court
    QTest::keyClick(&form, Qt::Key_Down);
    QTest::keyClick(&form, Qt::Key_Return);
    Answer({"1"});  // non-shooting
  });
  Key(Qt::Key_F5);
  const auto foul = Taken();
  ASSERT_EQ(KindsOf(foul), Kinds{"foul"});
  EXPECT_EQ(foul[0]->GetParam("Fouled on"), "5") << "the second player on court";
  EXPECT_EQ(foul[0]->GetParam("Type of personal"), "Non-shooting");
}

}  // namespace
}  // namespace velmora::gui::testing

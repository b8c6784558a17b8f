// Plays that meet the buzzer, a period command or the closing of the window: the chain under
// entry ends with its mark, nothing of it reaches the next period, and the clock stays stopped
// until the next period starts.

#include <QPushButton>
#include <QTest>

#include "entry_fixture.h"
#include "records/game_time.h"
#include "when_shown.h"

namespace velmora::gui::testing {
namespace {

using velmora::testing::WhenShown;

class EntryPeriodTest : public EntryTest {
 protected:
  // The clock run from 0:00 to the end of the first period.
  void RunToTheBuzzer() {
    Click("StartClockButton");
    ASSERT_TRUE(Window->ClockRunning());
    Tick(600);
  }
  int Count(const std::vector<const TAction*>& actions, const std::string& kind) {
    int count = 0;
    for (const TAction* action : actions) count += action->ShortName == kind;
    return count;
  }
  std::vector<const TAction*> AllTaken() {
    std::vector<const TAction*> all;
    for (const auto& action : Sender->Taken) all.push_back(action.get());
    return all;
  }
  int StoredPeriodEnds() {
    int ends = 0;
    for (const auto& action : Model.Actions()) ends += action->ShortName == "quarter" && action->GetParam("Type") == "End";
    return ends;
  }
};

TEST_F(EntryPeriodTest, AReboundOfferedAtTheBuzzerEndsWithThePeriodAndTheNextClickOnlySelects) {
  OpenStartedGame();
  ClickPlayer(1, 6);
  ClickCourt(30, 60, Qt::RightButton);  // a missed jump shot; its rebound is offered
  ASSERT_NE(Current(), nullptr);
  ASSERT_EQ(Current()->ShortName, "reb");
  const std::string shotId = Taken().front()->ID;

  Ui.Answer = true;  // the buzzer's question: mark the period as ended
  RunToTheBuzzer();
  EXPECT_EQ(Ui.QuestionTexts().back(), "Desea marcar el cuarto actual como terminado?");
  EXPECT_EQ(Current(), nullptr) << "the period ended the play";
  EXPECT_FALSE(Shown("TeamAct1Button")) << "nothing of the rebound is left on the screen";
  EXPECT_TRUE(Prompt().isEmpty());

  Click("btn_nextQuart");
  ASSERT_EQ(Model.CurrentPeriod(), 2);
  ClickPlayer(2, 5);  // a selection for the next action, nothing more
  EXPECT_EQ(Current(), nullptr);
  EXPECT_EQ(Prompt(), QStringLiteral("Seleccione una acción"));

  const auto taken = Taken();
  EXPECT_EQ(Count(taken, "reb"), 0) << "the stale rebound was not committed";
  ASSERT_EQ(Count(taken, "complete"), 1);
  for (const TAction* action : taken) {
    if (action->ShortName == "complete") {
      EXPECT_EQ(action->GetParam("Event"), shotId);
    }
  }
  EXPECT_EQ(KindsOf(taken).front(), "complete") << "the chain closes before the period ends";
}

TEST_F(EntryPeriodTest, EveryPeriodCommandEndsAnOfferedFollowUpWithItsMark) {
  Config.SetInt("no_of_quarters", 1);
  OpenStartedGame();
  ClickPlayer(1, 6);
  ClickCourt(30, 60, Qt::RightButton);
  ASSERT_EQ(Current()->ShortName, "reb");
  Ui.Answer = false;  // the buzzer comes, the period stays open for the moment
  RunToTheBuzzer();
  ASSERT_NE(Current(), nullptr) << "answering No keeps the play going";

  Click("btn_endQuart");
  EXPECT_EQ(Current(), nullptr);
  EXPECT_EQ(KindsOf(Taken()), (Kinds{"shot", "complete", "quarter"}));

  ClickPlayer(2, 4);
  ClickCourt(30, 60, Qt::RightButton);  // a shot after the buzzer, still under entry
  ASSERT_EQ(Current()->ShortName, "reb");
  Taken();
  Ui.Answer = true;
  Trigger("EndGameItem");
  const auto taken = Taken();
  EXPECT_EQ(KindsOf(taken), (Kinds{"complete", "quarter"})) << "the end of the game closes the chain first";
  EXPECT_EQ(taken.back()->GetParam("Type"), "End Game");
}

TEST_F(EntryPeriodTest, TheBuzzerDuringAChoiceWaitsForThePlayAndEndsThePeriodOnce) {
  OpenStartedGame();
  Click("StartClockButton");
  Tick(590);
  ClickPlayer(1, 7);
  Ui.Answer = true;
  bool askedMeanwhile = true;
  // The shot type is asked in a real dialog; the clock runs out while it is open.
  WhenShown<TChoiceForm>([&](TChoiceForm& dialog) {
    Tick(20);
    askedMeanwhile = !Ui.QuestionTexts().empty();
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Choice1")), Qt::LeftButton);
  });
  ClickCourt(139, 60, Qt::RightButton);  // a missed shot from the lane
  EXPECT_FALSE(askedMeanwhile) << "the question waits until the dialog has done its work";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Ui.QuestionTexts().empty(); }, 5000));

  EXPECT_EQ(Current(), nullptr);
  EXPECT_TRUE(Model.PeriodEnded());
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), (Kinds{"shot", "complete", "quarter"}));
  EXPECT_EQ(taken[0]->Period, 1);
  EXPECT_EQ(taken[1]->GetParam("Event"), taken[0]->ID);
  EXPECT_EQ(StoredPeriodEnds(), 1);
  EXPECT_EQ(Ui.QuestionTexts().size(), 1u);
}

TEST_F(EntryPeriodTest, AfterTheBuzzerTheClockWaitsForTheNextPeriod) {
  OpenStartedGame();
  Ui.Answer = false;
  RunToTheBuzzer();
  Key(Qt::Key_F1);
  EXPECT_FALSE(Window->ClockRunning()) << "no time is left in the period";
  Click("btn_endQuart");
  ASSERT_TRUE(Model.PeriodEnded());

  // A shooting foul at the buzzer; both free throws are missed after it.
  ClickPlayer(1, 4);
  Answer({"1", "5", "2", "3", "2", "2"});
  Key(Qt::Key_F5);
  ClickPlayer(2, 5);
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->ShortName, "reb");
  EXPECT_FALSE(Window->ClockRunning()) << "the missed last free throw does not restart the clock";
  Key(Qt::Key_Escape);
  Key(Qt::Key_F1);
  QTest::keyClick(Window.get(), Qt::Key_Space, Qt::ControlModifier);
  Tick(5);
  EXPECT_FALSE(Window->ClockRunning());
  EXPECT_EQ(StoredPeriodEnds(), 1);
  EXPECT_EQ(WholeSeconds(Model.MatchInfo.CurrentGameTime), 600);

  Click("btn_nextQuart");
  Key(Qt::Key_F1);
  EXPECT_TRUE(Window->ClockRunning()) << "the next period starts the clock again";
}

TEST_F(EntryPeriodTest, FreeThrowsOwedByAFoulOutAreOfferedWhenNobodyComesIn) {
  TActionList fouls;
  for (int i = 0; i < 4; ++i) fouls.push_back(Make.Foul(10 + i, 1, 4, 5));
  for (int i = 0; i < 4; ++i) fouls.push_back(Make.Foul(20 + i, 1, 5, 6));
  OpenStartedGame(std::move(fouls));
  TTeam& team = Model.MatchInfo.Team1;
  for (int slot = 6; slot <= team.PlayerCount; ++slot) team.Player(slot).Disabled = true;
  Window->Dialogs().Asked.clear();

  // The bench is empty: no list to close, the two free throws come at once.
  ClickPlayer(1, 4);
  Answer({"1", "5", "2", "3", "1", "2", "1", "2"});
  Key(Qt::Key_F5);
  EXPECT_EQ(Asked(), (Kinds{"Type", "Falta cometida sobre", "Type of personal", "Cuantos tiros libres?"}));
  ASSERT_NE(Current(), nullptr);
  ASSERT_EQ(Current()->ShortName, "fthrow");
  EXPECT_EQ(Current()->GetParam("Throws Left"), "2");
  ClickPlayer(2, 5);
  auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), (Kinds{"foul", "fthrow", "fthrow", "complete"}));
  EXPECT_EQ(taken[1]->FollowUpID, taken[0]->ID);
  EXPECT_EQ(taken[3]->GetParam("Event"), taken[0]->ID);
  EXPECT_EQ(Model.Stats(TModel::TotalsSlot(2)).Get("PTS"), 2);
  EXPECT_EQ(Ui.Boxes.back().Text, "El jugador Player1 Pérez abandona la pista");

  // With a substitute on the bench the operator may still close the list: the throws are owed.
  team.Player(9).Disabled = false;
  Window->Dialogs().Asked.clear();
  ClickPlayer(1, 5);
  Answer({"1", "6", "2", "3", "0", "2", "2"});  // ...; "Cerrar" on the list; both throws missed
  Key(Qt::Key_F5);
  EXPECT_EQ(Asked().back(), "Jugador que entra");
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->ShortName, "fthrow");
  ClickPlayer(2, 6);
  taken = Taken();
  EXPECT_EQ(KindsOf(taken), (Kinds{"foul", "fthrow", "fthrow"}));
  ASSERT_NE(Current(), nullptr);
  EXPECT_EQ(Current()->ShortName, "reb");
}

TEST_F(EntryPeriodTest, ClosingTheWindowDuringAnOfferedFollowUpEndsItsChain) {
  OpenStartedGame();
  ClickPlayer(2, 8);
  ClickCourt(30, 60, Qt::RightButton);
  const std::string shotId = Taken().front()->ID;
  ASSERT_EQ(Current()->ShortName, "reb");
  Ui.Answer = false;
  Window->close();
  EXPECT_TRUE(Window->isVisible());
  EXPECT_TRUE(Taken().empty()) << "staying keeps the play open";

  Ui.Answer = true;
  Window->close();
  EXPECT_FALSE(Window->isVisible());
  const auto taken = Taken();
  ASSERT_EQ(KindsOf(taken), Kinds{"complete"});
  EXPECT_EQ(taken[0]->GetParam("Event"), shotId);
}

}  // namespace
}  // namespace velmora::gui::testing

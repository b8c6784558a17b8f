#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "live/history_list_box.h"
#include "live/score_display.h"
#include "live/top_strip.h"
#include "live_window_fixture.h"
#include "records/date_time.h"

namespace velmora::gui::testing {
namespace {

using Kinds = std::vector<std::string>;

const char* const kEndPeriodQuestion = "Desea marcar el cuarto actual como terminado?";

TEST_F(LiveWindowTest, PeriodsRunFromTheStartOfTheGameIntoOvertime) {
  StoreGame(Lineups(5, 5));
  Open();
  EXPECT_TRUE(Shown("StartGameGroupBox"));
  EXPECT_FALSE(Shown("QuarterGroupBox"));
  EXPECT_FALSE(Shown("ClockGroupBox"));
  EXPECT_TRUE(Enabled("StartGameItem"));
  EXPECT_FALSE(Enabled("EndGameItem"));
  SaveScreenshot(*Window, "live_before_game");

  Click("StartGameButton");
  EXPECT_EQ(TakenKinds(), Kinds{"quarter"});
  EXPECT_EQ(Model.CurrentPeriod(), 1);
  EXPECT_EQ(TextOf("QuarterLabel"), QStringLiteral("I"));
  EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("10:00"));
  EXPECT_FALSE(Shown("StartGameGroupBox"));
  EXPECT_TRUE(Shown("QuarterGroupBox") && Shown("ClockGroupBox") && Shown("ClockPanel"));
  EXPECT_FALSE(Enabled("StartGameItem"));
  EXPECT_FALSE(Enabled("btn_endQuart"));
  EXPECT_FALSE(Enabled("btn_nextQuart"));

  // Ten minutes of running clock: one clock action a second, then the question at the buzzer.
  Ui.Answers = {TAnswer::No};
  Click("StartClockButton");
  EXPECT_TRUE(Window->ClockRunning());
  Tick(599);
  EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("00:01"));
  EXPECT_FALSE(Enabled("btn_endQuart")) << "the period can end only when its time is over";
  EXPECT_TRUE(Ui.Questions.empty());
  Tick(1);
  EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("00:00"));
  ASSERT_EQ(Ui.QuestionTexts(), Kinds{kEndPeriodQuestion});
  EXPECT_FALSE(Window->ClockRunning());
  EXPECT_EQ(TakenKinds(), Kinds(600, "clock"));
  EXPECT_TRUE(Enabled("btn_endQuart"));
  EXPECT_FALSE(Model.PeriodEnded()) << "answered No";

  Click("btn_endQuart");
  EXPECT_EQ(TakenKinds(), (Kinds{"quarter", "clock"}));
  EXPECT_TRUE(Model.PeriodEnded());
  EXPECT_TRUE(Enabled("btn_nextQuart"));
  EXPECT_FALSE(Enabled("btn_endQuart") || Enabled("StartClockButton") || Enabled("btn_Timeout"));
  EXPECT_FALSE(Enabled("EndGameItem")) << "the game cannot end after the first period";
  EXPECT_EQ(Model.Stats(TModel::PlayerSlot(1, 1)).Get("MIN"), 600) << "a starter played the whole period";

  // Periods 2 to 4, ended from the question at the buzzer; a foul in the last one.
  Ui.Answers.clear();
  Ui.Answer = true;
  for (int period = 2; period <= 4; ++period) {
    Click("btn_nextQuart");
    EXPECT_EQ(Model.CurrentPeriod(), period);
    EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("10:00"));
    EXPECT_EQ(TextOf("Team1Fouls"), QStringLiteral("Faltas de equipo: 0"));
    if (period == 4) Enter(Make.Foul(1800 + 30, 1, 4, 5));
    Click("StartClockButton");
    Tick(600);
    EXPECT_TRUE(Model.PeriodEnded()) << period;
  }
  EXPECT_EQ(TextOf("QuarterLabel"), QStringLiteral("IV"));
  EXPECT_TRUE(Enabled("btn_nextQuart"));
  EXPECT_TRUE(Enabled("EndGameItem"));

  // Overtime: five minutes, and the fouls of the last period carry on.
  Click("btn_nextQuart");
  EXPECT_EQ(TextOf("QuarterLabel"), QStringLiteral("V"));
  EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("05:00"));
  EXPECT_EQ(TextOf("Team1Fouls"), QStringLiteral("Faltas de equipo: 1"));
  EXPECT_EQ(TextOf("Team1Timeouts"), QStringLiteral("Time-Outs: 0/1"));
  SaveScreenshot(*Window, "live_overtime");
}

TEST_F(LiveWindowTest, ClockAdjusterStopsAtThePeriodLimitsAndRestartsOnRelease) {
  OpenStartedGame();
  auto* upDown = Find<TClockUpDown>("ClockUpDown");
  const auto press = [&](QToolButton* arrow, int times) {
    for (int i = 0; i < times; ++i) {
      QTest::mousePress(arrow, Qt::LeftButton);
      QTest::mouseRelease(arrow, Qt::LeftButton);
    }
  };
  press(upDown->UpButton(), 1);
  EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("10:00")) << "no time before the start of the period";
  EXPECT_EQ(TakenKinds(), Kinds{"clock:system"}) << "the release sends the clock to the server";
  press(upDown->DownButton(), 3);
  press(upDown->UpButton(), 1);
  EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("09:58"));

  // A press while the clock runs stops it; the release starts it again.
  Click("StartClockButton");
  QTest::mousePress(upDown->DownButton(), Qt::LeftButton);
  EXPECT_FALSE(Window->ClockRunning());
  QTest::mouseRelease(upDown->DownButton(), Qt::LeftButton);
  EXPECT_TRUE(Window->ClockRunning());
  Click("StopClockButton");
  TakenKinds();

  // Held down, the arrow repeats.
  QTest::mousePress(upDown->DownButton(), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return WholeSeconds(Model.MatchInfo.CurrentGameTime) >= 10; }, 5000));
  QTest::mouseRelease(upDown->DownButton(), Qt::LeftButton);
  EXPECT_EQ(TakenKinds(), Kinds{"clock:system"}) << "one clock mark for the whole press";

  // Never past the end of the period.
  Model.MatchInfo.CurrentGameTime = FromSeconds(598);
  press(upDown->DownButton(), 3);
  EXPECT_EQ(TextOf("ClockEdit"), QStringLiteral("00:00"));
  EXPECT_EQ(WholeSeconds(Model.MatchInfo.CurrentGameTime), 600);
  EXPECT_TRUE(Enabled("btn_endQuart"));
}

TEST_F(LiveWindowTest, LineupsDecideWhetherTheGameAndTheClockMayStart) {
  StoreGame(Lineups(4, 0));
  Open();
  Click("StartGameButton");
  ASSERT_EQ(Ui.Boxes.size(), 3u);
  EXPECT_EQ(Ui.Boxes[0].Text, "El equipo Club Baloncesto Norte tiene sólo 4 of players jugadores");
  EXPECT_EQ(Ui.Boxes[0].Icon, TMessageIcon::Error);
  EXPECT_EQ(Ui.Boxes[1].Text, "El equipo Müller Basket Süd tiene sólo 0 of players jugadores");
  EXPECT_EQ(Ui.Boxes[1].Icon, TMessageIcon::Warning);
  EXPECT_EQ(Ui.Boxes[2].Text, "No hay jugadores en la pista");
  EXPECT_TRUE(TakenKinds().empty());
  EXPECT_EQ(Model.CurrentPeriod(), 0);

  // Four against five: refused before the game.
  for (int shirt = 4; shirt <= 8; ++shirt) Enter(Make.Subst(0, 2, 0, shirt));
  Ui.Boxes.clear();
  Click("StartGameButton");
  EXPECT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_EQ(Model.CurrentPeriod(), 0);

  // Once the game has started, a short lineup is reported but the clock runs.
  Enter(Make.Subst(0, 1, 0, 8));
  Click("StartGameButton");
  EXPECT_EQ(Model.CurrentPeriod(), 1);
  Enter(Make.Subst(10, 1, 8, 0));
  Ui.Boxes.clear();
  Click("StartClockButton");
  EXPECT_EQ(Ui.Boxes.size(), 1u);
  EXPECT_TRUE(Window->ClockRunning());
}

TEST_F(LiveWindowTest, ScoreDigitsTimeoutsAndTheUndoOfTheHistory) {
  OpenStartedGame();
  Enter(Make.Shot(20, 1, 4, "Made", 3));
  Enter(Make.Shot(40, 1, 5, "Made", 2));
  Enter(Make.Shot(50, 2, 5, "Missed", 2));
  Enter(Make.FreeThrow(60, 1, 6, true));
  Enter(Make.FreeThrow(61, 1, 6, true));
  EXPECT_EQ(Find<TScoreDisplay>("imgScore1")->Digits(), QStringLiteral("007"));
  EXPECT_EQ(Find<TScoreDisplay>("imgScore2")->Digits(), QStringLiteral("000"));

  // Two time-outs of the first team in the second period use up its half.
  Click("StartClockButton");
  Tick(600);
  Click("btn_nextQuart");
  for (int i = 0; i < 2; ++i) Enter(Make.Make("timeout", 700 + i, {{"Team", "First Team"}}));
  EXPECT_EQ(TextOf("Team1Timeouts"), QStringLiteral("Time-Outs: 2/2"));
  EXPECT_EQ(TextOf("Team2TimeOuts"), QStringLiteral("Time-Outs: 0/2"));
  Click("StartClockButton");
  Tick(600);
  Click("btn_nextQuart");
  EXPECT_EQ(TextOf("Team1Timeouts"), QStringLiteral("Time-Outs: 0/3"));

  // Undo asks the list to delete its top line; nothing when the list is empty.
  auto& history = *Find<THistoryListBox>("HistoryBox");
  int deleted = -1;
  QObject::connect(&history, &THistoryListBox::DeleteRequested, &history, [&](int row) { deleted = row; });
  history.Undo();
  EXPECT_EQ(deleted, 0);
  SaveScreenshot(*Window, "live_third_period");
}

TEST_F(LiveWindowTest, ClosingAsksOnceShownAndNoKeepsTheClockRunning) {
  OpenStartedGame();
  Click("StartClockButton");
  Ui.Answers = {TAnswer::No};
  Trigger("CloseWindowItem");
  EXPECT_EQ(Ui.QuestionTexts(), Kinds{"Desea cerrar ventana?"});
  EXPECT_TRUE(Window->isVisible());
  EXPECT_TRUE(Window->ClockRunning());

  // Esc belongs to the entry: it never closes the window.
  QTest::keyClick(Window.get(), Qt::Key_Escape);
  EXPECT_TRUE(Window->isVisible());

  Ui.Answers = {TAnswer::Yes};
  Trigger("CloseWindowItem");
  EXPECT_FALSE(Window->isVisible());
  EXPECT_FALSE(Window->ClockRunning());
  EXPECT_FALSE(Window->QuitRequested());

  // Quitting asks its own question and skips the close question.
  Window->show();
  Ui.Questions.clear();
  Ui.Answers = {TAnswer::Yes};
  Trigger("QuitProgramItem");
  EXPECT_EQ(Ui.QuestionTexts(), Kinds{"Quiere salir del programa Velmora?"});
  EXPECT_FALSE(Window->isVisible());
  EXPECT_TRUE(Window->QuitRequested());
}

TEST_F(LiveWindowTest, SwitchingSidesTwiceRestoresTheColumns) {
  StoreGame(Lineups(5, 5));
  Open();
  auto* left = Find<QWidget>("LeftPanel");
  auto* right = Find<QWidget>("RightPanel");
  ASSERT_LT(left->x(), right->x());
  Trigger("SwitchSidesItem");
  Settle();
  EXPECT_GT(left->x(), right->x());
  EXPECT_GT(Find<QWidget>("Team1Label")->mapTo(Window.get(), QPoint()).x(),
            Find<QWidget>("Team2Label")->mapTo(Window.get(), QPoint()).x());
  Trigger("SwitchSidesItem");
  Settle();
  EXPECT_LT(left->x(), right->x());
}

}  // namespace
}  // namespace velmora::gui::testing

// A whole period entered through the live window, play by play, gives the same statistics and the
// same stored game as the same actions handed to the core directly.

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "entry_fixture.h"
#include "live/subst_form.h"
#include "platform/folders.h"
#include "store/database_plugin.h"

namespace velmora::gui::testing {
namespace {

class WholePeriodTest : public EntryTest {
 protected:
  // The starting five of both teams through the substitution dialog.
  void PutStartersOnCourt() {
    WhenShown<TSubstForm>([](TSubstForm& form) {
      for (int team = 1; team <= 2; ++team) {
        for (int row = 0; row < 5; ++row) form.Bench(team)->item(row)->setSelected(true);
        QTest::mouseClick(form.findChild<QToolButton*>(QStringLiteral("Add%1Button").arg(team)), Qt::LeftButton);
      }
      QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    Click("Team1_SubstAll");
  }
  // Runs the clock on between plays; the play before has ended and used every answer.
  void Play(int seconds) {
    ++Plays_;
    EXPECT_EQ(Current(), nullptr) << "a play still open before play " << Plays_;
    EXPECT_TRUE(Window->Dialogs().Script.empty()) << "answers left before play " << Plays_;
    Window->Dialogs().Script.clear();
    Tick(seconds);
  }
  int Plays_ = 0;
};

TEST_F(WholePeriodTest, TheWindowAndTheCoreAgreeOnEveryFigureAndTheStoredGame) {
  StoreGame({});
  Open();
  PutStartersOnCourt();
  ASSERT_EQ(Model.PlayersOnCourt(1), 5);
  ASSERT_EQ(Model.PlayersOnCourt(2), 5);
  Click("StartGameButton");
  Click("StartClockButton");

  // A lay-up with an assist.
  Play(12);
  ClickPlayer(1, 4);
  Answer({"1", "2", "2"});
  ClickCourt(139, 40);
  ClickPlayer(1, 5);
  // A missed three, the defensive rebound.
  Play(20);
  ClickPlayer(2, 6);
  ClickCourt(40, 150, Qt::RightButton);
  ClickPlayer(1, 7);
  // A blocked jump shot, the block, the rebound.
  Play(15);
  ClickPlayer(1, 8);
  Answer({"3"});
  ClickCourt(230, 60);
  ClickPlayer(2, 4);
  ClickPlayer(2, 5);
  // A bad pass and its steal; a steal and its turnover.
  Play(18);
  ClickPlayer(2, 7);
  Key(Qt::Key_F7);
  ClickPlayer(1, 4);
  Play(9);
  ClickPlayer(1, 6);
  Key(Qt::Key_F11);
  Answer({"1"});
  ClickPlayer(2, 8);
  // A shooting foul: two free throws, the second missed, the offensive rebound.
  Play(25);
  ClickPlayer(2, 4);
  Answer({"1", "5", "2", "3"});
  Key(Qt::Key_F5);
  Answer({"1", "2", "2"});
  ClickPlayer(1, 5);
  ClickPlayer(1, 6);
  // Fouls without free throws: one in the back court, an offensive one with its turnover.
  Click("StartClockButton");
  Play(30);
  ClickPlayer(1, 8);
  Answer({"1", "6", "1"});
  Key(Qt::Key_F5);
  Click("StartClockButton");
  Play(14);
  ClickPlayer(2, 5);
  Answer({"1", "4", "3"});
  Key(Qt::Key_F5);
  // A technical foul of the team, its single free throw.
  Key(Qt::Key_F5);
  Answer({"2", "2"});
  Click("TeamAct1Button");
  Answer({"1", "2"});
  ClickPlayer(2, 7);
  // Time-outs: the first team's, then a commercial one.
  Answer({"2"});
  Click("btn_Timeout");
  Answer({"1"});
  Click("btn_Timeout");
  // A substitution, a comment, a fast-break three with its assist left out.
  Click("Team2_SubstOne");
  Answer({"9"});
  ClickPlayer(2, 8);
  Find<QLineEdit>("CommentText")->setText(QStringLiteral("Gran ambiente en el pabellón"));
  Click("SendButton");
  Click("StartClockButton");
  Play(40);
  ClickPlayer(2, 9);
  Answer({"1", "1"});
  ClickCourt(30, 150);
  Key(Qt::Key_Escape);
  // Actions on their own: a rebound, a travelling, an assist, a block and its rebound.
  Play(22);
  ClickPlayer(1, 7);
  Answer({"2"});
  Key(Qt::Key_F4);
  ClickPlayer(1, 4);
  Answer({"2"});
  Key(Qt::Key_F9);
  ClickPlayer(2, 5);
  Key(Qt::Key_F2);
  ClickPlayer(1, 6);
  Key(Qt::Key_F6);
  Answer({"7", "1"});  // the rebound after the block: its player picked by his number
  Key(Qt::Key_PageUp);
  // Shirt 8 has one foul: three more, the fifth a shooting foul; out he goes, then the free throws.
  for (int foul = 0; foul < 3; ++foul) {
    Click("StartClockButton");
    Play(20);
    ClickPlayer(1, 8);
    Answer({"1", "4", "1"});
    Key(Qt::Key_F5);
  }
  ClickPlayer(1, 8);
  Answer({"1", "4", "2", "3", "10"});
  Key(Qt::Key_F5);
  Answer({"1", "2", "1", "2"});
  ClickPlayer(2, 4);
  // The rest of the period, ended at the buzzer.
  Click("StartClockButton");
  Ui.Answer = true;
  Play(600);
  ASSERT_TRUE(Model.PeriodEnded());
  ASSERT_TRUE(Window->Dialogs().Script.empty()) << "every answer was asked for";

  // Every kind, and more than sixty actions besides the clock.
  std::set<std::string> kinds;
  int actions = 0;
  for (const auto& action : Sender->Taken) {
    kinds.insert(action->ShortName);
    if (action->ShortName != "clock") ++actions;
  }
  EXPECT_GE(actions, 60);
  for (const char* kind : {"shot", "reb", "fthrow", "foul", "turnover", "steal", "assist", "block", "subst", "timeout",
                           "quarter", "comment", "clock", "complete"}) {
    EXPECT_TRUE(kinds.count(kind)) << kind;
  }
  EXPECT_EQ(Model.Stats(TModel::PlayerSlot(1, 5)).Get("PF"), 5) << "shirt 8 fouled out";

  // The same actions, straight into a model of their own with a store of their own.
  velmora::testing::TTempFolder elsewhere;
  auto opened = TDatabasePlugin::Open(elsewhere.Path(), "", ProgramFolder());
  ASSERT_TRUE(opened.Ok());
  TDatabasePlugin& directStore = *opened.Value();
  TModel direct(Config, std::move(opened.Value()));
  direct.MatchInfo = velmora::testing::MakeMatchInfo(12, "G-1");
  ASSERT_TRUE(directStore.StoreMatchInfo(direct.MatchInfo).Ok());
  for (const auto& action : Sender->Taken) {
    direct.MatchInfo.CurrentGameTime = action->GameTime;
    direct.AddAction(action->Clone());
  }
  direct.MatchInfo.CurrentGameTime = Model.MatchInfo.CurrentGameTime;

  EXPECT_EQ(direct.Score(), Model.Score());
  EXPECT_EQ(direct.MatchInfo.Team1.TeamFouls, Model.MatchInfo.Team1.TeamFouls);
  EXPECT_EQ(direct.MatchInfo.Team2.TeamFouls, Model.MatchInfo.Team2.TeamFouls);
  for (int slot = 0; slot < TModel::kTableCount; ++slot) {
    for (const std::string_view key : kStatKeys) {
      EXPECT_EQ(direct.Stats(slot).Get(key), Model.Stats(slot).Get(key)) << "slot " << slot << " " << key;
    }
  }
  const auto shown = Store->ComputeChecksum(Model.MatchInfo);
  const auto straight = directStore.ComputeChecksum(direct.MatchInfo);
  ASSERT_TRUE(shown.Ok() && straight.Ok());
  EXPECT_EQ(shown.Value(), straight.Value());
  SaveScreenshot(*Window, "live_whole_period");
}

}  // namespace
}  // namespace velmora::gui::testing

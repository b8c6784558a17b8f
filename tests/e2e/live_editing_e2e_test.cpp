// Corrections in the live window of a game on velmora-statserver: actions entered through the
// window, then a shot edited from missed to made, a missed shot deleted with its rebound and the
// start of a period deleted. Afterwards the local store, the server and the window agree, and the
// statistics are those of the game entered right in the first place.

#include <QComboBox>
#include <QPushButton>

#include "live/edit_action_form.h"
#include "live_window_e2e_fixture.h"
#include "records/message_source.h"
#include "setup_fixture.h"

namespace velmora::testing {
namespace {

using LiveEditingE2eTest = LiveWindowE2eTest;

TEST_F(LiveEditingE2eTest, CorrectionsReachTheStoreTheServerAndTheStatistics) {
  SubmitLineups();
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("StartGameButton")), Qt::LeftButton);
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("StartClockButton")), Qt::LeftButton);

  // 2:00, a missed jump shot whose rebound is not taken; 3:00, a missed three and its rebound.
  Tick(120);
  ClickCourt(30, 60);
  Answer({"2"});
  ClickPlayer(1, 4);
  QTest::keyClick(Window.get(), Qt::Key_Escape);
  const std::string missed = Newest("shot");
  Tick(60);
  ClickCourt(139, 150, Qt::RightButton);
  ClickPlayer(2, 6);
  ClickPlayer(1, 5);
  const std::string three = Newest("shot");
  ASSERT_EQ(Model.Stats(TModel::TotalsSlot(1)).Get("RD"), 1);

  // The period runs out; the second begins with a made lay-up.
  Tick(420);
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("btn_nextQuart")), Qt::LeftButton);
  const std::string secondPeriod = Newest("quarter");
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("StartClockButton")), Qt::LeftButton);
  Tick(30);
  ClickCourt(139, 60);
  Answer({"1", "2", "2"});
  ClickPlayer(1, 6);
  QTest::keyClick(Window.get(), Qt::Key_Escape);
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("StopClockButton")), Qt::LeftButton);
  ASSERT_EQ(Model.Score(), (std::pair<int, int>{2, 0}));

  WhenShown<gui::TEditActionForm>([](gui::TEditActionForm& dialog) {
    dialog.findChild<QComboBox*>(QStringLiteral("ParamEdit4"))->setCurrentIndex(0);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
  });
  ClickLine(missed, true);
  ClickLine(three, false);
  ClickLine(secondPeriod, false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Queue->PendingCount() == 0; }, 10000));
  // The marks and the reload of the last batch were posted before it counted as dealt with.
  QCoreApplication::processEvents();

  EXPECT_EQ(LocalIds(), ServerIds());
  EXPECT_EQ(LocalChecksum(), ServerChecksum());

  // The store holds what the window shows, line by line.
  TActionList stored;
  ASSERT_TRUE(Local->LoadActions("G-1", stored));
  std::multiset<std::string> storedLines;
  for (auto& action : stored) storedLines.insert(action->ID + " " + action->Describe(Model.MatchInfo, *App));
  std::multiset<std::string> shownLines;
  for (std::size_t row = 0; row < Window->History().Count(); ++row) {
    const THistoryLine& line = Window->History().Line(row);
    EXPECT_FALSE(line.Record.NotSent) << line.Text;
    shownLines.insert(line.Record.ID + " " + line.Text);
  }
  EXPECT_EQ(storedLines, shownLines);
  EXPECT_EQ(stored.size(), 10u + 3u) << "the lineups, the start of the game, the shot and the end of period 1";

  // The same game entered right: the shot made, nothing of the three, no second period.
  TModel right(Config);
  right.MatchInfo = Model.MatchInfo;
  TActionList actions;
  for (int team = 1; team <= 2; ++team) {
    for (int shirt = 4; shirt <= 8; ++shirt) actions.push_back(Make.Subst(0, team, 0, shirt));
  }
  actions.push_back(Make.Period(0, 0, "Start Game"));
  actions.push_back(Make.Shot(120, 1, 4, "Made", 2, "30+60"));
  actions.push_back(Make.Period(600, 1, "End"));
  right.SetActions(std::move(actions));
  right.MatchInfo.CurrentGameTime = FromSeconds(600);
  right.Recompute();
  EXPECT_EQ(FormatLongTime(Model.MatchInfo.CurrentGameTime), "00:10:00");
  for (int slot = 0; slot < TModel::kTableCount; ++slot) {
    for (std::string_view key : kStatKeys) {
      EXPECT_EQ(Model.Stats(slot).Get(key), right.Stats(slot).Get(key)) << "slot " << slot << " " << key;
    }
  }
  EXPECT_EQ(Model.CurrentPeriod(), 1);
  EXPECT_TRUE(Model.PeriodEnded());
  EXPECT_EQ(Window->findChild<QWidget*>(QStringLiteral("QuarterLabel"))->property("text").toString(),
            QStringLiteral("I"));
}

}  // namespace
}  // namespace velmora::testing

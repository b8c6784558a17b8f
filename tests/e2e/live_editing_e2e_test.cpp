// Corrections in the live window of a game on velmora-statserver: actions entered through the
// window, then a shot edited from missed to made, a missed shot deleted with its rebound and the
// start of a period deleted; and a forgotten rebound put in where it happened. Afterwards the local
// store, the server and the window agree, and the statistics are those of the game entered right
// in the first place.

#include <algorithm>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include "live/action_list_form.h"
#include "live/edit_action_form.h"
#include "live/insert_action_form.h"
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

TEST_F(LiveEditingE2eTest, AForgottenReboundPutInLaterReachesTheServerInItsPlace) {
  for (int team = 1; team <= 2; ++team) {
    for (int shirt = 4; shirt <= 8; ++shirt) App->Submit(Make.Subst(0, team, 0, shirt));
  }
  Window->ReloadView();
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("StartGameButton")), Qt::LeftButton);
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("StartClockButton")), Qt::LeftButton);
  // 1:00, a missed jump shot; the rebound is not entered. 1:30, a made basket of the other team.
  Tick(60);
  ClickPlayer(1, 4);
  ClickCourt(30, 60, Qt::RightButton);
  QTest::keyClick(Window.get(), Qt::Key_Escape);
  const std::string missed = Newest("shot");
  Tick(30);
  ClickPlayer(2, 5);
  Answer({"1", "2"});
  ClickCourt(30, 60);
  QTest::keyClick(Window.get(), Qt::Key_Escape);
  const std::string basket = Newest("shot");
  QTest::mouseClick(Window->findChild<QPushButton*>(QStringLiteral("StopClockButton")), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Queue->PendingCount() == 0; }, 10000));

  // The defensive rebound of 7, put in after the shot as part of its play.
  {
    gui::TActionListForm form(Context, Window.get());
    form.show();
    auto* lines = form.List()->model();
    for (int row = 0; row < lines->rowCount(); ++row) {
      if (lines->index(row, 0).data().toString().startsWith(QStringLiteral("01:00 Tiro"))) {
        form.List()->setCurrentIndex(lines->index(row, 0));
      }
    }
    WhenShown<gui::TInsertActionForm>([](gui::TInsertActionForm& chooser) {
      chooser.findChild<QListWidget*>(QStringLiteral("KindList"))->setCurrentRow(1);
      chooser.findChild<QCheckBox*>(QStringLiteral("JoinPlayCheckBox"))->setChecked(true);
      WhenShown<gui::TEditActionForm>([](gui::TEditActionForm& dialog) {
        dialog.findChild<QComboBox*>(QStringLiteral("ParamEdit1"))->setCurrentIndex(1);
        dialog.findChild<QComboBox*>(QStringLiteral("ParamEdit2"))->setCurrentIndex(3);
        dialog.findChild<QComboBox*>(QStringLiteral("ParamEdit3"))->setCurrentIndex(1);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
      });
      QTest::mouseClick(chooser.findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
    });
    form.findChild<QAction*>(QStringLiteral("InsertAfterItem"))->trigger();
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return Queue->PendingCount() == 0; }, 10000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return LocalIds() == ServerIds(); }, 10000));

  const std::vector<std::string> ids = LocalIds();
  const auto at = std::find(ids.begin(), ids.end(), missed);
  ASSERT_NE(at, ids.end());
  ASSERT_LT(at + 2, ids.end());
  const std::string rebound = *(at + 1);
  EXPECT_EQ(*(at + 2), basket) << "the rebound stands between the shot and the next basket";
  EXPECT_EQ(LocalChecksum(), ServerChecksum());
  const int index = Model.IndexOf(rebound);
  ASSERT_GE(index, 0);
  EXPECT_EQ(Model.Actions()[static_cast<std::size_t>(index) - 1]->ID, missed);
  EXPECT_EQ(Model.Actions()[static_cast<std::size_t>(index)]->FollowUpID, missed);
  EXPECT_EQ(Model.Stats(TModel::TotalsSlot(2)).Get("RD"), 1);
  const auto allSent = [&] {
    for (std::size_t row = 0; row < Window->History().Count(); ++row) {
      if (Window->History().Line(row).Record.NotSent) return false;
    }
    return true;
  };
  EXPECT_TRUE(QTest::qWaitFor(allSent, 5000)) << "the inserted line turns black once the server has it";
}

}  // namespace
}  // namespace velmora::testing

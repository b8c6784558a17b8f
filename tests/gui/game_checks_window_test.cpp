// The game checks itself in the live window, and a forgotten action is put in its place from the
// action editing window.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include "live/action_list_form.h"
#include "live/edit_action_form.h"
#include "live/game_checks_form.h"
#include "live/history_list_box.h"
#include "live/history_list_model.h"
#include "live/insert_action_form.h"
#include "live_window_fixture.h"
#include "store/database_plugin.h"
#include "when_shown.h"

namespace velmora::gui::testing {
namespace {

using velmora::testing::WhenShown;

template <typename T>
T* Child(QWidget& parent, const char* name) {
  T* found = parent.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

TEST_F(LiveWindowTest, AShotOfABenchedPlayerShowsAWarningThatGoesWhenThePlayerIsPutRight) {
  OpenStartedGame();
  auto* checks = Find<QToolButton>("ChecksButton");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Window->isVisible(); }, 1000));
  EXPECT_FALSE(checks->isVisible()) << "a clean game shows nothing";
  Enter(Make.Shot(30, 1, 9, "Made", 2));  // 9 sits on the bench; 4 scored
  ASSERT_TRUE(QTest::qWaitFor([&] { return checks->isVisible(); }, 1000));
  EXPECT_EQ(checks->text(), QStringLiteral("1 aviso"));
  SaveScreenshot(*Window, "live_window_with_a_warning");

  bool listed = false;
  bool cleared = false;
  WhenShown<TGameChecksForm>([&](TGameChecksForm& form) {
    QTableWidget* table = form.Table();
    listed = table->rowCount() == 1 && table->item(0, 0)->text() == QStringLiteral("00:30") &&
             table->item(0, 1)->text() == QStringLiteral("I") &&
             table->item(0, 2)->text().startsWith(QStringLiteral("00:30 Tiro")) &&
             table->item(0, 3)->text() == QStringLiteral("9. P. Pérez no está en la pista");
    SaveScreenshot(form, "game_checks_form");
    WhenShown<TEditActionForm>([](TEditActionForm& dialog) {
      Child<QComboBox>(dialog, "ParamEdit2")->setCurrentIndex(0);  // 4. P. Pérez
      QTest::mouseClick(Child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    });
    const QRect cell = table->visualRect(table->model()->index(0, 3));
    // An item view takes a double click as the second click on the item pressed before.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    cleared = table->rowCount() == 0;
    QTest::mouseClick(Child<QPushButton>(form, "CloseButton"), Qt::LeftButton);
  });
  QTest::mouseClick(checks, Qt::LeftButton);
  EXPECT_TRUE(listed);
  EXPECT_TRUE(cleared) << "the list follows the correction";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !checks->isVisible(); }, 1000));
  EXPECT_EQ(Model.Actions().back()->GetParam("Player"), "4");
}

TEST_F(LiveWindowTest, AForgottenReboundTakesItsPlaceInTheGameTheHistoryAndTheStore) {
  TActionList play;
  play.push_back(Make.Shot(100, 1, 4, "Missed", 2));
  play.push_back(Make.Shot(130, 2, 5, "Made", 2));
  play.push_back(Make.Shot(160, 1, 6, "Made", 3));
  OpenStartedGame(std::move(play));
  const TActionList& actions = Model.Actions();
  const std::string missed = actions[actions.size() - 3]->ID;
  const std::string basket = actions[actions.size() - 2]->ID;

  TActionListForm form(*Context, Window.get());
  form.show();
  const int row = [&] {
    auto* lines = form.List()->model();
    for (int line = 0; line < lines->rowCount(); ++line) {
      if (lines->index(line, 0).data().toString().startsWith(QStringLiteral("01:40 Tiro"))) return line;
    }
    return -1;
  }();
  ASSERT_GE(row, 0);
  form.List()->setCurrentIndex(form.List()->model()->index(row, 0));
  WhenShown<TInsertActionForm>([](TInsertActionForm& chooser) {
    Child<QListWidget>(chooser, "KindList")->setCurrentRow(1);  // Rebote
    Child<QCheckBox>(chooser, "JoinPlayCheckBox")->setChecked(true);
    WhenShown<TEditActionForm>([](TEditActionForm& dialog) {
      Child<QComboBox>(dialog, "ParamEdit1")->setCurrentIndex(1);  // the defenders
      Child<QComboBox>(dialog, "ParamEdit2")->setCurrentIndex(3);  // 7. P. Müller
      Child<QComboBox>(dialog, "ParamEdit3")->setCurrentIndex(1);  // defensive
      QTest::mouseClick(Child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    });
    QTest::mouseClick(Child<QPushButton>(chooser, "OKButton"), Qt::LeftButton);
  });
  Child<QAction>(form, "InsertAfterItem")->trigger();
  form.close();

  // Right after the missed shot, in the game, the history and the store alike.
  const int index = Model.IndexOf(missed);
  ASSERT_GE(index, 0);
  ASSERT_LT(static_cast<std::size_t>(index) + 2, actions.size());
  const TAction& rebound = *actions[static_cast<std::size_t>(index) + 1];
  EXPECT_EQ(rebound.ShortName, "reb");
  EXPECT_EQ(rebound.FollowUpID, missed) << "a member of the shot's play";
  EXPECT_EQ(rebound.GetParam("Type"), "Defensive");
  EXPECT_EQ(WholeSeconds(rebound.GameTime), 100);
  EXPECT_EQ(actions[static_cast<std::size_t>(index) + 2]->ID, basket);
  EXPECT_EQ(Model.Stats(TModel::TotalsSlot(2)).Get("RD"), 1);
  const THistoryListModel& history = Window->History();
  const std::size_t missedRow = history.Count() - 1 - static_cast<std::size_t>(index);
  EXPECT_EQ(history.Line(missedRow - 1).Record.ID, rebound.ID) << "the line stands above the shot it follows";
  TActionList stored;
  ASSERT_TRUE(Store->LoadActions("G-1", stored));
  ASSERT_EQ(stored.size(), actions.size());
  for (std::size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(stored[i]->ID, actions[i]->ID) << i;
}

}  // namespace
}  // namespace velmora::gui::testing

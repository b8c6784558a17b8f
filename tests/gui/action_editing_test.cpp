// Corrections through the real windows: deletes and edits from the live window's history, the edit
// dialog with its court map, and the action editing window with its filters and pending changes.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QToolButton>

#include "hot_spot_click.h"
#include "live/action_list_form.h"
#include "live/court_map_picker.h"
#include "live/edit_action_form.h"
#include "live/history_list_box.h"
#include "live/history_list_model.h"
#include "live/score_display.h"
#include "live_window_fixture.h"
#include "store/database_plugin.h"
#include "when_shown.h"

namespace velmora::gui::testing {
namespace {

using velmora::testing::WhenShown;
using Texts = std::vector<std::string>;

class ActionEditingTest : public LiveWindowTest {
 protected:
  // Two periods played and the third begun: a shot each period, a foul in the third.
  TActionList ThreePeriods() {
    TActionList play;
    play.push_back(Make.Shot(300, 1, 4, "Made", 2));
    play.push_back(Make.Period(600, 1, "End"));
    play.push_back(Make.Period(600, 2, "Start"));
    play.push_back(Make.Shot(700, 2, 5, "Made", 3));
    play.push_back(Make.Period(1200, 2, "End"));
    play.push_back(Make.Period(1200, 3, "Start"));
    play.push_back(Make.Shot(1300, 1, 6, "Missed", 2));
    play.push_back(Make.Foul(1400, 2, 5, 6));
    return play;
  }
  THistoryListModel& History() { return Window->History(); }
  int RowOf(const std::string& id) {
    for (std::size_t row = 0; row < History().Count(); ++row) {
      if (History().Line(row).Record.ID == id) return static_cast<int>(row);
    }
    return -1;
  }
  std::vector<std::string> HistoryIds() {
    std::vector<std::string> ids;
    for (std::size_t row = 0; row < History().Count(); ++row) ids.push_back(History().Line(row).Record.ID);
    return ids;
  }
  std::vector<std::string> ModelIds() {
    std::vector<std::string> ids;
    for (const auto& action : Model.Actions()) ids.insert(ids.begin(), action->ID);
    return ids;
  }
  std::vector<std::string> StoredIds() {
    TActionList actions;
    EXPECT_TRUE(Store->LoadActions("G-1", actions));
    std::vector<std::string> ids;
    for (const auto& action : actions) ids.insert(ids.begin(), action->ID);
    return ids;
  }
  void ClickLine(const std::string& id, bool edit) {
    const int row = RowOf(id);
    ASSERT_GE(row, 0);
    ClickHotSpot(*Find<THistoryListBox>("HistoryBox"), row, edit);
  }
  std::vector<std::string> Questions() {
    std::vector<std::string> asked = Ui.QuestionTexts();
    asked.erase(asked.begin(), asked.begin() + static_cast<std::ptrdiff_t>(std::min(QuestionsSeen_, asked.size())));
    QuestionsSeen_ += asked.size();
    return asked;
  }
  template <typename T>
  static T* Child(QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static std::vector<QString> Lines(const TActionListForm& form) {
    std::vector<QString> lines;
    const QAbstractItemModel* model = form.List()->model();
    for (int row = 0; row < model->rowCount(); ++row) lines.push_back(model->index(row, 0).data().toString());
    return lines;
  }
  static void SelectLine(TActionListForm& form, const std::string& text, QItemSelectionModel::SelectionFlags how) {
    const QAbstractItemModel* model = form.List()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      if (model->index(row, 0).data().toString().startsWith(QString::fromStdString(text))) {
        form.List()->selectionModel()->setCurrentIndex(model->index(row, 0), how);
        return;
      }
    }
    ADD_FAILURE() << "no line " << text;
  }
  static void Press(QWidget& window, const char* name) {
    auto* button = Child<QAbstractButton>(window, name);
    ASSERT_TRUE(button && button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  static void SetMade(QDialog& dialog, int choice) { Child<QComboBox>(dialog, "ParamEdit4")->setCurrentIndex(choice); }

  std::size_t QuestionsSeen_ = 0;
};

TEST_F(ActionEditingTest, DeletingAShotTakesItsReboundAndARoundOrATimeOutGoesAlone) {
  TActionList play;
  auto shot = Make.Shot(300, 1, 4, "Missed", 2);
  auto rebound = Make.Rebound(302, 2, 5, true);
  rebound->FollowUpID = shot->ID;
  auto secondShot = Make.Shot(400, 2, 6, "Missed", 3);
  auto secondRebound = Make.Rebound(402, 1, 7, true);
  secondRebound->FollowUpID = secondShot->ID;
  const std::vector<std::string> ids = {shot->ID, rebound->ID, secondShot->ID, secondRebound->ID};
  for (auto* action : {&shot, &rebound, &secondShot, &secondRebound}) play.push_back(std::move(*action));
  play.push_back(Make.Make("timeout", 420, {{"Team", "First Team"}}));
  OpenStartedGame(std::move(play));
  const std::size_t lines = History().Count();

  // Ctrl+Z offers the newest line, a time-out; No keeps it.
  Ui.Answers = {TAnswer::No};
  QTest::keyClick(Window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Questions(), Texts{"Eliminar este dato?"});
  EXPECT_EQ(History().Count(), lines);

  ClickLine(ids[0], false);
  EXPECT_EQ(Questions(), Texts{"Las acciones de seguimiento para este suceso también serán eliminadas!\rDesea "
                               "eliminar con las acciones?"});
  EXPECT_EQ(RowOf(ids[0]), -1);
  EXPECT_EQ(RowOf(ids[1]), -1) << "its rebound went with it";
  EXPECT_EQ(TakenKinds(), (Texts{"delete:system", "delete:system"}));

  ClickLine(ids[3], false);
  EXPECT_EQ(Questions(), Texts{"Eliminar este dato?"}) << "a follow-up goes alone";
  EXPECT_NE(RowOf(ids[2]), -1);
  EXPECT_EQ(RowOf(ids[3]), -1);
  EXPECT_EQ(History().Count(), lines - 3);
  EXPECT_EQ(HistoryIds(), ModelIds());
  EXPECT_EQ(HistoryIds(), StoredIds());
  EXPECT_EQ(Model.Stats(TModel::TotalsSlot(2)).Get("RD"), 0);
  EXPECT_EQ(Model.Stats(TModel::TotalsSlot(1)).Get("RD"), 0);
}

TEST_F(ActionEditingTest, CtrlZOnAnEmptyHistoryDoesNothing) {
  StoreGame({});
  Open();
  QTest::keyClick(Window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(Questions().empty());
  EXPECT_TRUE(TakenKinds().empty());
}

TEST_F(ActionEditingTest, DeletingAPeriodStartTakesEverythingAfterItAndTheGameStartGoesAlone) {
  TActionList play = ThreePeriods();
  const std::string thirdId = play[5]->ID;
  OpenStartedGame(std::move(play));
  const std::size_t lines = History().Count();

  ClickLine(thirdId, false);
  EXPECT_EQ(Questions(), Texts{"Los datos después del cuarto eliminado también se eliminarán!\rDesea eliminar "
                               "esto y los datos posteriores?"});
  EXPECT_EQ(History().Count(), lines - 3);
  EXPECT_EQ(History().Line(0).Text.substr(0, 12), "20:00 Cuarto") << "the end of period 2 is on top";
  EXPECT_EQ(HistoryIds(), StoredIds());
  EXPECT_EQ(FormatLongTime(Model.MatchInfo.CurrentGameTime), "00:20:00") << "the clock goes back";
  WaitUntilSent();  // the sender's reload
  EXPECT_EQ(Model.CurrentPeriod(), 2);
  EXPECT_EQ(Find<TScoreDisplay>("imgScore1")->Digits(), QStringLiteral("002"));

  std::string start;
  for (const auto& action : Model.Actions()) {
    if (action->GetParam("Type") == "Start Game") start = action->ID;
  }
  ClickLine(start, false);
  EXPECT_EQ(Questions().size(), 1u);
  EXPECT_EQ(History().Count(), lines - 4) << "only the start of the game";
  EXPECT_EQ(HistoryIds(), ModelIds());
  EXPECT_EQ(HistoryIds(), StoredIds()) << "the store keeps what came after the start of the game";
}

TEST_F(ActionEditingTest, EditingAMissedShotToMadeKeepsItsLineAndRedrawsTheScore) {
  TActionList play;
  auto shot = Make.Shot(300, 1, 4, "Missed", 2);
  const std::string id = shot->ID;
  play.push_back(std::move(shot));
  play.push_back(Make.Shot(350, 2, 5, "Made", 3));
  OpenStartedGame(std::move(play));
  const int row = RowOf(id);
  const std::size_t lines = History().Count();
  EXPECT_EQ(Find<TScoreDisplay>("imgScore1")->Digits(), QStringLiteral("000"));

  bool refused = false;
  WhenShown<TEditActionForm>([&](TEditActionForm& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Editar parámetros de la acción"));
    EXPECT_EQ(Child<QLabel>(dialog, "ParamLabel4")->text(), QStringLiteral("Resultado"));
    EXPECT_EQ(Child<QComboBox>(dialog, "ParamEdit4")->currentText(), QStringLiteral("Missed"));
    EXPECT_EQ(Child<QTimeEdit>(dialog, "TimePicker")->time(), QTime(0, 5, 0));
    // A shot nobody took is refused, and the dialog stays.
    auto* player = Child<QComboBox>(dialog, "ParamEdit2");
    EXPECT_EQ(player->currentText(), QStringLiteral("4. P. Pérez"));
    player->setCurrentIndex(-1);
    QTest::mouseClick(Child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    refused = dialog.isVisible() && !Ui.Boxes.empty() &&
              Ui.Boxes.back().Text == "Entrada invalidada. Por favor corríjalo e inténtelo de nuevo." &&
              Ui.Boxes.back().Icon == TMessageIcon::Error;
    player->setCurrentIndex(0);
    SetMade(dialog, 0);
    QTest::mouseClick(Child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
  });
  ClickLine(id, true);
  EXPECT_TRUE(refused);

  ASSERT_EQ(Sender->Taken.empty() ? "" : Sender->Taken.back()->ShortName, "edit");
  EXPECT_EQ(Sender->Taken.back()->ID, id);
  EXPECT_EQ(TakenKinds(), Texts{"edit"}) << "one edit";
  EXPECT_EQ(RowOf(id), row) << "the line keeps its place";
  EXPECT_EQ(History().Count(), lines);
  EXPECT_NE(History().Line(static_cast<std::size_t>(row)).Text.find("Resultado: Made"), std::string::npos);
  EXPECT_EQ(History().Line(static_cast<std::size_t>(row)).Record.Action->ShortName, "shot");
  EXPECT_EQ(Find<TScoreDisplay>("imgScore1")->Digits(), QStringLiteral("002"));
  EXPECT_EQ(Model.Score(), (std::pair<int, int>{2, 3}));
  EXPECT_EQ(Window->focusWidget(), Find<QLineEdit>("CommentText"));

  TActionList stored;
  ASSERT_TRUE(Store->LoadActions("G-1", stored));
  const auto found = std::find_if(stored.begin(), stored.end(), [&](const auto& a) { return a->ID == id; });
  ASSERT_NE(found, stored.end());
  EXPECT_EQ((*found)->GetParam("Made"), "Made");
}

TEST_F(ActionEditingTest, TheEditDialogsCourtMapAndPlayerListsFollowTheTeam) {
  StoreGame({});
  Open();
  auto shot = Make.Shot(300, 1, 4, "Missed", 2, "139+60");
  TEditActionForm dialog(*shot, Model.MatchInfo, *App, Ui, Window.get());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_TRUE(Child<QPushButton>(dialog, "OkButton")->hasFocus());

  QTest::mouseClick(Child<QToolButton>(dialog, "CourtMapButton3"), Qt::LeftButton);
  auto* map = Child<TCourtMapPicker>(dialog, "CourtMap");
  EXPECT_TRUE(map->isVisible());
  EXPECT_FALSE(Child<QGroupBox>(dialog, "ParamGroup")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(dialog, "OkButton")->isEnabled());
  EXPECT_EQ(map->Marker(), QPoint(139, 60));
  const auto at = [&](double x, double y) {
    return QPoint(static_cast<int>((x + 0.5) * map->width() / 279.0),
                  static_cast<int>((y + 0.5) * map->height() / 200.0));
  };
  QTest::mousePress(map, Qt::LeftButton, {}, at(139, 60));
  QTest::mouseMove(map, at(80, 120));
  EXPECT_EQ(map->Marker(), QPoint(80, 120)) << "the marker follows the pointer";
  QTest::mouseRelease(map, Qt::LeftButton, {}, at(20, 180));
  EXPECT_FALSE(map->isVisible());
  EXPECT_TRUE(Child<QGroupBox>(dialog, "ParamGroup")->isEnabled());
  EXPECT_EQ(Child<QLineEdit>(dialog, "ParamEdit3")->text(), QStringLiteral("20+180"));
  EXPECT_EQ(Child<QLineEdit>(dialog, "ParamEdit6")->text(), QStringLiteral("3"));

  // The other team: its roster, and the same shirt when it has one.
  auto* team = Child<QComboBox>(dialog, "ParamEdit1");
  team->setCurrentIndex(1);
  auto* player = Child<QComboBox>(dialog, "ParamEdit2");
  EXPECT_EQ(player->count(), 12);
  EXPECT_EQ(player->currentText(), QStringLiteral("4. P. Müller"));
  QTest::mouseClick(Child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
  auto edited = dialog.Result();
  ASSERT_NE(edited, nullptr);
  EXPECT_EQ(edited->GetParam("Team"), "2");
  EXPECT_EQ(edited->GetParam("Coordinates"), "20+180");
  EXPECT_EQ(edited->GetParam("Points"), "3");
  EXPECT_EQ(shot->GetParam("Coordinates"), "139+60") << "the given action is untouched";

  // The player fouled is of the other team.
  auto foul = Make.Foul(300, 1, 4, 6);
  TEditActionForm foulDialog(*foul, Model.MatchInfo, *App, Ui, Window.get());
  EXPECT_EQ(Child<QComboBox>(foulDialog, "ParamEdit4")->currentText(), QStringLiteral("6. P. Müller"));
  Child<QComboBox>(foulDialog, "ParamEdit1")->setCurrentIndex(1);
  EXPECT_EQ(Child<QComboBox>(foulDialog, "ParamEdit4")->currentText(), QStringLiteral("6. P. Pérez"));
}

TEST_F(ActionEditingTest, TheActionEditingWindowCollectsDeletesAndEditsUntilTheyAreCarriedOut) {
  TActionList play;
  play.push_back(Make.Shot(100, 1, 4, "Made", 2));
  play.push_back(Make.Shot(200, 1, 5, "Made", 3));
  play.push_back(Make.Shot(300, 2, 6, "Missed", 2));
  OpenStartedGame(std::move(play));
  Click("StartClockButton");
  ASSERT_TRUE(Window->ClockRunning());
  TakenKinds();

  bool clockStopped = false;
  std::vector<QString> before;
  WhenShown<TActionListForm>([&](TActionListForm& form) {
    clockStopped = !Window->ClockRunning();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Talvex Velmora - Editar acciones"));
    before = Lines(form);
    SelectLine(form, "01:40 Tiro", QItemSelectionModel::ClearAndSelect);
    SelectLine(form, "03:20 Tiro", QItemSelectionModel::Select);
    Child<QAction>(form, "DeleteItem")->trigger();
    WhenShown<TEditActionForm>([](TEditActionForm& dialog) {
      SetMade(dialog, 0);
      QTest::mouseClick(Child<QPushButton>(dialog, "OkButton"), Qt::LeftButton);
    });
    ASSERT_TRUE(Lines(form).front().startsWith(QStringLiteral("05:00 Tiro")));
    ClickHotSpot(*form.List(), 0, true);
    EXPECT_EQ(Lines(form).size(), before.size() - 2);
    EXPECT_TRUE(Lines(form).front().contains(QStringLiteral("Resultado: Made")));
    // Edited again, the line starts from its pending edit.
    WhenShown<TEditActionForm>([](TEditActionForm& dialog) {
      EXPECT_EQ(Child<QComboBox>(dialog, "ParamEdit4")->currentText(), QStringLiteral("Made"));
      QTest::mouseClick(Child<QPushButton>(dialog, "CancelButton"), Qt::LeftButton);
    });
    form.EditLine(0);

    Ui.Answers = {TAnswer::No};
    Press(form, "ArchiveButton");
    EXPECT_EQ(Questions(), Texts{"Se han realizado los siguientes cambios:\r    2 acciones han sido eliminadas.\r    "
                                 "Se ha cambiado una acción.\r\rDesea ejecutar los cambios?"});
    EXPECT_EQ(form.Pending().DeleteCount(), 2u);
    EXPECT_EQ(form.Pending().EditCount(), 1u);
    EXPECT_TRUE(TakenKinds().empty()) << "nothing is carried out yet";

    Ui.Answers = {TAnswer::Cancel};
    form.close();
    EXPECT_TRUE(form.isVisible()) << "Cancel keeps the window";
    Ui.Answers = {TAnswer::Yes};
    QTest::keyClick(&form, Qt::Key_Escape);
  });
  Click("ActionsMaximizeButton");
  EXPECT_TRUE(clockStopped);
  EXPECT_EQ(Questions().size(), 2u) << "closing asked twice";
  EXPECT_EQ(TakenKinds(), (Texts{"delete:system", "delete:system", "edit"}));
  EXPECT_EQ(Model.Score(), (std::pair<int, int>{0, 2}));
  EXPECT_EQ(Find<TScoreDisplay>("imgScore2")->Digits(), QStringLiteral("002")) << "the window was reloaded";
  EXPECT_EQ(HistoryIds(), StoredIds());
}

TEST_F(ActionEditingTest, FiltersPeriodButtonsAndTheDeleteOfAPeriodEnd) {
  OpenStartedGame(ThreePeriods());
  TActionListForm form(*Context, Window.get());
  form.show();
  const std::vector<QString> all = Lines(form);
  ASSERT_EQ(all.size(), History().Count());

  Press(form, "PeriodButton2");
  EXPECT_EQ(Child<QTimeEdit>(form, "FromTimePicker")->time(), QTime(0, 10, 0));
  EXPECT_EQ(Child<QTimeEdit>(form, "ToTimePicker")->time(), QTime(0, 20, 0));
  Press(form, "ApplyFilterButton");
  EXPECT_EQ(Lines(form).size(), 5u) << "from the end of period 1 to the start of period 3";
  Press(form, "PeriodButton5");
  EXPECT_EQ(Child<QTimeEdit>(form, "FromTimePicker")->time(), QTime(0, 40, 0));
  EXPECT_EQ(Child<QTimeEdit>(form, "ToTimePicker")->time(), QTime(0, 45, 0));

  Press(form, "VisitorsTeamRadio");
  auto* players = Child<QListWidget>(form, "PlayersList");
  EXPECT_EQ(players->count(), 12);
  EXPECT_EQ(players->item(0)->text(), QStringLiteral("4. P. Müller"));
  Press(form, "PlayersListNoneButton");
  players->item(1)->setCheckState(Qt::Checked);
  Child<QTimeEdit>(form, "FromTimePicker")->setTime(QTime(0, 0, 0));
  Child<QTimeEdit>(form, "ToTimePicker")->setTime(QTime(1, 0, 0));
  Press(form, "ApplyFilterButton");
  EXPECT_EQ(Lines(form).size(), 3u) << "player 5 of team 2: his lineup entry, his three and his foul";

  // The end of period 2 takes every later line along, whether the filter shows it or not.
  Press(form, "ReloadButton");
  EXPECT_EQ(Lines(form), all);
  SelectLine(form, "20:00 Cuarto (Period: 2, Type: End)", QItemSelectionModel::ClearAndSelect);
  Ui.Answers = {TAnswer::No};
  Child<QAction>(form, "DeleteItem")->trigger();
  const Texts asked = Questions();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0],
            "Esta intentando eliminar los cuartos\nEsto eliminará todas las acciones desde el minuto 00:20:00.\n"
            "Desea continuar?");
  EXPECT_EQ(form.List()->selectionModel()->selectedIndexes().size(), 3) << "the end, the shot and the foul";
  EXPECT_TRUE(form.Pending().Empty()) << "No keeps everything";

  Ui.Answers = {TAnswer::Yes};
  Child<QAction>(form, "DeleteItem")->trigger();
  EXPECT_EQ(Lines(form).size(), all.size() - 3);
  EXPECT_EQ(form.Pending().DeleteCount(), 3u);
  Ui.Answers = {TAnswer::Yes};
  Press(form, "ReloadButton");
  EXPECT_EQ(Questions().back(), "Desea rechazar los cambios?");
  EXPECT_TRUE(form.Pending().Empty());
  EXPECT_EQ(Lines(form), all);
  form.close();
  EXPECT_TRUE(TakenKinds().empty());
}

}  // namespace
}  // namespace velmora::gui::testing

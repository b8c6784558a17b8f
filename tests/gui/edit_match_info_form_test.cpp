// The match editor and its player dialogs, for a local and for a server game.

#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "game_builder.h"
#include "setup/edit_match_info_form.h"
#include "setup/edit_player_form.h"
#include "setup/roster_grid.h"
#include "setup_fixture.h"
#include "widgets/color_button.h"

namespace velmora::testing {
namespace {

using gui::TEditMatchInfoForm;
using gui::TEditPlayerForm;
using gui::TEditPlayerForm2;
using gui::TRosterGrid;

QLineEdit* Edit(QWidget& window, const char* name) { return window.findChild<QLineEdit*>(QString::fromLatin1(name)); }
void Type(QWidget& window, const char* name, const char* text) { Edit(window, name)->setText(QString::fromUtf8(text)); }
std::string Text(QWidget& window, const char* name) { return Edit(window, name)->text().toStdString(); }
TRosterGrid& Grid(QWidget& window, int team) {
  return *window.findChild<TRosterGrid*>(QStringLiteral("PlayerList%1").arg(team));
}
std::string Cell(const TRosterGrid& grid, int row, int column) { return grid.item(row, column)->text().toStdString(); }

class EditMatchInfoFormTest : public ::testing::Test {
 protected:
  std::unique_ptr<TEditMatchInfoForm> MakeEditor(const TMatchInfo& info,
                                                 std::optional<TMatchInfo> initial = std::nullopt) {
    auto editor = std::make_unique<TEditMatchInfoForm>(info, std::move(initial), TRosterLimits{}, Ui);
    editor->show();
    return editor;
  }
  TRecordingUserInterface Ui;
};

TEST_F(EditMatchInfoFormTest, ShowsTheMatchInfoAndHandsTheEditedOneBackSorted) {
  TMatchInfo info = MakeMatchInfo(6, "G-9");
  info.Time = *EncodeDate(2024, 3, 14) + EncodeTime(18, 30, 0);
  info.Spectators = 0;
  info.TV = 3;
  info.Team1.Color = 0x0000FF;  // red, stored as 0x00BBGGRR
  info.Team1.Player(2).Number = kShirtZero;
  info.Team1.Player(3).Number = kShirtDoubleZero;
  info.Team1.Player(4).Height = 1.8;
  auto editor = MakeEditor(info);
  SaveScreenshot(*editor, "edit_match_info_form");

  EXPECT_EQ(editor->windowTitle(), QStringLiteral("Velmora - Edit match info & rosters"));
  EXPECT_TRUE(Edit(*editor, "GameNumberEdit")->isReadOnly());
  EXPECT_EQ(Text(*editor, "DateTimeEdit"), "2024.03.14 18:30:00");
  EXPECT_EQ(Text(*editor, "SpectatorsEdit"), "");
  EXPECT_EQ(editor->findChild<QComboBox*>(QStringLiteral("TVBox"))->currentText(),
            QStringLiteral("Delayed / complete"));
  auto* pages = editor->findChild<QTabWidget*>(QStringLiteral("MainPanel"));
  EXPECT_EQ(pages->tabText(1), QStringLiteral("Club Baloncesto Norte"));
  auto* color = editor->findChild<gui::TColorButton*>(QStringLiteral("Color1Button"));
  EXPECT_EQ(color->BackColor(), QColor(255, 0, 0));

  TRosterGrid& grid = Grid(*editor, 1);
  ASSERT_EQ(grid.rowCount(), 6);
  EXPECT_EQ(Cell(grid, 1, TRosterGrid::kNumber), "0");
  EXPECT_EQ(Cell(grid, 2, TRosterGrid::kNumber), "00");
  EXPECT_EQ(Cell(grid, 3, TRosterGrid::kHeight), "1.80");
  EXPECT_TRUE(grid.isColumnHidden(TRosterGrid::kId));

  grid.PlayerListSetEditText(0, TRosterGrid::kHeight, QStringLiteral("1.9"));
  grid.PlayerListSetEditText(5, TRosterGrid::kNumber, QStringLiteral("3"));   // wears 3 now...
  grid.PlayerListSetEditText(5, TRosterGrid::kNumber, QStringLiteral("30"));  // ...no, 30
  Type(*editor, "PlaceEdit", "Bilbao");
  Type(*editor, "SpectatorsEdit", "mucho");
  editor->findChild<QAction*>(QStringLiteral("Reset1"))->trigger();
  editor->ColorDialog().AnswerNext(QColor(0, 128, 0));
  editor->findChild<QAction*>(QStringLiteral("Change2"))->trigger();
  Click(*editor, "SaveButton");
  ASSERT_EQ(editor->result(), QDialog::Accepted) << (Ui.Texts().empty() ? "" : Ui.Texts().front());

  const TMatchInfo& result = editor->Result();
  EXPECT_EQ(result.Place, "Bilbao");
  EXPECT_EQ(result.Spectators, 0);
  EXPECT_EQ(result.TV, 3);
  EXPECT_EQ(result.Time, info.Time);
  EXPECT_EQ(result.Team1.Color, -1);
  EXPECT_EQ(result.Team2.Color, 0x008000);
  std::vector<int> numbers;
  for (int slot = 1; slot <= result.Team1.PlayerCount; ++slot) numbers.push_back(result.Team1.Player(slot).Number);
  EXPECT_EQ(numbers, (std::vector<int>{4, 7, 8, 30, kShirtDoubleZero, kShirtZero}));
  EXPECT_DOUBLE_EQ(result.Team1.Player(1).Height, 1.9);
}

TEST_F(EditMatchInfoFormTest, SavingChecksInOrderAndKeepsTheDialogOpen) {
  TMatchInfo info = MakeMatchInfo(4, "");
  info.Team2 = MakeMatchInfo(5).Team2;
  auto editor = MakeEditor(info);
  auto* pages = editor->findChild<QTabWidget*>(QStringLiteral("MainPanel"));
  EXPECT_FALSE(Edit(*editor, "GameNumberEdit")->isReadOnly()) << "a new game gets its number here";
  EXPECT_EQ(Text(*editor, "DateTimeEdit").substr(0, 10), FormatDate(Today())) << "a new game starts now";

  pages->setCurrentIndex(2);
  Click(*editor, "SaveButton");
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{"Game number must be specified."});
  EXPECT_EQ(pages->currentIndex(), 0);

  Ui.Messages.clear();
  Type(*editor, "GameNumberEdit", "N-1");
  Grid(*editor, 2).PlayerListSetEditText(1, TRosterGrid::kNumber, QStringLiteral("4"));  // 4 twice in team 2
  Click(*editor, "SaveButton");
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{"There must beetween 5 and 12 players in each team."})
      << "team 2 is looked at only when team 1 passes";
  EXPECT_EQ(pages->currentIndex(), 1);

  Ui.Messages.clear();
  Grid(*editor, 1).SetRows(RosterRowsOf(MakeMatchInfo(5).Team1));
  Click(*editor, "SaveButton");
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{"All shirt numbers must be between 4 and 15 and unique."});
  EXPECT_EQ(pages->currentIndex(), 2);

  Ui.Messages.clear();
  Grid(*editor, 2).PlayerListSetEditText(1, TRosterGrid::kNumber, QStringLiteral("00"));
  Type(*editor, "DateTimeEdit", "mañana");
  Click(*editor, "SaveButton");
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{"'mañana' is not a valid date and time"});
  EXPECT_NE(editor->result(), QDialog::Accepted);
  EXPECT_TRUE(editor->Result().GameNumber.empty()) << "nothing is written before every check passed";

  Type(*editor, "DateTimeEdit", "2024.3.14 20:00");
  Click(*editor, "SaveButton");
  EXPECT_EQ(editor->result(), QDialog::Accepted);
  EXPECT_EQ(editor->Result().GameNumber, "N-1");
}

TEST_F(EditMatchInfoFormTest, LocalPlayersAreTypedCheckedAddedAndDeleted) {
  TMatchInfo info = MakeMatchInfo(1, "G-1");
  auto editor = MakeEditor(info);
  TRosterGrid& grid = Grid(*editor, 1);

  Ui.Answer = true;
  grid.setCurrentCell(0, 0);
  Click(*editor, "DeletePlayer1Button");
  ASSERT_EQ(grid.rowCount(), 1) << "the only player's row is emptied";
  EXPECT_EQ(Cell(grid, 0, TRosterGrid::kName), "");
  EXPECT_EQ(Ui.QuestionTexts(), std::vector<std::string>{"Really delete this player?"});

  WhenShown<TEditPlayerForm>([this](TEditPlayerForm& dialog) {
    SaveScreenshot(dialog, "edit_player_form");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Player details"));
    Click(dialog, "OKButton");
    Type(dialog, "FirstNameEdit", "Ana");
    Click(dialog, "OKButton");
    Type(dialog, "LastNameEdit", "Ruiz");
    Type(dialog, "HeightEdit", "alta");
    Click(dialog, "OKButton");
    Type(dialog, "HeightEdit", "1.8");
    Type(dialog, "ShirtNumberEdit", "x");
    Click(dialog, "OKButton");
    Type(dialog, "ShirtNumberEdit", " 00 ");
    dialog.findChild<QComboBox*>(QStringLiteral("PositionEdit"))->setCurrentIndex(7);  // Point guard
    Type(dialog, "ClubEdit", "CB Sur");
    Click(dialog, "OKButton");
  });
  Click(*editor, "AddPlayer1Button");
  EXPECT_EQ(Ui.Texts(), (std::vector<std::string>{"First name cannot be empty", "Last name cannot be empty",
                                                  "Invalid height", "Invalid shirt number"}));
  ASSERT_EQ(grid.rowCount(), 1) << "the empty row takes the first player";
  EXPECT_EQ(Cell(grid, 0, TRosterGrid::kNumber), " 00 ");
  EXPECT_EQ(Cell(grid, 0, TRosterGrid::kSurname), "Ruiz");
  EXPECT_EQ(Cell(grid, 0, TRosterGrid::kHeight), "1.80");
  EXPECT_EQ(Cell(grid, 0, TRosterGrid::kPosition), "PG");
  EXPECT_EQ(Cell(grid, 0, TRosterGrid::kBorn), "") << "no date unless ticked";

  WhenShown<TEditPlayerForm>([](TEditPlayerForm& dialog) {
    EXPECT_EQ(Text(dialog, "LastNameEdit"), "Ruiz");
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("PositionEdit"))->currentText(),
              QStringLiteral("Point guard"));
    Type(dialog, "LastNameEdit", "Ruiz Gil");
    Click(dialog, "OKButton");
  });
  editor->findChild<QTabWidget*>(QStringLiteral("MainPanel"))->setCurrentIndex(1);
  const QPoint name = grid.visualItemRect(grid.item(0, TRosterGrid::kName)).center();
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, name);
  QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, name);
  EXPECT_EQ(Cell(grid, 0, TRosterGrid::kSurname), "Ruiz Gil");

  WhenShown<TEditPlayerForm>([](TEditPlayerForm& dialog) {
    Type(dialog, "FirstNameEdit", "Eva");
    Type(dialog, "LastNameEdit", "Sanz");
    Type(dialog, "ShirtNumberEdit", "9");
    Click(dialog, "OKButton");
  });
  Click(*editor, "AddPlayer1Button");
  ASSERT_EQ(grid.rowCount(), 2) << "a second player is appended";
  EXPECT_EQ(Cell(grid, 1, TRosterGrid::kName), "Eva");
}

TEST_F(EditMatchInfoFormTest, ServerGamesOfferOnlyUnpickedPlayersOfTheFirstRoster) {
  TMatchInfo initial = MakeMatchInfo(3, "S-1");
  initial.Team1.Player(2).Height = 2.04;
  initial.Team1.Player(2).Position = "C";
  initial.Team1.Player(2).Birth_date = *EncodeDate(1999, 7, 1);
  initial.Team1.Player(2).Club = "Sur";
  TMatchInfo current = initial;
  current.Availability = kOnlineOnly;
  current.Team1.PlayerCount = 1;  // only the first player is in the roster so far
  auto editor = MakeEditor(current, initial);
  TRosterGrid& grid = Grid(*editor, 1);
  EXPECT_FALSE(grid.NamesEditable());
  grid.setCurrentCell(0, TRosterGrid::kName);
  grid.editItem(grid.item(0, TRosterGrid::kName));
  EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr) << "names come from the server: no editor";
  grid.editItem(grid.item(0, TRosterGrid::kHeight));
  EXPECT_NE(grid.findChild<QLineEdit*>(), nullptr) << "the height is still typed in place";

  WhenShown<TEditPlayerForm2>([](TEditPlayerForm2& dialog) {
    SaveScreenshot(dialog, "edit_player_form2");
    auto* players = dialog.findChild<QComboBox*>(QStringLiteral("PlayerEdit"));
    ASSERT_EQ(players->count(), 2);
    EXPECT_EQ(players->itemText(0), QStringLiteral("Player2 Pérez"));
    Click(dialog, "OKButton");
    players->setCurrentIndex(0);
    EXPECT_EQ(Text(dialog, "ShirtNumberEdit"), "5");
    EXPECT_EQ(Text(dialog, "HeightEdit"), "2.04");
    EXPECT_EQ(Text(dialog, "ClubEdit"), "Sur");
    EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("PositionEdit"))->currentText(), QStringLiteral("Center"));
    Click(dialog, "OKButton");
  });
  Click(*editor, "AddPlayer1Button");
  EXPECT_EQ(Ui.Texts(), std::vector<std::string>{"Select player first"});
  ASSERT_EQ(grid.rowCount(), 2);
  EXPECT_EQ(Cell(grid, 1, TRosterGrid::kId), initial.Team1.Player(2).ID);
  EXPECT_EQ(Cell(grid, 1, TRosterGrid::kSurname), "Pérez");
  EXPECT_EQ(Cell(grid, 1, TRosterGrid::kBorn), "1999.07.01");

  WhenShown<TEditPlayerForm2>([](TEditPlayerForm2& dialog) {
    auto* players = dialog.findChild<QComboBox*>(QStringLiteral("PlayerEdit"));
    EXPECT_FALSE(players->isEnabled());
    EXPECT_EQ(players->currentText(), QStringLiteral("Player2 Pérez"));
    Type(dialog, "ShirtNumberEdit", "12");
    Click(dialog, "OKButton");
  });
  grid.setCurrentCell(1, 0);
  Click(*editor, "EditPlayer1Button");
  EXPECT_EQ(Cell(grid, 1, TRosterGrid::kNumber), "12");
}

}  // namespace
}  // namespace velmora::testing

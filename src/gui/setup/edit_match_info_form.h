#pragma once
// The match info and roster editor: the game's data, both teams with their colours, and both
// rosters. It takes a match information and, after "&Save && Close", hands the edited one back.
// For a server game the rosters are bound to the players the server first published.

#include <optional>

#include <QDialog>

#include "records/match_info.h"
#include "records/roster_rows.h"
#include "widgets/dialog_answers.h"

class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;

namespace velmora {
class TUserInterface;
}

namespace velmora::gui {

class TColorButton;
class TRosterGrid;

class TEditMatchInfoForm : public QDialog {
  Q_OBJECT

 public:
  // `initial` is the server's first published match information of a server game; none for a
  // local game.
  TEditMatchInfoForm(const TMatchInfo& matchInfo, std::optional<TMatchInfo> initial, const TRosterLimits& limits,
                     TUserInterface& userInterface, QWidget* parent = nullptr);

  // The edited match information, after the dialog was saved.
  const TMatchInfo& Result() const { return Result_; }
  TColorDialog& ColorDialog() { return ColorDialog_; }

  void SaveButtonClick();
  void Color1ButtonClick() { ShowColorMenu(1); }
  void Color2ButtonClick() { ShowColorMenu(2); }
  void Change1Click() { ChangeColor(1); }
  void Change2Click() { ChangeColor(2); }
  void Reset1Click() { SetTeamColor(1, -1); }
  void Reset2Click() { SetTeamColor(2, -1); }
  void AddPlayer1ButtonClick() { AddPlayer(1); }
  void EditPlayer1ButtonClick() { EditPlayer(1); }
  void DeletePlayer1ButtonClick() { DeletePlayer(1); }
  void AddPlayer2ButtonClick() { AddPlayer(2); }
  void EditPlayer2ButtonClick() { EditPlayer(2); }
  void DeletePlayer2ButtonClick() { DeletePlayer(2); }

 private:
  struct TTeamControls {
    QLineEdit* Name = nullptr;
    QLineEdit* Coach = nullptr;
    QLineEdit* Short = nullptr;
    TColorButton* Color = nullptr;
    QMenu* ColorMenu = nullptr;
    std::int32_t ColorValue = -1;
    TRosterGrid* Players = nullptr;
    QWidget* Page = nullptr;
  };

  QWidget* BuildMatchInfoPage();
  QWidget* BuildTeamGroup(int team);
  QWidget* BuildPlayersPage(int team);
  void Fill();
  bool ServerGame() const { return Initial_.has_value(); }
  TTeamControls& Team(int team) { return team == 1 ? Team1_ : Team2_; }

  void ShowColorMenu(int team);
  void ChangeColor(int team);
  void SetTeamColor(int team, std::int32_t value);
  void AddPlayer(int team);
  void EditPlayer(int team);
  void DeletePlayer(int team);
  void UpdatePageCaption(int team);
  // Shows every error of the team's roster; false when there was any.
  bool RosterValid(int team);
  void ShowError(const QString& text);

  TMatchInfo Result_;
  std::optional<TMatchInfo> Initial_;
  TRosterLimits Limits_;
  TUserInterface& Ui_;
  TColorDialog ColorDialog_;

  QTabWidget* MainPanel_ = nullptr;
  QWidget* MatchInfoTab_ = nullptr;
  QLineEdit* GameNumberEdit_ = nullptr;
  QLineEdit* DateTimeEdit_ = nullptr;
  QLineEdit* PlaceEdit_ = nullptr;
  QLineEdit* FieldEdit_ = nullptr;
  QLineEdit* RefereeEdits_[4] = {};
  QLineEdit* CommissionerEdit_ = nullptr;
  QLineEdit* CompetitionEdit_ = nullptr;
  QLineEdit* SpectatorsEdit_ = nullptr;
  QComboBox* TVBox_ = nullptr;
  TTeamControls Team1_;
  TTeamControls Team2_;
  QPushButton* SaveButton_ = nullptr;
  QPushButton* CancelButton_ = nullptr;
};

}  // namespace velmora::gui

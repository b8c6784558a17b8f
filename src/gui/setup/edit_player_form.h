#pragma once
// The two small dialogs that edit one roster entry of the match editor: `TEditPlayerForm` for a
// local game, where names are typed, and `TEditPlayerForm2` for a server game, where the player is
// picked from the roster the server first published.

#include <string>
#include <vector>

#include <QDialog>

#include "records/roster_rows.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace velmora {
class TUserInterface;
}

namespace velmora::gui {

// What both dialogs share: shirt number, height, position, date of birth and club.
class TPlayerDetailsForm : public QDialog {
  Q_OBJECT

 public:
  // Fills the shared fields from a grid row.
  void FillDetails(const TRosterRow& row);
  // Writes the shared fields into the row: shirt number as typed, height with two decimals (empty
  // when not a number), position code, date of birth only when ticked, club.
  void WriteDetails(TRosterRow& row) const;

 protected:
  TPlayerDetailsForm(TUserInterface& userInterface, QWidget* parent);
  // `nameRows` go first in the group (the name fields or the player list).
  void BuildLayout(const std::vector<std::pair<QString, QWidget*>>& nameRows);
  // The shared checks after the dialog's own; false (after the message) when one fails.
  bool DetailsValid();
  void ShowError(const QString& text);
  void SetDateOfBirth(double birthDate);

  virtual void OKButtonClick() = 0;

  TUserInterface& Ui_;
  QLineEdit* ShirtNumberEdit_ = nullptr;
  QLineEdit* HeightEdit_ = nullptr;
  QComboBox* PositionEdit_ = nullptr;
  QCheckBox* DobCheck_ = nullptr;
  QDateEdit* DobEdit_ = nullptr;
  QLineEdit* ClubEdit_ = nullptr;
  QPushButton* OKButton_ = nullptr;
  QPushButton* CancelButton_ = nullptr;
};

class TEditPlayerForm : public TPlayerDetailsForm {
  Q_OBJECT

 public:
  explicit TEditPlayerForm(TUserInterface& userInterface, QWidget* parent = nullptr);

  // An edit starts from the row.
  void Fill(const TRosterRow& row);
  void WriteInto(TRosterRow& row) const;

  void OKButtonClick() override;

 private:
  QLineEdit* FirstNameEdit_ = nullptr;
  QLineEdit* LastNameEdit_ = nullptr;
};

class TEditPlayerForm2 : public TPlayerDetailsForm {
  Q_OBJECT

 public:
  // `initialRoster` (which outlives the dialog) holds the players that may be picked.
  TEditPlayerForm2(const TTeam& initialRoster, TUserInterface& userInterface, QWidget* parent = nullptr);

  // An add offers, in roster order, the players whose ID is not among `usedIds`.
  void OfferForAdd(const std::vector<std::string>& usedIds);
  // An edit offers every player, with the row's player chosen and the list locked.
  void OfferForEdit(const TRosterRow& row);
  // The chosen player's ID, first and last name from the initial roster, the rest from the dialog.
  void WriteInto(TRosterRow& row) const;

  void PlayerEditChange();
  void OKButtonClick() override;

 private:
  const TPlayer* ChosenPlayer() const;

  const TTeam& InitialRoster_;
  QComboBox* PlayerEdit_ = nullptr;
};

}  // namespace velmora::gui

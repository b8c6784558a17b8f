#pragma once
// The edit dialog ("Editar parámetros de la acción"): the action's game time and one editor per
// parameter, with the court map for a shot's position. It hands back an edited copy; the given
// action is never changed.

#include <QDialog>
#include <memory>
#include <vector>

#include "records/action.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace velmora {
class TMatchInfo;
class TMessageSource;
class TUserInterface;
}  // namespace velmora

namespace velmora::gui {

class TCourtMapPicker;

class TEditActionForm : public QDialog {
  Q_OBJECT

 public:
  // Everything given outlives the dialog; refusals are shown through `userInterface`.
  TEditActionForm(const TAction& action, const TMatchInfo& matchInfo, const TMessageSource& messages,
                  TUserInterface& userInterface, QWidget* parent = nullptr);
  ~TEditActionForm() override;

  // The game clock may be chosen only from `earliest` to `latest` (an action put in between two).
  void SetTimeRange(TDateTime earliest, TDateTime latest);
  // The edited copy once the dialog ended with OK; none otherwise.
  std::unique_ptr<TAction> Result() { return std::move(Result_); }

  void OkButtonClick();
  // Shows the court map for the coordinates editor of parameter `index` (from 0).
  void CourtMapButtonClick(std::size_t index);
  // The court map's mouse release at court coordinates.
  void CourtMapMouseUp(int x, int y);

 protected:
  void reject() override;

 private:
  struct TEditor {
    const TParameter* Parameter;
    QComboBox* Combo = nullptr;
    QLineEdit* Edit = nullptr;
    std::vector<int> Numbers;  // the shirt numbers of a player list, entry by entry
  };

  QWidget* MakeEditor(TEditor& editor, std::size_t index, QWidget* parent);
  // The team the team editor shows (1 or 2); 0 when the action has none or none is chosen.
  int ChosenTeam() const;
  void FillPlayerLists();
  void ShowCourtMap(bool shown);
  TEditor* EditorOf(const char* name);

  const TAction& Action_;
  const TMatchInfo& MatchInfo_;
  const TMessageSource& Messages_;
  TUserInterface& UserInterface_;
  std::vector<TEditor> Editors_;
  QComboBox* TeamEditor_ = nullptr;
  QLineEdit* MapTarget_ = nullptr;  // the coordinates editor the court map writes to
  QGroupBox* TimeGroup_;
  QGroupBox* ParamGroup_;
  QGroupBox* MapGroup_;
  QTimeEdit* TimePicker_;
  TCourtMapPicker* CourtMap_;
  QPushButton* OkButton_;
  QPushButton* CancelButton_;
  std::unique_ptr<TAction> Result_;
};

}  // namespace velmora::gui

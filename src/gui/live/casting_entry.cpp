// The live window's entry: action buttons, keys, player buttons, the court, comments,
// substitutions and deletes from the history, forwarded to the entry workflow; and what the
// workflow changes on the screen.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app.h"
#include "app/gui_context.h"
#include "live/action_bar.h"
#include "live/casting_form.h"
#include "live/court_view.h"
#include "live/entry_dialogs.h"
#include "live/history_list_box.h"
#include "live/history_list_model.h"
#include "live/player_column.h"
#include "live/subst_form.h"
#include "live/substitutions.h"
#include "platform/user_interface.h"
#include "records/game_time.h"
#include "stats/model.h"

namespace velmora::gui {

void TCastingForm::ActionClick(int number, bool fromMenu) {
  TDefinition& entry = Definitions_[static_cast<std::size_t>(number - 1)];
  if (entry.Definition->Kind == "foul") StopClock();
  if (fromMenu && entry.Button) entry.Button->setChecked(true);
  const bool start = !entry.Button || entry.Button->isChecked();
  if (entry.Button && start) ActionBar_->ReleaseAll(entry.Button);
  if (start) {
    Entry_->StartFromTemplate(*entry.Template);
  } else {
    Entry_->SetCurrentAction(nullptr);
    Entry_->AdvanceEntry();
  }
}

void TCastingForm::PlayerClick(TPlayerButton* button) {
  for (TPlayerButton* other : AllPlayerButtons()) {
    if (other != button) other->setChecked(false);
  }
  Entry_->PlayerClick(button->Tag(), button->isChecked());
}

void TCastingForm::FieldImageMouseUp(int x, int y, Qt::MouseButton button) {
  if (button != Qt::LeftButton && button != Qt::RightButton) return;
  Entry_->CourtClick(x, y, button == Qt::RightButton);
}

void TCastingForm::TimeoutButtonClick() { Entry_->TimeoutCommand(); }

void TCastingForm::SendButtonClick() {
  if (!Game_.Catalogue().Comment) return;
  Entry_->SendComment(CommentText_->text().toStdString());
  CommentText_->clear();
}

void TCastingForm::SubstOneClick(int team) {
  Entry_->SingleSubstitution(team);
  FocusComment();
}

void TCastingForm::SubstituteAllClick() {
  StopClock();
  TSubstForm form(Context_.Model, Context_.App, this);
  if (form.exec() == QDialog::Accepted) {
    for (int team = 1; team <= 2; ++team) {
      if (!Context_.Model.MatchInfo.IsTracked(team)) continue;
      TActionList changes =
          LineupChanges(Context_.Model, Context_.App, team, form.CourtList(team), form.BenchList(team));
      for (auto& change : changes) Context_.App.Submit(std::move(change));
    }
  }
  BuildPlayerButtons();
  CheckUnstored();
  FocusComment();
}

void TCastingForm::PressShirtNumber(int team) {
  const int shirt = Dialogs_->AskShirtNumber(
      [this, team](const std::string& typed) { return Entry_->ShirtNumbersStartingWith(team, typed); });
  if (shirt == 0) return;
  if (TPlayerButton* button = PlayerButtonOf(team * 1000 + shirt)) {
    button->setChecked(true);
    PlayerClick(button);
  }
}

bool TCastingForm::DeleteHistoryEntry(int row) {
  if (!Context_.App.HasAction("delete") || row < 0 || static_cast<std::size_t>(row) >= History_->Count()) return false;
  const THistoryRecord& record = History_->Line(static_cast<std::size_t>(row)).Record;
  auto removal = Context_.App.NewAction("delete");
  if (!removal) return false;
  removal->SetParam("Event", record.ID);
  const auto deleted = record.Action ? record.Action->Clone() : nullptr;
  const auto shown = removal->Clone();
  Context_.App.Submit(std::move(removal));
  UpdateViewAfter(*shown, deleted.get());
  return true;
}

void TCastingForm::HistoryBoxDelete(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= History_->Count()) return;
  const THistoryRecord& record = History_->Line(static_cast<std::size_t>(row)).Record;
  if (!record.Action) return;
  const TAction& action = *record.Action;
  std::vector<const TAction*> lines;
  for (std::size_t i = 0; i < History_->Count(); ++i) lines.push_back(History_->Line(i).Record.Action.get());
  std::string question = "Eliminar este dato?";
  if (action.ShortName == "quarter") {
    question =
        "Los datos después del cuarto eliminado también se eliminarán!\\rDesea eliminar esto y los datos posteriores?";
  } else if (HasFollowUps(lines, row)) {
    question =
        "Las acciones de seguimiento para este suceso también serán eliminadas!\\rDesea eliminar con las acciones?";
  }
  if (!Context_.Ui.AskYesNo(kApplicationTitle, question)) return;

  // A period start or end takes everything after it along; the start and end of the game only itself.
  const bool periodBoundary = action.ShortName == "quarter" && action.GetParam("Quarter") != "0";
  const TDateTime boundaryTime = action.GameTime;
  const std::string id = record.ID;
  const bool chainRoot = !action.IsFollowUp();
  if (!DeleteHistoryEntry(row)) return;
  if (chainRoot) {
    for (int above = std::min(row, static_cast<int>(History_->Count())) - 1; above >= 0; --above) {
      const TAction* line = History_->Line(static_cast<std::size_t>(above)).Record.Action.get();
      if (line && line->FollowUpID == id) DeleteHistoryEntry(above);
    }
  }
  if (periodBoundary) {
    for (int later = static_cast<int>(History_->Count()) - 1; later >= 0; --later) {
      const TAction* line = History_->Line(static_cast<std::size_t>(later)).Record.Action.get();
      if (line && ClockBefore(boundaryTime, line->GameTime)) DeleteHistoryEntry(later);
    }
  }
  FocusComment();
}

std::vector<TPlayerButton*> TCastingForm::AllPlayerButtons() const {
  std::vector<TPlayerButton*> buttons;
  for (const TPlayerColumn* column : {Left_, Right_}) {
    buttons.insert(buttons.end(), column->Buttons().begin(), column->Buttons().end());
    buttons.push_back(column->TeamButton());
  }
  return buttons;
}

TPlayerButton* TCastingForm::PlayerButtonOf(int tag) const {
  for (TPlayerButton* button : AllPlayerButtons()) {
    if (button->Tag() == tag) return button;
  }
  return nullptr;
}

void TCastingForm::ShowPrompt(const std::string& text) { MessageLabel_->setText(QString::fromStdString(text)); }

void TCastingForm::ResetControls() {
  for (TPlayerButton* button : AllPlayerButtons()) {
    button->setEnabled(true);
    button->setChecked(false);
  }
  ActionBar_->SetButtonsEnabled(true);
  ActionBar_->ReleaseAll();
  for (TDefinition& entry : Definitions_) entry.MenuItem->setEnabled(true);
  Court_->HideMarkers();
  CommentText_->clear();
  MessageLabel_->clear();
}

void TCastingForm::ShowTeamButtons(bool team1, bool team2) {
  Left_->TeamButtonPanel()->setVisible(team1);
  Right_->TeamButtonPanel()->setVisible(team2);
}

void TCastingForm::RestrictToTeam(int team) {
  for (int side = 1; side <= 2; ++side) {
    const TPlayerColumn* column = side == 1 ? Left_ : Right_;
    const bool enabled = team == 0 || team == side;
    for (TPlayerButton* button : column->Buttons()) button->setEnabled(enabled);
    column->TeamButton()->setEnabled(enabled);
  }
}

void TCastingForm::ReleaseButtons() {
  ActionBar_->ReleaseAll();
  for (TPlayerButton* button : AllPlayerButtons()) button->setChecked(false);
}

void TCastingForm::ShowMarker(bool threePoints, int x, int y) { Court_->ShowMarker(threePoints, x, y); }

void TCastingForm::InsertPlayerName(const std::string& name) {
  QString text = CommentText_->text();
  int start = CommentText_->hasSelectedText() ? CommentText_->selectionStart() : CommentText_->cursorPosition();
  const int end =
      CommentText_->hasSelectedText() ? start + static_cast<int>(CommentText_->selectedText().size()) : start;
  QString inserted = QString::fromStdString(name);
  if (start > 0 && text.at(start - 1) != QLatin1Char(' ')) inserted.prepend(QLatin1Char(' '));
  const bool spaceAfter = end < text.size() && text.at(end) == QLatin1Char(' ');
  const int caret = start + static_cast<int>(inserted.size());
  if (!spaceAfter) inserted.append(QLatin1Char(' '));
  text.replace(start, end - start, inserted);
  CommentText_->setText(text);
  CommentText_->setCursorPosition(caret);
}

}  // namespace velmora::gui

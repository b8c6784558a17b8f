// The live window's entry: action buttons, keys, player buttons, the court, comments and
// substitutions, forwarded to the entry workflow; and what the workflow changes on the screen.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "live/action_bar.h"
#include "live/casting_form.h"
#include "live/court_view.h"
#include "live/entry_dialogs.h"
#include "live/player_column.h"
#include "live/subst_form.h"
#include "live/substitutions.h"
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
  FocusComment();
}

void TCastingForm::PressShirtNumber(int team) {
  const int shirt = Dialogs_->AskShirtNumber(
      [this, team](const std::string& typed) { return Entry_->ShirtNumbersStartingWith(team, typed); });
  if (shirt == 0) return;
  // A player the entry does not allow now (the other team's follow-up) is not picked by his shirt.
  TPlayerButton* button = PlayerButtonOf(team * 1000 + shirt);
  if (!button || !button->isEnabled()) {
    QApplication::beep();
    return;
  }
  button->setChecked(true);
  PlayerClick(button);
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

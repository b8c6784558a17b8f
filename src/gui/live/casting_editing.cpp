// The live window's corrections: editing and deleting lines of the history, and the action editing
// window. Every correction is an "edit" or "delete" action that goes through the sender.

#include <QToolButton>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "live/action_editing.h"
#include "live/action_list_form.h"
#include "live/casting_form.h"
#include "live/edit_action_form.h"
#include "live/entry_dialogs.h"
#include "live/game_checks_form.h"
#include "live/history_list_model.h"
#include "platform/user_interface.h"
#include "records/game_time.h"
#include "stats/model.h"

namespace velmora::gui {

void TCastingForm::CenterOver(QWidget& dialog) const {
  dialog.adjustSize();
  const QRect window = frameGeometry();
  const QPoint topLeft(window.left() + (window.width() - dialog.width()) / 2,
                       window.top() + (window.height() - dialog.height()) / 2);
  dialog.setGeometry(OnScreen(QRect(topLeft, dialog.size()), this));
}

void TCastingForm::HistoryBoxEdit(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= History_->Count()) return;
  const TAction* shown = History_->Line(static_cast<std::size_t>(row)).Record.Action.get();
  if (!shown) return;
  // The list may change while the dialog is open (a period ending on the clock).
  const auto old = shown->Clone();
  TEditActionForm form(*old, Context_.Model.MatchInfo, Context_.App, Context_.Ui, this);
  CenterOver(form);
  if (form.exec() == QDialog::Accepted) {
    auto edit = form.Result();
    edit->ShortName = "edit";
    const auto submitted = edit->Clone();
    Context_.App.Submit(std::move(edit));
    UpdateViewAfter(*submitted, old.get());
  }
  FocusComment();
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
  std::vector<const TAction*> lines;
  for (std::size_t i = 0; i < History_->Count(); ++i) lines.push_back(History_->Line(i).Record.Action.get());
  if (!Context_.Ui.AskYesNo(kApplicationTitle, HistoryDeleteQuestion(lines, row))) return;

  const TAction& action = *History_->Line(static_cast<std::size_t>(row)).Record.Action;
  const bool periodBoundary = IsPeriodBoundary(action);
  const TDateTime boundaryTime = action.GameTime;
  const std::string id = action.ID;
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

void TCastingForm::EditActionById(const std::string& id) {
  for (std::size_t row = 0; row < History_->Count(); ++row) {
    if (History_->Line(row).Record.ID == id) {
      HistoryBoxEdit(static_cast<int>(row));
      return;
    }
  }
}

void TCastingForm::ChecksButtonClick() {
  StopClock();
  TGameChecksForm form(Context_.Model, Context_.App, [this](const std::string& id) { EditActionById(id); }, this);
  form.exec();
  RefreshChecks();
  FocusComment();
}

void TCastingForm::EditDataClick() {
  StopClock();
  {
    TActionListForm form(Context_, this);
    form.exec();
  }
  ReloadView();
  FocusComment();
}

}  // namespace velmora::gui

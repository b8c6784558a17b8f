#pragma once
// The action editing window ("Talvex Velmora - Editar acciones"): every action of the game in a
// list, filtered by kind, team, player and time. Deletes and edits wait in the window until the
// operator carries them out ("&Archivar"), throws them away ("&Regrabar") or closes the window.

#include <memory>
#include <set>
#include <string>

#include "live/action_editing.h"
#include "platform/user_interface.h"
#include "widgets/custom_form.h"

class QButtonGroup;
class QListWidget;
class QPushButton;
class QTimeEdit;

namespace velmora::gui {

struct TGuiContext;
class TActionLinesModel;
class THistoryListBox;

class TActionListForm : public TCustomForm {
  Q_OBJECT

 public:
  TActionListForm(TGuiContext& context, QWidget* parent = nullptr);
  ~TActionListForm() override;

  const TPendingCorrections& Pending() const { return Pending_; }
  THistoryListBox* List() const { return List_; }

  // The list again from the game, the filters back to showing everything.
  void Fill();
  void ApplyFilterClick();
  void PeriodButtonClick(int k);
  void TeamChoiceClick();
  void EditLine(int row);
  // Puts a forgotten action before or after the line's action, where it happened.
  void InsertLine(int row, bool before);
  // Deletes the selected lines, with what they take along.
  void DeleteSelected();
  void ArchiveClick();
  void ReloadClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QWidget* BuildFilters();
  // The game's actions as the window shows them: pending deletes left out, pending edits in.
  TActionList ShownActions() const;
  // The list from the game's actions, newest first; through the filter when one was applied.
  void ShowLines();
  TActionFilter CurrentFilter() const;
  void FillPlayers();
  // The save question.
  TAnswer AskSave();

  TGuiContext& Context_;
  TPendingCorrections Pending_;
  bool Filtered_ = false;
  bool Closing_ = false;
  std::vector<TKindEntry> Kinds_;
  std::vector<TPlayerChoice> Players_;

  TActionLinesModel* Lines_;
  THistoryListBox* List_ = nullptr;
  QListWidget* KindsList_ = nullptr;
  QListWidget* PlayersList_ = nullptr;
  QButtonGroup* TeamChoice_ = nullptr;
  QTimeEdit* FromTime_ = nullptr;
  QTimeEdit* ToTime_ = nullptr;
};

}  // namespace velmora::gui

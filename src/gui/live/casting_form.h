#pragma once
// The live window: both teams with score, team fouls and time-outs, the period and the game clock,
// the player columns, the action bar, the court, the comment box and the history of the game. It
// lays out its panels, builds its menu and routes events; the rules live in the core (TLiveGame).

#include <QPointer>
#include <memory>

#include "live/action_definitions.h"
#include "live/entry_workflow.h"
#include "live/live_game.h"
#include "widgets/custom_form.h"

class QAction;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace velmora {
class TSender;
}

namespace velmora::gui {

struct TGuiContext;
class TActionBar;
class TCornerGroupBox;
class TClockTimer;
class TCourtPanel;
class TEntryDialogs;
class TPlayerButton;
class TGameAdapter;
class THistoryListBox;
class THistoryListModel;
class TPeriodClockPanel;
class TPlayerColumn;
class TSendingBanner;
class TTeamPanel;

class TCastingForm : public TCustomForm, private TEntryView {
  Q_OBJECT

 public:
  // The model holds the opened game. `timer` beats the game clock (a one-second timer when none).
  TCastingForm(TGuiContext& context, QWidget* parent = nullptr, std::unique_ptr<TClockTimer> timer = nullptr);
  ~TCastingForm() override;

  // The thread door the game's sender posts its work to; it lives as long as the window.
  TGameAdapter& Adapter() const { return *Adapter_; }
  THistoryListModel& History() const { return *History_; }
  TEntryWorkflow& Entry() const { return *Entry_; }
  TEntryDialogs& Dialogs() const { return *Dialogs_; }

  // Builds the action definitions, buttons and menu items, the player buttons and the history.
  void BuildActionButtons();
  void BuildPlayerButtons();
  void RefreshState();
  void ReloadView();
  void ShowTimeouts();
  void DrawScore();
  // Redraws what the action changed; `old` is the replaced action of an edit, or the deleted one.
  void UpdateViewAfter(const TAction& action, const TAction* old = nullptr) override;

  void StartClock() override;
  void StopClock() override;
  bool ClockRunning() const;

  // True when the operator chose "&Salir del programa": the program ends after the window.
  bool QuitRequested() const { return QuitRequested_; }

  // Command handlers, named after their controls.
  void StartGameButtonClick();
  void EndPeriodButtonClick();
  void NextPeriodButtonClick();
  void EndGameClick();
  void TimerTimer();
  void ClockUpDownClick(int step, bool first);
  void ClockUpDownMouseUp();
  void SwitchSidesClick();
  void UploadResultsClick();
  void EditConfigClick();
  void AboutClick();
  void WebClick();
  void QuitProgramClick();
  // Entry: definition `number` (from 1) from its button, its key or its menu item.
  void ActionClick(int number, bool fromMenu);
  void PlayerClick(TPlayerButton* button);
  void FieldImageMouseUp(int x, int y, Qt::MouseButton button);
  void TimeoutButtonClick();
  void SendButtonClick();
  void SubstOneClick(int team);
  void SubstituteAllClick();
  // Corrections from the history list, and the action editing window.
  void HistoryBoxEdit(int row);
  void HistoryBoxDelete(int row);
  bool DeleteHistoryEntry(int row);
  void EditDataClick();
  // The game's checks: the count beside the history, and "Comprobar partido" from it.
  void RefreshChecks();
  void ChecksButtonClick();
  // The edit dialog for the action with the ID, as "Editar" on its history line.
  void EditActionById(const std::string& id);
  // Places the dialog at the centre of the window.
  void CenterOver(QWidget& dialog) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildTopStrip();
  QWidget* BuildMiddle();
  QWidget* BuildHistoryGroup();
  void BuildMenu();
  void ApplySides();
  void FormShow();
  void FocusComment();
  bool FormKeyDown(QKeyEvent* event);
  void EndOfPeriod();
  // The buzzer's question, once the entry is idle.
  void AskEndOfPeriod();
  void WriteBackup();
  // Cancels the action under entry, as every command that is not entry does first.
  void CancelEntry();
  std::vector<TPlayerButton*> AllPlayerButtons() const;
  TPlayerButton* PlayerButtonOf(int tag) const;
  void PressShirtNumber(int team);

  // What the entry changes on the screen.
  void ShowPrompt(const std::string& text) override;
  void ResetControls() override;
  void ShowTeamButtons(bool team1, bool team2) override;
  void RestrictToTeam(int team) override;
  void ReleaseButtons() override;
  void ShowMarker(bool threePoints, int x, int y) override;
  void InsertPlayerName(const std::string& name) override;
  void EntryIdle() override;
  void CheckUnstored();
  bool RescueUnstored();

  TGuiContext& Context_;
  TLiveGame Game_;
  std::unique_ptr<TClockTimer> Timer_;
  TGameAdapter* Adapter_;
  THistoryListModel* History_;
  TSender* Sender_ = nullptr;  // the game's sender while the window is shown

  TTeamPanel* Team1_ = nullptr;
  TTeamPanel* Team2_ = nullptr;
  TPeriodClockPanel* Clock_ = nullptr;
  QHBoxLayout* TopLayout_ = nullptr;
  TActionBar* ActionBar_ = nullptr;
  TPlayerColumn* Left_ = nullptr;
  TPlayerColumn* Right_ = nullptr;
  QHBoxLayout* MiddleLayout_ = nullptr;
  QWidget* CenterPanel_ = nullptr;
  QLabel* MessageLabel_ = nullptr;
  TCourtPanel* Court_ = nullptr;
  QGroupBox* CommentGroup_ = nullptr;
  QLineEdit* CommentText_ = nullptr;
  QPushButton* SendButton_ = nullptr;
  QLabel* UnstoredLabel_ = nullptr;
  TSendingBanner* SendingBanner_ = nullptr;
  THistoryListBox* HistoryBox_ = nullptr;
  QToolButton* MaximizeButton_ = nullptr;
  QTimer* UnstoredRetry_ = nullptr;
  QTimer* ChecksRefresh_ = nullptr;
  TCornerGroupBox* HistoryGroup_ = nullptr;
  QToolButton* ChecksButton_ = nullptr;
  std::unique_ptr<TEntryDialogs> Dialogs_;
  std::unique_ptr<TEntryWorkflow> Entry_;

  // The action definitions with their templates, buttons and menu items.
  struct TDefinition {
    const TActionDefinition* Definition;
    std::unique_ptr<TAction> Template;
    QPushButton* Button = nullptr;
    QAction* MenuItem = nullptr;
  };
  std::vector<TDefinition> Definitions_;

  QMenu* ActionMenu_ = nullptr;
  QAction* ActionSeparator_ = nullptr;
  QAction* StartGameItem_ = nullptr;
  QAction* EndGameItem_ = nullptr;
  QAction* SubstituteAllItem_ = nullptr;

  bool CloseArmed_ = false;
  bool Closing_ = false;
  bool QuitRequested_ = false;
  bool SidesSwapped_ = false;
  bool ClockWasRunning_ = false;
  bool ClockAdjusting_ = false;
  bool UnstoredReported_ = false;
  bool EndOfPeriodAsked_ = false;  // the clock reached the end; the question waits for the entry
  int TicksSinceBackup_ = 0;
};

}  // namespace velmora::gui

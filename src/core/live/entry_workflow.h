#pragma once
// Entering an action in the live window: the action under entry, the player and team selection,
// the order in which missing parameters are asked, the commit with its clock rules and checks,
// the follow-up chains of a play, comments, and single substitutions. The window forwards its
// clicks and keys here; the choices and player lists it is asked for come from `TEntryPrompts`,
// and what must change on the screen goes to `TEntryView`.

#include <memory>
#include <string>
#include <vector>

#include "live/live_game.h"
#include "records/action.h"

namespace velmora {

class TApp;
class TModel;
class TSender;
class TUserInterface;

enum class TPlayerPurpose { Fouled, Incoming };

// The small dialogs of the entry.
class TEntryPrompts {
 public:
  virtual ~TEntryPrompts() = default;
  // The one-based position of the chosen value, as text; empty when cancelled.
  virtual std::string AskChoice(const TParameter& parameter, const std::string& title) = 0;
  // The stored shirt number of the chosen player, or 0.
  virtual int AskPlayer(int team, TPlayerPurpose purpose, const std::vector<TPlayerView>& players) = 0;
};

// What the entry changes on the screen.
class TEntryView {
 public:
  virtual ~TEntryView() = default;
  virtual void ShowPrompt(const std::string& text) = 0;
  // Releases and enables every action, player and team button, hides the markers and empties the
  // prompt and the comment box.
  virtual void ResetControls() = 0;
  virtual void ShowTeamButtons(bool team1, bool team2) = 0;
  // Only team `team`'s player and team buttons stay enabled; 0 enables both teams'.
  virtual void RestrictToTeam(int team) = 0;
  // Releases every action and player button (a new selection begins).
  virtual void ReleaseButtons() = 0;
  virtual void ShowMarker(bool threePoints, int x, int y) = 0;
  virtual void StartClock() = 0;
  virtual void StopClock() = 0;
  virtual void UpdateViewAfter(const TAction& action, const TAction* old) = 0;
  virtual void InsertPlayerName(const std::string& name) = 0;
  // The workflow has returned from the outermost of its calls: what the window held back while a
  // dialog of the entry was open (the end-of-period question) may run now.
  virtual void EntryIdle() = 0;
};

class TEntryWorkflow {
 public:
  // Everything given outlives the object; the sender is the application's, looked up at each use.
  TEntryWorkflow(TModel& model, TApp& app, TUserInterface& userInterface, TEntryPrompts& prompts, TEntryView& view);
  ~TEntryWorkflow();

  const TAction* CurrentAction() const { return Current_.get(); }
  int SelectedTeam() const { return SelectedTeam_; }
  int SelectedPlayer() const { return SelectedPlayer_; }
  const std::string& LastShooter() const { return LastShooter_; }
  // True while one of the calls below runs. Its dialogs and messages run event loops in which the
  // window's timers fire; nothing may replace or cancel the action under entry meanwhile.
  bool Busy() const { return Depth_ > 0; }

  // Starts an action made from a template (an action button or menu item).
  void StartFromTemplate(const TAction& templateAction);
  // A click on the court at court coordinates; `rightButton` marks the shot as missed.
  void CourtClick(int x, int y, bool rightButton);
  // A player or team button (tag team x 1000 + shirt, or -team) went down or up.
  void PlayerClick(int tag, bool down);
  void TimeoutCommand();
  // "Cambio individual" of the team.
  void SingleSubstitution(int team);
  // Sends the comment box's text; an empty comment is dropped by the sender.
  void SendComment(const std::string& text);

  void SetCurrentAction(std::unique_ptr<TAction> action);
  void AdvanceEntry();
  void CommitAction();
  void ResetEntry();
  // Esc, a period command, closing the window: the action under entry is dropped and its chain
  // ended. Not while Busy().
  void Cancel();
  // The follow-up of a committed action; none when the play ends with it.
  std::unique_ptr<TAction> NextFollowUp(const TAction& action);
  // The history's copy of the root of the action's chain, or the action itself.
  const TAction& HistoryRootAction(const TAction& action) const;
  void ShowPrompt(const std::string& text);

  // The players the player dialog offers for the purpose.
  std::vector<TPlayerView> EligiblePlayers(int team, TPlayerPurpose purpose) const;
  // Players of the team on court whose shirt as shown ("0", "00", "7") or as stored (210, 200, 7)
  // starts with the typed text.
  std::vector<int> ShirtNumbersStartingWith(int team, const std::string& typed) const;
  // The first name and surname of the player, or empty when he is not in the roster.
  std::string PlayerName(int team, int shirt) const;

 private:
  TSender* Sender() const;
  const TActionHistory* History() const;
  void Submit(const TAction& action);
  bool AskMissingChoices();
  bool SubstitutionPasses();
  // The substitution is one the follow-ups offered after a foul that put the player out.
  bool IsFoulOutSubstitution(const TAction& action) const;
  // Nobody came in for the fouled-out player: the play goes on with what the foul gave.
  void ContinueWithoutSubstitution();
  std::unique_ptr<TAction> NewFollowUp(std::string_view kind, int hint);
  int PlayerStat(int team, const std::string& shirt, std::string_view key) const;
  bool FollowUpsEnabled() const;

  class TBusy;

  TModel& Model_;
  TApp& App_;
  TUserInterface& UserInterface_;
  TEntryPrompts& Prompts_;
  TEntryView& View_;
  std::unique_ptr<TAction> Current_;
  int SelectedTeam_ = 0;
  int SelectedPlayer_ = 0;
  std::string LastShooter_;
  int Depth_ = 0;  // calls of the workflow under way
};

}  // namespace velmora

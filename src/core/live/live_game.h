#pragma once
// The live window's rules that need no screen: what the game's state shows and enables, the lineup
// check, the period commands, the clock steps, and what an entered action redraws. The window
// forwards its commands here and draws what it is told.

#include <memory>
#include <string>
#include <vector>

#include "records/action.h"

namespace velmora {

class TApp;
class TModel;
class TUserInterface;

// The kinds the catalogue holds, read when the window is shown.
struct TCatalogueFlags {
  bool Comment = false;
  bool Quarter = false;
  bool Timeout = false;
  bool Clock = false;
  bool Foul = false;
  bool Subst = false;
};

// What the period and clock groups show for the game's state.
struct TPeriodView {
  bool StartGameItemEnabled = false;  // "&Comienzo del partido "
  bool EndGameItemEnabled = false;    // "&Final del partido"
  bool QuarterGroupVisible = false;   // and the clock group
  bool ClockPanelVisible = false;
  bool StartGameGroupVisible = false;
  bool NextPeriodEnabled = false;
  bool EndPeriodEnabled = false;
  bool ClockButtonsEnabled = false;  // start, stop and the time-out
  std::string Numeral;
  std::string ClockText;
};

// One player button of a team column.
struct TPlayerView {
  std::string Caption;
  int Tag = 0;        // team x 1000 + stored shirt number
  int Fouls = 0;      // "PF"
  int FoulLimit = 0;  // dots to draw; 0 when the catalogue has no fouls
};

// What an entered action changes on the screen.
struct TRedraw {
  bool Score = false;
  bool State = false;
  bool PlayerButtons = false;
  bool Timeouts = false;
};
// For an edit `old` is the action it replaced; for a delete, the deleted action as the history
// showed it before (none when it was not there).
TRedraw RedrawAfter(const TAction& action, const TAction* old);

class TLiveGame {
 public:
  // Everything given outlives the object.
  TLiveGame(TModel& model, TApp& app, TUserInterface& userInterface);

  void ReadCatalogue();
  const TCatalogueFlags& Catalogue() const { return Catalogue_; }

  // A period has been started (or ended) at some point.
  bool Started() const;
  // The game has ended.
  bool Finished() const;
  TPeriodView PeriodView() const;
  std::string TeamFoulsText(int team) const;
  std::string TimeoutsText(int team) const;
  // The buttons of the team's column: the players on court when the catalogue has substitutions,
  // else the whole roster, in roster order.
  std::vector<TPlayerView> PlayerButtons(int team) const;
  // The team's points as the three digits of its score picture ("007"; the last three past 999).
  std::string ScoreDigits(int team) const;

  // Reports each team with fewer than five on court; false when the clock may not start because of
  // it (before the game only).
  bool CheckLineups();
  // The lineup check, and the refusal of a game without anybody on court for a team.
  bool MayStartGame();
  // The period commands. Each submits its actions and gives a copy of the period action, for the
  // redraw; none when the catalogue has no period action.
  std::unique_ptr<TAction> StartGame();
  std::unique_ptr<TAction> EndPeriod();
  std::unique_ptr<TAction> NextPeriod();
  std::unique_ptr<TAction> EndGame();

  // The clock may run: a period is under way and has time left.
  bool ClockMayRun() const;
  // One second of the running clock; true when it has reached the end of the period, where it is
  // then put exactly.
  bool Tick();
  // One step of the clock adjuster: +1 runs the clock on (less time left), -1 back; never past the
  // period's end or start, and not at all once the period has ended.
  void AdjustClock(int step);
  void SendClockMark();

 private:
  std::unique_ptr<TAction> SubmitPeriodAction(int quarter, const char* type);

  TModel& Model_;
  TApp& App_;
  TUserInterface& UserInterface_;
  TCatalogueFlags Catalogue_;
};

}  // namespace velmora

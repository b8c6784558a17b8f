#pragma once
// Corrections of a game that need no screen: the questions and cascades of a delete from the live
// window's history, the captions and player lists of the edit dialog, and the action editing
// window's filters, period times and pending corrections.

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "records/action.h"
#include "records/court_map.h"
#include "records/game_time.h"

namespace velmora {

class TActionSubmitter;
class TCatalogue;
class TMatchInfo;
class TMessageSource;

// A court point as the court's own clicks give it: below 0 becomes 1, past the edge the last pixel.
TCourtPoint ClampToCourt(int x, int y);
// "x+y" of the point.
std::string CoordinatesText(TCourtPoint point);

// The question before a delete from the history (newest first) at `row`.
std::string HistoryDeleteQuestion(const std::vector<const TAction*>& history, int row);
// A period start or end: its delete takes every later action along. The start and the end of the
// game ("Quarter" "0") do not.
bool IsPeriodBoundary(const TAction& action);

// The label of a parameter's editor: "Resultado" for "Made", else its caption, cut to 15
// characters and "..." when longer.
std::string EditorCaption(const TMessageSource& messages, const std::string& name);
// A roster player as lists offer him: "7. J. Smith" and the stored shirt number.
struct TPlayerChoice {
  std::string Caption;
  int Number = 0;
  int Team = 0;
};
std::vector<TPlayerChoice> RosterChoices(const TMatchInfo& matchInfo, int team);
// The team whose roster a player parameter names when the action's team is `team`: the other one
// for "Fouled on".
int PlayerParameterTeam(const std::string& name, int team);

// The kinds list of the action editing window.
enum class TShotResult { Any, Made, NotMade };
struct TKindEntry {
  std::string Caption;
  std::string Kind;
  TShotResult Shots = TShotResult::Any;
};
// Every catalogue entry that is not a system one, a shot as two entries ("(Made)", "(Missed)").
std::vector<TKindEntry> KindEntries(const TCatalogue& catalogue);

enum class TTeamChoice { Both, Home, Visitors };
// The players list for the team choice: team 1's, team 2's, or both (team 1's first).
std::vector<TPlayerChoice> PlayerEntries(const TMatchInfo& matchInfo, TTeamChoice teams);

// The time span of period button k (1 to 6: C1 to C4, PR1, PR2).
struct TTimeSpan {
  TDateTime From = 0;
  TDateTime To = 0;
};
TTimeSpan PeriodButtonSpan(const TPeriodSettings& settings, int k);
// The span the window starts with: the first hour, or up to the latest action past it.
TTimeSpan InitialSpan(const TActionList& actions);

// The four tests of "A&plicar filtro".
struct TActionFilter {
  std::vector<TKindEntry> Kinds;
  std::vector<bool> KindTicked;
  TTeamChoice Teams = TTeamChoice::Both;
  std::vector<TPlayerChoice> Players;
  std::vector<bool> PlayerTicked;
  TTimeSpan Span;

  // False also when the action cannot be judged (a player value that is not a number).
  bool Passes(const TAction& action) const;
};

// What a delete of selected lines of the action editing window takes along.
struct TDeleteSelection {
  std::vector<std::string> IDs;  // oldest first
  // The question to ask first; empty when the selection took nothing along.
  std::string Question;
};
// `actions` is the game as the window shows it, oldest first; `selected` the IDs chosen. A period
// boundary takes every later action of the game, a chain root its follow-ups, whether the filter
// shows them or not: the store removes them just the same.
TDeleteSelection ExpandDeleteSelection(const std::vector<const TAction*>& actions, const std::set<std::string>& selected);

// The deletes and edits of the action editing window, until the operator carries them out.
class TPendingCorrections {
 public:
  bool Empty() const { return Deletes_.empty() && Edits_.empty(); }
  bool Deleted(const std::string& id) const;
  // The pending edit of the action; none when there is none.
  const TAction* EditOf(const std::string& id) const;

  // A "delete" action for the ID, from the catalogue; false when it has none. A pending edit of
  // the action is dropped: there is nothing left to change.
  bool AddDelete(TActionSubmitter& submitter, const std::string& id);
  // Replaces any pending edit with the same ID.
  void SetEdit(std::unique_ptr<TAction> edit);
  void Clear();

  // "Se han realizado los siguientes cambios:..." for what is pending.
  std::string SaveQuestion() const;
  // Submits the deletes in the order collected, then the edits, and empties both lists.
  void Submit(TActionSubmitter& submitter);

  std::size_t DeleteCount() const { return Deletes_.size(); }
  std::size_t EditCount() const { return Edits_.size(); }

 private:
  TActionList Deletes_;
  TActionList Edits_;
};

}  // namespace velmora

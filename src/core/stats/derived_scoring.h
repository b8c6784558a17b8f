#pragma once
// Team figures that depend on the order of the actions, and each player's plus/minus. Team values
// are "1" or "2"; a made shot counts its "Points", a made free throw 1. A "Points" text that is not
// a number counts 0.

#include <string_view>
#include <vector>

#include "records/action.h"
#include "records/team.h"

namespace velmora {

class TModel;

// The points an action scored: a made shot its "Points", a made free throw 1, anything else 0.
int MadePoints(const TAction& action);

int PointsAfterTurnovers(const TActionList& actions, std::string_view team);
int SecondChancePoints(const TActionList& actions, std::string_view team);
int CounterAttackPoints(const TActionList& actions, std::string_view team);
int PointsInZone(const TActionList& actions, std::string_view team);
int BenchPoints(const TModel& model, std::string_view team);

// The team's score difference after the first action with the ID (the whole list when none has it).
int ScoreDiffUpTo(const TActionList& actions, std::string_view id, std::string_view team);

// True when the action's court position lies in the restricted area.
bool InZone(const TAction& action);
// True when the player with the shirt number is in the team's roster and did not start.
bool IsBenchPlayer(const TModel& model, std::string_view team, std::string_view shirtNumber);

struct TPlusLessPlayer {
  TPlayer Player;
  int EntryDiff = 0;
  int ExitDiff = 0;
  int Total = 0;  // the plus/minus
  int PlayerId = 0;
};

// The player's plus/minus over the model's actions, with those on court at the end counted to the
// end of the list.
TPlusLessPlayer PlusMinus(const TModel& model, const TPlayer& player, std::string_view team);
// The plus/minus of every roster slot of the team (index = roster slot; index 0 unused), in one
// pass over the actions.
std::vector<int> PlusMinusTotals(const TModel& model, int team);

}  // namespace velmora

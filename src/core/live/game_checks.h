#pragma once
// The game checks itself: slips a scorer makes under time pressure (a shot credited to a player on
// the bench, free throws without a foul, six on court after a mis-keyed substitution), found in one
// pass over the model's actions. Flags are advice; nothing is refused because of them.

#include <string>
#include <string_view>
#include <vector>

#include "records/date_time.h"

namespace velmora {

class TModel;

enum class TCheckKind {
  NotOnCourt,
  LineupSize,
  FouledOut,
  FreeThrowWithoutFoul,
  AssistWithoutBasket,
  TimeoutsOverLimit,
  ClockBackwards,
  OutsidePeriod,
};

// "not-on-court", "lineup-size", ...
std::string_view CheckKindName(TCheckKind kind);

// One slip, named by the action it was found at.
struct TCheckFlag {
  TCheckKind Kind;
  std::size_t ActionIndex = 0;  // in the model's action list
  std::string ActionID;
  int Period = 0;
  TDateTime GameTime = 0;
  int Team = 0;             // 1 or 2; 0 when the action belongs to no team
  std::string Player = "0";  // stored shirt number, "0" for the team or nobody
  std::string Text;          // what is wrong, in Spanish
};

// Every flag of the game, in the order of its actions (for one action, team 1 before team 2).
// Reads the model and its settings only; linear in the number of actions.
std::vector<TCheckFlag> CheckGame(const TModel& model);

// "1 aviso", "3 avisos"; empty for none.
std::string FlagCountText(std::size_t count);

}  // namespace velmora

#pragma once
// The substitution dialog's side without a screen: who is listed on court and on the bench, and the
// substitutions that turn the lineup on court into the one the operator arranged.

#include <memory>
#include <vector>

#include "records/action.h"

namespace velmora {

class TApp;
class TModel;

inline constexpr int kCourtCapacity = 5;
inline constexpr int kBenchCapacity = 100;

// Roster slots of one team, in roster order.
struct TLineupLists {
  std::vector<int> Court;  // on court
  std::vector<int> Bench;  // not on court and not fouled out
};
TLineupLists LineupListsOf(const TModel& model, const TApp& app, int team);

// The substitutions, in the order they are to be submitted: first pairs of an outgoing player (in
// the bench list but on court now) and an incoming one (in the court list but not on court now),
// then the incoming players left over, then the outgoing ones.
TActionList LineupChanges(const TModel& model, TApp& app, int team, const std::vector<int>& courtList,
                          const std::vector<int>& benchList);

}  // namespace velmora

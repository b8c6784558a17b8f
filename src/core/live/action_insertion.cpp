#include "live/action_insertion.h"

#include <algorithm>

#include "records/catalogue.h"
#include "records/game_time.h"

namespace velmora {

std::vector<const TAction*> InsertableKinds(const TCatalogue& catalogue) {
  std::vector<const TAction*> kinds;
  for (const auto& entry : catalogue.Entries()) {
    const std::string& kind = entry->ShortName;
    if (entry->System || kind == "quarter" || kind == "clock" || kind == "delete" || kind == "complete") continue;
    kinds.push_back(entry.get());
  }
  return kinds;
}

TInsertionPlace InsertionPlace(const TActionList& actions, std::size_t index, bool before, TDateTime clock) {
  TInsertionPlace place;
  if (index >= actions.size()) return place;
  const TAction& neighbour = *actions[index];
  place.Before = before ? (index > 0 ? actions[index - 1].get() : nullptr) : &neighbour;
  place.After = before ? &neighbour : (index + 1 < actions.size() ? actions[index + 1].get() : nullptr);
  place.Earliest = place.Before ? place.Before->GameTime : 0;
  place.Latest = place.After ? place.After->GameTime : std::max(clock, neighbour.GameTime);
  // Clocks that went backwards leave no span between the neighbours: the later one bounds it.
  place.Latest = std::max(place.Latest, place.Earliest);
  place.GameTime = neighbour.GameTime;
  place.Period = neighbour.Period;
  return place;
}

void PrepareInsertion(TAction& action, const TInsertionPlace& place, const std::string& followUpOf, TDateTime now) {
  action.Inserted = true;
  action.GameTime = std::clamp(action.GameTime, place.Earliest, place.Latest);
  const int second = WholeSeconds(action.GameTime);
  // The store orders by the second of the game, then by the second of entry, then by arrival; a
  // newcomer of the same second as its follower must carry an earlier entry time than it.
  const bool sameAsBefore = place.Before && WholeSeconds(place.Before->GameTime) == second;
  const bool sameAsAfter = place.After && WholeSeconds(place.After->GameTime) == second;
  TDateTime entered = now;
  if (sameAsAfter) {
    const int latest = WholeSeconds(place.After->AstroTime) - 1;
    const int earliest = sameAsBefore ? WholeSeconds(place.Before->AstroTime) : 0;
    entered = EncodeTime(0, 0, std::max(earliest, std::max(latest, 0)));
  } else if (sameAsBefore) {
    entered = place.Before->AstroTime;
  }
  action.AstroTime = entered;
  if (!followUpOf.empty()) {
    action.FollowUpID = followUpOf;
    action.Complete = false;
  }
}

}  // namespace velmora

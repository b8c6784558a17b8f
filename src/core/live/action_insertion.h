#pragma once
// Putting a forgotten action where it happened: beside an action of the game, before or after
// it, at a game clock between its neighbours', so that plus/minus, playing time, lineups and the
// play-by-play come out as if it had been entered in order.

#include <string>
#include <vector>

#include "records/action.h"

namespace velmora {

class TCatalogue;

// The kinds a scorer enters, in catalogue order: no period actions, corrections or system kinds.
std::vector<const TAction*> InsertableKinds(const TCatalogue& catalogue);

// Where an action inserted beside `actions[index]` (oldest first) may go.
struct TInsertionPlace {
  TDateTime Earliest = 0;  // the clock of the action it must follow
  TDateTime Latest = 0;    // the clock of the action it must precede (`now` after the last one)
  TDateTime GameTime = 0;  // the neighbour's clock, to begin with
  int Period = 0;          // the neighbour's period
  const TAction* Before = nullptr;  // the action it follows; none at the start of the game
  const TAction* After = nullptr;   // the action it precedes; none at the end
};
// `clock` is the game clock now, the latest an action after the last one can have.
TInsertionPlace InsertionPlace(const TActionList& actions, std::size_t index, bool before, TDateTime clock);

// Makes `action` (its parameters filled, its game clock chosen) ready for Enqueue: marked Inserted,
// its clock kept within the place, its time of entry chosen so that the store orders it between
// its neighbours also within one second of the game where their own entry times allow it, and, when
// `followUpOf` is not empty, a member of that chain (sent as not complete, like the chain's others).
void PrepareInsertion(TAction& action, const TInsertionPlace& place, const std::string& followUpOf, TDateTime now);

}  // namespace velmora

#pragma once
// What the game model asks of the local game store and of the statistics server. The SQLite store
// and the server client implement these; the model works without either.

#include <string_view>

#include "records/action.h"
#include "records/match_info.h"
#include "records/result.h"

namespace velmora {

class TGameStore {
 public:
  virtual ~TGameStore() = default;

  // Loads the match information of the game into `matchInfo`; false when it could not be read.
  virtual bool LoadMatchInfo(std::string_view gameNumber, TMatchInfo& matchInfo) = 0;
  // Loads the game's actions in entry order into `actions` (replacing its content); false on failure.
  virtual bool LoadActions(std::string_view gameNumber, TActionList& actions) = 0;
  // Stores one action of the game whose match information is given: inserts a plain action,
  // updates for "edit", removes the target for "delete", updates the game clock for "clock".
  // Removing a period boundary may set the match information's clock back. False when the action
  // was not stored.
  virtual bool StoreAction(TMatchInfo& matchInfo, const TAction& action) = 0;
  // Saves the match information; the error says why it was not saved.
  virtual TStatus StoreMatchInfo(const TMatchInfo& matchInfo) = 0;
};

class TServerLink {
 public:
  virtual ~TServerLink() = default;
  // Sends the match information to the server; the error says why it was not accepted.
  virtual TStatus UpdateMatchInfo(const TMatchInfo& matchInfo) = 0;
};

// How the model hands the actions it makes itself (clock ticks, clock marks) to the sender.
class TActionSubmitter {
 public:
  virtual ~TActionSubmitter() = default;
  // A new action of the kind from the catalogue; none when the kind is not in the catalogue.
  virtual std::unique_ptr<TAction> NewAction(std::string_view shortName) = 0;
  // Passes the action to the running sender; dropped when no sender runs.
  virtual void Submit(std::unique_ptr<TAction> action) = 0;
};

}  // namespace velmora

#pragma once
// The game model: the match information, the game's actions in entry order, and the statistics
// tables of every player and team, kept up to date action by action.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "records/action.h"
#include "records/hash_table.h"
#include "records/match_info.h"
#include "stats/game_store.h"

namespace velmora {

class TConfiguration;

// The statistic keys of every table, in creation order (which fixes their iteration order).
inline constexpr std::array<std::string_view, 22> kStatKeys = {
    "IN", "STA", "MIN", "PTS", "P1A", "P1M", "P2A", "P2M", "P3A",     "P3M", "RD",
    "RO", "RT",  "AS",  "ST",  "PF",  "BS",  "BR",  "TO",  "LAST_IN", "RF",  "PLLSS"};

// A table with every statistic key at 0.
TIntegerHash NewStatTable();

class TModel {
 public:
  static constexpr int kTableCount = 62;
  // Team t's tables start at slot kTeamStride * (t - 1): totals, players 1..n, then the entity.
  static constexpr int kTeamStride = 31;
  // The most players per team the layout has tables for.
  static constexpr int kMaxStatPlayers = kTeamStride - 2;

  // The settings are read at each use. The store may be none (nothing is stored then).
  explicit TModel(const TConfiguration& config, std::unique_ptr<TGameStore> store = nullptr);

  TGameStore* Store() const { return Store_.get(); }
  void SetStore(std::unique_ptr<TGameStore> store) { Store_ = std::move(store); }
  TServerLink* Server() const { return Server_.get(); }
  // The server client while connected; none otherwise.
  void SetServer(std::unique_ptr<TServerLink> server) { Server_ = std::move(server); }
  std::unique_ptr<TServerLink> TakeServer() { return std::move(Server_); }
  // Where ClockTick and SendClockMark hand their actions; none drops them.
  void SetSubmitter(TActionSubmitter* submitter) { Submitter_ = submitter; }

  bool IsOnline() const { return MatchInfo.Availability != kLocalOnly; }
  const std::string& GameNumberText() const { return MatchInfo.GameNumber; }

  // Loads the game's match information and actions from the store and recomputes; false when
  // there is no store or it failed (the model then holds what could be read).
  bool OpenGame(std::string_view gameNumber);
  // Replaces the actions (as read from a document) without recomputing.
  void SetActions(TActionList actions);

  // The entry point of new, edited and deleted actions; an action marked Inserted takes its place
  // by time among the others. False when the store failed to keep the
  // action (the statistics have taken it all the same): it is kept, with every later one, until
  // StoreUnstored or a later AddAction gets them all into the store, in order.
  bool AddAction(std::unique_ptr<TAction> action);
  // Actions applied but not yet in the store.
  std::size_t UnstoredCount() const { return Unstored_.size(); }
  // Tries to store them again, in order; true when none is left.
  bool StoreUnstored();
  // Called, on the adding thread, each time the store refuses an added action; whoever shows the
  // game tells the operator and retries. None to stop.
  void SetUnstoredHandler(std::function<void()> handler) { UnstoredHandler_ = std::move(handler); }
  void Apply(const TAction& action);
  void Recompute();
  void UpdateMinutes(TDateTime clock);

  // Saves the match information in the store and, while connected, on the server; the error of
  // the first that failed.
  TStatus SaveMatchInfo();

  void ClockTick();
  void SendClockMark();
  bool PeriodTimeOver() const;
  std::string RemainingPeriodText() const;

  int PlayersOnCourt(int team) const;
  std::pair<int, int> Score() const;
  std::vector<std::pair<int, int>> PeriodScores() const;
  // The n-th action (from 1) following up `action`, free throws left out; none when there is none.
  const TAction* FollowUpOf(const TAction& action, int n) const;
  // Position of the last action with the ID; -1 when none.
  int IndexOf(std::string_view id) const;
  int TimeoutsUsed(int team, int period) const;

  // Table slots of the layout.
  static int TotalsSlot(int team) { return kTeamStride * (team - 1); }
  static int PlayerSlot(int team, int rosterSlot) { return TotalsSlot(team) + rosterSlot; }
  int EntitySlot(int team) const { return TotalsSlot(team) + StatPlayerCount(team) + 1; }
  // Players of the roster that have tables (the roster, at most kMaxStatPlayers).
  int StatPlayerCount(int team) const;
  // The roster slot of the player with this shirt number that has a table; -1 when none.
  int StatPlayerIndex(int team, std::string_view shirtNumber) const;

  const TIntegerHash& Stats(int slot) const { return Stats_[static_cast<std::size_t>(slot)]; }
  const TActionList& Actions() const { return Actions_; }
  int CurrentPeriod() const { return CurrentPeriod_; }
  bool PeriodEnded() const { return PeriodEnded_; }
  // The period commands of the live window set these before their actions arrive.
  void SetCurrentPeriod(int period) { CurrentPeriod_ = period; }
  void SetPeriodEnded(bool ended) { PeriodEnded_ = ended; }
  bool GameEnded() const { return GameEnded_; }
  const TConfiguration& Config() const { return Config_; }

  TMatchInfo MatchInfo;

 private:
  TIntegerHash& Table(int slot) { return Stats_[static_cast<std::size_t>(slot)]; }
  void Increment(std::string_view team, std::string_view player, std::string_view key);
  void ApplySubstitution(const TAction& action);
  void ApplyPeriod(const TAction& action);
  void ResetTables();
  bool Store(const TAction& action);
  // An action marked Inserted: put in its place by time, and everything recomputed.
  bool InsertAction(std::unique_ptr<TAction> action);

  const TConfiguration& Config_;
  std::unique_ptr<TGameStore> Store_;
  std::unique_ptr<TServerLink> Server_;
  TActionSubmitter* Submitter_ = nullptr;
  std::array<TIntegerHash, kTableCount> Stats_;
  TActionList Actions_;
  TActionList Unstored_;  // in entry order
  std::function<void()> UnstoredHandler_;
  int CurrentPeriod_ = 0;
  bool PeriodEnded_ = false;
  bool GameEnded_ = false;
};

// The team number of a "Team" value: 1 for "1", 2 for anything else.
inline int TeamOf(std::string_view teamValue) { return teamValue == "1" ? 1 : 2; }

}  // namespace velmora

#pragma once
// Builds games for tests and benchmarks: hand-made actions, and whole simulated games with
// realistic play (substitutions, shots with rebounds and assists, fouls with free throws, periods).

#include <cstdint>
#include <memory>
#include <string>

#include "records/action.h"
#include "records/catalogue.h"
#include "records/match_info.h"

namespace velmora::testing {

// Two teams of `players` players wearing 4, 5, 6, ...; game number "G-1".
TMatchInfo MakeMatchInfo(int players = 12, const std::string& gameNumber = "G-1");

// Makes catalogue actions with parameters given by value text.
class TActionFactory {
 public:
  TActionFactory();
  std::unique_ptr<TAction> Make(const std::string& kind, int seconds,
                                std::initializer_list<std::pair<std::string, std::string>> params);

  std::unique_ptr<TAction> Shot(int seconds, int team, int player, const std::string& made, int points,
                                const std::string& coordinates = "139+60", bool counterAttack = false);
  std::unique_ptr<TAction> FreeThrow(int seconds, int team, int player, bool made);
  std::unique_ptr<TAction> Rebound(int seconds, int team, int player, bool defensive);
  std::unique_ptr<TAction> Foul(int seconds, int team, int player, int fouledOn);
  std::unique_ptr<TAction> Subst(int seconds, int team, int out, int in);
  std::unique_ptr<TAction> Period(int seconds, int quarter, const std::string& type);
  std::unique_ptr<TAction> Simple(const std::string& kind, int seconds, int team, int player);

 private:
  TCatalogue Catalogue_;
};

// A whole game of four periods of ten minutes with about `targetActions` actions, the same for the
// same seed. Every action has its game time; starters come in at 0:00.
TActionList SimulateGame(const TMatchInfo& matchInfo, int targetActions = 1000, std::uint32_t seed = 7);

}  // namespace velmora::testing

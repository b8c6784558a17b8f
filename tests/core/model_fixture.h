#pragma once
// A game model on default settings with two rosters of twelve (shirts 4 to 15), and short ways to
// enter actions and read a player's statistics by shirt number.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/configuration.h"
#include "game_builder.h"
#include "stats/model.h"

namespace velmora::testing {

class TModelTest : public ::testing::Test {
 protected:
  TModelTest() { Model.MatchInfo = MakeMatchInfo(12); }

  bool Add(std::unique_ptr<TAction> action) { return Model.AddAction(std::move(action)); }
  void AddAll(const TActionList& actions) {
    for (const auto& action : actions) Model.AddAction(action->Clone());
  }

  // The statistic of the player wearing `shirt`; the test fails when he has no table.
  int Stat(int team, int shirt, std::string_view key) const {
    const int slot = Model.StatPlayerIndex(team, std::to_string(shirt));
    EXPECT_GT(slot, 0) << "shirt " << shirt << " of team " << team;
    return slot > 0 ? Model.Stats(TModel::PlayerSlot(team, slot)).Get(key) : -1;
  }
  int Totals(int team, std::string_view key) const { return Model.Stats(TModel::TotalsSlot(team)).Get(key); }
  int Entity(int team, std::string_view key) const { return Model.Stats(Model.EntitySlot(team)).Get(key); }

  TConfiguration Config{"/opt/velmora"};
  TModel Model{Config};
  TActionFactory Make;
};

inline TActionList CloneAll(const TActionList& actions) {
  TActionList copy;
  for (const auto& action : actions) copy.push_back(action->Clone());
  return copy;
}

}  // namespace velmora::testing

#include "live/substitutions.h"

#include "app/app.h"
#include "stats/model.h"

namespace velmora {

namespace {

bool OnCourt(const TModel& model, int team, int rosterSlot) {
  return rosterSlot <= model.StatPlayerCount(team) && model.Stats(TModel::PlayerSlot(team, rosterSlot)).Get("IN") == 1;
}

std::string ShirtOf(const TModel& model, int team, int rosterSlot) {
  return std::to_string(model.MatchInfo.Team(team).Player(rosterSlot).Number);
}

}  // namespace

TLineupLists LineupListsOf(const TModel& model, const TApp& app, int team) {
  TLineupLists lists;
  const int limit = app.GetInt("fouls_per_player");
  const int players = model.MatchInfo.Team(team).PlayerCount;
  for (int slot = 1; slot <= players; ++slot) {
    if (OnCourt(model, team, slot)) {
      lists.Court.push_back(slot);
    } else if (slot > model.StatPlayerCount(team) || model.Stats(TModel::PlayerSlot(team, slot)).Get("PF") != limit) {
      lists.Bench.push_back(slot);
    }
  }
  return lists;
}

TActionList LineupChanges(const TModel& model, TApp& app, int team, const std::vector<int>& courtList,
                          const std::vector<int>& benchList) {
  std::vector<int> outgoing;
  std::vector<int> incoming;
  for (const int slot : benchList) {
    if (OnCourt(model, team, slot)) outgoing.push_back(slot);
  }
  for (const int slot : courtList) {
    if (!OnCourt(model, team, slot)) incoming.push_back(slot);
  }
  TActionList changes;
  const auto add = [&](const std::string& out, const std::string& in) {
    auto substitution = app.NewAction("subst");
    if (!substitution) return;
    substitution->SetParam("Team", std::to_string(team));
    substitution->SetParam("Player In", in);
    substitution->SetParam("Player Out", out);
    changes.push_back(std::move(substitution));
  };
  const std::size_t pairs = std::min(outgoing.size(), incoming.size());
  for (std::size_t k = 0; k < pairs; ++k) add(ShirtOf(model, team, outgoing[k]), ShirtOf(model, team, incoming[k]));
  for (std::size_t k = pairs; k < incoming.size(); ++k) add("0", ShirtOf(model, team, incoming[k]));
  for (std::size_t k = pairs; k < outgoing.size(); ++k) add(ShirtOf(model, team, outgoing[k]), "0");
  return changes;
}

}  // namespace velmora

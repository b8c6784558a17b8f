#include "stats/derived_scoring.h"

#include <cmath>
#include <string>
#include <unordered_map>

#include "records/court_map.h"
#include "records/text_utils.h"
#include "stats/model.h"

namespace velmora {

namespace {

bool IsMade(const TAction& action) { return action.GetParam("Made") == "Made"; }

bool IsMadeShotOf(const TAction& action, std::string_view team) {
  return action.ShortName == "shot" && IsMade(action) && action.GetParam("Team") == team;
}

// Team 1's lead over team 2 after each action.
std::vector<int> RunningLead(const TActionList& actions) {
  std::vector<int> lead(actions.size());
  int current = 0;
  for (std::size_t i = 0; i < actions.size(); ++i) {
    if (const int points = MadePoints(*actions[i])) {
      const std::string team = actions[i]->GetParam("Team");
      if (team == "1") current += points;
      if (team == "2") current -= points;
    }
    lead[i] = current;
  }
  return lead;
}

int LeadFor(int lead, std::string_view team) {
  if (team == "1") return lead;
  if (team == "2") return -lead;
  return 0;
}

// Answers ScoreDiffUpTo for any action ID of the list in constant time.
class TScoreDiffIndex {
 public:
  explicit TScoreDiffIndex(const TActionList& actions) : Lead_(RunningLead(actions)) {
    for (std::size_t i = 0; i < actions.size(); ++i) FirstIndex_.try_emplace(actions[i]->ID, i);
  }
  int DiffUpTo(std::string_view id, std::string_view team) const {
    if (Lead_.empty()) return 0;
    const auto found = FirstIndex_.find(std::string(id));
    return LeadFor(found == FirstIndex_.end() ? Lead_.back() : Lead_[found->second], team);
  }

 private:
  std::vector<int> Lead_;
  std::unordered_map<std::string, std::size_t> FirstIndex_;
};

}  // namespace

int MadePoints(const TAction& action) {
  if (!IsMade(action)) return 0;
  if (action.ShortName == "shot") return ParseInt32(action.GetParam("Points")).value_or(0);
  if (action.ShortName == "fthrow") return 1;
  return 0;
}

int PointsAfterTurnovers(const TActionList& actions, std::string_view team) {
  int points = 0;
  for (std::size_t i = 1; i < actions.size(); ++i) {
    const std::string& previous = actions[i - 1]->ShortName;
    if (IsMadeShotOf(*actions[i], team) && (previous == "turnover" || previous == "steal")) {
      points += MadePoints(*actions[i]);
    }
  }
  return points;
}

int SecondChancePoints(const TActionList& actions, std::string_view team) {
  int points = 0;
  for (std::size_t i = 2; i < actions.size(); ++i) {
    const TAction& shot = *actions[i - 2];
    const TAction& rebound = *actions[i - 1];
    const bool missed = shot.ShortName == "shot" && !IsMade(shot);
    if (IsMadeShotOf(*actions[i], team) && rebound.ShortName == "reb" && missed && shot.GetParam("Team") == team &&
        rebound.GetParam("Team") == team) {
      points += MadePoints(*actions[i]);
    }
  }
  return points;
}

int CounterAttackPoints(const TActionList& actions, std::string_view team) {
  int points = 0;
  for (const auto& action : actions) {
    if (action->GetParam("Team") == team && action->GetParam("CounterAttack") == "True") points += MadePoints(*action);
  }
  return points;
}

int PointsInZone(const TActionList& actions, std::string_view team) {
  int points = 0;
  for (const auto& action : actions) {
    if (action->GetParam("Team") == team && IsMade(*action) && InZone(*action)) points += MadePoints(*action);
  }
  return points;
}

int BenchPoints(const TModel& model, std::string_view team) {
  int points = 0;
  for (const auto& action : model.Actions()) {
    if (action->GetParam("Team") == team && IsBenchPlayer(model, team, action->GetParam("Player"))) {
      points += MadePoints(*action);
    }
  }
  return points;
}

int ScoreDiffUpTo(const TActionList& actions, std::string_view id, std::string_view team) {
  int lead = 0;
  for (const auto& action : actions) {
    if (const int points = MadePoints(*action)) {
      const std::string actionTeam = action->GetParam("Team");
      if (actionTeam == "1") lead += points;
      if (actionTeam == "2") lead -= points;
    }
    if (action->ID == id) break;
  }
  return LeadFor(lead, team);
}

bool InZone(const TAction& action) {
  const auto point = ParseCoordinates(action.GetParam("Coordinates"));
  return point && InLane(*point);
}

bool IsBenchPlayer(const TModel& model, std::string_view team, std::string_view shirtNumber) {
  if (team != "1" && team != "2") return false;
  const int number = TeamOf(team);
  const int slot = model.StatPlayerIndex(number, shirtNumber);
  return slot > 0 && model.Stats(TModel::PlayerSlot(number, slot)).Get("STA") == 0;
}

namespace {

// Walks the team's substitutions once and settles every player given by shirt-number text.
std::unordered_map<std::string, TPlusLessPlayer> SettleStints(
    const TModel& model, int team, std::unordered_map<std::string, TPlusLessPlayer> players) {
  const TActionList& actions = model.Actions();
  const TScoreDiffIndex diffs(actions);
  const std::string teamText = std::to_string(team);
  const auto exitAt = [](TPlusLessPlayer& record, int diff) {
    record.ExitDiff = diff;
    record.Total += record.ExitDiff - record.EntryDiff;
  };

  for (const auto& action : actions) {
    if (action->ShortName != "subst" || action->GetParam("Team") != teamText) continue;
    const auto out = players.find(action->GetParam("Player Out"));
    const auto in = players.find(action->GetParam("Player In"));
    if (out == players.end() && in == players.end()) continue;
    const int diff = diffs.DiffUpTo(action->ID, teamText);
    if (out != players.end()) exitAt(out->second, diff);
    if (in != players.end()) {
      in->second.EntryDiff = diff;
      in->second.ExitDiff = 0;
    }
  }

  // Those still on court leave at the end of the list, once per roster slot on court with their number.
  const int finalDiff = actions.empty() ? 0 : diffs.DiffUpTo(actions.back()->ID, teamText);
  const TTeam& roster = model.MatchInfo.Team(team);
  for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
    if (model.Stats(TModel::PlayerSlot(team, slot)).Get("IN") != 1) continue;
    const auto onCourt = players.find(std::to_string(roster.Player(slot).Number));
    if (onCourt != players.end()) exitAt(onCourt->second, finalDiff);
  }
  return players;
}

TPlusLessPlayer NewRecord(const TPlayer& player) {
  TPlusLessPlayer record;
  record.Player = player;
  record.PlayerId = player.LocalId;
  return record;
}

}  // namespace

TPlusLessPlayer PlusMinus(const TModel& model, const TPlayer& player, std::string_view team) {
  if (team != "1" && team != "2") {
    // No substitution names such a team, so nothing is ever settled.
    return NewRecord(player);
  }
  const std::string number = std::to_string(player.Number);
  auto settled = SettleStints(model, TeamOf(team), {{number, NewRecord(player)}});
  return settled.at(number);
}

std::vector<int> PlusMinusTotals(const TModel& model, int team) {
  const TTeam& roster = model.MatchInfo.Team(team);
  std::unordered_map<std::string, TPlusLessPlayer> players;
  for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
    players.try_emplace(std::to_string(roster.Player(slot).Number), NewRecord(roster.Player(slot)));
  }
  const auto settled = SettleStints(model, team, std::move(players));
  std::vector<int> totals(static_cast<std::size_t>(model.StatPlayerCount(team)) + 1, 0);
  for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
    totals[static_cast<std::size_t>(slot)] = settled.at(std::to_string(roster.Player(slot).Number)).Total;
  }
  return totals;
}

}  // namespace velmora

#include "stats/stats_json.h"

#include <nlohmann/json.hpp>

#include "platform/configuration.h"
#include "records/team.h"
#include "stats/derived_scoring.h"
#include "stats/efficiency.h"
#include "stats/model.h"

namespace velmora {

namespace {

using Json = nlohmann::ordered_json;

Json TableJson(const TIntegerHash& table) {
  Json object = Json::object();
  for (const std::string& key : table.KeysInOrder()) object[key] = table.Get(key);
  return object;
}

Json TeamJson(const TModel& model, int team) {
  const TTeam& roster = model.MatchInfo.Team(team);
  const std::string teamText = std::to_string(team);
  const std::string formula = model.Config().GetString("eff_formula");
  const TIntegerHash& totals = model.Stats(TModel::TotalsSlot(team));

  Json json;
  json["team"] = team;
  json["name"] = roster.Name;
  json["team_fouls"] = roster.TeamFouls;
  json["timeouts_used"] = model.TimeoutsUsed(team, model.CurrentPeriod());
  json["totals"] = TableJson(totals);
  json["entity"] = TableJson(model.Stats(model.EntitySlot(team)));
  json["efficiency"] = Efficiency(totals, formula);
  json["derived"] = {{"PAL", PointsAfterTurnovers(model.Actions(), teamText)},
                     {"PSC", SecondChancePoints(model.Actions(), teamText)},
                     {"PCA", CounterAttackPoints(model.Actions(), teamText)},
                     {"PIZ", PointsInZone(model.Actions(), teamText)},
                     {"PIBH", BenchPoints(model, teamText)}};

  const std::vector<int> plusMinus = PlusMinusTotals(model, team);
  Json players = Json::array();
  for (int slot = 1; slot <= model.StatPlayerCount(team); ++slot) {
    const TPlayer& player = roster.Player(slot);
    const TIntegerHash& table = model.Stats(TModel::PlayerSlot(team, slot));
    players.push_back({{"slot", slot},
                       {"number", player.Number},
                       {"shirt", ShirtText(player.Number)},
                       {"id", player.ID},
                       {"name", player.Name},
                       {"surname", player.Surname},
                       {"stats", TableJson(table)},
                       {"efficiency", Efficiency(table, formula)},
                       {"plus_minus", plusMinus[static_cast<std::size_t>(slot)]}});
  }
  json["players"] = std::move(players);
  return json;
}

}  // namespace

Json StatsJsonObject(const TModel& model) {
  Json json;
  json["game_number"] = model.MatchInfo.GameNumber;
  json["current_period"] = model.CurrentPeriod();
  json["period_ended"] = model.PeriodEnded();
  json["game_ended"] = model.GameEnded();
  json["current_game_time"] = FormatLongTime(model.MatchInfo.CurrentGameTime);
  const auto [score1, score2] = model.Score();
  json["score"] = {score1, score2};
  Json periods = Json::array();
  for (const auto& [a, b] : model.PeriodScores()) periods.push_back({a, b});
  json["period_scores"] = std::move(periods);
  json["teams"] = {TeamJson(model, 1), TeamJson(model, 2)};
  return json;
}

std::string StatsJson(const TModel& model, int indent) {
  const Json json = StatsJsonObject(model);
  // Texts from files may hold bytes that are not UTF-8; they are replaced rather than refused.
  return json.dump(indent, ' ', false, Json::error_handler_t::replace);
}

}  // namespace velmora

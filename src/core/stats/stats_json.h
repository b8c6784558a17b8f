#pragma once
// The whole statistical state of the model as JSON: score, periods, and per team the totals, the
// team entity, the derived figures and every player's figures.

#include <string>

#include <nlohmann/json.hpp>

namespace velmora {

class TModel;

nlohmann::ordered_json StatsJsonObject(const TModel& model);
// `indent` < 0 gives the compact form.
std::string StatsJson(const TModel& model, int indent = 2);

}  // namespace velmora

#pragma once
// One stored event row rebuilt as its action, for every reader of the events table: the program's
// store and the statistics server, whatever engine they read it with.

#include <memory>
#include <optional>
#include <string>

#include "records/action.h"
#include "records/catalogue.h"
#include "records/date_time.h"
#include "records/guid.h"

namespace velmora {

// The columns of a row, in this order: log_id, follow_up_id, game_time, log_action,
// log_param_1 .. log_param_7, log_time. `TRow` reads them with Text(column) and IsNull(column).
// None when the row names no kind the catalogue knows, or holds a time or id that cannot be read.
template <class TRow>
std::unique_ptr<TAction> ActionOfEventRow(const TCatalogue& catalogue, const TRow& row) {
  constexpr std::size_t kParamColumns = 7;
  const TAction* entry = catalogue.Entry(row.Text(3));
  const auto gameTime = ParseTime(row.Text(2));
  const auto astroTime = ParseTime(row.Text(11));
  const auto id = ParseGuid(row.Text(0));
  const auto followUp = row.IsNull(1) ? std::optional<std::string>(kNullGuid) : ParseGuid(row.Text(1));
  if (!entry || !gameTime || !astroTime || !id || !followUp) return nullptr;
  auto action = entry->Clone();
  action->GameTime = *gameTime;
  action->AstroTime = *astroTime;
  action->ID = *id;
  action->FollowUpID = *followUp;
  for (std::size_t i = 0; i < action->Parameters.size() && i < kParamColumns; ++i) {
    action->Parameters[i].Data = row.Text(4 + static_cast<int>(i));
  }
  return action;
}

}  // namespace velmora

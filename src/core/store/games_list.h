#pragma once
// The games as the game selection grid lists them.

#include <cstdint>
#include <string>
#include <vector>

#include "records/hash_table.h"
#include "records/match_info.h"

namespace velmora {

// "yyyy.MM.dd hh:mm:ss" (the time left out at midnight); empty when the game has no date.
std::string GridDateText(const TMatchInfo& matchInfo);
// "Local only", "Online only" or "Local and online".
std::string AvailabilityText(std::uint8_t availability);
// The games latest first, those without a date before all others.
std::vector<const TMatchInfo*> GamesInGridOrder(const TObjectHash<TMatchInfo>& games);

}  // namespace velmora

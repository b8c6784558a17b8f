#include "store/games_list.h"

#include <algorithm>

namespace velmora {

std::string GridDateText(const TMatchInfo& matchInfo) {
  return matchInfo.Time > 0 ? FormatDateTime(matchInfo.Time) : std::string();
}

std::string AvailabilityText(std::uint8_t availability) {
  switch (availability) {
    case kLocalOnly: return "Local only";
    case kOnlineOnly: return "Online only";
    case kLocalAndOnline: return "Local and online";
    default: return {};
  }
}

std::vector<const TMatchInfo*> GamesInGridOrder(const TObjectHash<TMatchInfo>& games) {
  std::vector<const TMatchInfo*> ordered;
  for (const std::string& key : games.KeysInOrder()) ordered.push_back(&games.Get(key));
  std::stable_sort(ordered.begin(), ordered.end(), [](const TMatchInfo* a, const TMatchInfo* b) {
    const bool aDated = a->Time > 0;
    const bool bDated = b->Time > 0;
    if (aDated != bDated) return !aDated;
    return a->Time > b->Time;
  });
  return ordered;
}

}  // namespace velmora

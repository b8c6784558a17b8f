#include "records/court_map.h"

#include <cmath>

#include "records/text_utils.h"

namespace velmora {

std::optional<TCourtPoint> ParseCoordinates(std::string_view coordinates) {
  const auto parts = SplitTrimmed(coordinates, '+');
  if (parts.size() < 2) return std::nullopt;
  const auto x = ParseInt32(parts[0]);
  const auto y = ParseInt32(parts[1]);
  if (!x || !y) return std::nullopt;
  return TCourtPoint{*x, *y};
}

bool InLane(TCourtPoint point) {
  if (point.Y >= kFreeThrowLineY) return false;
  // Half the narrowing at this depth, rounded half to even.
  const double narrowing = static_cast<double>(kLaneRight - kLaneLeft - kLaneNarrowWidth) / kFreeThrowLineY;
  const int c = static_cast<int>(std::nearbyint(point.Y * narrowing / 2));
  return kLaneLeft + c < point.X && point.X < kLaneRight - c;
}

}  // namespace velmora

#pragma once
// The half court on which shots are placed, in pixels of its picture: 279 x 200, origin at the top
// left corner, x along the baseline, y from the baseline towards the centre line. Shots are stored
// in these coordinates, so every drawing and every rule that reads them shares these constants.

#include <optional>
#include <string_view>

namespace velmora {

inline constexpr int kCourtMapWidth = 279;
inline constexpr int kCourtMapHeight = 200;
inline constexpr int kBasketX = 139;
inline constexpr int kBasketY = 29;
// A shot from this distance of the basket or more counts three points.
inline constexpr int kThreePointDistance = 114;
// The lane reaches from the baseline to the free-throw line, 110 wide there at x 83 to 193 and
// narrowing to 66 at the line.
inline constexpr int kFreeThrowLineY = 109;
inline constexpr int kLaneLeft = 83;
inline constexpr int kLaneRight = 193;
inline constexpr int kLaneNarrowWidth = 66;

struct TCourtPoint {
  int X = 0;
  int Y = 0;
};

// The point of a stored "x+y"; none when it is not two integers joined by "+".
std::optional<TCourtPoint> ParseCoordinates(std::string_view coordinates);
// True strictly inside the lane.
bool InLane(TCourtPoint point);

}  // namespace velmora

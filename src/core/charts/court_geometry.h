#pragma once
// The full court of the shot charts: 481 x 279, lying lengthwise, one basket near each end. Each
// half is the court map (records/court_map.h) turned to face the other half.

#include "records/court_map.h"
#include "records/date_time.h"
#include "records/game_time.h"

namespace velmora {

inline constexpr int kFullCourtWidth = 481;
inline constexpr int kFullCourtHeight = 279;

enum class TCourtSide { Left, Right };

// Where a court-map point lies on a full court of the given size (the scale is height / 279):
// the left half turns the map a quarter to the left, the right half a quarter to the right.
TCourtPoint PlaceOnCourt(TCourtPoint point, TCourtSide side, int width = kFullCourtWidth,
                         int height = kFullCourtHeight);

// The period that a game clock lies in: regular periods, then overtimes. A clock on a boundary
// belongs to the next period; hours count (a clock of 1:02:00 is 62 minutes in).
int PeriodOfClock(const TPeriodSettings& settings, TDateTime clock);

}  // namespace velmora

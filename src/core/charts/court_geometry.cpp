#include "charts/court_geometry.h"

#include <algorithm>
#include <cmath>

namespace velmora {

TCourtPoint PlaceOnCourt(TCourtPoint point, TCourtSide side, int width, int height) {
  const double scale = static_cast<double>(height) / kFullCourtHeight;
  const auto scaled = [scale](int value) { return static_cast<int>(std::nearbyint(scale * value)); };
  if (side == TCourtSide::Left) return {scaled(point.Y), height - scaled(point.X)};
  return {width - scaled(point.Y), scaled(point.X)};
}

int PeriodOfClock(const TPeriodSettings& settings, TDateTime clock) {
  const int minutes = WholeSeconds(clock) / 60;
  // Settings of zero length would divide by zero; such periods are over at once.
  const int quarter = std::max(settings.QuarterDuration, 1);
  const int overtime = std::max(settings.OvertimeDuration, 1);
  const int quarters = std::max(settings.NoOfQuarters, 0);
  const int period = minutes / quarter + 1;
  if (period <= quarters) return period;
  return quarters + 1 + (minutes - quarters * quarter) / overtime;
}

}  // namespace velmora

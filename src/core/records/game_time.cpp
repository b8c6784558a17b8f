#include "records/game_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace velmora {

TDateTime PeriodEnd(const TPeriodSettings& settings, int n) {
  // Counted, not summed period by period: any period number gives its answer at once.
  const long long regular = std::clamp(n, 0, std::max(settings.NoOfQuarters, 0));
  const long long overtimes = std::max(0LL, static_cast<long long>(n) - regular);
  const long long minutes = regular * settings.QuarterDuration + overtimes * settings.OvertimeDuration;
  return static_cast<double>(minutes) * 60.0 / 86400.0;
}

TDateTime PeriodStart(const TPeriodSettings& settings, int n) { return PeriodEnd(settings, n - 1); }

int TimeoutsAllowed(const TPeriodSettings& settings, int period) {
  if (period <= settings.NoOfQuarters / 2) return 2;
  if (period > settings.NoOfQuarters) return 1;
  return 3;
}

bool AtOvertimeBoundary(const TPeriodSettings& settings, TDateTime currentGameTime) {
  const int s = WholeSeconds(currentGameTime);
  const int regulation = settings.NoOfQuarters * settings.QuarterDuration * 60;
  if (s < regulation) return false;
  const int overtime = settings.OvertimeDuration * 60;
  if (overtime <= 0) return s == regulation;
  return (s - regulation) % overtime == 0;
}

namespace {
std::string TwoDigitPair(int a, int b) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%2.2d:%2.2d", a, b);
  return buffer;
}
}  // namespace

std::string PeriodClockText(const TPeriodSettings& settings, int period, TDateTime clock) {
  const int s = WholeSeconds(clock);
  const int regulation = settings.NoOfQuarters * settings.QuarterDuration * 60;
  int left;
  // At the exact end of regulation time an overtime starts at its own full length.
  if (s > regulation || (s == regulation && period > settings.NoOfQuarters)) {
    const int length = settings.OvertimeDuration * 60;
    if (length <= 0) return TwoDigitPair(0, 0);
    const int r = s - regulation;
    left = length - r % length;
    if (left == length && r / length + settings.NoOfQuarters >= period) left = 0;
  } else {
    const int length = settings.QuarterDuration * 60;
    if (length <= 0) return TwoDigitPair(0, 0);
    left = length - s % length;
    if (left == length && s / length >= period) left = 0;
  }
  return TwoDigitPair(left / 60, left % 60);
}

std::string MinutesSecondsText(int seconds) {
  if (seconds < 0) return "00:00";
  return TwoDigitPair(seconds / 60, seconds % 60);
}

namespace {
// Brings a clock to the comparison grid: seconds and milliseconds rounded to 50 ms, ties to even.
double OnGrid(TDateTime value) {
  const TTimeParts t = DecodeTime(value);
  const double v = std::nearbyint((t.Second * 100.0 + t.Millisecond) / 50.0) * 50.0;
  const double seconds = std::trunc(v / 100);
  const double milliseconds = v - seconds * 100;
  return std::trunc(value) + (((t.Hour * 60.0 + t.Minute) * 60.0 + seconds) * 1000.0 + milliseconds) / 86'400'000.0;
}
}  // namespace

bool ClockBefore(TDateTime a, TDateTime b) { return OnGrid(a) < OnGrid(b); }
bool ClockNotAfter(TDateTime a, TDateTime b) { return OnGrid(a) <= OnGrid(b); }

std::string RomanNumeral(int n) {
  static constexpr std::pair<int, const char*> kTable[] = {
      {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
      {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
  std::string text;
  for (const auto& [value, numeral] : kTable) {
    while (n >= value) {
      text += numeral;
      n -= value;
    }
  }
  return text;
}

std::string OrdinalSuffix(int n) {
  switch (n) {
    case 1: return "st";
    case 2: return "nd";
    case 3: return "rd";
    default: return "th";
  }
}

std::string PositionName(std::string_view code) {
  static constexpr std::pair<std::string_view, const char*> kNames[] = {
      {"C", "Center"},          {"F", "Forward"},        {"G", "Guard"},
      {"FC", "Forward/Center"}, {"GF", "Guard/Forward"}, {"PF", "Power forward"},
      {"PG", "Point guard"},    {"SF", "Small forward"}, {"SG", "Shooting guard"}};
  for (const auto& [known, name] : kNames) {
    if (known == code) return name;
  }
  return "";
}

int PositionIndex(std::string_view code) {
  int found = 1;
  for (int i = 0; i < static_cast<int>(std::size(kPositionCodes)); ++i) {
    if (kPositionCodes[i] == code) found = i + 1;
  }
  return found;
}

}  // namespace velmora

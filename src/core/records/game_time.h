#pragma once
// Period arithmetic, clock texts and period captions of the game clock.

#include <string>
#include <string_view>

#include "records/date_time.h"

namespace velmora {

// The three period settings. Callers take them from the settings at each use, so that a changed
// setting applies at once.
struct TPeriodSettings {
  int NoOfQuarters = 4;
  int QuarterDuration = 10;  // minutes
  int OvertimeDuration = 5;  // minutes
};

// Sum of the lengths of periods 1 to n; 0 for n <= 0.
TDateTime PeriodEnd(const TPeriodSettings& settings, int n);
TDateTime PeriodStart(const TPeriodSettings& settings, int n);
// 2 in the first half, 3 in the second half, 1 in each overtime.
int TimeoutsAllowed(const TPeriodSettings& settings, int period);
// True when the clock stands at the end of regulation time or of an overtime.
bool AtOvertimeBoundary(const TPeriodSettings& settings, TDateTime currentGameTime);
// The count-down clock of the period at the given game clock, "mm:ss".
std::string PeriodClockText(const TPeriodSettings& settings, int period, TDateTime clock);

// "mm:ss" for playing time in seconds (62:03 past an hour); "00:00" for negative input.
std::string MinutesSecondsText(int seconds);

// Clock comparisons on a grid of 50 milliseconds.
bool ClockBefore(TDateTime a, TDateTime b);
bool ClockNotAfter(TDateTime a, TDateTime b);

std::string RomanNumeral(int n);
std::string OrdinalSuffix(int n);

// The ten position codes in the order of the roster editor's list, the empty code first.
inline constexpr std::string_view kPositionCodes[] = {"", "C", "F", "G", "FC", "GF", "PF", "PG", "SF", "SG"};
std::string PositionName(std::string_view code);
// One-based place of the code in kPositionCodes; 1 for an unknown code.
int PositionIndex(std::string_view code);

}  // namespace velmora

#include "records/game_time.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

const TPeriodSettings kDefaults;  // 4 x 10 minutes, overtime 5

TDateTime Clock(int minutes, int seconds = 0) { return EncodeTime(0, minutes, seconds); }

TEST(PeriodArithmetic, PeriodEndsAndStartsWithDefaults) {
  EXPECT_EQ(WholeSeconds(PeriodEnd(kDefaults, 1)), 10 * 60);
  EXPECT_EQ(WholeSeconds(PeriodEnd(kDefaults, 4)), 40 * 60);
  EXPECT_EQ(WholeSeconds(PeriodEnd(kDefaults, 5)), 45 * 60);
  EXPECT_EQ(WholeSeconds(PeriodEnd(kDefaults, 7)), 55 * 60);
  EXPECT_EQ(PeriodEnd(kDefaults, 0), 0.0);
  EXPECT_EQ(PeriodEnd(kDefaults, -3), 0.0);
  EXPECT_EQ(PeriodStart(kDefaults, 1), 0.0);
  EXPECT_EQ(WholeSeconds(PeriodStart(kDefaults, 5)), 40 * 60);
  EXPECT_EQ(FormatLongTime(PeriodEnd(kDefaults, 4)), "00:40:00");
}

TEST(PeriodArithmetic, FollowsOtherSettings) {
  const TPeriodSettings halves{2, 20, 3};
  EXPECT_EQ(WholeSeconds(PeriodEnd(halves, 2)), 40 * 60);
  EXPECT_EQ(WholeSeconds(PeriodEnd(halves, 3)), 43 * 60);
  EXPECT_EQ(WholeSeconds(PeriodStart(halves, 2)), 20 * 60);
}

TEST(PeriodArithmetic, TimeoutsPerSpan) {
  EXPECT_EQ(TimeoutsAllowed(kDefaults, 1), 2);
  EXPECT_EQ(TimeoutsAllowed(kDefaults, 2), 2);
  EXPECT_EQ(TimeoutsAllowed(kDefaults, 3), 3);
  EXPECT_EQ(TimeoutsAllowed(kDefaults, 4), 3);
  EXPECT_EQ(TimeoutsAllowed(kDefaults, 5), 1);
  EXPECT_EQ(TimeoutsAllowed(kDefaults, 9), 1);
  // An odd period count puts the middle period in the second half.
  const TPeriodSettings five{5, 8, 4};
  EXPECT_EQ(TimeoutsAllowed(five, 2), 2);
  EXPECT_EQ(TimeoutsAllowed(five, 3), 3);
  EXPECT_EQ(TimeoutsAllowed(five, 5), 3);
  EXPECT_EQ(TimeoutsAllowed(five, 6), 1);
}

TEST(PeriodArithmetic, OvertimeBoundaries) {
  EXPECT_FALSE(AtOvertimeBoundary(kDefaults, Clock(39, 59)));
  EXPECT_FALSE(AtOvertimeBoundary(kDefaults, Clock(30)));  // a regulation period end
  EXPECT_TRUE(AtOvertimeBoundary(kDefaults, Clock(40)));
  EXPECT_FALSE(AtOvertimeBoundary(kDefaults, Clock(42, 30)));
  EXPECT_TRUE(AtOvertimeBoundary(kDefaults, Clock(45)));
  EXPECT_TRUE(AtOvertimeBoundary(kDefaults, Clock(50)));
  const TPeriodSettings twelve{4, 12, 5};
  EXPECT_FALSE(AtOvertimeBoundary(twelve, Clock(40)));
  EXPECT_TRUE(AtOvertimeBoundary(twelve, Clock(48)));
  EXPECT_TRUE(AtOvertimeBoundary(twelve, Clock(53)));
}

TEST(PeriodClockText, CountsDownAndShowsZeroAtThePeriodsEnd) {
  EXPECT_EQ(PeriodClockText(kDefaults, 1, Clock(0)), "10:00");
  EXPECT_EQ(PeriodClockText(kDefaults, 1, Clock(3, 25)), "06:35");
  EXPECT_EQ(PeriodClockText(kDefaults, 1, Clock(10)), "00:00");
  EXPECT_EQ(PeriodClockText(kDefaults, 2, Clock(10)), "10:00");
  EXPECT_EQ(PeriodClockText(kDefaults, 4, Clock(40)), "00:00");
  EXPECT_EQ(PeriodClockText(kDefaults, 5, Clock(40)), "05:00") << "an overtime starts at its own length";
  EXPECT_EQ(PeriodClockText(kDefaults, 5, Clock(42)), "03:00");
  EXPECT_EQ(PeriodClockText(kDefaults, 5, Clock(45)), "00:00");
  EXPECT_EQ(PeriodClockText(kDefaults, 6, Clock(45)), "05:00");
  EXPECT_EQ(PeriodClockText(kDefaults, 6, Clock(49, 59)), "00:01");
  const TPeriodSettings twelve{4, 12, 5};
  EXPECT_EQ(PeriodClockText(twelve, 5, Clock(50)), "03:00");
  EXPECT_EQ(PeriodClockText(twelve, 3, Clock(30)), "06:00");
}

TEST(PeriodClockText, SurvivesDegenerateSettings) {
  EXPECT_EQ(PeriodClockText(TPeriodSettings{4, 10, 0}, 5, Clock(41)), "00:00");
  EXPECT_EQ(PeriodClockText(TPeriodSettings{4, 0, 5}, 1, Clock(0)), "00:00");
  EXPECT_TRUE(AtOvertimeBoundary(TPeriodSettings{4, 10, 0}, Clock(40)));
  EXPECT_FALSE(AtOvertimeBoundary(TPeriodSettings{4, 10, 0}, Clock(41)));
}

TEST(ClockTexts, MinutesAndSecondsOfPlayingTime) {
  EXPECT_EQ(MinutesSecondsText(0), "00:00");
  EXPECT_EQ(MinutesSecondsText(59), "00:59");
  EXPECT_EQ(MinutesSecondsText(754), "12:34");
  EXPECT_EQ(MinutesSecondsText(3599), "59:59");
  EXPECT_EQ(MinutesSecondsText(3723), "62:03");
  EXPECT_EQ(MinutesSecondsText(6000), "100:00");
  EXPECT_EQ(MinutesSecondsText(-1), "00:00");
}

TEST(ClockComparisons, WholeSecondsAndTheFiftyMillisecondGrid) {
  const TDateTime a = Clock(12, 30);
  const TDateTime b = Clock(12, 31);
  EXPECT_TRUE(ClockBefore(a, b));
  EXPECT_FALSE(ClockBefore(b, a));
  EXPECT_FALSE(ClockBefore(a, a));
  EXPECT_TRUE(ClockNotAfter(a, a));
  EXPECT_TRUE(ClockNotAfter(a, b));
  EXPECT_FALSE(ClockNotAfter(b, a));
  // A clock built up in one-second steps carries rounding noise that must not matter.
  TDateTime summed = 0;
  for (int i = 0; i < 12 * 60 + 30; ++i) summed += FromSeconds(1);
  EXPECT_FALSE(ClockBefore(summed, a));
  EXPECT_FALSE(ClockBefore(a, summed));
  // 10 ms lie inside one grid step; 30 ms reach the next one.
  const TDateTime later10 = EncodeTime(0, 12, 30, 10);
  const TDateTime later30 = EncodeTime(0, 12, 30, 30);
  EXPECT_FALSE(ClockBefore(a, later10));
  EXPECT_TRUE(ClockNotAfter(later10, a));
  EXPECT_TRUE(ClockBefore(a, later30));
}

TEST(PeriodCaptions, RomanNumeralsAndOrdinals) {
  EXPECT_EQ(RomanNumeral(1), "I");
  EXPECT_EQ(RomanNumeral(4), "IV");
  EXPECT_EQ(RomanNumeral(9), "IX");
  EXPECT_EQ(RomanNumeral(14), "XIV");
  EXPECT_EQ(RomanNumeral(40), "XL");
  EXPECT_EQ(RomanNumeral(1994), "MCMXCIV");
  EXPECT_EQ(RomanNumeral(3888), "MMMDCCCLXXXVIII");
  EXPECT_EQ(RomanNumeral(0), "");
  EXPECT_EQ(RomanNumeral(-5), "");
  EXPECT_EQ(OrdinalSuffix(1), "st");
  EXPECT_EQ(OrdinalSuffix(2), "nd");
  EXPECT_EQ(OrdinalSuffix(3), "rd");
  EXPECT_EQ(OrdinalSuffix(4), "th");
  EXPECT_EQ(OrdinalSuffix(11), "th");
  EXPECT_EQ(OrdinalSuffix(21), "th");
  EXPECT_EQ(OrdinalSuffix(0), "th");
}

TEST(Positions, NamesAndListPlaces) {
  const std::pair<const char*, const char*> names[] = {
      {"C", "Center"},         {"F", "Forward"},        {"G", "Guard"},
      {"FC", "Forward/Center"}, {"GF", "Guard/Forward"}, {"PF", "Power forward"},
      {"PG", "Point guard"},   {"SF", "Small forward"}, {"SG", "Shooting guard"}};
  for (const auto& [code, name] : names) EXPECT_EQ(PositionName(code), name) << code;
  EXPECT_EQ(PositionName(""), "");
  EXPECT_EQ(PositionName("XX"), "");

  EXPECT_EQ(PositionIndex(""), 1);
  EXPECT_EQ(PositionIndex("C"), 2);
  EXPECT_EQ(PositionIndex("PG"), 8);
  EXPECT_EQ(PositionIndex("SG"), 10);
  EXPECT_EQ(PositionIndex("XX"), 1);
}

}  // namespace
}  // namespace velmora

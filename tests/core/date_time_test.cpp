#include "records/date_time.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "locale_guard.h"
#include "records/text_utils.h"

namespace velmora {
namespace {

TDateTime Date(int year, int month, int day) {
  const auto date = EncodeDate(year, month, day);
  EXPECT_TRUE(date.has_value()) << year << '-' << month << '-' << day;
  return date.value_or(0);
}

TEST(DateEncoding, DayNumbersCountFrom1899_12_30) {
  EXPECT_EQ(Date(1899, 12, 30), 0.0);
  EXPECT_EQ(Date(1899, 12, 29), -1.0);
  EXPECT_EQ(Date(1900, 1, 1), 2.0);
  EXPECT_EQ(Date(2000, 3, 1), 36586.0);
  EXPECT_EQ(Date(2024, 2, 29), 45351.0);
  EXPECT_EQ(Date(1, 1, 1), -693593.0);
  EXPECT_EQ(Date(9999, 12, 31), 2958465.0);
}

TEST(DateEncoding, RefusesDatesThatDoNotExist) {
  const int bad[][3] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1}, {2024, 0, 1},
                        {2024, 1, 0},  {2024, 1, 32}, {0, 1, 1},     {10000, 1, 1}, {2024, -1, 1},
                        {2024, 1, -1}, {2024, 257, 1}, {2024, 1, 257}, {2024, 1, 258}};
  for (const auto& [year, month, day] : bad) {
    EXPECT_EQ(EncodeDate(year, month, day), std::nullopt) << year << '-' << month << '-' << day;
  }
}

TEST(DateEncoding, EveryDayRoundTripsThroughPartsAndText) {
  for (int day = -693593; day <= 2958465; day += 7) {
    const TDateParts parts = DecodeDate(day);
    ASSERT_EQ(EncodeDate(parts.Year, parts.Month, parts.Day), static_cast<double>(day)) << day;
    ASSERT_EQ(ParseDate(FormatDate(day)), static_cast<double>(day)) << FormatDate(day);
  }
  EXPECT_EQ(FormatDate(Date(1, 1, 1)), "0001.01.01");
  EXPECT_EQ(FormatDate(Date(9999, 12, 31)), "9999.12.31");
}

TEST(TimeEncoding, EverySecondOfTheDayRoundTrips) {
  for (int second = 0; second < 86400; ++second) {
    const TDateTime clock = FromSeconds(second);
    ASSERT_EQ(WholeSeconds(clock), second);
    const auto parsed = ParseTime(FormatLongTime(clock));
    ASSERT_TRUE(parsed.has_value()) << FormatLongTime(clock);
    ASSERT_EQ(WholeSeconds(*parsed), second);
  }
  const TTimeParts t = DecodeTime(EncodeTime(23, 59, 59, 999));
  EXPECT_EQ(t.Hour, 23);
  EXPECT_EQ(t.Minute, 59);
  EXPECT_EQ(t.Second, 59);
  EXPECT_EQ(t.Millisecond, 999);
}

TEST(TimeEncoding, DateAndTimePartsOfAValue) {
  const TDateTime value = Date(2024, 3, 7) + EncodeTime(18, 0, 0);
  EXPECT_EQ(DateOf(value), Date(2024, 3, 7));
  EXPECT_DOUBLE_EQ(TimeOf(value), 0.75);
  EXPECT_EQ(WholeSeconds(value), 18 * 3600);
  // Before 1899-12-30 the fraction still counts forward from midnight.
  EXPECT_EQ(FormatDateTime(-1.25), "1899.12.29 06:00:00");
  EXPECT_EQ(DecodeDate(-1.25).Day, 29);
  // A clock summed from one-second steps still gives whole seconds.
  TDateTime clock = 0;
  for (int i = 0; i < 2700; ++i) clock += FromSeconds(1);
  EXPECT_EQ(WholeSeconds(clock), 2700);
  EXPECT_EQ(FormatLongTime(clock), "00:45:00");
}

TEST(Formatting, FixedTexts) {
  const TDateTime day = Date(2024, 3, 7);
  const TDateTime time = EncodeTime(9, 5, 3, 700);
  EXPECT_EQ(FormatLongTime(time), "09:05:03");
  EXPECT_EQ(FormatShortTime(time), "09:05");
  EXPECT_EQ(FormatDate(day + time), "2024.03.07");
  EXPECT_EQ(FormatDateTime(day), "2024.03.07");
  EXPECT_EQ(FormatDateTime(day + EncodeTime(18, 30, 0)), "2024.03.07 18:30:00");
  EXPECT_EQ(MinutesSecondsOf(EncodeTime(0, 12, 34)), "12:34");
  EXPECT_EQ(MinutesSecondsOf(FromSeconds(3723)), "62:03");  // past the hour the minutes count on
}

TEST(Parsing, TimesInTheFixedFormat) {
  EXPECT_EQ(ParseTime("18:30"), EncodeTime(18, 30, 0));
  EXPECT_EQ(ParseTime("8:5"), EncodeTime(8, 5, 0));
  EXPECT_EQ(ParseTime("18:30:15"), EncodeTime(18, 30, 15));
  EXPECT_EQ(ParseTime("18:30:15.250"), EncodeTime(18, 30, 15, 250));
  EXPECT_EQ(ParseTime("18:30:15.5"), EncodeTime(18, 30, 15, 500));
  EXPECT_EQ(ParseTime(" 00:00:00 "), 0.0);
  for (const char* text : {"", "18", "18:", ":30", "18:30:", "18:30:15.", "24:00", "18:60", "18:30:60",
                           "18.30", "1830", "-1:00", "18:30x", "18:30:15.1234", "123:00", "18 :30"}) {
    EXPECT_EQ(ParseTime(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(Parsing, DatesAndDatesWithTimes) {
  const TDateTime day = Date(2024, 3, 7);
  EXPECT_EQ(ParseDate("2024.03.07"), day);
  EXPECT_EQ(ParseDate("2024.3.7"), day);
  EXPECT_EQ(ParseDateTime("2024.03.07"), day);
  EXPECT_EQ(ParseDateTime(" 2024.03.07 "), day);
  EXPECT_EQ(ParseDateTime("2024.03.07 18:30:15"), day + EncodeTime(18, 30, 15));
  EXPECT_EQ(ParseDateTime("2024.03.07   18:30"), day + EncodeTime(18, 30, 0));
  for (const char* text : {"", "2024", "2024.03", "2024.03.", "2024-03-07", "07.03.2024", "2024.02.30",
                           "2024.13.01", "20245.01.01", "2024.03.07x"}) {
    EXPECT_EQ(ParseDate(text), std::nullopt) << '"' << text << '"';
    EXPECT_EQ(ParseDateTime(text), std::nullopt) << '"' << text << '"';
  }
  for (const char* text : {"2024.03.07T18:30", "2024.03.07 18", "2024.03.07 25:00", "2024.03.07 18:30 x",
                           "2024.03.0718:30"}) {
    EXPECT_EQ(ParseDateTime(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(Parsing, FormattedDateTimesReadBackUnchanged) {
  // Before 1899-12-30 the day number is negative and the time of day is subtracted from it.
  const TDateTime values[] = {
      Date(2024, 3, 7) + EncodeTime(18, 30, 15), Date(1999, 12, 31) + EncodeTime(23, 59, 59),
      Date(1985, 6, 1),                          Date(2000, 2, 29) + EncodeTime(0, 0, 1),
      Date(1899, 12, 30) + EncodeTime(12, 0, 0), Date(1850, 5, 17) - EncodeTime(6, 0, 0),
      Date(1, 1, 1) - EncodeTime(1, 2, 3)};
  for (const TDateTime value : values) {
    const std::string text = FormatDateTime(value);
    const auto parsed = ParseDateTime(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ(FormatDateTime(*parsed), text);
    EXPECT_DOUBLE_EQ(*parsed, value) << text;
  }
}

TEST(Clock, NowIsTheLocalDateAndTime) {
  const std::time_t before = std::time(nullptr);
  const TDateTime now = Now();
  std::tm local{};
  localtime_r(&before, &local);
  char expected[40];
  std::snprintf(expected, sizeof expected, "%04d.%02d.%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  if (local.tm_hour == 23 && local.tm_min == 59) GTEST_SKIP() << "too close to midnight";
  EXPECT_EQ(FormatDate(now), expected);
  EXPECT_EQ(Today(), DateOf(now));
  EXPECT_NEAR(WholeSeconds(now), local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec, 2);
}

TEST(Locale, FixedFormatsIgnoreTheUserLocale) {
  testing::TLocaleGuard german(testing::kDecimalCommaLocale);
  ASSERT_TRUE(german.Active()) << testing::kDecimalCommaLocaleMissing;
  const TDateTime value = Date(2024, 3, 7) + EncodeTime(18, 30, 15, 500);
  EXPECT_EQ(FormatDateTime(value), "2024.03.07 18:30:15");
  EXPECT_EQ(FormatShortTime(value), "18:30");
  EXPECT_EQ(ParseDateTime("2024.03.07 18:30:15.5"), value);
  EXPECT_EQ(ParseTime("18:30"), EncodeTime(18, 30, 0));
  // Numbers in documents keep the decimal point, too.
  EXPECT_EQ(ParseDecimal("1.98"), 1.98);
  EXPECT_EQ(ParseDecimal("1,98"), std::nullopt);
}

}  // namespace
}  // namespace velmora

#pragma once
// Date-time values as day fractions (days since 1899-12-30; the fraction is the time of day) and
// their fixed text formats. Nothing here depends on the user's locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

using TDateTime = double;

struct TTimeParts {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

struct TDateParts {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
};

TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
// Time of day of the value, rounded to the millisecond.
TTimeParts DecodeTime(TDateTime value);
// None for a date outside years 1 to 9999 or a day that the month does not have.
std::optional<TDateTime> EncodeDate(int year, int month, int day);
TDateParts DecodeDate(TDateTime value);

TDateTime DateOf(TDateTime value);  // midnight of the value's day
TDateTime TimeOf(TDateTime value);  // the time of day alone

// The whole seconds of the time of day: hours * 3600 + minutes * 60 + seconds.
int WholeSeconds(TDateTime clock);
TDateTime FromSeconds(int seconds);

// The current local date and time, and today's date at midnight.
TDateTime Now();
TDateTime Today();

std::string FormatLongTime(TDateTime value);   // "hh:mm:ss"
std::string FormatShortTime(TDateTime value);  // "hh:mm"
std::string FormatDate(TDateTime value);       // "yyyy.MM.dd"
// "yyyy.MM.dd", and " hh:mm:ss" when the time of day is not zero.
std::string FormatDateTime(TDateTime value);
// "mm:ss" of the clock; past an hour the minutes count on (62:03).
std::string MinutesSecondsOf(TDateTime clock);

// "h:m" or "h:m:s" with an optional ".zzz" (one or two digits each); none when unreadable.
std::optional<TDateTime> ParseTime(std::string_view text);
// "yyyy.M.d"; none when unreadable.
std::optional<TDateTime> ParseDate(std::string_view text);
// A date, optionally followed by blanks and a time.
std::optional<TDateTime> ParseDateTime(std::string_view text);

}  // namespace velmora

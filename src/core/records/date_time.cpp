#include "records/date_time.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "records/text_utils.h"

namespace velmora {

namespace {

constexpr double kMillisecondsPerDay = 86'400'000.0;
// Day number of 1899-12-30 in days since 1970-01-01.
constexpr int kEpochOffset = -25569;

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

}  // namespace

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMillisecondsPerDay;
}

TTimeParts DecodeTime(TDateTime value) {
  const double fraction = std::fabs(value - std::trunc(value));
  auto ms = static_cast<std::int64_t>(std::round(fraction * kMillisecondsPerDay));
  if (ms >= 86'400'000) ms = 86'399'999;
  TTimeParts parts;
  parts.Millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  parts.Second = static_cast<int>(ms % 60);
  ms /= 60;
  parts.Minute = static_cast<int>(ms % 60);
  parts.Hour = static_cast<int>(ms / 60);
  return parts;
}

std::optional<TDateTime> EncodeDate(int year, int month, int day) {
  using namespace std::chrono;
  // Checked here because chrono keeps only the low byte of month and day numbers.
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  const year_month_day ymd{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                           std::chrono::day(static_cast<unsigned>(day))};
  if (!ymd.ok()) return std::nullopt;
  return static_cast<double>(sys_days(ymd).time_since_epoch().count() - kEpochOffset);
}

TDateParts DecodeDate(TDateTime value) {
  using namespace std::chrono;
  const auto dayNumber = static_cast<int>(std::trunc(value)) + kEpochOffset;
  const year_month_day ymd{sys_days(days(dayNumber))};
  return TDateParts{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                    static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

TDateTime DateOf(TDateTime value) { return std::trunc(value); }
TDateTime TimeOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

int WholeSeconds(TDateTime clock) {
  const TTimeParts t = DecodeTime(clock);
  return t.Hour * 3600 + t.Minute * 60 + t.Second;
}

TDateTime FromSeconds(int seconds) { return seconds / 86400.0; }

TDateTime Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const auto date = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return date.value_or(0) + EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
}

TDateTime Today() { return DateOf(Now()); }

std::string FormatLongTime(TDateTime value) {
  const TTimeParts t = DecodeTime(value);
  return TwoDigits(t.Hour) + ':' + TwoDigits(t.Minute) + ':' + TwoDigits(t.Second);
}

std::string FormatShortTime(TDateTime value) {
  const TTimeParts t = DecodeTime(value);
  return TwoDigits(t.Hour) + ':' + TwoDigits(t.Minute);
}

std::string FormatDate(TDateTime value) {
  const TDateParts d = DecodeDate(value);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d.%02d.%02d", d.Year, d.Month, d.Day);
  return buffer;
}

std::string FormatDateTime(TDateTime value) {
  std::string text = FormatDate(value);
  const TTimeParts t = DecodeTime(value);
  if (t.Hour != 0 || t.Minute != 0 || t.Second != 0 || t.Millisecond != 0) {
    text += ' ' + FormatLongTime(value);
  }
  return text;
}

std::string MinutesSecondsOf(TDateTime clock) {
  // Past the hour the minutes go on counting (62:03), so that a long game never shows 02:03.
  const TTimeParts t = DecodeTime(clock);
  return TwoDigits(t.Hour * 60 + t.Minute) + ':' + TwoDigits(t.Second);
}

namespace {

// Reads 1 to `maxDigits` decimal digits at `pos`.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, int maxDigits) {
  int value = 0;
  int digits = 0;
  while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos < text.size() && text[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

std::optional<TDateTime> ParseTimeAt(std::string_view text, std::size_t& pos) {
  const auto hour = ReadNumber(text, pos, 2);
  if (!hour || !Expect(text, pos, ':')) return std::nullopt;
  const auto minute = ReadNumber(text, pos, 2);
  if (!minute) return std::nullopt;
  int second = 0;
  int millisecond = 0;
  if (Expect(text, pos, ':')) {
    const auto s = ReadNumber(text, pos, 2);
    if (!s) return std::nullopt;
    second = *s;
    if (Expect(text, pos, '.')) {
      const std::size_t start = pos;
      const auto ms = ReadNumber(text, pos, 3);
      if (!ms) return std::nullopt;
      millisecond = *ms;
      for (std::size_t digits = pos - start; digits < 3; ++digits) millisecond *= 10;
    }
  }
  if (*hour > 23 || *minute > 59 || second > 59) return std::nullopt;
  return EncodeTime(*hour, *minute, second, millisecond);
}

std::optional<TDateTime> ParseDateAt(std::string_view text, std::size_t& pos) {
  const auto year = ReadNumber(text, pos, 4);
  if (!year || !Expect(text, pos, '.')) return std::nullopt;
  const auto month = ReadNumber(text, pos, 2);
  if (!month || !Expect(text, pos, '.')) return std::nullopt;
  const auto day = ReadNumber(text, pos, 2);
  if (!day) return std::nullopt;
  return EncodeDate(*year, *month, *day);
}

}  // namespace

std::optional<TDateTime> ParseTime(std::string_view text) {
  text = Trimmed(text);
  std::size_t pos = 0;
  const auto value = ParseTimeAt(text, pos);
  if (!value || pos != text.size()) return std::nullopt;
  return value;
}

std::optional<TDateTime> ParseDate(std::string_view text) {
  text = Trimmed(text);
  std::size_t pos = 0;
  const auto value = ParseDateAt(text, pos);
  if (!value || pos != text.size()) return std::nullopt;
  return value;
}

std::optional<TDateTime> ParseDateTime(std::string_view text) {
  text = Trimmed(text);
  std::size_t pos = 0;
  const auto date = ParseDateAt(text, pos);
  if (!date) return std::nullopt;
  if (pos == text.size()) return date;
  if (text[pos] != ' ') return std::nullopt;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  const auto time = ParseTimeAt(text, pos);
  if (!time || pos != text.size()) return std::nullopt;
  // Before 1899-12-30 the day number is negative and the time of day counts away from zero.
  return *date < 0 ? *date - *time : *date + *time;
}

}  // namespace velmora

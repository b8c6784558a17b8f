#pragma once
// Small text and number functions shared by the whole program.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Without leading and trailing blanks and control characters (bytes up to 32).
std::string_view Trimmed(std::string_view text);
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// Optional sign and decimal digits, fitting 32 bits; none otherwise.
std::optional<std::int32_t> ParseInt32(std::string_view text);
// "True"/"False" in any letter case, or an integer (0 false, any other true).
std::optional<bool> ParseBool(std::string_view text);
std::string BoolText(bool value);  // "True" or "False"
// A decimal number with a point ("1.98", "-2", "2e3"); none otherwise.
std::optional<double> ParseDecimal(std::string_view text);

// The text trimmed, then cut at each separator into trimmed parts; a trailing separator adds
// nothing, a leading one gives an empty first part.
std::vector<std::string> SplitTrimmed(std::string_view text, char separator);

// ASCII letters and digits kept, a blank as "+", every other byte as "%XX".
std::string UrlEncode(std::string_view bytes);

// Every byte as two lower-case hexadecimal digits.
std::string HexText(std::string_view bytes);

// CRC-16 (reflected polynomial 0xA001, initial 0) over the bytes except 255, then CR and LF.
std::uint16_t LineChecksum(std::string_view bytes);

// A 24-bit colour (low byte first) from hue in degrees and saturation and value in 0..1.
std::uint32_t HsvToColor(double h, double s, double v);

int IntMax(int a, int b);
int IntMin(int a, int b);
int Average3(int a, int b, int c);

// 3 when the court position ("x+y") lies on or beyond the three-point arc, else 2; none when the
// text is not two integers joined by "+".
std::optional<int> PointsFromPosition(std::string_view coordinates);

}  // namespace velmora

#include "records/text_utils.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "records/court_map.h"

namespace velmora {

std::string_view Trimmed(std::string_view text) {
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  // A leading plus is allowed, but not in front of a minus.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<bool> ParseBool(std::string_view text) {
  const std::string lower = ToLowerAscii(text);
  if (lower == "true") return true;
  if (lower == "false") return false;
  if (const auto number = ParseInt32(text)) return *number != 0;
  return std::nullopt;
}

std::string BoolText(bool value) { return value ? "True" : "False"; }

std::optional<double> ParseDecimal(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::vector<std::string> SplitTrimmed(std::string_view text, char separator) {
  std::vector<std::string> parts;
  text = Trimmed(text);
  while (!text.empty()) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) {
      parts.emplace_back(Trimmed(text));
      break;
    }
    parts.emplace_back(Trimmed(text.substr(0, at)));
    text = Trimmed(text.substr(at + 1));
  }
  return parts;
}

std::string UrlEncode(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')) {
      out += c;
    } else if (byte == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

std::string HexText(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0x0F];
  }
  return hex;
}

namespace {
std::uint16_t Crc16Step(std::uint16_t crc, unsigned char byte) {
  crc ^= byte;
  for (int bit = 0; bit < 8; ++bit) {
    const bool carry = (crc & 1) != 0;
    crc = static_cast<std::uint16_t>(crc >> 1);
    if (carry) crc ^= 0xA001;
  }
  return crc;
}
}  // namespace

std::uint16_t LineChecksum(std::string_view bytes) {
  std::uint16_t crc = 0;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte != 255) crc = Crc16Step(crc, byte);
  }
  crc = Crc16Step(crc, 13);
  return Crc16Step(crc, 10);
}

std::uint32_t HsvToColor(double h, double s, double v) {
  const auto toByte = [](double value) { return static_cast<std::uint32_t>(std::nearbyint(value * 255)); };
  double low;
  double middle;
  double high;
  if (s == 0) {
    low = middle = high = v;
  } else {
    const int i = static_cast<int>(std::trunc(h / 60));
    const double f = h / 60 - i;
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (i) {
      case 0: low = p, middle = t, high = v; break;
      case 1: low = p, middle = v, high = q; break;
      case 2: low = t, middle = v, high = p; break;
      case 3: low = v, middle = q, high = p; break;
      case 4: low = v, middle = p, high = t; break;
      case 5: low = q, middle = p, high = v; break;
      default: low = middle = high = v; break;
    }
  }
  return toByte(low) + toByte(middle) * 256 + toByte(high) * 65536;
}

int IntMax(int a, int b) { return a > b ? a : b; }
int IntMin(int a, int b) { return a < b ? a : b; }
int Average3(int a, int b, int c) { return (a + b + c) / 3; }

std::optional<int> PointsFromPosition(std::string_view coordinates) {
  const auto point = ParseCoordinates(coordinates);
  if (!point) return std::nullopt;
  const double dx = static_cast<double>(point->X) - kBasketX;
  const double dy = static_cast<double>(point->Y) - kBasketY;
  return std::sqrt(dx * dx + dy * dy) >= kThreePointDistance ? 3 : 2;
}

}  // namespace velmora

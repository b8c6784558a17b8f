#include "storage_engine.h"

#include <charconv>

namespace velmora::statserver {

std::optional<std::int64_t> TSqlRows::IntegerIfReadable(int column) const {
  if (IsNull(column)) return std::nullopt;
  const std::string text = Text(column);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::optional<double> TSqlRows::RealIfReadable(int column) const {
  if (IsNull(column)) return std::nullopt;
  const std::string text = Text(column);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

bool IsPostgresLocation(std::string_view location) {
  return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

}  // namespace velmora::statserver

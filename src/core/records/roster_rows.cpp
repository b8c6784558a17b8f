#include "records/roster_rows.h"

#include <array>
#include <charconv>
#include <set>

#include "records/text_utils.h"

namespace velmora {

namespace {
// Two decimals with a point, whatever the C library's locale.
std::string TwoDecimals(double value) {
  std::array<char, 64> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 2);
  return error == std::errc() ? std::string(text.data(), end) : std::string();
}
}  // namespace

TRosterRow RosterRowOf(const TPlayer& player) {
  TRosterRow row;
  row.Number = ShirtText(player.Number);
  row.Id = player.ID;
  row.Name = player.Name;
  row.Surname = player.Surname;
  row.Height = player.Height > 0 ? TwoDecimals(player.Height) : std::string();
  row.Position = player.Position;
  row.Born = player.Birth_date > 0 ? FormatDate(player.Birth_date) : std::string();
  row.Club = player.Club;
  row.LocalId = player.LocalId;
  row.Active = player.Active;
  row.Disabled = player.Disabled;
  return row;
}

std::vector<TRosterRow> RosterRowsOf(const TTeam& team) {
  std::vector<TRosterRow> rows;
  for (int slot = 1; slot <= team.PlayerCount; ++slot) rows.push_back(RosterRowOf(team.Player(slot)));
  return rows;
}

std::optional<std::int32_t> ShirtValue(std::string_view text) {
  const std::string_view trimmed = Trimmed(text);
  if (trimmed == "00") return kShirtDoubleZero;
  if (trimmed == "0") return kShirtZero;
  return ParseInt32(trimmed);
}

std::string HeightText(std::string_view typed) {
  const auto height = ParseDecimal(Trimmed(typed));
  return height ? TwoDecimals(*height) : std::string();
}

std::string EditedCellText(int column, std::string_view typed) {
  if (Trimmed(typed) == ".") return {};
  constexpr int kHeightColumn = 4;
  return column == kHeightColumn ? HeightText(typed) : std::string(typed);
}

std::vector<std::string> RosterErrors(const std::vector<TRosterRow>& rows, const TRosterLimits& limits) {
  bool valid = true;
  int size = 0;
  std::array<bool, kShirtZero + 1> used{};
  for (const TRosterRow& row : rows) {
    if (Trimmed(row.Number).empty()) continue;
    const auto value = ShirtValue(row.Number);
    if (!value) {
      valid = false;
      continue;
    }
    ++size;
    if (*value < limits.MinShirtNumber || *value > kShirtZero) valid = false;
    if (*value >= 0 && *value <= kShirtZero) {
      if (used[static_cast<std::size_t>(*value)]) valid = false;
      used[static_cast<std::size_t>(*value)] = true;
    }
  }

  std::vector<std::string> errors;
  if (!valid) {
    errors.push_back("All shirt numbers must be between " + std::to_string(limits.MinShirtNumber) + " and " +
                     std::to_string(limits.MaxShirtNumber) + " and unique.");
  }
  if (size < limits.MinPlayers || size > limits.MaxPlayers) {
    errors.push_back("There must beetween " + std::to_string(limits.MinPlayers) + " and " +
                     std::to_string(limits.MaxPlayers) + " players in each team.");
  }
  std::set<std::string> ids;
  for (const TRosterRow& row : rows) {
    const std::string id = ToLowerAscii(row.Id);
    if (id.empty()) continue;
    if (!ids.insert(id).second) {
      errors.push_back("The same player could not be selected twice.");
      break;
    }
  }
  return errors;
}

void WriteRoster(const std::vector<TRosterRow>& rows, TTeam& team) {
  team.PlayerCount = 0;
  for (const TRosterRow& row : rows) {
    if (Trimmed(row.Number).empty()) continue;
    if (team.PlayerCount == TTeam::kMaxPlayers) break;
    TPlayer& player = team.Player(++team.PlayerCount);
    player = TPlayer{};
    player.Number = ShirtValue(row.Number).value_or(0);
    player.Name = row.Name;
    player.Surname = row.Surname;
    player.ID = row.Id;
    player.Height = ParseDecimal(Trimmed(row.Height)).value_or(0);
    player.Position = row.Position;
    player.Birth_date = ParseDate(Trimmed(row.Born)).value_or(0);
    player.Club = row.Club;
    player.LocalId = row.LocalId;
    player.Active = row.Active;
    player.Disabled = row.Disabled;
  }
}

}  // namespace velmora

#pragma once
// A roster as the match editor's grid holds it, one row of texts per player: what the cells show,
// how a typed value is kept, the checks before saving, and the roster rebuilt from the rows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/team.h"

namespace velmora {

struct TRosterRow {
  std::string Number;  // as shown: "0", "00", "7"
  std::string Id;      // the player's ID on the server
  std::string Name;
  std::string Surname;
  std::string Height;    // "1.98", or empty
  std::string Position;  // a position code
  std::string Born;      // "yyyy.MM.dd", or empty
  std::string Club;
  // Not shown; they stay with the player when rows move.
  std::int32_t LocalId = 0;
  bool Active = false;
  bool Disabled = false;
};

TRosterRow RosterRowOf(const TPlayer& player);
// The rows of players 1 to PlayerCount.
std::vector<TRosterRow> RosterRowsOf(const TTeam& team);

// 210 for "0", 200 for "00", else the integer; none when the (trimmed) text is not an integer.
std::optional<std::int32_t> ShirtValue(std::string_view text);
// A height as the grid keeps it: two decimals ("1.80" for "1.8"); empty when it is not a number.
std::string HeightText(std::string_view typed);
// What a cell keeps when its editing ends: an empty height mask (".") empties it, and the height
// column holds two decimals.
std::string EditedCellText(int column, std::string_view typed);

struct TRosterLimits {
  int MinShirtNumber = 4;
  int MaxShirtNumber = 15;
  int MinPlayers = 5;
  int MaxPlayers = 12;
};

// The messages of the checks before saving, in the order they are shown; none when the rows pass.
// Rows without a shirt number do not count. Shirt numbers run from MinShirtNumber to the code of
// "0" (210); the message names the settings' range.
std::vector<std::string> RosterErrors(const std::vector<TRosterRow>& rows, const TRosterLimits& limits);

// Rebuilds the team's roster from the rows that have a shirt number, in row order, at most
// TTeam::kMaxPlayers of them. The team's other fields stay.
void WriteRoster(const std::vector<TRosterRow>& rows, TTeam& team);

}  // namespace velmora

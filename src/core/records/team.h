#pragma once
// Roster entries and teams, with their XML form.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "records/date_time.h"

namespace velmora {

// Shirt numbers "0" and "00" are stored as these values.
inline constexpr std::int32_t kShirtZero = 210;
inline constexpr std::int32_t kShirtDoubleZero = 200;

// The shown text of a stored shirt number: "0" for 210, "00" for 200, else the number.
std::string ShirtText(std::int32_t number);
// The same mapping on a number given as text ("210" -> "0", "200" -> "00", other text unchanged).
std::string ShirtText(std::string_view number);

struct TPlayer;
// How lists and buttons name a player: shirt, first initial and surname ("7. J. Smith").
std::string PlayerCaption(const TPlayer& player);

struct TPlayer {
  std::int32_t LocalId = 0;
  std::string ID;
  std::int32_t Number = 0;
  std::string Name;
  std::string Surname;
  double Height = 0;
  std::string Position;
  TDateTime Birth_date = 0;
  std::string Club;
  bool Active = false;
  bool Disabled = false;
};

class TTeam {
 public:
  static constexpr int kMaxPlayers = 30;

  TTeam() = default;
  // Copies the texts, flags, colour and the players of slots 1 to PlayerCount.
  TTeam(const TTeam& other);
  TTeam& operator=(const TTeam& other);

  void Reset();

  // Roster slot, 1 to kMaxPlayers.
  TPlayer& Player(int slot) { return Players[static_cast<std::size_t>(slot - 1)]; }
  const TPlayer& Player(int slot) const { return Players[static_cast<std::size_t>(slot - 1)]; }

  // Slot (1 to PlayerCount) of the last player wearing the number given as text; -1 when none.
  int PlayerIndex(std::string_view shirtNumber) const;
  // The last player with this server ID, if any.
  const TPlayer* FindPlayerById(std::string_view id) const;

  // Reads the team and its roster; never raises. False when the element holds more players than a
  // team can (the first kMaxPlayers are kept).
  bool ReadXml(const pugi::xml_node& element);
  // Appends "TEAM1" or "TEAM2" with its players to `parent`.
  pugi::xml_node ToXml(pugi::xml_node parent, int teamNumber) const;

  std::string Coach;
  std::string Name;
  std::string Shortname;
  std::string ID;
  std::string Logo;
  std::int32_t Color = -1;
  std::array<TPlayer, kMaxPlayers> Players{};
  std::int32_t PlayerCount = 0;
  bool Tracked = true;
  std::int32_t TeamFouls = 0;
};

}  // namespace velmora

#pragma once
// The match information of one game: key, date, venue, officials, clock and both teams.

#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "records/date_time.h"
#include "records/game_time.h"
#include "records/team.h"

namespace velmora {

// Where a game is kept.
enum TAvailability : std::uint8_t { kLocalOnly = 0, kOnlineOnly = 1, kLocalAndOnline = 2 };

class TMatchInfo {
 public:
  TMatchInfo();
  // A deep copy; the copy is never Empty.
  TMatchInfo(const TMatchInfo& other);
  TMatchInfo& operator=(const TMatchInfo& other);

  // Today's date, empty texts, both teams reset, clock 0, Running 1, Empty; Availability is kept.
  void Reset();

  // Team 1 for number 1, team 2 for any other number.
  TTeam& Team(int number) { return number == 1 ? Team1 : Team2; }
  const TTeam& Team(int number) const { return number == 1 ? Team1 : Team2; }
  bool IsTracked(int teamNumber) const;

  // Reads a MATCHINFO element; never raises. Empty becomes false, or true when a part could not
  // be read (what was read stays).
  void ReadXml(const pugi::xml_node& element);
  // Appends MATCHINFO to `parent`; nothing (an empty node) when Empty. The period settings are
  // written as the informative "cfg_" attributes.
  pugi::xml_node ToXml(pugi::xml_node parent, const TPeriodSettings& periods) const;

  // Each roster in ascending shirt order, "0" and "00" last.
  void SortRosters();

  bool AtOvertimeBoundary(const TPeriodSettings& periods) const;

  TDateTime Time = 0;
  std::string GameNumber;
  std::string Place;
  std::string Field;
  std::string Referee1;
  std::string Referee2;
  std::string Referee3;
  std::string Referee4;
  std::string Commissioner;
  TTeam Team1;
  TTeam Team2;
  TDateTime CurrentGameTime = 0;
  std::string Competition;
  std::int32_t Spectators = 0;
  std::int32_t TV = 0;
  bool Empty = true;
  std::int32_t Running = 1;
  std::uint8_t Availability = kLocalOnly;
};

}  // namespace velmora

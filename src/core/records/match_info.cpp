#include "records/match_info.h"

#include <utility>

#include "records/text_utils.h"
#include "records/xml_text.h"

namespace velmora {

TMatchInfo::TMatchInfo() { Reset(); }

TMatchInfo::TMatchInfo(const TMatchInfo& other) { *this = other; }

TMatchInfo& TMatchInfo::operator=(const TMatchInfo& other) {
  if (this == &other) return *this;
  Time = other.Time;
  GameNumber = other.GameNumber;
  Place = other.Place;
  Field = other.Field;
  Referee1 = other.Referee1;
  Referee2 = other.Referee2;
  Referee3 = other.Referee3;
  Referee4 = other.Referee4;
  Commissioner = other.Commissioner;
  Team1 = other.Team1;
  Team2 = other.Team2;
  CurrentGameTime = other.CurrentGameTime;
  Competition = other.Competition;
  Spectators = other.Spectators;
  TV = other.TV;
  Running = other.Running;
  Availability = other.Availability;
  Empty = false;
  return *this;
}

void TMatchInfo::Reset() {
  Time = Today();
  GameNumber.clear();
  Place.clear();
  Field.clear();
  Referee1.clear();
  Referee2.clear();
  Referee3.clear();
  Referee4.clear();
  Commissioner.clear();
  Competition.clear();
  Team1.Reset();
  Team2.Reset();
  CurrentGameTime = 0;
  Spectators = 0;
  TV = 0;
  Running = 1;
  Empty = true;
}

bool TMatchInfo::IsTracked(int teamNumber) const {
  if (teamNumber == 1) return Team1.Tracked;
  if (teamNumber == 2) return Team2.Tracked;
  return false;
}

void TMatchInfo::ReadXml(const pugi::xml_node& element) {
  Place = Attribute(element, "Place");
  GameNumber = Attribute(element, "GameNumber");
  Field = Attribute(element, "Field");
  Referee1 = Attribute(element, "Referee1");
  Referee2 = Attribute(element, "Referee2");
  Referee3 = Attribute(element, "Referee3");
  Referee4 = Attribute(element, "Referee4");
  Commissioner = Attribute(element, "Commissioner");
  Competition = Attribute(element, "Competition");
  Spectators = ParseInt32(Attribute(element, "Spectators", "0")).value_or(0);
  TV = ParseInt32(Attribute(element, "TV", "0")).value_or(0);
  Time = ParseDateTime(Attribute(element, "Time")).value_or(Today());
  // The hours are kept: three overtimes of a 48-minute game run past 60:00.
  CurrentGameTime = ParseTime(Attribute(element, "CurrentGameTime")).value_or(0);

  Empty = false;
  pugi::xml_node first = element.first_child();
  while (first && first.type() != pugi::node_element) first = first.next_sibling();
  pugi::xml_node second = first ? first.next_sibling() : pugi::xml_node();
  while (second && second.type() != pugi::node_element) second = second.next_sibling();
  if (!first || !Team1.ReadXml(first)) {
    Empty = true;
    return;
  }
  if (!second || !Team2.ReadXml(second)) Empty = true;
}

pugi::xml_node TMatchInfo::ToXml(pugi::xml_node parent, const TPeriodSettings& periods) const {
  if (Empty) return {};
  pugi::xml_node element = parent.append_child("MATCHINFO");
  element.append_attribute("Time") = FormatDateTime(Time).c_str();
  element.append_attribute("GameNumber") = GameNumber.c_str();
  element.append_attribute("Place") = Place.c_str();
  element.append_attribute("Field") = Field.c_str();
  element.append_attribute("Referee1") = Referee1.c_str();
  element.append_attribute("Referee2") = Referee2.c_str();
  element.append_attribute("Referee3") = Referee3.c_str();
  element.append_attribute("Referee4") = Referee4.c_str();
  element.append_attribute("Commissioner") = Commissioner.c_str();
  element.append_attribute("Competition") = Competition.c_str();
  element.append_attribute("Spectators") = std::to_string(Spectators).c_str();
  element.append_attribute("TV") = std::to_string(TV).c_str();
  element.append_attribute("CurrentGameTime") = FormatLongTime(CurrentGameTime).c_str();
  Team1.ToXml(element, 1);
  Team2.ToXml(element, 2);
  element.append_attribute("cfg_no_of_quarters") = std::to_string(periods.NoOfQuarters).c_str();
  element.append_attribute("cfg_quarter_duration") = std::to_string(periods.QuarterDuration).c_str();
  element.append_attribute("cfg_overtime_duration") = std::to_string(periods.OvertimeDuration).c_str();
  return element;
}

void TMatchInfo::SortRosters() {
  const auto sort = [](TTeam& team, bool skipUnnumbered) {
    for (int i = 1; i <= team.PlayerCount; ++i) {
      for (int j = 1; j <= team.PlayerCount; ++j) {
        const bool exchange =
            team.Player(i).Number < team.Player(j).Number && (!skipUnnumbered || team.Player(i).Number > 0);
        if (exchange) std::swap(team.Player(i), team.Player(j));
      }
    }
  };
  sort(Team1, true);
  sort(Team2, false);
}

bool TMatchInfo::AtOvertimeBoundary(const TPeriodSettings& periods) const {
  return velmora::AtOvertimeBoundary(periods, CurrentGameTime);
}

}  // namespace velmora

#include "records/team.h"

#include "records/text_utils.h"
#include "records/xml_text.h"

namespace velmora {

std::string ShirtText(std::int32_t number) {
  if (number == kShirtZero) return "0";
  if (number == kShirtDoubleZero) return "00";
  return std::to_string(number);
}

std::string ShirtText(std::string_view number) {
  if (number == "210") return "0";
  if (number == "200") return "00";
  return std::string(number);
}

TTeam::TTeam(const TTeam& other) { *this = other; }

TTeam& TTeam::operator=(const TTeam& other) {
  if (this == &other) return *this;
  Coach = other.Coach;
  Name = other.Name;
  Shortname = other.Shortname;
  ID = other.ID;
  Logo = other.Logo;
  Tracked = other.Tracked;
  TeamFouls = other.TeamFouls;
  PlayerCount = other.PlayerCount;
  Color = other.Color;
  Players = {};
  for (int slot = 1; slot <= PlayerCount; ++slot) Player(slot) = other.Player(slot);
  return *this;
}

void TTeam::Reset() {
  for (TPlayer& player : Players) {
    player.ID.clear();
    player.Number = 0;
    player.Name.clear();
    player.Surname.clear();
    player.Active = false;
  }
  PlayerCount = 0;
  Coach.clear();
  Name.clear();
  Shortname.clear();
  ID.clear();
  Logo.clear();
  Tracked = false;
  TeamFouls = 0;
}

int TTeam::PlayerIndex(std::string_view shirtNumber) const {
  const auto number = ParseInt32(shirtNumber);
  if (!number) return -1;
  int found = -1;
  for (int slot = 1; slot <= PlayerCount; ++slot) {
    if (Player(slot).Number == *number) found = slot;
  }
  return found;
}

const TPlayer* TTeam::FindPlayerById(std::string_view id) const {
  const TPlayer* found = nullptr;
  for (int slot = 1; slot <= PlayerCount; ++slot) {
    if (Player(slot).ID == id) found = &Player(slot);
  }
  return found;
}

bool TTeam::ReadXml(const pugi::xml_node& element) {
  ID = Attribute(element, "ID");
  Name = Attribute(element, "Name");
  Logo = Attribute(element, "Logo");
  Shortname = Attribute(element, "Shortname");
  Color = ParseInt32(Attribute(element, "Color", "-1")).value_or(-1);

  PlayerCount = 0;
  bool fits = true;
  for (const pugi::xml_node& node : element.children()) {
    if (node.type() != pugi::node_element) continue;
    if (PlayerCount == kMaxPlayers) {
      fits = false;
      break;
    }
    TPlayer& player = Player(PlayerCount + 1);
    player.ID = Attribute(node, "ID");
    player.Number = ParseInt32(Attribute(node, "Number", "0")).value_or(0);
    player.Name = Attribute(node, "Name");
    player.Surname = Attribute(node, "Surname");
    player.Height = ParseDecimal(Attribute(node, "Height", "0.0")).value_or(0);
    player.Position = Attribute(node, "Position");
    player.Birth_date = ParseDateTime(Attribute(node, "Birth_date")).value_or(0);
    const auto active = ParseBool(Attribute(node, "Active", "False"));
    const auto disabled = ParseBool(Attribute(node, "Disabled", "False"));
    player.Club = Attribute(node, "Club");
    if (!active || !disabled) continue;
    player.Active = *active;
    player.Disabled = *disabled;
    ++PlayerCount;
  }
  Coach = Attribute(element, "Coach") + ' ';
  return fits;
}

pugi::xml_node TTeam::ToXml(pugi::xml_node parent, int teamNumber) const {
  pugi::xml_node element = parent.append_child(("TEAM" + std::to_string(teamNumber)).c_str());
  element.append_attribute("Coach") = std::string(Trimmed(Coach)).c_str();
  element.append_attribute("ID") = ID.c_str();
  element.append_attribute("Name") = Name.c_str();
  element.append_attribute("Logo") = Logo.c_str();
  element.append_attribute("Shortname") = Shortname.c_str();
  for (int slot = 1; slot <= PlayerCount; ++slot) {
    const TPlayer& player = Player(slot);
    pugi::xml_node node = element.append_child(("PLAYER" + std::to_string(slot)).c_str());
    node.append_attribute("ID") = player.ID.c_str();
    node.append_attribute("Number") = std::to_string(player.Number).c_str();
    node.append_attribute("Name") = player.Name.c_str();
    node.append_attribute("Surname") = player.Surname.c_str();
    node.append_attribute("Active") = BoolText(player.Active).c_str();
    node.append_attribute("Disabled") = BoolText(player.Disabled).c_str();
  }
  return element;
}

std::string PlayerCaption(const TPlayer& player) {
  // The initial is a whole character, also when the name starts with an accented letter.
  std::size_t initial = player.Name.empty() ? 0 : 1;
  while (initial < player.Name.size() && (static_cast<unsigned char>(player.Name[initial]) & 0xC0) == 0x80) ++initial;
  return ShirtText(player.Number) + ". " + player.Name.substr(0, initial) + ". " + player.Surname;
}

}  // namespace velmora

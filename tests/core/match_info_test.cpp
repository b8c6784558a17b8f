#include <gtest/gtest.h>

#include <sstream>

#include "records/match_info.h"

namespace velmora {
namespace {

std::vector<std::string> AttributeNames(const pugi::xml_node& node) {
  std::vector<std::string> names;
  for (const pugi::xml_attribute& attribute : node.attributes()) names.emplace_back(attribute.name());
  return names;
}

// Parses `xml` into `document` and returns its root element.
pugi::xml_node Parse(pugi::xml_document& document, const std::string& xml) {
  EXPECT_TRUE(document.load_string(xml.c_str()));
  return document.document_element();
}

std::string Text(const pugi::xml_document& document) {
  std::ostringstream text;
  document.save(text);
  return text.str();
}

TPlayer MakePlayer(std::string id, std::int32_t number, std::string name, std::string surname = "") {
  TPlayer player;
  player.ID = std::move(id);
  player.Number = number;
  player.Name = std::move(name);
  player.Surname = std::move(surname);
  return player;
}

std::vector<std::int32_t> Numbers(const TTeam& team) {
  std::vector<std::int32_t> numbers;
  for (int slot = 1; slot <= team.PlayerCount; ++slot) numbers.push_back(team.Player(slot).Number);
  return numbers;
}

TEST(ShirtText, ZeroAndDoubleZeroAreEncoded) {
  EXPECT_EQ(ShirtText(210), "0");
  EXPECT_EQ(ShirtText(200), "00");
  EXPECT_EQ(ShirtText(15), "15");
  EXPECT_EQ(ShirtText(std::string_view("210")), "0");
  EXPECT_EQ(ShirtText(std::string_view("200")), "00");
  EXPECT_EQ(ShirtText(std::string_view("0210")), "0210");
}

TEST(Team, ReadsRosterWithFallbacksAndWritesItBack) {
  pugi::xml_document source;
  const pugi::xml_node element = Parse(source, R"(<TEAM1 Coach="Pérez" ID="12" Name="Club &amp; Co" Logo="l.png"
      Shortname="C&amp;C" Color="abc">
    <PLAYER1 ID="p1" Number="abc" Name="Łukasz" Surname="O&apos;Neil &quot;Big&quot;&#10;Jr" Height="1.98"
        Position="PF" Birth_date="1990.05.17" Club="Kraków" Active="TRUE" Disabled="0"/>
    <PLAYER2 ID="p2" Number="5" Active="yes"/>
    <ANY ID="p3" Number="200" Name="Jürgen" Surname="Müller" Height="tall" Birth_date="17.05.1990" Disabled="1"/>
  </TEAM1>)");
  TTeam team;
  EXPECT_TRUE(team.ReadXml(element));
  EXPECT_EQ(team.Coach, "Pérez ");
  EXPECT_EQ(team.Name, "Club & Co");
  EXPECT_EQ(team.Color, -1);
  ASSERT_EQ(team.PlayerCount, 2);  // the player with Active "yes" is skipped
  const TPlayer& first = team.Player(1);
  EXPECT_EQ(first.Number, 0);
  EXPECT_EQ(first.Surname, "O'Neil \"Big\"\nJr");
  EXPECT_DOUBLE_EQ(first.Height, 1.98);
  EXPECT_EQ(first.Birth_date, *EncodeDate(1990, 5, 17));
  EXPECT_EQ(first.Club, "Kraków");
  EXPECT_TRUE(first.Active);
  EXPECT_FALSE(first.Disabled);
  const TPlayer& second = team.Player(2);
  EXPECT_EQ(second.ID, "p3");
  EXPECT_EQ(second.Number, 200);
  EXPECT_EQ(second.Height, 0);
  EXPECT_EQ(second.Birth_date, 0);
  EXPECT_FALSE(second.Active);
  EXPECT_TRUE(second.Disabled);

  pugi::xml_document written;
  const pugi::xml_node out = team.ToXml(written, 2);
  EXPECT_STREQ(out.name(), "TEAM2");
  EXPECT_EQ(AttributeNames(out), (std::vector<std::string>{"Coach", "ID", "Name", "Logo", "Shortname"}));
  EXPECT_STREQ(out.attribute("Coach").value(), "Pérez");
  const pugi::xml_node player = out.first_child();
  EXPECT_STREQ(player.name(), "PLAYER1");
  EXPECT_STREQ(player.next_sibling().name(), "PLAYER2");
  EXPECT_EQ(AttributeNames(player),
            (std::vector<std::string>{"ID", "Number", "Name", "Surname", "Active", "Disabled"}));
  EXPECT_STREQ(player.attribute("Active").value(), "True");

  pugi::xml_document reread;
  TTeam again;
  EXPECT_TRUE(again.ReadXml(Parse(reread, Text(written))));
  EXPECT_EQ(again.Coach, "Pérez ");
  EXPECT_EQ(again.Shortname, "C&C");
  EXPECT_EQ(again.Player(1).Surname, first.Surname);
  EXPECT_EQ(again.Player(1).Name, "Łukasz");
  EXPECT_EQ(again.Player(2).Surname, "Müller");
  EXPECT_TRUE(again.Player(2).Disabled);
}

TEST(Team, MoreThanThirtyPlayersKeepsTheFirstThirtyAndReportsIt) {
  std::string xml = R"(<TEAM Color="255">)";
  for (int i = 1; i <= 31; ++i) xml += "<P Number=\"" + std::to_string(i) + "\"/>";
  xml += "</TEAM>";
  pugi::xml_document document;
  TTeam team;
  EXPECT_FALSE(team.ReadXml(Parse(document, xml)));
  EXPECT_EQ(team.PlayerCount, 30);
  EXPECT_EQ(team.Player(30).Number, 30);
  EXPECT_EQ(team.Color, 255);
}

TEST(Team, LookupsPickTheLastMatchWithinTheRoster) {
  TTeam team;
  team.PlayerCount = 9;
  team.Player(3) = MakePlayer("a", 7, "third");
  team.Player(9) = MakePlayer("a", 7, "ninth");
  team.Player(5).Number = 8;
  team.Player(10) = MakePlayer("b", 11, "");  // beyond PlayerCount
  EXPECT_EQ(team.PlayerIndex("7"), 9);
  EXPECT_EQ(team.PlayerIndex("8"), 5);
  EXPECT_EQ(team.PlayerIndex("x"), -1);
  EXPECT_EQ(team.PlayerIndex(""), -1);
  EXPECT_EQ(team.PlayerIndex("11"), -1);
  ASSERT_NE(team.FindPlayerById("a"), nullptr);
  EXPECT_EQ(team.FindPlayerById("a")->Name, "ninth");
  EXPECT_EQ(team.FindPlayerById("b"), nullptr);
}

TEST(Team, CopyAndReset) {
  TTeam team;
  EXPECT_TRUE(team.Tracked);
  EXPECT_EQ(team.Color, -1);
  team.Name = "Name";
  team.Coach = "Coach";
  team.Color = 99;
  team.TeamFouls = 4;
  team.PlayerCount = 1;
  team.Player(1) = MakePlayer("x", 4, "A", "B");
  team.Player(1).Height = 2.01;
  team.Player(1).Club = "C";
  team.Player(1).Active = true;
  team.Player(2).Name = "unused";

  const TTeam copy(team);
  EXPECT_EQ(copy.Name, "Name");
  EXPECT_EQ(copy.TeamFouls, 4);
  EXPECT_EQ(copy.Color, 99);
  EXPECT_EQ(copy.Player(1).Height, 2.01);
  EXPECT_EQ(copy.Player(2).Name, "");

  team.Reset();
  EXPECT_EQ(team.PlayerCount, 0);
  EXPECT_EQ(team.Name, "");
  EXPECT_EQ(team.Coach, "");
  EXPECT_FALSE(team.Tracked);
  EXPECT_EQ(team.TeamFouls, 0);
  EXPECT_EQ(team.Color, 99);
  EXPECT_EQ(team.Player(1).Number, 0);
  EXPECT_EQ(team.Player(1).Surname, "");
  EXPECT_FALSE(team.Player(1).Active);
  EXPECT_EQ(team.Player(1).Club, "C");
}

TEST(MatchInfo, FreshAndResetRecordsAreEmpty) {
  TMatchInfo match;
  EXPECT_TRUE(match.Empty);
  EXPECT_EQ(match.Running, 1);
  EXPECT_EQ(match.Time, Today());
  pugi::xml_document document;
  EXPECT_FALSE(match.ToXml(document, TPeriodSettings{}));
  EXPECT_FALSE(document.first_child());

  match.GameNumber = match.Place = match.Field = match.Commissioner = match.Competition = match.Team1.Name = "x";
  match.Referee1 = match.Referee2 = match.Referee3 = match.Referee4 = "r";
  match.Time = 1000.5;
  match.CurrentGameTime = 0.01;
  match.Spectators = match.TV = 5;
  match.Running = 0;
  match.Availability = kLocalAndOnline;
  match.Empty = false;
  match.Reset();
  for (const std::string* text : {&match.GameNumber, &match.Place, &match.Field, &match.Referee1, &match.Referee2,
                                  &match.Referee3, &match.Referee4, &match.Commissioner, &match.Competition,
                                  &match.Team1.Name}) {
    EXPECT_EQ(*text, "");
  }
  EXPECT_EQ(match.Time, Today());
  EXPECT_EQ(match.CurrentGameTime + match.Spectators + match.TV, 0);
  EXPECT_EQ(match.Running, 1);
  EXPECT_TRUE(match.Empty);
  EXPECT_EQ(match.Availability, kLocalAndOnline);
  EXPECT_FALSE(match.IsTracked(0));
  EXPECT_FALSE(match.IsTracked(3));
}

TEST(MatchInfo, ReadFallsBackAndKeepsClockHours) {
  pugi::xml_document document;
  TMatchInfo match;
  match.ReadXml(Parse(document, R"(<MATCHINFO GameNumber="77" Place="Málaga" Spectators="many" TV="3"
      CurrentGameTime="01:05:30" cfg_no_of_quarters="9"><B Name="Home"/><A Name="Away"/></MATCHINFO>)"));
  EXPECT_FALSE(match.Empty);
  EXPECT_EQ(match.Place, "Málaga");
  EXPECT_EQ(match.Spectators, 0);
  EXPECT_EQ(match.TV, 3);
  EXPECT_EQ(match.Time, Today());
  EXPECT_EQ(FormatLongTime(match.CurrentGameTime), "01:05:30");  // three overtimes of 48 minutes
  EXPECT_EQ(match.Team1.Name, "Home");  // by position, not by name
  EXPECT_EQ(match.Team2.Name, "Away");

  match.ReadXml(Parse(document, R"(<MATCHINFO Time="2024.03.09 19:30:00" CurrentGameTime="later"><T/></MATCHINFO>)"));
  EXPECT_EQ(match.Time, *EncodeDate(2024, 3, 9) + EncodeTime(19, 30, 0));
  EXPECT_EQ(match.CurrentGameTime, 0);
  EXPECT_TRUE(match.Empty);  // the second team is missing
}

TEST(MatchInfo, ToXmlOrderAndRoundTrip) {
  TMatchInfo match;
  match.Time = *EncodeDate(2024, 3, 9) + EncodeTime(19, 30, 0);
  match.GameNumber = "G&1";
  match.Place = "Zürich \"Nord\"";
  match.Referee3 = "Łukasz\nNowak";
  match.Spectators = 4321;
  match.TV = 4;
  match.CurrentGameTime = EncodeTime(0, 25, 3);
  match.Team1.Coach = "Pérez ";
  match.Team1.PlayerCount = 1;
  match.Team1.Player(1) = MakePlayer("1", kShirtZero, "Ana", "Müller");
  match.Team2.Name = "Visitors";
  match.Empty = false;

  pugi::xml_document document;
  const pugi::xml_node element = match.ToXml(document, TPeriodSettings{4, 12, 6});
  EXPECT_EQ(AttributeNames(element),
            (std::vector<std::string>{"Time", "GameNumber", "Place", "Field", "Referee1", "Referee2", "Referee3",
                                      "Referee4", "Commissioner", "Competition", "Spectators", "TV", "CurrentGameTime",
                                      "cfg_no_of_quarters", "cfg_quarter_duration", "cfg_overtime_duration"}));
  EXPECT_STREQ(element.attribute("Time").value(), "2024.03.09 19:30:00");
  EXPECT_STREQ(element.attribute("CurrentGameTime").value(), "00:25:03");
  EXPECT_STREQ(element.attribute("cfg_quarter_duration").value(), "12");
  EXPECT_STREQ(element.first_child().name(), "TEAM1");
  EXPECT_STREQ(element.last_child().name(), "TEAM2");

  pugi::xml_document reread;
  TMatchInfo copy;
  copy.ReadXml(Parse(reread, Text(document)));
  EXPECT_FALSE(copy.Empty);
  EXPECT_EQ(copy.Time, match.Time);
  EXPECT_EQ(copy.GameNumber, "G&1");
  EXPECT_EQ(copy.Place, match.Place);
  EXPECT_EQ(copy.Referee3, match.Referee3);
  EXPECT_EQ(copy.Spectators, 4321);
  EXPECT_EQ(copy.TV, 4);
  EXPECT_EQ(copy.CurrentGameTime, match.CurrentGameTime);
  EXPECT_EQ(copy.Team1.Coach, "Pérez ");
  EXPECT_EQ(copy.Team1.Player(1).Surname, "Müller");
  EXPECT_EQ(copy.Team2.Name, "Visitors");

  match.Time = *EncodeDate(2024, 3, 9);
  pugi::xml_document dateOnly;
  EXPECT_STREQ(match.ToXml(dateOnly, {}).attribute("Time").value(), "2024.03.09");
}

TEST(MatchInfo, CopyIsDeepAndNeverEmpty) {
  TMatchInfo match;
  match.Team1.PlayerCount = 1;
  match.Team1.Player(1).Surname = "Pérez";
  match.Availability = kOnlineOnly;
  TMatchInfo copy(match);
  EXPECT_FALSE(copy.Empty);
  EXPECT_EQ(copy.Availability, kOnlineOnly);
  copy.Team1.Player(1).Surname = "changed";
  EXPECT_EQ(match.Team1.Player(1).Surname, "Pérez");
}

TEST(MatchInfo, SortRostersOrdersByShirtWithZeroesLast) {
  TMatchInfo match;
  for (TTeam* team : {&match.Team1, &match.Team2}) {
    const std::int32_t numbers[] = {15, kShirtZero, 4, kShirtDoubleZero, 7, 11};
    team->PlayerCount = 6;
    for (int slot = 1; slot <= 6; ++slot) {
      team->Player(slot).Number = numbers[slot - 1];
      team->Player(slot).Name = std::to_string(numbers[slot - 1]);
    }
  }
  match.SortRosters();
  const std::vector<std::int32_t> expected = {4, 7, 11, 15, kShirtDoubleZero, kShirtZero};
  EXPECT_EQ(Numbers(match.Team1), expected);
  EXPECT_EQ(Numbers(match.Team2), expected);
  EXPECT_EQ(match.Team1.Player(1).Name, "4");  // whole records move
}

}  // namespace
}  // namespace velmora

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "records/action.h"
#include "records/catalogue.h"
#include "records/guid.h"
#include "records/match_info.h"
#include "records/message_source.h"

namespace velmora {
namespace {

class TFakeMessages final : public TMessageSource {
 public:
  explicit TFakeMessages(std::map<std::string, std::string, std::less<>> texts) : Texts_(std::move(texts)) {}
  std::string Message(std::string_view key) const override {
    const auto found = Texts_.find(key);
    return found == Texts_.end() ? std::string() : found->second;
  }

 private:
  std::map<std::string, std::string, std::less<>> Texts_;
};

class TFakeHistory final : public TActionHistory {
 public:
  std::vector<const TAction*> HistoryActions() const override { return Actions; }
  std::vector<const TAction*> Actions;
};

std::unique_ptr<TAction> Fresh(std::string_view kind) {
  TCatalogue catalogue;
  catalogue.LoadCatalogue();
  return catalogue.NewAction(kind, 0, 1, 0);
}

std::unique_ptr<TAction> Read(const std::string& xml, TDateTime currentGameTime = 0) {
  pugi::xml_document document;
  EXPECT_TRUE(document.load_string(xml.c_str()));
  return TAction::CreateFromXml(document.document_element(), currentGameTime);
}

std::vector<std::string> AttributeNames(const pugi::xml_node& node) {
  std::vector<std::string> names;
  for (const pugi::xml_attribute& attribute : node.attributes()) names.emplace_back(attribute.name());
  return names;
}

const std::string kGuidA = "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";

TEST(Guid, NewGuidsHaveRegistryFormAndDiffer) {
  const std::string a = NewGuid();
  EXPECT_EQ(ParseGuid(a), a);  // already upper case, braced and grouped
  EXPECT_NE(a, NewGuid());
  EXPECT_FALSE(IsNullGuid(a));
  EXPECT_TRUE(IsNullGuid(kNullGuid));
}

TEST(Guid, ParseAcceptsOnlyTheBracedGroupedForm) {
  EXPECT_EQ(ParseGuid("{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}"), kGuidA);
  for (const char* bad : {"", "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F}",
                          "{0A1B2C3D4-E5F-6071-8293-A4B5C6D7E8F9}", "{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG}",
                          "(0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9)"}) {
    EXPECT_FALSE(ParseGuid(bad)) << bad;
  }
}

TEST(Parameter, ChoiceTextsMapToPositions) {
  TParameter choice{"Made", "choice", "", "", {"Made", "Missed", "Blocked", "Missed"}};
  choice.SetText("Blocked");
  EXPECT_EQ(choice.Data, "2");
  EXPECT_EQ(choice.GetText(), "Blocked");
  choice.SetText("Missed");  // the last equal entry wins
  EXPECT_EQ(choice.Data, "3");
  choice.SetText("missed");  // case-sensitive
  EXPECT_EQ(choice.Data, "");
  for (const char* data : {"", "-1", "4", "x", "1.0"}) {
    choice.Data = data;
    EXPECT_EQ(choice.GetText(), "") << data;
  }
  EXPECT_EQ(choice.TextAtPosition(1), "Made");
  EXPECT_EQ(choice.TextAtPosition(4), "Missed");
  EXPECT_EQ(choice.TextAtPosition(0), "");
  EXPECT_EQ(choice.TextAtPosition(5), "");

  TParameter number{"Points", "number", "2", "", {"ignored"}};
  number.SetText("abc");
  EXPECT_EQ(number.Data, "abc");
  EXPECT_EQ(number.GetText(), "abc");
  EXPECT_EQ(number.TextAtPosition(1), "");
}

TEST(Action, ChainRootIsTheFollowedActionOrItself) {
  TAction action("Tiro", false, "", 0, 3, "shot");
  EXPECT_EQ(action.Parameters.size(), 3u);
  EXPECT_EQ(action.ChainRoot(), action.ID);
  action.FollowUpID = kGuidA;
  EXPECT_EQ(action.ChainRoot(), kGuidA);
}

TEST(Action, CloneIsDeep) {
  auto original = Fresh("shot");
  original->FollowUpID = kGuidA;
  original->AstroTime = 0.5;
  original->SuggestedTeam = 2;
  original->Period = 3;
  original->SetParam("Made", "Missed");
  auto copy = original->Clone();
  EXPECT_EQ(copy->ID, original->ID);
  EXPECT_EQ(copy->FollowUpID, kGuidA);
  EXPECT_EQ(copy->AstroTime, 0.5);
  EXPECT_EQ(copy->SuggestedTeam, 2);
  EXPECT_EQ(copy->Period, 3);
  EXPECT_EQ(copy->GetParam("Made"), "Missed");
  copy->SetParam("Made", "Made");
  copy->Parameters[3].Values[0] = "changed";
  EXPECT_EQ(original->GetParam("Made"), "Missed");
  EXPECT_EQ(original->Parameters[3].Values[0], "Made");
}

TEST(Action, ParamLookupIsExactAndMissingParamsAreIgnored) {
  auto shot = Fresh("shot");
  EXPECT_EQ(shot->ParamIndex("Team"), 1);
  EXPECT_EQ(shot->ParamIndex("CounterAttack"), 7);
  EXPECT_EQ(shot->ParamIndex("team"), 0);
  shot->SetParam("Nonexistent", "1");
  EXPECT_EQ(shot->GetParam("Nonexistent"), "");
  shot->SetParamByPosition("Made", 3);
  EXPECT_EQ(shot->Param("Made")->Data, "2");
  EXPECT_EQ(shot->GetParam("Made"), "Blocked");
  shot->SetParam("Made", "Bogus");
  EXPECT_EQ(shot->Param("Made")->Data, "");
}

TEST(ActionXml, ToXmlWritesAttributesAndChildrenInOrder) {
  auto shot = Fresh("shot");
  shot->GameTime = EncodeTime(0, 3, 25);
  shot->AstroTime = 45000.0 + EncodeTime(19, 4, 5);
  shot->SetParam("Team", "1");
  pugi::xml_document document;
  const pugi::xml_node element = shot->ToXml(document, "G-17");
  EXPECT_EQ(AttributeNames(element), (std::vector<std::string>{"GameNumber", "ID", "AstroTime", "GameTime", "ShortName",
                                                               "Name", "Complete", "Shortcut", "NParameters"}));
  EXPECT_STREQ(element.attribute("GameNumber").value(), "G-17");
  EXPECT_STREQ(element.attribute("AstroTime").value(), "19:04:05");
  EXPECT_STREQ(element.attribute("GameTime").value(), "00:03:25");
  EXPECT_STREQ(element.attribute("Complete").value(), "True");
  EXPECT_STREQ(element.attribute("NParameters").value(), "7");

  const pugi::xml_node team = element.first_child();
  EXPECT_STREQ(team.name(), "PARAM");
  EXPECT_EQ(AttributeNames(team), (std::vector<std::string>{"Name", "Type", "Data"}));
  EXPECT_STREQ(team.attribute("Data").value(), "1");
  const pugi::xml_node points = element.find_child_by_attribute("PARAM", "Name", "Points");
  EXPECT_FALSE(points.attribute("Default"));  // defaults belong to the catalogue only
  std::vector<std::string> values;
  for (const pugi::xml_node& value : element.find_child_by_attribute("PARAM", "Name", "Made").children()) {
    EXPECT_STREQ(value.name(), "VALUE");
    values.emplace_back(value.text().get());
  }
  EXPECT_EQ(values, (std::vector<std::string>{"Made", "Missed", "Blocked"}));

  shot->FollowUpID = kGuidA;
  EXPECT_STREQ(shot->ToXml(document, "").attribute("FollowUpID").value(), kGuidA.c_str());
  EXPECT_FALSE(Fresh("clock")->ToXml(document, "").first_child());
}

TEST(ActionXml, RoundTripThroughTextKeepsEveryWrittenField) {
  TAction action("Comentarios de Łukasz", false, "a\"b&c<d>'e", EncodeTime(0, 12, 7), 2, "comment");
  action.Complete = false;
  action.FollowUpID = kGuidA;
  action.Parameters[0] = TParameter{"Comment", "text", "", "Müller \"El Toro\" & Pérez\r\nsecond line\tend", {}};
  action.Parameters[1] = TParameter{"Choice", "choice", "", "1", {"Pérez & <Co>", "Ünal \"Ü\"\nx"}};
  pugi::xml_document written;
  action.ToXml(written, "ñ-1");
  std::ostringstream text;
  written.save(text);

  auto read = Read(text.str(), 0.9);
  EXPECT_EQ(read->ID, action.ID);
  EXPECT_EQ(read->FollowUpID, kGuidA);
  EXPECT_EQ(read->Name, action.Name);
  EXPECT_EQ(read->ShortName, "comment");
  EXPECT_EQ(read->Shortcut, action.Shortcut);
  EXPECT_FALSE(read->Complete);
  EXPECT_EQ(FormatLongTime(read->GameTime), "00:12:07");
  EXPECT_FALSE(read->System);
  ASSERT_EQ(read->Parameters.size(), 2u);
  EXPECT_EQ(read->Parameters[0].Data, action.Parameters[0].Data);
  EXPECT_EQ(read->Parameters[1].Values, action.Parameters[1].Values);
  EXPECT_EQ(read->GetParam("Choice"), "Ünal \"Ü\"\nx");

  // A null FollowUpID is left out and reads back as null.
  action.FollowUpID = std::string(kNullGuid);
  pugi::xml_document second;
  EXPECT_TRUE(IsNullGuid(TAction::CreateFromXml(action.ToXml(second, ""), 0)->FollowUpID));
}

TEST(ActionXml, ReadingFillsGapsWithDefaults) {
  auto action = Read(R"(<ACTION ID="not a guid" System="0"><PARAMETER Name="P" Type="choice" Default="b">)"
                     R"(<VALUE>a</VALUE><value>x</value><OTHER>y</OTHER><VALUE>b</VALUE></PARAMETER>)"
                     R"(<PARAM Name="Q" Type="number" Data="5"/></ACTION>)",
                     0.125);
  EXPECT_TRUE(ParseGuid(action->ID));
  EXPECT_NE(action->ID, "not a guid");
  EXPECT_TRUE(action->Complete);
  EXPECT_EQ(action->GameTime, 0.125);
  EXPECT_TRUE(IsNullGuid(action->FollowUpID));
  EXPECT_TRUE(action->System);  // any non-empty text
  ASSERT_EQ(action->Parameters.size(), 2u);
  EXPECT_EQ(action->Parameters[0].Values, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(action->Parameters[0].Default, "b");
  EXPECT_EQ(action->GetParam("Q"), "5");

  EXPECT_EQ(Read(R"(<ACTION GameTime="24:00:00" FollowUpID=""/>)", 0.25)->GameTime, 0.25);
  EXPECT_FALSE(Read(R"(<ACTION Complete="0" System=""/>)")->Complete);
  EXPECT_FALSE(Read(R"(<ACTION Complete="fALSE"/>)")->Complete);
  EXPECT_TRUE(Read(R"(<ACTION Complete="-7"/>)")->Complete);
  EXPECT_FALSE(Read(R"(<ACTION System=""/>)")->System);
}

TEST(ActionXml, FailedConversionEndsReadingWithoutError) {
  const std::string tail = R"( GameTime="00:01:00" System="1"><PARAM Name="Team" Type="team" Data="1"/></ACTION>)";
  auto badComplete = Read(R"(<ACTION ID=")" + kGuidA + R"(" ShortName="shot" Name="Tiro" Shortcut="T")" +
                              R"( Complete="maybe" FollowUpID=")" + kGuidA + '"' + tail,
                          0.5);
  EXPECT_EQ(badComplete->ID, kGuidA);
  EXPECT_EQ(badComplete->ShortName, "shot");
  EXPECT_EQ(badComplete->Shortcut, "T");
  EXPECT_EQ(badComplete->GameTime, 0);
  EXPECT_TRUE(IsNullGuid(badComplete->FollowUpID));
  EXPECT_FALSE(badComplete->System);
  EXPECT_TRUE(badComplete->Parameters.empty());

  auto badFollowUp = Read(R"(<ACTION ShortName="reb" Complete="False" FollowUpID="{123}")" + tail, 0.5);
  EXPECT_FALSE(badFollowUp->Complete);
  EXPECT_EQ(FormatLongTime(badFollowUp->GameTime), "00:01:00");
  EXPECT_TRUE(IsNullGuid(badFollowUp->FollowUpID));
  EXPECT_FALSE(badFollowUp->System);
  EXPECT_TRUE(badFollowUp->Parameters.empty());
}

TEST(ActionBounds, PeriodNumbersBeyondAGameAreRefused) {
  auto quarter = Fresh("quarter");
  EXPECT_TRUE(CheckActionBounds(*quarter));  // empty: the default comes later
  for (const char* fine : {"0", "1", "20"}) {
    quarter->SetParam("Quarter", fine);
    EXPECT_TRUE(CheckActionBounds(*quarter)) << fine;
  }
  for (const char* absurd : {"21", "2147483647", "-1", "x"}) {
    quarter->SetParam("Quarter", absurd);
    const auto checked = CheckActionBounds(*quarter);
    ASSERT_FALSE(checked) << absurd;
    EXPECT_NE(checked.Error().find(absurd), std::string::npos);
  }
  auto comment = Fresh("comment");
  comment->SetParam("Team1Score", "2147483647");
  EXPECT_TRUE(CheckActionBounds(*comment));
}

TEST(ActionRules, FoulTypeSetsPersonalTypeDefaultAndClearsShots) {
  auto foul = Fresh("foul");
  foul->SetParam("Shots to make", "2");
  foul->SetParam("Type", "Technical");
  EXPECT_EQ(foul->GetParam("Type"), "Technical");
  EXPECT_EQ(foul->Param("Type of personal")->Default, "Shooting");
  EXPECT_EQ(foul->Param("Shots to make")->Data, "");
  EXPECT_EQ(foul->Param("Shots to make")->Default, "");

  foul->SetParam("Type", "Personal");
  EXPECT_EQ(foul->Param("Type of personal")->Default, "");
  foul->SetParam("Type", "Something else");
  EXPECT_EQ(foul->Param("Type of personal")->Default, "Non-shooting");
  EXPECT_EQ(foul->Param("Type")->Data, "");
  foul->SetParam("Type", "");
  EXPECT_EQ(foul->Param("Type of personal")->Default, "");

  // The rule belongs to fouls only.
  auto turnover = Fresh("turnover");
  turnover->SetParam("Type", "Travelling");
  EXPECT_EQ(turnover->GetParam("Type"), "Travelling");
}

TEST(ActionRules, ReboundTypeFollowsTheTeamOfTheShot) {
  auto freeThrow = Fresh("fthrow");
  freeThrow->SetParam("Team", "2");
  auto shot = Fresh("shot");  // a follow-up of the free throw, same chain
  shot->FollowUpID = freeThrow->ID;
  shot->SetParam("Team", "1");
  auto unrelated = Fresh("shot");
  unrelated->SetParam("Team", "2");
  TFakeHistory history;
  history.Actions = {unrelated.get(), freeThrow.get(), shot.get()};

  auto rebound = Fresh("reb");
  rebound->FollowUpID = freeThrow->ID;
  rebound->SetParam("Team", "2", &history);
  EXPECT_EQ(rebound->GetParam("Type"), "Defensive");  // a shot outranks an earlier free throw
  rebound->SetParam("Team", "1", &history);
  EXPECT_EQ(rebound->GetParam("Type"), "Offensive");
  EXPECT_EQ(rebound->GetParam("Team"), "1");

  history.Actions = {freeThrow.get()};
  rebound->SetParam("Team", "2", &history);
  EXPECT_EQ(rebound->GetParam("Type"), "Offensive");

  // Not a follow-up, or an empty team: the type is left alone.
  auto plain = Fresh("reb");
  plain->SetParam("Team", "1", &history);
  EXPECT_EQ(plain->GetParam("Type"), "");
  rebound->SetParam("Type", "Defensive");
  rebound->SetParam("Team", "", &history);
  EXPECT_EQ(rebound->GetParam("Type"), "Defensive");
}

TEST(ActionRules, FillDefaultsReportsWhetherEveryEmptyParameterGotAValue) {
  auto shot = Fresh("shot");
  shot->SetParam("Team", "1");
  shot->SetParam("Player", "7");
  shot->SetParam("Coordinates", "139+29");
  EXPECT_FALSE(shot->FillDefaults());
  EXPECT_EQ(shot->GetParam("Points"), "2");
  EXPECT_EQ(shot->GetParam("Made"), "");
  shot->SetParam("Made", "Made");
  shot->SetParam("Shot type", "Dunk");
  shot->SetParam("CounterAttack", "False");
  EXPECT_TRUE(shot->FillDefaults());

  auto quarter = Fresh("quarter");
  EXPECT_TRUE(quarter->FillDefaults());
  EXPECT_EQ(quarter->GetParam("Quarter"), "1");
  EXPECT_EQ(quarter->Param("Type")->Data, "0");

  // A technical foul awards shooting but leaves the number of shots to the operator.
  auto foul = Fresh("foul");
  foul->SetParam("Team", "1");
  foul->SetParam("Type", "Technical");
  EXPECT_FALSE(foul->FillDefaults());
  EXPECT_EQ(foul->GetParam("Type of personal"), "Shooting");
  EXPECT_EQ(foul->GetParam("Shots to make"), "");
  foul->SetParam("Shots to make", "1");
  EXPECT_TRUE(foul->FillDefaults());
}

class DescribeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Match.Team1.Shortname = "VAL";
    Match.Team1.PlayerCount = 1;
    Match.Team1.Player(1).Number = 7;
    Match.Team1.Player(1).Name = "Juan";
    Match.Team1.Player(1).Surname = "Pérez";
    Match.Team2.Shortname = "BCN";
    Match.Team2.PlayerCount = 1;
    Match.Team2.Player(1).Number = kShirtZero;
    Match.Team2.Player(1).Name = "Łukasz";
    Match.Team2.Player(1).Surname = "Müller";
  }
  TMatchInfo Match;
  TFakeMessages Messages{{{"Param_Player", "Jugador"}, {"Param_Made", "Anotado"}, {"Param_Type", ""}}};
};

TEST_F(DescribeTest, ShotListsEveryPartAndStampsTheWallClock) {
  auto shot = Fresh("shot");
  shot->GameTime = EncodeTime(0, 3, 25);
  shot->AstroTime = 2.0;
  shot->SetParam("Team", "1");
  shot->SetParam("Player", "7");
  shot->SetParam("Coordinates", "139+29");
  shot->SetParam("Made", "Made");
  shot->SetParam("Shot type", "Dunk");
  shot->FillDefaults();
  EXPECT_EQ(shot->Describe(Match, Messages),
            "03:25 Tiro (Equipo: VAL, Jugador: 7. Juan Pérez, Coordinates: 139+29, Resultado: Anotado, "
            "Shot type: Dunk, Points: 2, CounterAttack:)");
  EXPECT_LT(shot->AstroTime, 1.0);
}

TEST_F(DescribeTest, FouledOnUsesTheOtherTeamAndUnknownPlayersLeaveNoSeparator) {
  auto foul = Fresh("foul");
  foul->SetParam("Team", "1");
  foul->SetParam("Player", "99");
  foul->SetParam("Type", "Personal");
  foul->SetParam("Fouled on", "210");
  foul->SetParam("Type of personal", "Shooting");
  foul->SetParam("Shots to make", "2");
  EXPECT_EQ(foul->Describe(Match, TNoMessages()),
            "Falta (Equipo: VAL, Type: Personal, Fouled on: 0. Łukasz Müller, Type of personal: Shooting, "
            "Shots to make: 2)");

  auto clock = Fresh("clock");
  clock->GameTime = EncodeTime(0, 40, 0);
  EXPECT_EQ(clock->Describe(Match, Messages), "40:00 Reloj");
  auto timeout = Fresh("timeout");  // its team is a choice, so no roster lookup happens
  timeout->SetParam("Team", "Second Team");
  EXPECT_EQ(timeout->Describe(Match, Messages), "Tiempo muerto (Team: Second Team)");
}

}  // namespace
}  // namespace velmora

#include <gtest/gtest.h>

#include "records/catalogue.h"
#include "records/guid.h"

namespace velmora {
namespace {

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override { Catalogue.LoadCatalogue(); }
  const TAction& Entry(std::string_view kind) const {
    return *Catalogue.Entries()[static_cast<std::size_t>(Catalogue.ActionIndex(kind) - 1)];
  }
  TCatalogue Catalogue;
};

TEST_F(CatalogueTest, HoldsTheFifteenKindsInOrder) {
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Tiro", "shot"},          {"Rebote", "reb"},           {"Tiro Libre", "fthrow"},
      {"Falta", "foul"},         {"Perdida de balón", "turnover"}, {"Recuperación", "steal"},
      {"Asistencia", "assist"},  {"Tapón", "block"},          {"Sustitución", "subst"},
      {"Tiempo muerto", "timeout"}, {"Cuarto", "quarter"},    {"Comentarios", "comment"},
      {"Delete", "delete"},      {"Reloj", "clock"},          {"End Of Follow-ups", "complete"}};
  ASSERT_EQ(Catalogue.Entries().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TAction& entry = *Catalogue.Entries()[i];
    EXPECT_EQ(entry.Name, expected[i].first);
    EXPECT_EQ(entry.ShortName, expected[i].second);
    EXPECT_EQ(entry.System, entry.ShortName == "delete" || entry.ShortName == "complete") << entry.ShortName;
    EXPECT_TRUE(entry.Complete);
    EXPECT_EQ(entry.GameTime, 0);
    for (const TParameter& parameter : entry.Parameters) EXPECT_TRUE(parameter.Data.empty());
  }
  EXPECT_TRUE(Entry("clock").Parameters.empty());

  // Loading again replaces the entries instead of appending.
  Catalogue.LoadCatalogue();
  EXPECT_EQ(Catalogue.Entries().size(), expected.size());
}

TEST_F(CatalogueTest, ParametersCarryTheirTypesDefaultsAndValues) {
  const TAction& shot = Entry("shot");
  std::vector<std::string> names;
  for (const TParameter& parameter : shot.Parameters) names.push_back(parameter.Name + ':' + parameter.Type);
  EXPECT_EQ(names, (std::vector<std::string>{"Team:team", "Player:player", "Coordinates:coordinates", "Made:choice",
                                             "Shot type:choice", "Points:number", "CounterAttack:choice"}));
  EXPECT_EQ(shot.Param("Points")->Default, "2");
  EXPECT_EQ(shot.Param("Shot type")->Values,
            (std::vector<std::string>{"Jump shot", "Lay-up", "Dunk", "Tap-in", "Alley-oop"}));

  EXPECT_EQ(Entry("foul").Param("Shots to make")->Values, (std::vector<std::string>{"0", "1", "2", "3"}));
  EXPECT_EQ(Entry("turnover").Param("Type")->Values.size(), 11u);
  EXPECT_EQ(Entry("timeout").Param("Team")->Type, "choice");
  EXPECT_EQ(Entry("quarter").Param("Type")->Default, "Start");
  EXPECT_EQ(Entry("complete").Param("Event")->Type, "number");
}

TEST_F(CatalogueTest, NewActionClonesTheEntryWithAFreshIdentity) {
  EXPECT_TRUE(Catalogue.HasAction("reb"));
  EXPECT_FALSE(Catalogue.HasAction("edit"));
  EXPECT_EQ(Catalogue.ActionIndex("complete"), 15);
  EXPECT_EQ(Catalogue.ActionIndex("Shot"), 0);
  EXPECT_EQ(Catalogue.NewAction("edit", 0, 1, 0), nullptr);

  auto first = Catalogue.NewAction("foul", 0.01, 2, 45000.5);
  auto second = Catalogue.NewAction("foul", 0.02, 3, 45000.6);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->ID, Entry("foul").ID);
  EXPECT_NE(first->ID, second->ID);
  EXPECT_EQ(first->GameTime, 0.01);
  EXPECT_EQ(first->Period, 2);
  EXPECT_EQ(first->AstroTime, 45000.5);
  EXPECT_TRUE(IsNullGuid(first->FollowUpID));
  EXPECT_EQ(first->SuggestedTeam, 0);

  // Rules applied to a new action must not reach back into the catalogue.
  first->SetParam("Type", "Technical");
  EXPECT_EQ(Entry("foul").Param("Shots to make")->Default, "0");
  EXPECT_EQ(second->Param("Shots to make")->Default, "0");
}

}  // namespace
}  // namespace velmora

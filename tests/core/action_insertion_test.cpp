#include "live/action_insertion.h"

#include <gtest/gtest.h>

#include <set>

#include "model_fixture.h"
#include "records/catalogue.h"

namespace velmora::testing {
namespace {

// A simulated game entered by an operator: one action after the other, a second apart.
TActionList EnteredGame(const TMatchInfo& matchInfo) {
  TActionList game = SimulateGame(matchInfo, 400, 3);
  for (std::size_t i = 0; i < game.size(); ++i) game[i]->AstroTime = EncodeTime(18, 0, 0) + FromSeconds(static_cast<int>(i));
  return game;
}

std::vector<std::string> IdsOf(const TModel& model) {
  std::vector<std::string> ids;
  for (const auto& action : model.Actions()) ids.push_back(action->ID);
  return ids;
}

TEST_F(TModelTest, ForgottenActionsPutInTheirPlacesGiveTheStatisticsOfTheGameEnteredInOrder) {
  const TActionList game = EnteredGame(Model.MatchInfo);
  Model.MatchInfo.CurrentGameTime = game.back()->GameTime;
  // The game entered in order, as it stands once reopened (plus/minus and playing time included).
  TModel inOrder(Config);
  inOrder.MatchInfo = Model.MatchInfo;
  for (const auto& action : game) inOrder.AddAction(action->Clone());
  inOrder.Recompute();

  // Forgotten: rebounds, assists, substitutions, free throws and the like, all over the game, among
  // them actions of the same second as their neighbours.
  std::set<std::size_t> forgotten;
  for (std::size_t i = 12; i < game.size(); i += 23) forgotten.insert(i);
  std::set<std::string> kinds;
  for (const std::size_t i : forgotten) kinds.insert(game[i]->ShortName);
  ASSERT_GE(kinds.size(), 4u) << "a mix of kinds";
  for (std::size_t i = 0; i < game.size(); ++i) {
    if (!forgotten.contains(i)) Model.AddAction(game[i]->Clone());
  }
  for (const std::size_t i : forgotten) {
    // After the action entered before it, which the model already holds.
    const int neighbour = Model.IndexOf(game[i - 1]->ID);
    ASSERT_GE(neighbour, 0);
    const TInsertionPlace place =
        InsertionPlace(Model.Actions(), static_cast<std::size_t>(neighbour), false, Model.MatchInfo.CurrentGameTime);
    auto action = game[i]->Clone();
    action->AstroTime = 0;
    const std::string play = action->IsFollowUp() ? action->FollowUpID : std::string();
    PrepareInsertion(*action, place, play, EncodeTime(19, 0, 0));
    EXPECT_EQ(action->GameTime, game[i]->GameTime) << "its own clock lies between the neighbours'";
    Model.AddAction(std::move(action));
  }

  EXPECT_EQ(IdsOf(Model), IdsOf(inOrder));
  for (int slot = 0; slot < TModel::kTableCount; ++slot) {
    for (std::string_view key : kStatKeys) {
      EXPECT_EQ(Model.Stats(slot).Get(key), inOrder.Stats(slot).Get(key)) << "slot " << slot << " " << key;
    }
  }
  for (std::size_t i = 0; i < game.size(); ++i) {
    EXPECT_EQ(Model.Actions()[i]->Period, inOrder.Actions()[i]->Period) << i;
  }
}

TEST(ActionInsertion, ThePlaceLiesBetweenTheNeighboursAndTheEntryTimeOrdersItWithinTheirSecond) {
  TActionFactory make;
  TActionList actions;
  actions.push_back(make.Shot(100, 1, 4, "Missed", 2));
  actions.push_back(make.Shot(100, 2, 5, "Made", 2));
  actions.push_back(make.Shot(130, 1, 6, "Made", 3));
  actions[0]->AstroTime = EncodeTime(18, 0, 0);
  actions[1]->AstroTime = EncodeTime(18, 0, 4);
  actions[2]->AstroTime = EncodeTime(18, 0, 9);

  const TInsertionPlace after = InsertionPlace(actions, 0, false, FromSeconds(200));
  EXPECT_EQ(after.Before, actions[0].get());
  EXPECT_EQ(after.After, actions[1].get());
  EXPECT_EQ(WholeSeconds(after.Earliest), 100);
  EXPECT_EQ(WholeSeconds(after.Latest), 100);
  const TInsertionPlace last = InsertionPlace(actions, 2, false, FromSeconds(200));
  EXPECT_EQ(last.After, nullptr);
  EXPECT_EQ(WholeSeconds(last.Latest), 200) << "after the last action, up to the clock now";
  const TInsertionPlace first = InsertionPlace(actions, 0, true, FromSeconds(200));
  EXPECT_EQ(first.Before, nullptr);
  EXPECT_EQ(WholeSeconds(first.Earliest), 0);

  // The rebound of the missed shot, at its second: entered before the basket of that second.
  auto rebound = make.Rebound(140, 2, 7, true);
  PrepareInsertion(*rebound, after, actions[0]->ID, EncodeTime(19, 0, 0));
  EXPECT_TRUE(rebound->Inserted);
  EXPECT_EQ(WholeSeconds(rebound->GameTime), 100) << "kept between the neighbours";
  EXPECT_EQ(WholeSeconds(rebound->AstroTime), WholeSeconds(EncodeTime(18, 0, 3)));
  EXPECT_EQ(rebound->FollowUpID, actions[0]->ID);
  EXPECT_FALSE(rebound->Complete) << "a member of the play, like its others";

  // Between 1:40 and 2:10 the second decides; the entry time is the moment it was put in.
  const TInsertionPlace between = InsertionPlace(actions, 2, true, FromSeconds(200));
  auto steal = make.Simple("steal", 120, 1, 6);
  PrepareInsertion(*steal, between, "", EncodeTime(19, 0, 0));
  EXPECT_EQ(WholeSeconds(steal->AstroTime), WholeSeconds(EncodeTime(19, 0, 0)));
  EXPECT_TRUE(steal->Complete);
  EXPECT_FALSE(steal->IsFollowUp());

  TCatalogue catalogue;
  catalogue.LoadCatalogue();
  std::vector<std::string> kinds;
  for (const TAction* kind : InsertableKinds(catalogue)) kinds.push_back(kind->ShortName);
  EXPECT_EQ(kinds, (std::vector<std::string>{"shot", "reb", "fthrow", "foul", "turnover", "steal", "assist", "block",
                                             "subst", "timeout", "comment"}));
}

}  // namespace
}  // namespace velmora::testing

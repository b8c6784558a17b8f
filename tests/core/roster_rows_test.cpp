#include "records/roster_rows.h"

#include <gtest/gtest.h>

#include "records/date_time.h"

namespace velmora {
namespace {

std::vector<TRosterRow> Shirts(std::initializer_list<const char*> numbers) {
  std::vector<TRosterRow> rows;
  for (const char* number : numbers) {
    TRosterRow row;
    row.Number = number;
    rows.push_back(row);
  }
  return rows;
}

const std::string kShirtError = "All shirt numbers must be between 4 and 15 and unique.";
const std::string kSizeError = "There must beetween 5 and 12 players in each team.";

TEST(RosterRows, ZeroAndDoubleZeroAreShirtsOfTheirOwn) {
  EXPECT_EQ(ShirtValue("0"), kShirtZero);
  EXPECT_EQ(ShirtValue(" 00 "), kShirtDoubleZero);
  EXPECT_EQ(ShirtValue("07"), 7);
  EXPECT_FALSE(ShirtValue("7a"));
  EXPECT_TRUE(RosterErrors(Shirts({"0", "00", "4", "5", "6"}), {}).empty());
  EXPECT_EQ(RosterErrors(Shirts({"0", "0", "4", "5", "6"}), {}), std::vector<std::string>{kShirtError});
}

TEST(RosterRows, ChecksNameTheSettingsAndAreAllShown) {
  EXPECT_EQ(RosterErrors(Shirts({"3", "4", "5", "6", "7"}), {}), std::vector<std::string>{kShirtError});
  EXPECT_EQ(RosterErrors(Shirts({"4", "5", "6", "7"}), {}), std::vector<std::string>{kSizeError});
  // The upper bound is the code of "0", whatever the message says.
  EXPECT_TRUE(RosterErrors(Shirts({"20", "21", "22", "23", "99"}), {}).empty());

  // A text that is not a number spoils the roster and does not count; empty rows do not count.
  EXPECT_EQ(RosterErrors(Shirts({"4", "5", "6", "7", "x8", "", " "}), {}),
            (std::vector<std::string>{kShirtError, kSizeError}));

  const TRosterLimits strict{6, 20, 2, 3};
  EXPECT_EQ(RosterErrors(Shirts({"5", "6", "7", "8"}), strict),
            (std::vector<std::string>{"All shirt numbers must be between 6 and 20 and unique.",
                                      "There must beetween 2 and 3 players in each team."}));
}

TEST(RosterRows, OnePlayerCannotBePickedTwice) {
  auto rows = Shirts({"4", "5", "6", "7", "8"});
  rows[1].Id = "P-17";
  rows[3].Id = "p-17";
  rows[4].Id = "";
  rows[0].Id = "";
  EXPECT_EQ(RosterErrors(rows, {}), std::vector<std::string>{"The same player could not be selected twice."});
}

TEST(RosterRows, CellsKeepHeightsWithTwoDecimals) {
  EXPECT_EQ(EditedCellText(4, "1.8"), "1.80");
  EXPECT_EQ(EditedCellText(4, "2.05"), "2.05");
  EXPECT_EQ(EditedCellText(4, "."), "");
  EXPECT_EQ(EditedCellText(4, "alto"), "");
  EXPECT_EQ(EditedCellText(0, " . "), "") << "an empty mask empties any cell";
  EXPECT_EQ(EditedCellText(2, "Ana"), "Ana");
  EXPECT_EQ(HeightText(""), "");
}

TEST(RosterRows, WritingRebuildsTheRosterAndKeepsEachPlayersHiddenValues) {
  TTeam team;
  team.Name = "Norte";
  team.PlayerCount = 3;
  team.Player(1).Number = 9;
  team.Player(1).Disabled = true;
  team.Player(1).LocalId = 41;
  team.Player(1).Birth_date = *EncodeDate(2001, 2, 3);
  team.Player(1).Height = 1.8;
  team.Player(2).Number = kShirtZero;
  team.Player(3).Number = 5;

  std::vector<TRosterRow> rows = RosterRowsOf(team);
  EXPECT_EQ(rows[0].Height, "1.80");
  EXPECT_EQ(rows[0].Born, "2001.02.03");
  EXPECT_EQ(rows[1].Number, "0");
  // The operator deletes the middle player and clears the number of another row.
  rows.erase(rows.begin() + 1);
  rows.insert(rows.begin(), rows[1]);  // 5, 9, 5
  rows[2].Number = "";
  WriteRoster(rows, team);

  ASSERT_EQ(team.PlayerCount, 2);
  EXPECT_EQ(team.Player(1).Number, 5);
  EXPECT_FALSE(team.Player(1).Disabled);
  EXPECT_EQ(team.Player(2).Number, 9);
  EXPECT_TRUE(team.Player(2).Disabled) << "the mark goes with the player, not the slot";
  EXPECT_EQ(team.Player(2).LocalId, 41);
  EXPECT_EQ(team.Player(2).Birth_date, *EncodeDate(2001, 2, 3));
  EXPECT_DOUBLE_EQ(team.Player(2).Height, 1.8);
  EXPECT_EQ(team.Name, "Norte");

  WriteRoster(std::vector<TRosterRow>(40, rows[0]), team);
  EXPECT_EQ(team.PlayerCount, TTeam::kMaxPlayers);
}

}  // namespace
}  // namespace velmora

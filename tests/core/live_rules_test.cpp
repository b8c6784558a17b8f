#include <gtest/gtest.h>

#include "game_builder.h"
#include "live/action_definitions.h"
#include "live/game_backup.h"
#include "live/live_game.h"

namespace velmora {
namespace {

// Rows as text: "B3" a button (its index), "|" a separator.
std::vector<std::string> Rows(const std::vector<int>& groups) {
  std::vector<std::string> rows;
  for (const TBarRow& row : LayoutActionBar(groups)) {
    std::string text;
    for (const TBarSlot& slot : row) text += slot.Separator ? std::string("|") : "B" + std::to_string(slot.Index);
    rows.push_back(text);
  }
  return rows;
}

TEST(ActionBar, RowsHoldFiveButtonsAndAGroupThatOverflowsStartsTheNextRow) {
  // The nine definitions: assist and free throw; rebound, foul, block; three turnovers; steal.
  EXPECT_EQ(Rows({1, 1, 2, 2, 2, 3, 3, 3, 4}), (std::vector<std::string>{"B0B1|B2B3B4", "B5B6B7|B8"}));
  // With the follow-up kinds hidden: one row.
  EXPECT_EQ(Rows({1, 2, 3, 3, 3}), (std::vector<std::string>{"B0|B1|B2B3B4"}));
  // A group of more than five breaks after its fifth button.
  EXPECT_EQ(Rows({1, 2, 2, 2, 2, 2, 2, 2}), (std::vector<std::string>{"B0", "B1B2B3B4B5", "B6B7"}));
  EXPECT_TRUE(Rows({}).empty());
}

TEST(Redraw, AnActionRedrawsWhatItChangesAndAnEditAsTheKindItReplaces) {
  testing::TActionFactory make;
  const auto made = make.Shot(10, 1, 4, "Made", 2);
  const auto missed = make.Shot(10, 1, 4, "Missed", 2);
  EXPECT_TRUE(RedrawAfter(*made, nullptr).Score);
  EXPECT_FALSE(RedrawAfter(*missed, nullptr).Score);
  // An edit from missed to made redraws the score, judged by the kind it replaces.
  auto edit = made->Clone();
  edit->ShortName = "edit";
  EXPECT_TRUE(RedrawAfter(*edit, missed.get()).Score);
  const auto foul = make.Foul(20, 2, 5, 4);
  auto removal = make.Make("delete", 30, {{"Event", foul->ID}});
  const TRedraw deleted = RedrawAfter(*removal, foul.get());
  EXPECT_TRUE(deleted.State && deleted.PlayerButtons);
  EXPECT_FALSE(RedrawAfter(*removal, nullptr).State) << "nothing known of what was deleted";
}

TEST(GameBackup, TheGameNumberNamesAFileInsideTheFolderOnly) {
  EXPECT_EQ(GameFileName("2026-001"), "2026-001.log");
  EXPECT_EQ(GameFileName("../../etc/passwd"), ".._.._etc_passwd.log");
  EXPECT_EQ(GameFileName("a\\b"), "a_b.log");
  EXPECT_FALSE(GameFileName("").has_value());
  EXPECT_FALSE(GameFileName("..").has_value());
}

}  // namespace
}  // namespace velmora

#include "live/action_definitions.h"

#include "app/app.h"

namespace velmora {

bool HiddenAsFollowUp(const TApp& app, bool bothTeamsTracked, std::string_view kind) {
  if (!bothTeamsTracked || app.GetInt("hide_followups") != 1) return false;
  if (kind == "reb" || kind == "assist" || kind == "block") return app.HasAction("shot");
  if (kind == "steal") return app.HasAction("turnover");
  return false;
}

std::vector<TBarRow> LayoutActionBar(const std::vector<int>& groups) {
  // One sequence of slots: each group's buttons, then its separator when it has buttons.
  TBarRow slots;
  for (int group = 1; group <= kActionGroups; ++group) {
    bool any = false;
    for (std::size_t i = 0; i < groups.size(); ++i) {
      if (groups[i] != group) continue;
      slots.push_back({false, static_cast<int>(i)});
      any = true;
    }
    if (any) slots.push_back({true, group});
  }

  std::vector<TBarRow> rows(1);
  int buttonsInRow = 0;
  std::size_t groupStart = 0;  // position in the current row where the current group began
  int currentGroup = 0;
  for (const TBarSlot& slot : slots) {
    TBarRow& row = rows.back();
    if (slot.Separator) {
      row.push_back(slot);
      continue;
    }
    const int group = groups[static_cast<std::size_t>(slot.Index)];
    if (group != currentGroup) {
      currentGroup = group;
      groupStart = row.size();
    }
    if (buttonsInRow == 5) {
      // The separator before the group becomes the break, so the whole group starts a new row;
      // a group that fills a row by itself breaks right here.
      TBarRow next;
      if (groupStart > 0 && row[groupStart - 1].Separator) {
        next.assign(row.begin() + static_cast<std::ptrdiff_t>(groupStart), row.end());
        row.erase(row.begin() + static_cast<std::ptrdiff_t>(groupStart) - 1, row.end());
      }
      buttonsInRow = 0;
      for (const TBarSlot& moved : next) buttonsInRow += moved.Separator ? 0 : 1;
      if (buttonsInRow == 5) {
        rows.push_back(std::move(next));
        rows.push_back({});
        buttonsInRow = 0;
      } else {
        rows.push_back(std::move(next));
      }
      groupStart = 0;
    }
    rows.back().push_back(slot);
    ++buttonsInRow;
  }
  for (TBarRow& row : rows) {
    while (!row.empty() && row.back().Separator) row.pop_back();
  }
  std::erase_if(rows, [](const TBarRow& row) { return row.empty(); });
  return rows;
}

}  // namespace velmora

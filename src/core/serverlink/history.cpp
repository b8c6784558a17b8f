#include "serverlink/history.h"

#include <algorithm>

#include "stats/model.h"

namespace velmora {

void THistoryList::Insert(std::size_t row, THistoryLine line) {
  row = std::min(row, Lines_.size());
  BeginInsert(row);
  Lines_.insert(Lines_.begin() + static_cast<std::ptrdiff_t>(row), std::move(line));
  EndInsert();
}

void THistoryList::Replace(std::size_t row, std::string text, std::unique_ptr<TAction> action) {
  THistoryLine& line = Lines_[row];
  line.Text = std::move(text);
  line.Record.Action = std::move(action);
  LineChanged(row);
}

void THistoryList::Remove(std::size_t row) {
  BeginRemove(row);
  Lines_.erase(Lines_.begin() + static_cast<std::ptrdiff_t>(row));
  EndRemove();
}

void THistoryList::SetNotSent(std::size_t row, bool notSent) {
  THistoryLine& line = Lines_[row];
  if (line.Record.NotSent == notSent) return;
  line.Record.NotSent = notSent;
  LineChanged(row);
}

void THistoryList::Assign(std::deque<THistoryLine> lines) {
  BeginReset();
  Lines_ = std::move(lines);
  EndReset();
}

std::deque<THistoryLine> HistoryOfModel(const TModel& model, const TMessageSource& messages) {
  std::deque<THistoryLine> lines;
  for (const auto& action : model.Actions()) {
    auto copy = action->Clone();
    std::string text = copy->Describe(model.MatchInfo, messages);
    lines.push_front(THistoryLine{std::move(text), THistoryRecord{copy->ID, std::move(copy), false}});
  }
  return lines;
}

}  // namespace velmora

#pragma once
// The history list of the live game: one line per entered action, newest first (row 0), each with
// a copy of the action and a not-sent mark. The sender and the live window change it only through
// the members below, which tell a view exactly which rows changed, so a long game repaints only
// what changed. Used on the user interface thread only.

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "records/action.h"

namespace velmora {

class TModel;
class TMessageSource;

struct THistoryRecord {
  std::string ID;
  std::unique_ptr<TAction> Action;
  bool NotSent = false;
};

struct THistoryLine {
  std::string Text;
  THistoryRecord Record;
};

class THistoryList {
 public:
  virtual ~THistoryList() = default;

  std::size_t Count() const { return Lines_.size(); }
  bool Empty() const { return Lines_.empty(); }
  const THistoryLine& Line(std::size_t row) const { return Lines_[row]; }

  void InsertTop(THistoryLine line) { Insert(0, std::move(line)); }
  // A line at `row` (at most Count()), above the line that was there.
  void Insert(std::size_t row, THistoryLine line);
  // The line shows a new text and holds a new action copy; the mark stays.
  void Replace(std::size_t row, std::string text, std::unique_ptr<TAction> action);
  void Remove(std::size_t row);
  void SetNotSent(std::size_t row, bool notSent);
  // Replaces every line, newest first.
  void Assign(std::deque<THistoryLine> lines);

  // The sender's request after a batch with an edit or a delete: the window rebuilds its view.
  virtual void Reload() {}
  // A hidden list is left alone by the sender.
  virtual bool Shown() const { return true; }

 protected:
  // A view keeps up with these (pairs bracket the change, as item views need).
  virtual void BeginInsert(std::size_t /*row*/) {}
  virtual void EndInsert() {}
  virtual void BeginRemove(std::size_t /*row*/) {}
  virtual void EndRemove() {}
  virtual void LineChanged(std::size_t /*row*/) {}
  virtual void BeginReset() {}
  virtual void EndReset() {}

 private:
  std::deque<THistoryLine> Lines_;
};

// The history of a game just opened: one line per action of the model, the newest on top, marks
// clear. The texts are rendered from copies, so the model's actions keep their wall-clock times.
std::deque<THistoryLine> HistoryOfModel(const TModel& model, const TMessageSource& messages);

}  // namespace velmora

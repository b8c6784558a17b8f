#pragma once
// The history list of the live game: one line per entered action, newest first, each with a copy
// of the action and a not-sent mark. The live window draws it; the sender keeps it up to date.
// Every member is used on the user interface thread only.

#include <memory>
#include <string>
#include <vector>

#include "records/action.h"

namespace velmora {

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

  std::vector<THistoryLine>& Lines() { return Lines_; }
  const std::vector<THistoryLine>& Lines() const { return Lines_; }

  // The marks of some lines changed.
  virtual void Repaint() {}
  // An edit or a delete has reached the server: the list rebuilds itself.
  virtual void Reload() {}
  virtual bool Shown() const { return true; }

 private:
  std::vector<THistoryLine> Lines_;
};

}  // namespace velmora

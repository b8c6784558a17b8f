#pragma once
// The sender of the open game: it takes every action the operator enters and passes it on to the
// model (and, for a game on the server, to the server). Destroying it stops it at once.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "records/action.h"
#include "serverlink/sending_state.h"

namespace velmora {

enum class TEnqueueResult {
  Accepted,
  Incomplete,  // a parameter without value or default: dropped
  NotStored,   // applied, but the local store could not keep it (the operator must be told)
};

class THistoryList;

// The sender also keeps the live window's history list up to date, and the entry looks actions up
// there; a sender without a list finds nothing.
class TSender : public TActionHistory {
 public:
  virtual ~TSender() = default;
  // Takes an action entered by the operator.
  virtual TEnqueueResult Enqueue(std::unique_ptr<TAction> action) = 0;

  // Sets the list the sender updates (none: it updates no list).
  virtual void AttachHistoryList(THistoryList* /*history*/) {}
  // The action copy of the earliest history line with this identifier; none when there is none.
  virtual const TAction* FindHistoryAction(const std::string& /*id*/) const { return nullptr; }
  // The earliest history action whose ID or FollowUpID is `id` and whose kind is `shortName`.
  virtual const TAction* FindFollowUpAction(const std::string& /*id*/, const std::string& /*shortName*/) const {
    return nullptr;
  }
  std::vector<const TAction*> HistoryActions() const override { return {}; }

  // What the operator must be told about sending.
  virtual TSendingState SendingState() const { return {}; }
  // Told on the user interface thread, with the new state, whenever SendingState changes; none
  // to stop.
  virtual void SetStateListener(std::function<void(const TSendingState&)> /*listener*/) {}
  // After a new login: sending that waited for one goes on with what is pending.
  virtual void Resume() {}
};

}  // namespace velmora

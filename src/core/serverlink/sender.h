#pragma once
// The sender of the open game: it takes every action the operator enters and passes it on to the
// model (and, for a game on the server, to the server). Destroying it stops it at once.

#include <memory>

#include "records/action.h"

namespace velmora {

enum class TEnqueueResult {
  Accepted,
  Incomplete,  // a parameter without value or default: dropped
  NotStored,   // applied, but the local store could not keep it (the operator must be told)
};

class TSender {
 public:
  virtual ~TSender() = default;
  // Takes an action entered by the operator.
  virtual TEnqueueResult Enqueue(std::unique_ptr<TAction> action) = 0;
};

}  // namespace velmora

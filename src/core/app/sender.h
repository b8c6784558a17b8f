#pragma once
// The sender of the open game: it takes every action the operator enters and passes it on to the
// model (and, for a game on the server, to the server). Destroying it stops it at once.

#include <memory>

#include "records/action.h"

namespace velmora {

class TSender {
 public:
  virtual ~TSender() = default;
  // Takes an action entered by the operator. False when the action is incomplete (a parameter
  // without value or default) and was not accepted.
  virtual bool Enqueue(std::unique_ptr<TAction> action) = 0;
};

}  // namespace velmora

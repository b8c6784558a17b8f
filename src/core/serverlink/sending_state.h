#pragma once
// What the live sender has to tell the operator: a server that refuses the game's batches for good
// (the session ended, the game is gone), for which sending waits until the operator connects
// again, and single actions the server will never take, which stay in the local game only.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// A refusal of the server that asking again, as things stand, cannot change.
struct TRefusal {
  long Status = 0;     // the HTTP status
  std::string Answer;  // what the server said, as text
};

struct TRefusedAction {
  std::string ID;
  std::string Text;  // its history line
  TRefusal Refusal;
};

struct TSendingState {
  // Set while sending waits for a new session; every pending action waits with it.
  std::optional<TRefusal> Held;
  // The actions the server refused, earliest first.
  std::vector<TRefusedAction> Refused;
};

// Whether a status refuses a request for good: 400 (what it holds), 403 (the session), 404 (the
// game) and 413 (its size). Network errors and every other status are worth another try.
bool PermanentRefusal(long status);

// The refusal in the operator's words: "el servidor rechazó la sesión (HTTP 403: ...)".
std::string RefusalReason(const TRefusal& refusal);

// The live window's notice: what the server answered and what to do. Refused actions up to
// `acknowledged` (which the operator has read) are not repeated. Empty when there is nothing to say.
std::string SendingNotice(const TSendingState& state, std::size_t acknowledged);

}  // namespace velmora

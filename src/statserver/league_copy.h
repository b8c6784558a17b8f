#pragma once
// Moving a league from one database to another (from the embedded file to the federation's
// PostgreSQL, say): users with their password hashes, and every published game with its match
// information, actions, score confirmations, box scores and export requests, each game whole or
// not at all. Sessions stay behind: operators log in again.

#include <string>
#include <vector>

#include "records/result.h"

namespace velmora::statserver {

class TServerStore;

struct TCopyReport {
  int Users = 0;  // copied; a user the target knows already keeps the target's password
  int Games = 0;  // copied
  std::vector<std::string> KeptGames;  // the target had them already and keeps its own
};

// Refuses a target that holds games unless `merge`: then what it holds stays as it is, so copying
// twice copies nothing twice. A game that cannot be copied ends the copy with its reason; the
// games copied before it stay.
TResult<TCopyReport> CopyLeague(TServerStore& from, TServerStore& to, bool merge);

}  // namespace velmora::statserver

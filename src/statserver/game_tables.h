#pragma once
// The program's game tables (dvGames, dvPlayers, dvEvents) on either engine, written and read
// exactly as the program's own store writes and reads them, so that a game's checksum here is the
// one the program computes. Every function raises ESqlError.

#include <cstdint>
#include <string>
#include <string_view>

#include "records/action.h"
#include "records/catalogue.h"
#include "records/match_info.h"
#include "storage_engine.h"

namespace velmora::statserver {

struct TStoredGame {
  std::int64_t Id = 0;  // 0: not stored
  TDateTime Clock = 0;  // the game clock reached so far
};

TStoredGame FindGame(TSqlConnection& db, std::string_view gameNumber);
// Saves the match information and replaces the game's roster rows.
void StoreMatchInfo(TSqlConnection& db, const TMatchInfo& matchInfo);
// Stores one action of a live batch; an event the game already holds (a batch sent again after its
// answer was lost) is not stored twice. Deleting a period boundary also removes every later event
// and may set `clock` back.
void StoreLiveAction(TSqlConnection& db, std::int64_t gameId, const TAction& action, TDateTime& clock);
// Stores a whole list, replacing the game's log unless `append`, with the corrections the program
// makes to lists from elsewhere.
void SaveActionList(TSqlConnection& db, std::int64_t gameId, const TActionList& actions, bool append,
                    TDateTime& clock);
// The game's actions ordered by game time, wall-clock time and entry; rows that make no action are
// left out.
TActionList LoadActions(TSqlConnection& db, const TCatalogue& catalogue, std::string_view gameNumber);
// The kind of the game's stored event, empty when there is none.
std::string StoredKind(TSqlConnection& db, std::int64_t gameId, std::string_view eventId);
// MD5 over the stored header, roster and events, 32 lower-case hex digits.
std::string GameChecksum(TSqlConnection& db, std::string_view gameNumber);
void DeleteGame(TSqlConnection& db, std::string_view gameNumber);

}  // namespace velmora::statserver

#pragma once
// The statistics server's storage: users, published games with their first and current match
// information, each game's action log, score confirmations, uploaded box scores and export
// requests, on either storage engine. Games are kept in the same tables as the program's own
// store, so the server's checksum of a game is computed exactly as the program computes its own.
// Safe to use from any thread, and from several processes on one database.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/action.h"
#include "records/catalogue.h"
#include "records/match_info.h"
#include "records/result.h"
#include "storage_engine.h"

namespace velmora::statserver {

class TLoginRecords;

// One game as the live pages show it.
struct TGameSnapshot {
  TMatchInfo MatchInfo;
  TPeriodSettings Periods;
  TActionList Actions;
  std::int64_t Revision = 0;
};

struct TGameSummary {
  std::string GameNumber;
  std::string Team1Id;
  std::string Team2Id;
  std::string Team1Name;
  std::string Team2Name;
  std::string Time;  // as stored: "yyyy.MM.dd[ hh:mm:ss]"
};

class TServerStore {
 public:
  // Opens the database named by `location`: a PostgreSQL URI (IsPostgresLocation), with at most
  // `connections` open at once, or an SQLite file, made from the empty game database
  // `templateFile` when it is missing. The server's tables are made on first use.
  static TResult<std::unique_ptr<TServerStore>> Open(const std::string& location,
                                                     const std::filesystem::path& templateFile,
                                                     int connections = 16);
  ~TServerStore();

  // Adds the user, or gives an existing one the new password and ends the user's sessions.
  TStatus AddUser(std::string_view name, std::string_view password);
  // The user's id when name and password are right. An unknown name costs the same hash work.
  std::optional<std::int64_t> CheckUser(std::string_view name, std::string_view password);

  // Publishes a game for a user: its match information becomes the first and the current one,
  // `actions` (when given) its action log. Actions beyond what a game can hold are refused.
  TChangeStatus Publish(const TMatchInfo& matchInfo, std::string_view matchInfoXml, const TActionList* actions,
                        std::string_view userName);
  // Removes the game and everything received for it.
  TStatus Unpublish(std::string_view gameNumber);
  // The user who published the game; none when the game is not published (or cannot be read).
  std::optional<std::int64_t> OwnerOf(std::string_view gameNumber);
  std::vector<TGameSummary> GamesOf(std::optional<std::int64_t> userId);

  // The MATCHINFO element as text: as first published, or as it stands now (with the clock that
  // the game's actions have reached).
  std::optional<std::string> MatchInfoXml(std::string_view gameNumber, bool initial);
  TStatus UpdateMatchInfo(const TMatchInfo& matchInfo, std::string_view xml);
  // Applies live actions as the program's store does, all or nothing; an action the game holds
  // already is not stored twice. A batch holding an action beyond what a game can hold, or an edit
  // that would make one, is refused whole.
  TChangeStatus ApplyActions(std::string_view gameNumber, const TActionList& actions);
  TChangeStatus SaveActionList(std::string_view gameNumber, const TActionList& actions, bool append);
  // The ACTIONS document of the game's log, in the order it is to be applied.
  std::optional<std::string> ActionListXml(std::string_view gameNumber);
  TResult<std::string> Checksum(std::string_view gameNumber);

  TStatus ConfirmScore(std::string_view gameNumber, int scoreA, int scoreB, std::string_view name,
                       std::string_view contacts);
  TStatus StoreBoxScore(std::string_view gameNumber, std::string_view boxScore);
  TStatus RecordExport(std::string_view gameNumber);

  // Login sessions, by the digest of their value (TokenDigest): the user and the last use
  // (seconds since 1970).
  void SaveSession(std::string_view digest, std::int64_t userId, double lastUsed);
  // Records a later use of a session that is still stored.
  void TouchSession(std::string_view digest, double lastUsed);
  std::optional<std::pair<std::int64_t, double>> FindSession(std::string_view digest);
  void DeleteSession(std::string_view digest);
  // Failed logins, where every server process on the database counts them.
  TLoginRecords& LoginRecords() { return *LoginRecords_; }
  // The clock of those records, in seconds (the system's when none); only before a server uses them.
  void SetLoginClock(std::function<double()> seconds);

  std::optional<TGameSnapshot> Snapshot(std::string_view gameNumber);
  // Changes with every change of the game, also one made by another process (seen within the
  // engine's RevisionMemory); never the same for two states of any game in this database. None
  // when the game is not published.
  std::optional<std::int64_t> Revision(std::string_view gameNumber);
  // Names the database: with a revision, it names a state of a game that no other database has.
  const std::string& Tag() const { return Tag_; }

  TStorageEngine& Engine() { return *Engine_; }

 private:
  explicit TServerStore(std::unique_ptr<TStorageEngine> engine);
  // Gives the game a new revision, which also makes every other change of it wait for this one.
  // False when the game is not published.
  bool Bump(TSqlConnection& db, std::string_view gameNumber, std::int64_t& revision);
  void Remember(std::string_view gameNumber, std::optional<std::int64_t> revision);
  TStatus CheckBounds(TSqlConnection& db, std::int64_t gameId, const TActionList& actions);

  std::unique_ptr<TStorageEngine> Engine_;
  std::unique_ptr<TLoginRecords> LoginRecords_;
  std::string Tag_;
  TCatalogue Catalogue_;
  struct TKnownRevision {
    std::optional<std::int64_t> Revision;
    std::chrono::steady_clock::time_point Read;
  };
  std::mutex RevisionsLock_;
  std::unordered_map<std::string, TKnownRevision> Revisions_;
};

}  // namespace velmora::statserver

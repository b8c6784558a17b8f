#pragma once
// The statistics server's storage: users, published games with their first and current match
// information, each game's action log, score confirmations, uploaded box scores and export
// requests, in one SQLite file. Games are kept in the same tables as the program's own store, so
// the server's checksum of a game is computed exactly as the program computes its own.
// Every operation is serialised; the object may be used from any thread.

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

namespace velmora {
class TDatabasePlugin;
class TSqliteDatabase;
}

namespace velmora::statserver {

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

// The outcome of a change that a client sent: made; refused for what it holds (the sender's
// fault); or failed in the store.
class [[nodiscard]] TChangeStatus {
 public:
  TChangeStatus() = default;
  TChangeStatus(TStatus status) : Status_(std::move(status)) {}
  static TChangeStatus Refusal(std::string reason) {
    TChangeStatus refused(TError{std::move(reason)});
    refused.Refused_ = true;
    return refused;
  }

  bool Ok() const { return Status_.Ok(); }
  explicit operator bool() const { return Ok(); }
  bool Refused() const { return Refused_; }
  const std::string& Error() const { return Status_.Error(); }

 private:
  TStatus Status_;
  bool Refused_ = false;
};

class TServerStore {
 public:
  // Opens the database file, making it from the empty game database when it is missing.
  static TResult<std::unique_ptr<TServerStore>> Open(const std::filesystem::path& file,
                                                     const std::filesystem::path& templateFile);
  ~TServerStore();

  // Adds the user, or gives an existing one the new password and ends the user's sessions.
  TStatus AddUser(std::string_view name, std::string_view password);
  // The user's id when name and password are right. An unknown name costs the same hash work.
  std::optional<std::int64_t> CheckUser(std::string_view name, std::string_view password);

  // Publishes a game for a user: its match information becomes the first and the current one,
  // `actions` (when given) its action log. Actions beyond what a game can hold are refused.
  TChangeStatus Publish(const TMatchInfo& matchInfo, std::string_view matchInfoXml, const TActionList* actions,
                  std::string_view userName);
  TStatus Unpublish(std::string_view gameNumber);
  // The user who published the game; none when the game is not published.
  std::optional<std::int64_t> OwnerOf(std::string_view gameNumber);
  std::vector<TGameSummary> GamesOf(std::optional<std::int64_t> userId);

  // The MATCHINFO element as text: as first published, or as it stands now (with the clock that
  // the game's actions have reached).
  std::optional<std::string> MatchInfoXml(std::string_view gameNumber, bool initial);
  TStatus UpdateMatchInfo(const TMatchInfo& matchInfo, std::string_view xml);
  // Applies live actions as the program's store does, all or nothing. A batch holding an action
  // beyond what a game can hold, or an edit that would make one, is refused whole.
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

  std::optional<TGameSnapshot> Snapshot(std::string_view gameNumber);
  // Changes with every change of the game, also one made by another process.
  std::int64_t Revision(std::string_view gameNumber);

 private:
  TServerStore(std::unique_ptr<TDatabasePlugin> games, std::unique_ptr<TSqliteDatabase> reader);
  TStatus InTransaction(const std::function<TStatus()>& work);
  TDateTime StoredClock(std::string_view gameNumber);
  bool EventStored(std::int64_t gameId, std::string_view id);
  std::string StoredKind(std::int64_t gameId, std::string_view id);
  TStatus CheckBounds(std::int64_t gameId, const TActionList& actions);
  void Touch(std::string_view gameNumber);
  std::int64_t RevisionLocked(std::string_view gameNumber);

  std::mutex Lock_;
  std::unique_ptr<TDatabasePlugin> Games_;
  // The lookups every request makes (sessions, owners of games) have a connection of their own:
  // with the write-ahead log they need not wait for another request's commit.
  std::mutex ReadLock_;
  std::unique_ptr<TSqliteDatabase> Reader_;
  TCatalogue Catalogue_;
  std::unordered_map<std::string, std::int64_t> Revisions_;
};

}  // namespace velmora::statserver

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
#include "records/match_info.h"
#include "records/result.h"

namespace velmora {
class TDatabasePlugin;
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

class TServerStore {
 public:
  // Opens the database file, making it from the empty game database when it is missing.
  static TResult<std::unique_ptr<TServerStore>> Open(const std::filesystem::path& file,
                                                     const std::filesystem::path& templateFile);
  ~TServerStore();

  TStatus AddUser(std::string_view name, std::string_view password);
  // The user's id when name and password are right.
  std::optional<std::int64_t> CheckUser(std::string_view name, std::string_view password);

  // Publishes a game for a user: its match information becomes the first and the current one,
  // `actions` (when given) its action log.
  TStatus Publish(const TMatchInfo& matchInfo, std::string_view matchInfoXml, const TActionList* actions,
                  std::string_view userName);
  TStatus Unpublish(std::string_view gameNumber);
  // The user who published the game; none when the game is not published.
  std::optional<std::int64_t> OwnerOf(std::string_view gameNumber);
  std::vector<TGameSummary> GamesOf(std::optional<std::int64_t> userId);

  // The MATCHINFO element as text: as first published, or as it stands now (with the clock that
  // the game's actions have reached).
  std::optional<std::string> MatchInfoXml(std::string_view gameNumber, bool initial);
  TStatus UpdateMatchInfo(const TMatchInfo& matchInfo, std::string_view xml);
  // Applies live actions as the program's store does, all or nothing.
  TStatus ApplyActions(std::string_view gameNumber, const TActionList& actions);
  TStatus SaveActionList(std::string_view gameNumber, const TActionList& actions, bool append);
  // The ACTIONS document of the game's log, in the order it is to be applied.
  std::optional<std::string> ActionListXml(std::string_view gameNumber);
  TResult<std::string> Checksum(std::string_view gameNumber);

  TStatus ConfirmScore(std::string_view gameNumber, int scoreA, int scoreB, std::string_view name,
                       std::string_view contacts);
  TStatus StoreBoxScore(std::string_view gameNumber, std::string_view boxScore);
  TStatus RecordExport(std::string_view gameNumber);

  // Login sessions: the user and the last use (seconds since 1970).
  void SaveSession(std::string_view token, std::int64_t userId, double lastUsed);
  std::optional<std::pair<std::int64_t, double>> FindSession(std::string_view token);
  void DeleteSession(std::string_view token);

  std::optional<TGameSnapshot> Snapshot(std::string_view gameNumber);
  // Grows with every change of the game; 0 for an unknown game.
  std::int64_t Revision(std::string_view gameNumber);

 private:
  explicit TServerStore(std::unique_ptr<TDatabasePlugin> games);
  TStatus InTransaction(const std::function<TStatus()>& work);
  TDateTime StoredClock(std::string_view gameNumber);
  bool EventStored(std::int64_t gameId, std::string_view id);
  void Touch(std::string_view gameNumber);

  std::mutex Lock_;
  std::unique_ptr<TDatabasePlugin> Games_;
  std::unordered_map<std::string, std::int64_t> Revisions_;
};

}  // namespace velmora::statserver

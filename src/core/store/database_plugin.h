#pragma once
// The local game store: every game's match information, rosters and action log in one SQLite
// file, "dravon.db" in the user data folder (or in its version subfolder). Every action the model
// applies is written here at once and is on disk when StoreAction returns true.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "records/catalogue.h"
#include "records/hash_table.h"
#include "records/result.h"
#include "stats/game_store.h"

namespace velmora {

class ESqliteError;
class TModel;
class TSqliteDatabase;
class TSqliteStatement;

class TDatabasePlugin final : public TGameStore {
 public:
  // Opens "<dataFolder>/<versionFolder>/dravon.db" (no version folder when it is empty), creating
  // the folder and copying the empty template from `programFolder` when they are missing. On a
  // read-only or full disk the store opens for reading only (WriteRefusal says so). Fails with a
  // message when the version folder is not a plain folder name (a path separator or ".."), when
  // the file cannot be opened or is not a game database, or when it is damaged (checked at once;
  // a damaged file is never written). An existing file is never overwritten.
  static TResult<std::unique_ptr<TDatabasePlugin>> Open(const std::filesystem::path& dataFolder,
                                                        std::string_view versionFolder,
                                                        const std::filesystem::path& programFolder);
  // Opens the given database file, copying `templateFile` to it when it is missing.
  static TResult<std::unique_ptr<TDatabasePlugin>> OpenFile(const std::filesystem::path& file,
                                                            const std::filesystem::path& templateFile);
  ~TDatabasePlugin() override;

  // The connection, for owners that keep tables of their own in the same file.
  TSqliteDatabase& Connection() const { return *Database_; }

  const std::filesystem::path& File() const { return File_; }
  // Why the store refuses every write (it was opened for reading only, or damage was found); empty
  // while it can be written.
  const std::string& WriteRefusal() const { return WriteRefusal_; }
  // What the last failed operation met, said for the operator (a full disk, damage, ...).
  const std::string& LastError() const { return LastError_; }

  // Every stored game under its game number; false (logged) when the list could not be read.
  bool LoadGamesList(TObjectHash<TMatchInfo>& games);
  // Fills the match information of the game named by its GameNumber (teams and rosters replaced);
  // false (logged) on a database error.
  bool LoadMatchInfo(std::string_view gameNumber, TMatchInfo& matchInfo) override;
  // Saves the match information and replaces the game's roster rows; all or nothing.
  TStatus StoreMatchInfo(const TMatchInfo& matchInfo) override;
  // Stores one action of the game; deleting a period boundary also removes the later events and
  // sets the game clock back. False (logged) when nothing could be stored.
  bool StoreAction(TMatchInfo& matchInfo, const TAction& action) override;
  // The game's actions ordered by game time, wall-clock time and entry.
  bool LoadActions(std::string_view gameNumber, TActionList& actions) override;
  // MD5 over the header of `matchInfo` and the stored roster and events, 32 lower-case hex digits.
  TResult<std::string> ComputeChecksum(const TMatchInfo& matchInfo);
  // Stores a whole action list (replacing the game's log unless `append`); all or nothing.
  // Deleting a period boundary may set `gameClock` back.
  bool SaveActionList(std::string_view gameNumber, const TActionList& actions, bool append, TDateTime& gameClock);
  TStatus DeleteGame(std::string_view gameNumber);
  // The game's row id; 0 when it is not stored.
  std::int64_t FindGameId(std::string_view gameNumber);

  // Runs `work` in one transaction: every store operation inside it becomes part of it, and a
  // failure (false) rolls all of it back. Used to import a game as a whole.
  bool InTransaction(const std::function<bool()>& work);

 private:
  // A non-empty `readOnlyReason` makes a store for reading only.
  TDatabasePlugin(std::unique_ptr<TSqliteDatabase> database, std::filesystem::path file,
                  const std::string& readOnlyReason);
  static TResult<std::unique_ptr<TDatabasePlugin>> OpenForReading(const std::filesystem::path& file,
                                                                   const std::string& reason);

  std::string WriteRefusalText(const std::string& reason) const;
  // Raises the refusal when the store must not be written.
  void RequireWritable() const;
  // The failure said for the operator; damage makes the store refuse every later write.
  std::string Explain(const ESqliteError& failure);

  // FindGameId that raises when the lookup fails.
  std::int64_t GameIdOf(std::string_view gameNumber);
  void InsertEvent(std::int64_t gameId, const TAction& action, bool correctForImport);
  // Deletes the event and, for a period boundary, every later one.
  void DeleteEvent(std::int64_t gameId, std::string_view eventId, TDateTime& gameClock);
  void UpdateEvent(std::int64_t gameId, const TAction& action);
  void SetStoredClock(std::int64_t gameId, TDateTime clock);
  TActionList ReadActions(std::string_view gameNumber);

  std::unique_ptr<TSqliteDatabase> Database_;
  std::filesystem::path File_;
  std::string WriteRefusal_;
  std::string LastError_;
  TCatalogue Catalogue_;
};

// The model's local store when it is the game database; none otherwise.
TDatabasePlugin* DatabaseOf(const TModel& model);

}  // namespace velmora

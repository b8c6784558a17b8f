#pragma once
// Where the statistics server keeps its data: SQLite embedded in the process (a club, a test), or
// PostgreSQL shared by several server processes (a federation). Both are one interface: statements
// written once with "?" for each bound value, durable write transactions and reads. Nothing above
// this interface knows which engine it talks to.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "records/result.h"
#include "sql_connection.h"

namespace velmora::statserver {

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

using TWork = std::function<TChangeStatus(TSqlConnection&)>;

class TStorageEngine {
 public:
  virtual ~TStorageEngine() = default;

  // Runs `work` in a transaction that is durable when Write returns, perhaps together with the work
  // of other threads. A work that does not succeed is undone alone; the others are kept. A work may
  // be run more than once (when its transaction met another one), must change nothing but the
  // database, and must not write through the engine itself. A database failure is an error that is
  // not a refusal.
  virtual TChangeStatus Write(const TWork& work) = 0;
  // Runs `work` on what is committed; with `snapshot`, every statement sees the same commit.
  // Raises ESqlError.
  virtual void Read(const std::function<void(TSqlConnection&)>& work, bool snapshot = false) = 0;

  // A game revision never handed out before in this database; inside a Write.
  virtual std::int64_t NextRevision(TSqlConnection& connection) = 0;
  // Gives the published game the next revision, inside a Write, and keeps its row taken until the
  // transaction ends, so that two writes of one game never overlap. None when it is not published.
  virtual std::optional<std::int64_t> Bump(TSqlConnection& connection, std::string_view gameNumber) = 0;
  // True when other server processes may write to the database as well, so that what they share
  // (login failures) must be kept in it.
  virtual bool Shared() const = 0;
  // How long a revision read from the database may stand for the game's current one.
  virtual std::chrono::milliseconds RevisionMemory() const = 0;
};

// "postgresql://..." or "postgres://..." names a PostgreSQL database; anything else an SQLite file.
bool IsPostgresLocation(std::string_view location);

}  // namespace velmora::statserver

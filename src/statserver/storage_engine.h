#pragma once
// Where the statistics server keeps its data: SQLite embedded in the process (a club, a test), or
// PostgreSQL shared by several server processes (a federation). Both are one interface: statements
// written once with "?" for each bound value, durable write transactions and reads. Nothing above
// this interface knows which engine it talks to.

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "records/result.h"

namespace velmora::statserver {

// A failure of the database. `Retry` when the transaction only met another one (a deadlock, a
// serialisation failure) and may be run again.
class ESqlError : public std::runtime_error {
 public:
  explicit ESqlError(const std::string& message, bool retry = false) : std::runtime_error(message), Retry_(retry) {}
  bool Retry() const { return Retry_; }

 private:
  bool Retry_;
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

// One value bound to a statement; texts are referred to, not copied, and must outlive the call.
class TSqlValue {
 public:
  enum class TKind { Null, Integer, Real, Text, Blob };

  TSqlValue() = default;
  TSqlValue(std::nullopt_t) {}
  TSqlValue(std::int64_t value) : Kind(TKind::Integer), Integer(value) {}
  TSqlValue(int value) : TSqlValue(std::int64_t{value}) {}
  TSqlValue(double value) : Kind(TKind::Real), Real(value) {}
  TSqlValue(std::string_view text) : Kind(TKind::Text), Text(text) {}
  TSqlValue(const std::string& text) : TSqlValue(std::string_view(text)) {}
  TSqlValue(const char* text) : TSqlValue(std::string_view(text)) {}
  TSqlValue(const std::optional<std::string>& text) {
    if (text) *this = TSqlValue(*text);
  }
  TSqlValue(const std::optional<std::int64_t>& value) {
    if (value) *this = TSqlValue(*value);
  }
  TSqlValue(const std::optional<double>& value) {
    if (value) *this = TSqlValue(*value);
  }
  static TSqlValue Blob(std::string_view bytes) {
    TSqlValue value(bytes);
    value.Kind = TKind::Blob;
    return value;
  }

  TKind Kind = TKind::Null;
  std::int64_t Integer = 0;
  double Real = 0;
  std::string_view Text;
};

// The rows a statement gave, one at a time.
class TSqlRows {
 public:
  virtual ~TSqlRows() = default;
  // Moves to the next row; false after the last.
  virtual bool Next() = 0;
  virtual bool IsNull(int column) const = 0;
  // The column as text: a number in decimal, NULL as empty.
  virtual std::string Text(int column) const = 0;
  virtual std::string Blob(int column) const = 0;
  // A whole number, or none (NULL, or a text that is not one).
  virtual std::optional<std::int64_t> IntegerIfReadable(int column) const;
  virtual std::optional<double> RealIfReadable(int column) const;
  std::int64_t Integer(int column) const { return IntegerIfReadable(column).value_or(0); }
};

class TSqlConnection {
 public:
  virtual ~TSqlConnection() = default;
  // Runs one statement; its rows stay readable while other statements run. Raises ESqlError.
  virtual std::unique_ptr<TSqlRows> Query(std::string_view sql, const std::vector<TSqlValue>& values) = 0;
  std::unique_ptr<TSqlRows> Query(std::string_view sql, std::initializer_list<TSqlValue> values = {}) {
    return Query(sql, std::vector<TSqlValue>(values));
  }
  // Runs one statement; the rows it changed.
  virtual std::int64_t Run(std::string_view sql, const std::vector<TSqlValue>& values) = 0;
  std::int64_t Run(std::string_view sql, std::initializer_list<TSqlValue> values = {}) {
    return Run(sql, std::vector<TSqlValue>(values));
  }
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

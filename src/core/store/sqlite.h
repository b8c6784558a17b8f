#pragma once
// A thin owner of one SQLite connection and its prepared statements. Failures raise ESqliteError,
// which the store catches where its operations say.

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace velmora {

class ESqliteError : public std::runtime_error {
 public:
  explicit ESqliteError(const std::string& message, int code = SQLITE_ERROR)
      : std::runtime_error(message), Code_(code) {}
  // The extended SQLite result code (SQLITE_FULL, SQLITE_CORRUPT, SQLITE_IOERR_SHMSIZE, ...).
  int Code() const { return Code_; }
  // The primary result code.
  int PrimaryCode() const { return Code_ & 0xFF; }

 private:
  int Code_;
};

class TSqliteStatement {
 public:
  TSqliteStatement(sqlite3* db, std::string_view sql);
  ~TSqliteStatement();
  TSqliteStatement(const TSqliteStatement&) = delete;
  TSqliteStatement& operator=(const TSqliteStatement&) = delete;

  // Parameters are numbered from 1. An empty optional binds NULL.
  TSqliteStatement& Bind(int index, std::string_view text);
  TSqliteStatement& Bind(int index, const std::string& text) { return Bind(index, std::string_view(text)); }
  TSqliteStatement& Bind(int index, const char* text) { return Bind(index, std::string_view(text)); }
  TSqliteStatement& Bind(int index, std::int64_t value);
  TSqliteStatement& Bind(int index, double value);
  TSqliteStatement& Bind(int index, const std::optional<std::string>& text);
  TSqliteStatement& Bind(int index, const std::optional<std::int64_t>& value);
  TSqliteStatement& Bind(int index, const std::optional<double>& value);
  TSqliteStatement& BindNull(int index);
  TSqliteStatement& BindBlob(int index, std::string_view bytes);

  // True while a row is available.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  // Ready for new bindings and a new run.
  void Reset();

  bool IsNull(int column) const;
  // The column as text (a number gives its decimal text; NULL gives empty).
  std::string Text(int column) const;
  std::int64_t Integer(int column) const;
  // Integer value of an INTEGER column, or of a TEXT column holding a whole number; none otherwise.
  std::optional<std::int64_t> IntegerIfReadable(int column) const;
  std::optional<double> RealIfReadable(int column) const;

 private:
  sqlite3* Db_;
  sqlite3_stmt* Statement_ = nullptr;
};

// A prepared statement in use: it is reset (its rows and locks released) when the query ends.
class TSqliteQuery {
 public:
  explicit TSqliteQuery(TSqliteStatement& statement) : Statement_(&statement) {}
  ~TSqliteQuery() {
    if (Statement_) Statement_->Reset();
  }
  TSqliteQuery(TSqliteQuery&& other) noexcept : Statement_(std::exchange(other.Statement_, nullptr)) {}
  TSqliteQuery& operator=(TSqliteQuery&&) = delete;
  TSqliteQuery(const TSqliteQuery&) = delete;
  TSqliteQuery& operator=(const TSqliteQuery&) = delete;

  TSqliteStatement* operator->() const { return Statement_; }
  TSqliteStatement& operator*() const { return *Statement_; }

 private:
  TSqliteStatement* Statement_;
};

class TSqliteDatabase {
 public:
  // ReadOnly needs the file's write-ahead log files to exist or to be creatable; Immutable reads the
  // file alone, as a file that nothing changes (it would miss what a non-empty log still holds).
  enum class TOpenMode { ReadWrite, ReadOnly, Immutable };

  // Opens the file (never creates it); raises ESqliteError.
  explicit TSqliteDatabase(const std::filesystem::path& file, TOpenMode mode = TOpenMode::ReadWrite);
  ~TSqliteDatabase();
  TSqliteDatabase(const TSqliteDatabase&) = delete;
  TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

  void Execute(std::string_view sql);
  // The prepared statement of the text, kept for reuse. One text must not be in use twice at once.
  TSqliteQuery Prepare(const std::string& sql);
  std::int64_t LastInsertRowId() const;
  sqlite3* Handle() const { return Db_; }

 private:
  sqlite3* Db_ = nullptr;
  std::unordered_map<std::string, std::unique_ptr<TSqliteStatement>> Statements_;
};

// A transaction that nests: the outermost one commits, inner ones are savepoints. Rolled back when
// it ends without Commit().
class TSqliteTransaction {
 public:
  explicit TSqliteTransaction(TSqliteDatabase& database);
  ~TSqliteTransaction();
  TSqliteTransaction(const TSqliteTransaction&) = delete;
  TSqliteTransaction& operator=(const TSqliteTransaction&) = delete;

  void Commit();

 private:
  TSqliteDatabase& Database_;
  bool Done_ = false;
};

}  // namespace velmora

#include "store/sqlite.h"

namespace velmora {

namespace {
[[noreturn]] void Fail(sqlite3* db, std::string_view what) {
  throw ESqliteError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"),
                     db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM);
}

// "file:" and the path with the characters that mean something in a URI escaped.
std::string FileUri(const std::filesystem::path& file) {
  std::string uri = "file:";
  for (const char c : file.string()) {
    if (c == '%' || c == '?' || c == '#') {
      static constexpr char kHex[] = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      uri += c;
    }
  }
  return uri;
}
}  // namespace

TSqliteStatement::TSqliteStatement(sqlite3* db, std::string_view sql) : Db_(db) {
  if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &Statement_,
                         nullptr) != SQLITE_OK) {
    Fail(db, "cannot prepare \"" + std::string(sql) + "\"");
  }
}

TSqliteStatement::~TSqliteStatement() { sqlite3_finalize(Statement_); }

TSqliteStatement& TSqliteStatement::Bind(int index, std::string_view text) {
  if (sqlite3_bind_text(Statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK) {
    Fail(Db_, "cannot bind a value");
  }
  return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::int64_t value) {
  if (sqlite3_bind_int64(Statement_, index, value) != SQLITE_OK) Fail(Db_, "cannot bind a value");
  return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, double value) {
  if (sqlite3_bind_double(Statement_, index, value) != SQLITE_OK) Fail(Db_, "cannot bind a value");
  return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, const std::optional<std::string>& text) {
  return text ? Bind(index, std::string_view(*text)) : BindNull(index);
}

TSqliteStatement& TSqliteStatement::Bind(int index, const std::optional<std::int64_t>& value) {
  return value ? Bind(index, *value) : BindNull(index);
}

TSqliteStatement& TSqliteStatement::Bind(int index, const std::optional<double>& value) {
  return value ? Bind(index, *value) : BindNull(index);
}

TSqliteStatement& TSqliteStatement::BindBlob(int index, std::string_view bytes) {
  if (sqlite3_bind_blob(Statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT) !=
      SQLITE_OK) {
    Fail(Db_, "cannot bind a value");
  }
  return *this;
}

TSqliteStatement& TSqliteStatement::BindNull(int index) {
  if (sqlite3_bind_null(Statement_, index) != SQLITE_OK) Fail(Db_, "cannot bind a value");
  return *this;
}

bool TSqliteStatement::Step() {
  const int result = sqlite3_step(Statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  const std::string message = sqlite3_errmsg(Db_);
  const int code = sqlite3_extended_errcode(Db_);
  sqlite3_reset(Statement_);
  throw ESqliteError(message, code);
}

void TSqliteStatement::Run() {
  Step();
  Reset();
}

void TSqliteStatement::Reset() {
  sqlite3_reset(Statement_);
  sqlite3_clear_bindings(Statement_);
}

bool TSqliteStatement::IsNull(int column) const { return sqlite3_column_type(Statement_, column) == SQLITE_NULL; }

std::string TSqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(Statement_, column));
  if (!text) return {};
  return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(Statement_, column)));
}

std::int64_t TSqliteStatement::Integer(int column) const { return sqlite3_column_int64(Statement_, column); }

std::optional<std::int64_t> TSqliteStatement::IntegerIfReadable(int column) const {
  switch (sqlite3_column_type(Statement_, column)) {
    case SQLITE_INTEGER: return sqlite3_column_int64(Statement_, column);
    case SQLITE_TEXT: {
      const std::string text = Text(column);
      std::size_t used = 0;
      try {
        const long long value = std::stoll(text, &used);
        if (used == text.size()) return value;
      } catch (const std::exception&) {
      }
      return std::nullopt;
    }
    default: return std::nullopt;
  }
}

std::optional<double> TSqliteStatement::RealIfReadable(int column) const {
  switch (sqlite3_column_type(Statement_, column)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return sqlite3_column_double(Statement_, column);
    default: return std::nullopt;
  }
}

TSqliteDatabase::TSqliteDatabase(const std::filesystem::path& file, TOpenMode mode) {
  const int flags = (mode == TOpenMode::ReadWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) |
                    SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_URI;
  const std::string name = FileUri(file) + (mode == TOpenMode::Immutable ? "?immutable=1" : "");
  if (sqlite3_open_v2(name.c_str(), &Db_, flags, nullptr) != SQLITE_OK) {
    const std::string message = Db_ ? sqlite3_errmsg(Db_) : "out of memory";
    const int code = Db_ ? sqlite3_extended_errcode(Db_) : SQLITE_NOMEM;
    sqlite3_close(Db_);
    Db_ = nullptr;
    throw ESqliteError("cannot open " + file.string() + ": " + message, code);
  }
  sqlite3_extended_result_codes(Db_, 1);
  // Another program holding the file briefly (a backup, a second window) must not fail a store.
  sqlite3_busy_timeout(Db_, 2000);
}

TSqliteDatabase::~TSqliteDatabase() {
  Statements_.clear();
  sqlite3_close(Db_);
}

void TSqliteDatabase::Execute(std::string_view sql) {
  char* error = nullptr;
  if (sqlite3_exec(Db_, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errmsg(Db_);
    sqlite3_free(error);
    throw ESqliteError(message, sqlite3_extended_errcode(Db_));
  }
}

TSqliteQuery TSqliteDatabase::Prepare(const std::string& sql) {
  auto& statement = Statements_[sql];
  if (!statement) statement = std::make_unique<TSqliteStatement>(Db_, sql);
  return TSqliteQuery(*statement);
}

std::int64_t TSqliteDatabase::LastInsertRowId() const { return sqlite3_last_insert_rowid(Db_); }

TSqliteTransaction::TSqliteTransaction(TSqliteDatabase& database) : Database_(database) {
  Database_.Execute("SAVEPOINT velmora");
}

TSqliteTransaction::~TSqliteTransaction() {
  if (Done_) return;
  try {
    Database_.Execute("ROLLBACK TO velmora");
    Database_.Execute("RELEASE velmora");
  } catch (const ESqliteError&) {
    // The connection rolls back by itself when a statement fails badly; nothing more to undo.
  }
}

void TSqliteTransaction::Commit() {
  Database_.Execute("RELEASE velmora");
  Done_ = true;
}

}  // namespace velmora

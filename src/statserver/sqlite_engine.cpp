#include "sqlite_engine.h"

#include "log_checkpointer.h"
#include "passwords.h"
#include "store/database_plugin.h"
#include "store/sqlite.h"

namespace velmora::statserver {

namespace {

constexpr int kReaders = 3;

constexpr const char* kServerTables = R"SQL(
CREATE TABLE IF NOT EXISTS svUsers (
  id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL, salt BLOB NOT NULL, hash BLOB NOT NULL,
  iterations INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS svGames (
  game_number TEXT PRIMARY KEY, user_id INTEGER NOT NULL, initial_matchinfo TEXT NOT NULL,
  current_matchinfo TEXT NOT NULL, published TEXT NOT NULL, revision INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS svScores (
  id INTEGER PRIMARY KEY, game_number TEXT, score_a INTEGER, score_b INTEGER, name TEXT, contacts TEXT,
  received TEXT);
CREATE TABLE IF NOT EXISTS svBoxScores (id INTEGER PRIMARY KEY, game_number TEXT, boxscore TEXT, received TEXT);
CREATE TABLE IF NOT EXISTS svExports (id INTEGER PRIMARY KEY, game_number TEXT, requested TEXT);
CREATE TABLE IF NOT EXISTS svSessions (
  token_digest TEXT PRIMARY KEY, user_id INTEGER NOT NULL, last_used REAL NOT NULL);
CREATE TABLE IF NOT EXISTS svLoginFailures (
  kind TEXT NOT NULL, key TEXT NOT NULL, count INTEGER NOT NULL, last REAL NOT NULL, not_before REAL NOT NULL,
  PRIMARY KEY (kind, key));
CREATE TABLE IF NOT EXISTS svInfo (name TEXT PRIMARY KEY, value TEXT NOT NULL);
INSERT OR IGNORE INTO svInfo (name, value) VALUES ('revision', '0');
)SQL";

ESqlError Wrapped(const ESqliteError& failure) {
  return ESqlError(failure.what(), failure.PrimaryCode() == SQLITE_BUSY || failure.PrimaryCode() == SQLITE_LOCKED);
}

bool HasColumn(TSqliteDatabase& db, const std::string& table, std::string_view column) {
  auto columns = db.Prepare("SELECT name FROM pragma_table_info('" + table + "')");
  while (columns->Step()) {
    if (columns->Text(0) == column) return true;
  }
  return false;
}

// Databases from before kept session values in clear, and no revision of their games: each session
// becomes its digest, so that the games being played go on with the sessions they have.
void Upgrade(TSqliteDatabase& db) {
  if (HasColumn(db, "svGames", "game_number") && !HasColumn(db, "svGames", "revision")) {
    db.Execute("ALTER TABLE svGames ADD COLUMN revision INTEGER NOT NULL DEFAULT 0");
  }
  if (!HasColumn(db, "svSessions", "token")) return;
  TSqliteTransaction transaction(db);
  db.Execute("ALTER TABLE svSessions RENAME TO svClearSessions");
  db.Execute(
      "CREATE TABLE svSessions (token_digest TEXT PRIMARY KEY, user_id INTEGER NOT NULL, last_used REAL NOT NULL)");
  {
    auto rows = db.Prepare("SELECT token, user_id, last_used FROM svClearSessions");
    auto insert = db.Prepare("INSERT OR IGNORE INTO svSessions (token_digest, user_id, last_used) VALUES (?,?,?)");
    while (rows->Step()) {
      insert->Bind(1, TokenDigest(rows->Text(0))).Bind(2, rows->Integer(1));
      insert->Bind(3, rows->RealIfReadable(2).value_or(0));
      insert->Step();
    }
  }
  db.Execute("DROP TABLE svClearSessions");
  transaction.Commit();
}

class TSqliteRows final : public TSqlRows {
 public:
  explicit TSqliteRows(TSqliteQuery query) : Query_(std::move(query)) {}
  bool Next() override try { return Query_->Step(); } catch (const ESqliteError& failure) {
    throw Wrapped(failure);
  }
  bool IsNull(int column) const override { return Query_->IsNull(column); }
  std::string Text(int column) const override { return Query_->Text(column); }
  std::string Blob(int column) const override { return Query_->Text(column); }
  std::optional<std::int64_t> IntegerIfReadable(int column) const override { return Query_->IntegerIfReadable(column); }
  std::optional<double> RealIfReadable(int column) const override { return Query_->RealIfReadable(column); }

 private:
  TSqliteQuery Query_;
};

}  // namespace

class TSqliteConnection final : public TSqlConnection {
 public:
  explicit TSqliteConnection(TSqliteDatabase& database) : Database_(database) {}
  explicit TSqliteConnection(std::unique_ptr<TSqliteDatabase> database)
      : Owned_(std::move(database)), Database_(*Owned_) {}

  std::unique_ptr<TSqlRows> Query(std::string_view sql, const std::vector<TSqlValue>& values) override try {
    TSqliteQuery query = Database_.Prepare(std::string(sql));
    for (std::size_t i = 0; i < values.size(); ++i) Bind(*query, static_cast<int>(i) + 1, values[i]);
    return std::make_unique<TSqliteRows>(std::move(query));
  } catch (const ESqliteError& failure) {
    throw Wrapped(failure);
  }

  std::int64_t Run(std::string_view sql, const std::vector<TSqlValue>& values) override {
    auto rows = Query(sql, values);
    while (rows->Next()) {
    }
    return sqlite3_changes64(Database_.Handle());
  }

  // One statement, prepared once: savepoints and commits come with every request.
  void Execute(std::string_view sql) { Run(sql, {}); }
  bool InTransaction() const { return sqlite3_get_autocommit(Database_.Handle()) == 0; }

 private:
  static void Bind(TSqliteStatement& statement, int index, const TSqlValue& value) {
    switch (value.Kind) {
      case TSqlValue::TKind::Null: statement.BindNull(index); break;
      case TSqlValue::TKind::Integer: statement.Bind(index, value.Integer); break;
      case TSqlValue::TKind::Real: statement.Bind(index, value.Real); break;
      case TSqlValue::TKind::Text: statement.Bind(index, value.Text); break;
      case TSqlValue::TKind::Blob: statement.BindBlob(index, value.Text); break;
    }
  }

  std::unique_ptr<TSqliteDatabase> Owned_;
  TSqliteDatabase& Database_;
};

struct TSqliteEngine::TRequest {
  explicit TRequest(const TWork& work) : Work(&work) {}
  const TWork* Work;
  TChangeStatus Result;
  bool Done = false;
  bool Leads = false;  // commits the next group
  std::condition_variable Wake;
};

TResult<std::unique_ptr<TSqliteEngine>> TSqliteEngine::Open(const std::filesystem::path& file,
                                                            const std::filesystem::path& templateFile) {
  auto games = TDatabasePlugin::OpenFile(file, templateFile);
  if (!games) return TError{games.Error()};
  if (!games.Value()->WriteRefusal().empty()) return TError{games.Value()->WriteRefusal()};
  std::vector<std::unique_ptr<TSqliteConnection>> readers;
  std::unique_ptr<TLogCheckpointer> checkpointer;
  try {
    Upgrade(games.Value()->Connection());
    // A league's indexes of actions outgrow SQLite's 2 MiB of cached pages within the hour; every
    // page read again would be a system call while the commit holds up everyone else.
    games.Value()->Connection().Execute("PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY");
    games.Value()->Connection().Execute(kServerTables);
    for (int i = 0; i < kReaders; ++i) {
      readers.push_back(std::make_unique<TSqliteConnection>(std::make_unique<TSqliteDatabase>(file)));
    }
    checkpointer = std::make_unique<TLogCheckpointer>(games.Value()->Connection().Handle(), file);
  } catch (const ESqliteError& failure) {
    return TError{std::string("cannot prepare the server tables: ") + failure.what()};
  }
  return std::unique_ptr<TSqliteEngine>(
      new TSqliteEngine(std::move(games.Value()), std::move(readers), std::move(checkpointer)));
}

TSqliteEngine::TSqliteEngine(std::unique_ptr<TDatabasePlugin> games,
                             std::vector<std::unique_ptr<TSqliteConnection>> readers,
                             std::unique_ptr<TLogCheckpointer> checkpointer)
    : Games_(std::move(games)),
      Writer_(std::make_unique<TSqliteConnection>(Games_->Connection())),
      Checkpointer_(std::move(checkpointer)),
      Readers_(std::move(readers)) {}

TSqliteEngine::~TSqliteEngine() = default;

TChangeStatus TSqliteEngine::Write(const TWork& work) {
  TRequest request(work);
  std::unique_lock lock(QueueLock_);
  Queue_.push_back(&request);
  if (!Committing_) {
    Committing_ = true;
    request.Leads = true;
  }
  // Each waiting writer is woken alone: when its group is committed, or when it is to commit the next.
  request.Wake.wait(lock, [&] { return request.Done || request.Leads; });
  if (request.Done) return request.Result;
  // This thread commits everything that waits, its own write among it.
  std::vector<TRequest*> group;
  group.swap(Queue_);
  lock.unlock();
  CommitGroup(group);
  lock.lock();
  for (TRequest* member : group) {
    member->Done = true;
    if (member != &request) member->Wake.notify_one();
  }
  // What arrived meanwhile is committed by one of its own writers, so this one answers at once.
  if (Queue_.empty()) {
    Committing_ = false;
  } else {
    Queue_.front()->Leads = true;
    Queue_.front()->Wake.notify_one();
  }
  return request.Result;
}

bool TSqliteEngine::Apply(TRequest& request) {
  try {
    Writer_->Execute("SAVEPOINT request");
    request.Result = (*request.Work)(*Writer_);
  } catch (const std::exception& failure) {
    request.Result = TStatus(TError{failure.what()});
  }
  // Some failures (a full disk, an I/O error) end the transaction itself.
  if (!Writer_->InTransaction()) {
    if (request.Result.Ok()) request.Result = TStatus(TError{"the database ended the transaction"});
    return false;
  }
  try {
    if (!request.Result.Ok()) Writer_->Execute("ROLLBACK TO request");
    Writer_->Execute("RELEASE request");
    return true;
  } catch (const std::exception& failure) {
    if (request.Result.Ok()) request.Result = TStatus(TError{failure.what()});
    return Writer_->InTransaction();
  }
}

void TSqliteEngine::CommitGroup(const std::vector<TRequest*>& group) {
  std::vector<TRequest*> pending = group;
  while (!pending.empty()) {
    try {
      Writer_->Execute("BEGIN IMMEDIATE");
    } catch (const std::exception& failure) {
      for (TRequest* request : pending) request->Result = TStatus(TError{failure.what()});
      return;
    }
    std::vector<TRequest*> applied;
    TRequest* breaking = nullptr;
    for (TRequest* request : pending) {
      if (!Apply(*request)) {
        breaking = request;
        break;
      }
      applied.push_back(request);
    }
    if (breaking) {
      // Everything of the group was undone with it: the others are applied again without it.
      std::erase(pending, breaking);
      continue;
    }
    try {
      Writer_->Execute("COMMIT");
    } catch (const std::exception& failure) {
      for (TRequest* request : applied) {
        if (request->Result.Ok()) request->Result = TStatus(TError{failure.what()});
      }
      try {
        if (Writer_->InTransaction()) Writer_->Execute("ROLLBACK");
      } catch (const std::exception&) {
      }
    }
    return;
  }
}

void TSqliteEngine::Read(const std::function<void(TSqlConnection&)>& work, bool snapshot) {
  std::unique_ptr<TSqliteConnection> reader;
  {
    std::unique_lock lock(ReadersLock_);
    ReaderFree_.wait(lock, [&] { return !Readers_.empty(); });
    reader = std::move(Readers_.back());
    Readers_.pop_back();
  }
  const auto giveBack = [&] {
    const std::lock_guard lock(ReadersLock_);
    Readers_.push_back(std::move(reader));
    ReaderFree_.notify_one();
  };
  try {
    if (snapshot) reader->Execute("BEGIN");
    work(*reader);
    if (snapshot) reader->Execute("COMMIT");
  } catch (...) {
    try {
      if (reader->InTransaction()) reader->Execute("ROLLBACK");
    } catch (const std::exception&) {
    }
    giveBack();
    throw;
  }
  giveBack();
}

std::int64_t TSqliteEngine::NextRevision(TSqlConnection& connection) {
  auto next = connection.Query(
      "UPDATE svInfo SET value=CAST(value AS INTEGER)+1 WHERE name='revision' RETURNING CAST(value AS INTEGER)");
  if (!next->Next()) throw ESqlError("the revision counter is missing");
  return next->Integer(0);
}

std::optional<std::int64_t> TSqliteEngine::Bump(TSqlConnection& connection, std::string_view gameNumber) {
  // The one writing connection serialises the writes of a game anyway.
  const std::int64_t revision = NextRevision(connection);
  if (connection.Run("UPDATE svGames SET revision=? WHERE game_number=?", {revision, gameNumber}) == 0) {
    return std::nullopt;
  }
  return revision;
}

}  // namespace velmora::statserver

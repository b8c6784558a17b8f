#include "pg_connection.h"

#include <libpq-fe.h>

#include <charconv>
#include <cstdio>

namespace velmora::statserver {

namespace {

// Serialisation failures and deadlocks: the transaction may simply be run again.
bool Retryable(const char* state) {
  return state && (std::string_view(state) == "40001" || std::string_view(state) == "40P01");
}

std::string Message(PGconn* connection, const PGresult* result) {
  std::string text = result ? PQresultErrorMessage(result) : PQerrorMessage(connection);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text.empty() ? std::string("the database did not answer") : text;
}

using TResultHandle = std::unique_ptr<PGresult, decltype(&PQclear)>;

TResultHandle Checked(PGconn* connection, PGresult* raw) {
  TResultHandle result(raw, &PQclear);
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
  const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
  throw ESqlError(Message(connection, result.get()), Retryable(state));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

class TPgRows final : public TSqlRows {
 public:
  explicit TPgRows(TResultHandle result) : Result_(std::move(result)), Rows_(PQntuples(Result_.get())) {}
  // What an INSERT, UPDATE or DELETE changed, from its command tag.
  std::int64_t Changed() const {
    std::int64_t count = 0;
    const std::string_view tag = PQcmdTuples(Result_.get());
    std::from_chars(tag.data(), tag.data() + tag.size(), count);
    return count;
  }
  bool Next() override { return ++Row_ < Rows_; }
  bool IsNull(int column) const override { return PQgetisnull(Result_.get(), Row_, column) == 1; }
  std::string Text(int column) const override {
    return std::string(PQgetvalue(Result_.get(), Row_, column),
                       static_cast<std::size_t>(PQgetlength(Result_.get(), Row_, column)));
  }
  // A bytea comes as "\x" and two hexadecimal digits a byte.
  std::string Blob(int column) const override {
    const std::string text = Text(column);
    if (!text.starts_with("\\x")) return text;
    std::string bytes;
    for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
      bytes += static_cast<char>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1]));
    }
    return bytes;
  }

 private:
  TResultHandle Result_;
  int Rows_;
  int Row_ = -1;
};

// What the URI does not say itself: an unreachable server must not hold a request for minutes.
PGconn* Connect(const std::string& uri) {
  const char* keywords[] = {"connect_timeout", "application_name", "dbname", nullptr};
  const char* values[] = {"10", "velmora-statserver", uri.c_str(), nullptr};
  return PQconnectdbParams(keywords, values, 1);
}

}  // namespace

std::string NumberedPlaceholders(std::string_view sql) {
  std::string out;
  char quote = 0;
  int number = 0;
  for (const char c : sql) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '?') {
      out += '$' + std::to_string(++number);
      continue;
    }
    out += c;
  }
  return out;
}

TPgConnection::TPgConnection(const std::string& uri) : Connection_(Connect(uri)) {
  if (!Connection_ || PQstatus(Connection_) != CONNECTION_OK) {
    const std::string message = Message(Connection_, nullptr);
    PQfinish(Connection_);
    throw ESqlError("cannot connect to " + uri + ": " + message);
  }
  Setup();
}

TPgConnection::~TPgConnection() { PQfinish(Connection_); }

void TPgConnection::Setup() {
  // Notices ("already exists, skipping") are no news to anybody.
  PQsetNoticeProcessor(Connection_, [](void*, const char*) {}, nullptr);
  // A transaction left open by a process that hangs or loses its network must not hold a game's
  // row for ever: the database ends it, and the client sends its batch again.
  Execute("SET client_encoding TO 'UTF8'; SET bytea_output TO 'hex'; "
          "SET idle_in_transaction_session_timeout TO '30s'; SET statement_timeout TO '60s'");
  // An answer must never come before the commit is on disk: a database set to acknowledge
  // earlier is asked for its flush, while a stronger setting (a standby's) stays.
  auto setting = Query("SHOW synchronous_commit", {});
  if (setting->Next() && setting->Text(0) == "off") Execute("SET synchronous_commit TO on");
}

bool TPgConnection::Alive() {
  if (PQstatus(Connection_) != CONNECTION_OK) return false;
  // Reads what the server may have said meanwhile (a goodbye), without waiting.
  if (PQconsumeInput(Connection_) == 0) return false;
  return PQstatus(Connection_) == CONNECTION_OK;
}

void TPgConnection::Execute(std::string_view sql) {
  Checked(Connection_, PQexec(Connection_, std::string(sql).c_str()));
}

std::unique_ptr<TSqlRows> TPgConnection::Query(std::string_view sql, const std::vector<TSqlValue>& values) {
  const std::string key(sql);
  auto prepared = Prepared_.find(key);
  if (prepared == Prepared_.end()) {
    const std::string name = "s" + std::to_string(Prepared_.size());
    Checked(Connection_, PQprepare(Connection_, name.c_str(), NumberedPlaceholders(sql).c_str(),
                                   static_cast<int>(values.size()), nullptr));
    prepared = Prepared_.emplace(key, name).first;
  }
  std::vector<std::string> texts(values.size());
  std::vector<const char*> pointers(values.size(), nullptr);
  std::vector<int> lengths(values.size(), 0);
  std::vector<int> formats(values.size(), 0);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const TSqlValue& value = values[i];
    switch (value.Kind) {
      case TSqlValue::TKind::Null: continue;
      case TSqlValue::TKind::Integer: texts[i] = std::to_string(value.Integer); break;
      case TSqlValue::TKind::Real: {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value.Real).ptr;
        texts[i].assign(buffer, end);
        break;
      }
      case TSqlValue::TKind::Text: texts[i] = value.Text; break;
      case TSqlValue::TKind::Blob:
        texts[i] = value.Text;
        formats[i] = 1;
        break;
    }
    pointers[i] = texts[i].c_str();
    lengths[i] = static_cast<int>(texts[i].size());
  }
  TResultHandle result =
      Checked(Connection_, PQexecPrepared(Connection_, prepared->second.c_str(), static_cast<int>(values.size()),
                                          pointers.data(), lengths.data(), formats.data(), 0));
  return std::make_unique<TPgRows>(std::move(result));
}

std::int64_t TPgConnection::Run(std::string_view sql, const std::vector<TSqlValue>& values) {
  const auto rows = Query(sql, values);
  return static_cast<const TPgRows&>(*rows).Changed();
}

TPgPool::TLease::~TLease() {
  if (Pool_) Pool_->GiveBack(std::move(Connection_));
}

TPgPool::TLease TPgPool::Acquire() {
  std::unique_lock lock(Lock_);
  for (;;) {
    while (!Idle_.empty()) {
      std::unique_ptr<TPgConnection> connection = std::move(Idle_.back());
      Idle_.pop_back();
      if (connection->Alive()) {
        ++Lent_;
        return TLease(*this, std::move(connection));
      }
    }
    if (Lent_ < Most_) break;
    Free_.wait(lock);
  }
  ++Lent_;
  lock.unlock();
  try {
    return TLease(*this, std::make_unique<TPgConnection>(Uri_));
  } catch (...) {
    lock.lock();
    --Lent_;
    Free_.notify_one();
    throw;
  }
}

void TPgPool::GiveBack(std::unique_ptr<TPgConnection> connection) {
  const std::lock_guard guard(Lock_);
  --Lent_;
  if (connection) Idle_.push_back(std::move(connection));
  Free_.notify_one();
}

}  // namespace velmora::statserver

#pragma once
// The shared engine: one PostgreSQL database for every server process of a federation. Each write
// is a transaction of its own on a pooled connection, committed with the database's flush (whose
// group commit joins the flushes of concurrent transactions); a transaction that met another one
// is run again. The schema is made on first use.

#include <memory>
#include <string>

#include "pg_connection.h"
#include "storage_engine.h"

namespace velmora::statserver {

class TPostgresEngine final : public TStorageEngine {
 public:
  // Connects to the database of the URI and makes the server's tables when they are missing. At
  // most `connections` are open at once.
  static TResult<std::unique_ptr<TPostgresEngine>> Open(const std::string& uri, int connections = 16);

  TChangeStatus Write(const TWork& work) override;
  void Read(const std::function<void(TSqlConnection&)>& work, bool snapshot = false) override;
  std::int64_t NextRevision(TSqlConnection& connection) override;
  std::optional<std::int64_t> Bump(TSqlConnection& connection, std::string_view gameNumber) override;
  bool Shared() const override { return true; }
  // Spectators of another process's game see a change within this.
  std::chrono::milliseconds RevisionMemory() const override { return std::chrono::milliseconds(200); }

 private:
  TPostgresEngine(const std::string& uri, int connections) : Pool_(uri, connections) {}

  TPgPool Pool_;
};

}  // namespace velmora::statserver

#pragma once
// Connections to PostgreSQL through libpq: each statement is prepared once per connection and
// run with every value bound; results come back as text. A small pool lends them to threads.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "storage_engine.h"

struct pg_conn;

namespace velmora::statserver {

class TPgConnection final : public TSqlConnection {
 public:
  // Connects to the URI ("postgresql://USER@HOST:PORT/DB?..."); raises ESqlError.
  explicit TPgConnection(const std::string& uri);
  ~TPgConnection() override;
  TPgConnection(const TPgConnection&) = delete;
  TPgConnection& operator=(const TPgConnection&) = delete;

  std::unique_ptr<TSqlRows> Query(std::string_view sql, const std::vector<TSqlValue>& values) override;
  std::int64_t Run(std::string_view sql, const std::vector<TSqlValue>& values) override;
  // Statements without values, several separated by ";".
  void Execute(std::string_view sql);
  // False once the server has gone away (checked without waiting).
  bool Alive();

 private:
  void Setup();

  pg_conn* Connection_ = nullptr;
  std::unordered_map<std::string, std::string> Prepared_;  // statement text to its name
};

class TPgPool {
 public:
  TPgPool(std::string uri, int most) : Uri_(std::move(uri)), Most_(most) {}

  class TLease {
   public:
    TLease(TPgPool& pool, std::unique_ptr<TPgConnection> connection)
        : Pool_(&pool), Connection_(std::move(connection)) {}
    TLease(TLease&& other) noexcept
        : Pool_(std::exchange(other.Pool_, nullptr)), Connection_(std::move(other.Connection_)) {}
    TLease& operator=(TLease&&) = delete;
    ~TLease();
    TPgConnection& operator*() const { return *Connection_; }
    // The connection is not given back (it was lost, or is in a state of its own).
    void Drop() { Connection_.reset(); }

   private:
    TPgPool* Pool_;
    std::unique_ptr<TPgConnection> Connection_;
  };

  // A live connection: a free one, or a new one while there are fewer than `most`; otherwise waits.
  // Raises ESqlError when the server cannot be reached.
  TLease Acquire();

 private:
  void GiveBack(std::unique_ptr<TPgConnection> connection);

  std::string Uri_;
  int Most_;
  std::mutex Lock_;
  std::condition_variable Free_;
  std::vector<std::unique_ptr<TPgConnection>> Idle_;
  int Lent_ = 0;
};

// The statement with its "?" marks numbered as PostgreSQL writes them ("$1", "$2", ...); marks inside
// quotes stay as they are.
std::string NumberedPlaceholders(std::string_view sql);

}  // namespace velmora::statserver

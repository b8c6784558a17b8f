#pragma once
// The embedded engine: one SQLite file in write-ahead-log mode with a flush at every commit. Every
// thread's writes go through one connection, and those that arrive while a commit is being flushed
// are committed together in the next transaction, each in a savepoint of its own: a write that does
// not succeed is undone alone, and none returns before its transaction is on disk. Reads have
// connections of their own and never wait for a commit.

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "storage_engine.h"

namespace velmora {
class TDatabasePlugin;
}

namespace velmora::statserver {

class TLogCheckpointer;
class TSqliteConnection;

class TSqliteEngine final : public TStorageEngine {
 public:
  // Opens the file, making it from the empty game database when it is missing, and prepares the
  // server's own tables in it.
  static TResult<std::unique_ptr<TSqliteEngine>> Open(const std::filesystem::path& file,
                                                      const std::filesystem::path& templateFile);
  ~TSqliteEngine() override;

  TChangeStatus Write(const TWork& work) override;
  void Read(const std::function<void(TSqlConnection&)>& work, bool snapshot = false) override;
  std::int64_t NextRevision(TSqlConnection& connection) override;
  std::optional<std::int64_t> Bump(TSqlConnection& connection, std::string_view gameNumber) override;
  bool Shared() const override { return false; }
  std::chrono::milliseconds RevisionMemory() const override { return std::chrono::milliseconds(0); }

 private:
  struct TRequest;
  TSqliteEngine(std::unique_ptr<TDatabasePlugin> games, std::vector<std::unique_ptr<TSqliteConnection>> readers,
                std::unique_ptr<TLogCheckpointer> checkpointer);
  void CommitGroup(const std::vector<TRequest*>& group);
  // Runs the request in a savepoint; false when its failure ended the whole transaction.
  bool Apply(TRequest& request);

  std::unique_ptr<TDatabasePlugin> Games_;  // owns the writing connection
  std::unique_ptr<TSqliteConnection> Writer_;
  std::unique_ptr<TLogCheckpointer> Checkpointer_;  // ends before the writer
  std::mutex QueueLock_;
  std::vector<TRequest*> Queue_;
  bool Committing_ = false;

  std::mutex ReadersLock_;
  std::condition_variable ReaderFree_;
  std::vector<std::unique_ptr<TSqliteConnection>> Readers_;  // the free ones
};

}  // namespace velmora::statserver

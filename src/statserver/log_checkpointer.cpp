#include "log_checkpointer.h"

#include <signal.h>

namespace velmora::statserver {

namespace {
// Pages of log (4 KiB each) that start a copy beside the writer: SQLite's own point of copying.
constexpr int kCopyPages = 1000;
// Pages of log past which the writer copies it itself, as SQLite would.
constexpr int kWriterCopyPages = 4000;
}  // namespace

TLogCheckpointer::TLogCheckpointer(sqlite3* writer, const std::filesystem::path& file)
    : Writer_(writer), Database_(file) {
  Database_.Execute("PRAGMA synchronous=FULL");
  Thread_ = std::thread([this] { Run(); });
  sqlite3_wal_hook(Writer_, &TLogCheckpointer::Committed, this);
}

TLogCheckpointer::~TLogCheckpointer() {
  sqlite3_wal_autocheckpoint(Writer_, kCopyPages);  // the writer's own copying again
  {
    const std::lock_guard guard(Lock_);
    Ending_ = true;
  }
  Wake_.notify_one();
  Thread_.join();
}

int TLogCheckpointer::Committed(void* self, sqlite3* writer, const char* database, int logPages) {
  auto& checkpointer = *static_cast<TLogCheckpointer*>(self);
  if (logPages >= kWriterCopyPages) {
    sqlite3_wal_checkpoint_v2(writer, database, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
  } else if (logPages >= kCopyPages) {
    {
      const std::lock_guard guard(checkpointer.Lock_);
      checkpointer.Due_ = true;
    }
    checkpointer.Wake_.notify_one();
  }
  return SQLITE_OK;
}

void TLogCheckpointer::Run() {
  // Signals are the program's to take, on the threads it chose: this one may start before it chose.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
  std::unique_lock lock(Lock_);
  for (;;) {
    Wake_.wait(lock, [&] { return Due_ || Ending_; });
    if (Ending_) return;
    Due_ = false;
    lock.unlock();
    // Passive: it copies what no reader still needs, and never makes the writer wait. Once all of
    // the log is copied, the writer's next transaction starts it again from its beginning.
    sqlite3_wal_checkpoint_v2(Database_.Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    lock.lock();
  }
}

}  // namespace velmora::statserver

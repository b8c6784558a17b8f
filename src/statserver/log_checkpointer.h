#pragma once
// Copies the write-ahead log of an SQLite file back into the file beside its one writer, on a
// connection and thread of its own: the copy and its flush would otherwise hold up the commit
// that happens to fill the log, and every batch waiting behind it. A log that grows past a bound
// regardless (readers keeping old pages, a copy that cannot keep up) is copied by the writer.

#include <sqlite3.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include "store/sqlite.h"

namespace velmora::statserver {

class TLogCheckpointer {
 public:
  // Takes over the writing connection's commit hook. Raises ESqliteError when the file cannot be
  // opened.
  TLogCheckpointer(sqlite3* writer, const std::filesystem::path& file);
  ~TLogCheckpointer();
  TLogCheckpointer(const TLogCheckpointer&) = delete;
  TLogCheckpointer& operator=(const TLogCheckpointer&) = delete;

 private:
  static int Committed(void* self, sqlite3* writer, const char* database, int logPages);
  void Run();

  sqlite3* Writer_;
  TSqliteDatabase Database_;
  std::mutex Lock_;
  std::condition_variable Wake_;
  bool Due_ = false;
  bool Ending_ = false;
  std::thread Thread_;
};

}  // namespace velmora::statserver

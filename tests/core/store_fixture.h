#pragma once
// Game store tests: a store on real files in a temporary folder, a second plain connection to look
// at the rows as they lie on disk, and the lines the store wrote to the day log.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/database_plugin.h"
#include "temp_folder.h"

namespace velmora::testing {

// The folder of the empty database template; the test programs are built beside it.
std::filesystem::path TemplateFolder();

// Opens a store and fails the test when it cannot.
std::unique_ptr<TDatabasePlugin> OpenStore(const std::filesystem::path& dataFolder, std::string_view versionFolder = "");

using TRow = std::vector<std::optional<std::string>>;

// A connection of its own, as another program would have it.
class TRawDatabase {
 public:
  explicit TRawDatabase(const std::filesystem::path& file, bool create = false);
  ~TRawDatabase();
  TRawDatabase(const TRawDatabase&) = delete;
  TRawDatabase& operator=(const TRawDatabase&) = delete;

  // The rows of a query, NULL as none; a failing statement fails the test.
  std::vector<TRow> Rows(const std::string& sql);
  // The first column of the first row; none for NULL or no row.
  std::optional<std::string> Value(const std::string& sql);
  long long Count(const std::string& sql) { return std::stoll(Value(sql).value_or("-1")); }
  // Runs statements; the SQLite result code.
  int Execute(const std::string& sql);
  // "ok" for a sound database, else what is wrong.
  std::string IntegrityCheck() { return Value("PRAGMA integrity_check").value_or("no answer"); }

 private:
  sqlite3* Db_ = nullptr;
};

// The day log's messages (without their time), oldest first.
std::vector<std::string> LogMessages();

// Opens the day log in the temporary folder and a store in its "data" folder. The default game
// number carries a quote, which every statement must take as a plain value.
class StoreTest : public ::testing::Test {
 protected:
  static constexpr const char* kGame = "O'Neill-7";

  void SetUp() override;
  void TearDown() override;

  std::filesystem::path DataFolder() const { return Temp / "data"; }
  std::filesystem::path DatabaseFile() const { return DataFolder() / "dravon.db"; }
  TRawDatabase& Raw();
  // Messages logged since the store was opened.
  std::vector<std::string> NewLogMessages() const;

  TTempFolder Temp;
  std::unique_ptr<TDatabasePlugin> Store;

 private:
  std::unique_ptr<TRawDatabase> Raw_;
  std::size_t LogMark_ = 0;
};

}  // namespace velmora::testing

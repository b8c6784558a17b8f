#include "store_fixture.h"

#include "platform/logger.h"

namespace velmora::testing {

std::filesystem::path TemplateFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

std::unique_ptr<TDatabasePlugin> OpenStore(const std::filesystem::path& dataFolder, std::string_view versionFolder) {
  auto store = TDatabasePlugin::Open(dataFolder, versionFolder, TemplateFolder());
  EXPECT_TRUE(store.Ok()) << store.Error();
  return store ? std::move(store.Value()) : nullptr;
}

TRawDatabase::TRawDatabase(const std::filesystem::path& file, bool create) {
  if (sqlite3_open_v2(file.c_str(), &Db_, SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0), nullptr) !=
      SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << file << ": " << sqlite3_errmsg(Db_);
  }
}

TRawDatabase::~TRawDatabase() { sqlite3_close(Db_); }

std::vector<TRow> TRawDatabase::Rows(const std::string& sql) {
  std::vector<TRow> rows;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(Db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(Db_);
    return rows;
  }
  int result = SQLITE_OK;
  while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
    TRow& row = rows.emplace_back();
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      row.push_back(text ? std::optional<std::string>(text) : std::nullopt);
    }
  }
  if (result != SQLITE_DONE) ADD_FAILURE() << sql << ": " << sqlite3_errmsg(Db_);
  sqlite3_finalize(statement);
  return rows;
}

std::optional<std::string> TRawDatabase::Value(const std::string& sql) {
  const std::vector<TRow> rows = Rows(sql);
  return rows.empty() || rows[0].empty() ? std::nullopt : rows[0][0];
}

int TRawDatabase::Execute(const std::string& sql) {
  return sqlite3_exec(Db_, sql.c_str(), nullptr, nullptr, nullptr);
}

std::vector<std::string> LogMessages() {
  std::vector<std::string> messages;
  if (!Logger().IsOpen()) return messages;
  const std::string content = ReadFile(Logger().File());
  for (std::size_t start = 0; start < content.size();) {
    std::size_t end = content.find("\r\n", start);
    if (end == std::string::npos) end = content.size();
    // Each line is "hh:mm:ss " and the message.
    messages.push_back(content.substr(start + 9, end - start - 9));
    start = end + 2;
  }
  return messages;
}

void StoreTest::SetUp() {
  ASSERT_TRUE(Logger().Open(Temp.Path()).Ok());
  Store = OpenStore(DataFolder());
  ASSERT_NE(Store, nullptr);
  LogMark_ = LogMessages().size();
}

void StoreTest::TearDown() {
  Raw_.reset();
  Store.reset();
  Logger().Close();
}

TRawDatabase& StoreTest::Raw() {
  if (!Raw_) Raw_ = std::make_unique<TRawDatabase>(DatabaseFile());
  return *Raw_;
}

std::vector<std::string> StoreTest::NewLogMessages() const {
  std::vector<std::string> messages = LogMessages();
  messages.erase(messages.begin(), messages.begin() + static_cast<std::ptrdiff_t>(std::min(LogMark_, messages.size())));
  return messages;
}

}  // namespace velmora::testing

// The storage engine under writes of many threads at once: writes that arrive together share one
// commit (on the embedded engine), and a write that fails or is refused is undone alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/folders.h"
#include "server_store.h"
#include "temp_folder.h"
#include "test_database.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using statserver::TChangeStatus;
using statserver::TSqlConnection;

// The commits a write-ahead log holds: frames that carry the database's size after them.
int CommitsInLog(const std::filesystem::path& log) {
  const std::string bytes = ReadFile(log);
  const auto word = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
  };
  if (bytes.size() < 32) return 0;
  const std::size_t frame = 24 + word(8);
  int commits = 0;
  for (std::size_t at = 32; at + frame <= bytes.size(); at += frame) commits += word(at + 4) != 0 ? 1 : 0;
  return commits;
}

class StorageTest : public ::testing::Test {
 protected:
  StorageTest() {
    auto store = statserver::TServerStore::Open(Database.Location(), ProgramFolder() / "dravon.db");
    if (!store) throw std::runtime_error(store.Error());
    Store = std::move(store.Value());
  }
  std::vector<std::string> Requested() {
    std::vector<std::string> rows;
    Store->Engine().Read([&](TSqlConnection& db) {
      for (auto read = db.Query("SELECT game_number FROM svExports ORDER BY game_number"); read->Next();) {
        rows.push_back(read->Text(0));
      }
    });
    return rows;
  }

  TTempFolder Temp;
  TTestDatabase Database{Temp.Path()};
  std::unique_ptr<statserver::TServerStore> Store;
};

TEST_F(StorageTest, WritesThatArriveTogetherAreCommittedTogetherAndAFailingOneIsUndoneAlone) {
  constexpr int kWriters = 24;
  statserver::TStorageEngine& engine = Store->Engine();
  const auto insert = [](TSqlConnection& db, const std::string& name) {
    db.Run("INSERT INTO svExports (game_number, requested) VALUES (?, 'now')", {name});
  };
  const int commitsBefore = Database.Postgres() ? 0 : CommitsInLog(Database.Location() + "-wal");
  // The first write holds its transaction open until every other one has been asked for.
  std::atomic<int> asked = 0;
  std::atomic<bool> firstBegun = false;
  std::thread first([&] {
    EXPECT_TRUE(engine.Write([&](TSqlConnection& db) -> TChangeStatus {
      insert(db, "first");
      firstBegun = true;
      const auto until = std::chrono::steady_clock::now() + 5s;
      while (asked < kWriters && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
      std::this_thread::sleep_for(100ms);  // the last one asked reaches the queue
      return TStatus{};
    }));
  });
  while (!firstBegun) std::this_thread::sleep_for(1ms);
  std::vector<TChangeStatus> outcomes(kWriters);
  std::vector<std::thread> writers;
  for (int i = 0; i < kWriters; ++i) {
    writers.emplace_back([&, i] {
      const std::string name = std::string(i % 4 == 0   ? "refused"
                                           : i % 4 == 1 ? "failed"
                                                        : "kept") +
                               "-" + (i < 10 ? "0" : "") + std::to_string(i);
      ++asked;
      outcomes[static_cast<std::size_t>(i)] = engine.Write([&](TSqlConnection& db) -> TChangeStatus {
        insert(db, name);
        if (i % 4 == 0) return TChangeStatus::Refusal("refused for what it holds");
        // The database's own refusal: the name is taken.
        if (i % 4 == 1) db.Run("INSERT INTO svInfo (name, value) VALUES ('id', 'taken')");
        return TStatus{};
      });
    });
  }
  for (auto& writer : writers) writer.join();
  first.join();

  std::vector<std::string> kept = {"first"};
  for (int i = 0; i < kWriters; ++i) {
    const TChangeStatus& outcome = outcomes[static_cast<std::size_t>(i)];
    EXPECT_EQ(outcome.Ok(), i % 4 > 1) << i;
    EXPECT_EQ(outcome.Refused(), i % 4 == 0) << i;
    if (i % 4 > 1) kept.push_back(std::string("kept-") + (i < 10 ? "0" : "") + std::to_string(i));
  }
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Requested(), kept);
  // One commit for the first write, one for everything that waited for it.
  if (!Database.Postgres()) {
    EXPECT_EQ(CommitsInLog(Database.Location() + "-wal") - commitsBefore, 2);
  }
}

// Copying the log back into the file happens beside the writer, and the log does not grow without
// end while writes go on.
TEST_F(StorageTest, TheLogIsCopiedBackBesideTheWriterAndStaysBounded) {
  if (Database.Postgres()) GTEST_SKIP() << "the embedded engine's log";
  const std::filesystem::path file = Database.Location();
  const std::filesystem::path log = Database.Location() + "-wal";
  const std::string filler(60 * 1024, 'x');
  const auto write = [&](int from, int count) {
    for (int i = from; i < from + count; ++i) {
      ASSERT_TRUE(Store->Engine().Write([&](TSqlConnection& db) -> TChangeStatus {
        db.Run("INSERT INTO svExports (game_number, requested) VALUES (?, ?)", {"W-" + std::to_string(i), filler});
        return TStatus{};
      }));
    }
  };
  // About 1,500 pages of log: enough to be copied, too few for the writer to copy them itself.
  const auto fileBefore = std::filesystem::file_size(file);
  write(0, 95);
  const auto until = std::chrono::steady_clock::now() + 10s;
  while (std::filesystem::file_size(file) < fileBefore + 5'000'000 && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_GE(std::filesystem::file_size(file), fileBefore + 5'000'000);
  // Ten times as much again: the log starts over instead of growing (4,000 pages at most, plus
  // the commit that passed them).
  write(95, 950);
  EXPECT_LT(std::filesystem::file_size(log), 4100u * (4096 + 24));
  std::size_t rows = 0;
  Store->Engine().Read([&](TSqlConnection& db) {
    auto count = db.Query("SELECT COUNT(*) FROM svExports WHERE game_number LIKE 'W-%'");
    if (count->Next()) rows = static_cast<std::size_t>(count->Integer(0));
  });
  EXPECT_EQ(rows, 1045u);
}

}  // namespace
}  // namespace velmora::testing

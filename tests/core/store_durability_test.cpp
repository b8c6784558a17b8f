// The store against what the world does to files: foreign and damaged files, a second program
// holding the database, a full disk, and a process killed while it writes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <random>

#include "platform/configuration.h"
#include "game_builder.h"
#include "stats/game_documents.h"
#include "stats/model.h"
#include "small_disk.h"
#include "store/game_transfer.h"
#include "store/sqlite.h"
#include "store_fixture.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

constexpr const char* kGame = "O'Neill-7";

// A database with one game of a thousand actions, closed.
std::string PopulatedDatabase(const std::filesystem::path& folder) {
  {
    auto store = OpenStore(folder);
    TMatchInfo matchInfo = MakeMatchInfo(12, kGame);
    EXPECT_TRUE(store->StoreMatchInfo(matchInfo).Ok());
    TDateTime clock = 0;
    EXPECT_TRUE(store->SaveActionList(kGame, SimulateGame(matchInfo, 1000, 3), false, clock));
  }
  return ReadFile(folder / "dravon.db");
}

class UnusableDatabaseTest : public ::testing::Test {
 protected:
  // Open refuses the file with a message naming it (and saying `why`) and leaves its bytes as
  // they were.
  void ExpectRefused(const std::string& bytes, const std::string& why = "") {
    std::filesystem::create_directories(Data);
    WriteFile(Data / "dravon.db", bytes);
    const auto store = TDatabasePlugin::Open(Data, "", TemplateFolder());
    ASSERT_FALSE(store.Ok());
    EXPECT_THAT(store.Error(), ::testing::HasSubstr((Data / "dravon.db").string()));
    EXPECT_THAT(store.Error(), ::testing::HasSubstr(why));
    EXPECT_TRUE(ReadFile(Data / "dravon.db") == bytes) << "the file was changed";
  }

  TTempFolder Temp;
  std::filesystem::path Data = Temp / "data";
};

TEST_F(UnusableDatabaseTest, GarbageIsRefused) {
  std::string garbage(64 * 1024, '\0');
  std::mt19937 random(5);
  for (char& byte : garbage) byte = static_cast<char>(random());
  ExpectRefused(garbage);
  ExpectRefused("");
}

TEST_F(UnusableDatabaseTest, ATruncatedCopyIsRefused) {
  const std::string whole = PopulatedDatabase(Temp / "source");
  ASSERT_GT(whole.size(), 64u * 1024);
  ExpectRefused(whole.substr(0, whole.size() / 2));
}

TEST_F(UnusableDatabaseTest, DamageInsideThePagesIsToldAndNothingIsWritten) {
  const std::string whole = PopulatedDatabase(Temp / "source");
  constexpr std::size_t kPage = 4096;
  const std::size_t pages = whole.size() / kPage;
  ASSERT_GT(pages, 8u);
  std::mt19937 random(11);
  // The games' table (page 2), and a page of the events in the middle of the file.
  for (const std::size_t page : {std::size_t{1}, pages / 2}) {
    std::string damaged = whole;
    for (std::size_t i = 0; i < kPage; ++i) damaged[page * kPage + i] = static_cast<char>(random());
    ExpectRefused(damaged, "está dañada");
  }
}

TEST_F(UnusableDatabaseTest, ADatabaseOfAnotherProgramIsRefused) {
  {
    std::filesystem::create_directories(Temp / "other");
    TRawDatabase other(Temp / "other" / "dravon.db", true);
    ASSERT_EQ(other.Execute("CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT); INSERT INTO notes (text) "
                            "VALUES ('keep me')"),
              SQLITE_OK);
  }
  ExpectRefused(ReadFile(Temp / "other" / "dravon.db"));
}

TEST_F(UnusableDatabaseTest, ADatabaseHeldExclusivelyIsRefusedAfterAWait) {
  std::filesystem::create_directories(Data);
  std::filesystem::copy_file(TemplateFolder() / "dravon.db", Data / "dravon.db");
  const std::string bytes = ReadFile(Data / "dravon.db");
  TRawDatabase holder(Data / "dravon.db");
  ASSERT_EQ(holder.Execute("BEGIN EXCLUSIVE"), SQLITE_OK);
  const auto store = TDatabasePlugin::Open(Data, "", TemplateFolder());
  ASSERT_FALSE(store.Ok());
  EXPECT_THAT(store.Error(), ::testing::HasSubstr("locked"));
  EXPECT_TRUE(ReadFile(Data / "dravon.db") == bytes);
}

class DurableStoreTest : public StoreTest {
 protected:
  std::pair<std::string, std::int64_t> JournalAndFlush() const {
    auto mode = Store->Connection().Prepare("PRAGMA journal_mode");
    auto flush = Store->Connection().Prepare("PRAGMA synchronous");
    EXPECT_TRUE(mode->Step());
    EXPECT_TRUE(flush->Step());
    return {mode->Text(0), flush->Integer(0)};
  }
};

// A killed process leaves the page cache behind, so no kill tells a flushed commit from one that
// is not: the settings themselves must be in force, on every opening.
TEST_F(DurableStoreTest, EveryCommitGoesThroughTheWriteAheadLogAndIsFlushed) {
  const auto full = std::pair<std::string, std::int64_t>("wal", 2);
  EXPECT_EQ(JournalAndFlush(), full);
  Store.reset();
  Store = OpenStore(DataFolder());
  ASSERT_NE(Store, nullptr);
  EXPECT_EQ(JournalAndFlush(), full) << "opened again";
}

class LockedDatabaseTest : public StoreTest {};

TEST_F(LockedDatabaseTest, WritesFailWhileAnotherProgramHoldsTheLockAndWorkAfterwards) {
  TMatchInfo matchInfo = MakeMatchInfo(3, kGame);
  ASSERT_TRUE(Store->StoreMatchInfo(matchInfo).Ok());
  TActionFactory make;
  auto shot = make.Shot(60, 1, 4, "Made", 2);

  ASSERT_EQ(Raw().Execute("BEGIN EXCLUSIVE"), SQLITE_OK);
  const auto start = TClock::now();
  EXPECT_FALSE(Store->StoreAction(matchInfo, *shot));
  EXPECT_LT(TClock::now() - start, 10s);
  EXPECT_THAT(LogMessages().back(), ::testing::StartsWith("DB Exception while inserting action \""));
  const TStatus info = Store->StoreMatchInfo(matchInfo);
  ASSERT_FALSE(info.Ok());
  EXPECT_THAT(info.Error(), ::testing::HasSubstr("locked"));
  EXPECT_THAT(LogMessages().back(), ::testing::StartsWith("DB Exception while updating match info: "));
  EXPECT_FALSE(Store->DeleteGame(kGame).Ok());
  EXPECT_EQ(LogMessages().back(), "DB Exception, failed to delete game O'Neill-7");

  ASSERT_EQ(Raw().Execute("ROLLBACK"), SQLITE_OK);
  EXPECT_TRUE(Store->StoreAction(matchInfo, *shot));
  TActionList actions;
  ASSERT_TRUE(Store->LoadActions(kGame, actions));
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0]->ID, shot->ID);
}

// The store on a tmpfs of 512 KiB, which fills after a few dozen commits.
class FullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SmallDisk.Mounted()) GTEST_SKIP() << SmallDisk.Failure();
  }
  const std::filesystem::path& Disk() const { return SmallDisk.Path(); }
  TActionList StoredActions() {
    auto store = OpenStore(Disk());
    TActionList actions;
    EXPECT_TRUE(store && store->LoadActions(kGame, actions));
    EXPECT_EQ(TRawDatabase(Disk() / "dravon.db").IntegrityCheck(), "ok");
    return actions;
  }

  TTempFolder Temp;
  TSmallDisk SmallDisk{Temp / "disk", 512 * 1024};
  TConfiguration Config{TemplateFolder()};
  TActionFactory Make;
};

TEST_F(FullDiskTest, AnActionThatDidNotFitIsReportedAndEveryStoredOneSurvives) {
  std::vector<std::string> stored;
  {
    auto opened = OpenStore(Disk());
    ASSERT_NE(opened, nullptr);
    TDatabasePlugin& store = *opened;
    TModel model(Config, std::move(opened));
    model.MatchInfo = MakeMatchInfo(12, kGame);
    ASSERT_TRUE(model.SaveMatchInfo().Ok());
    int refused = 0;
    for (int i = 0; i < 5000 && refused < 3; ++i) {
      auto action = Make.Make("comment", i, {{"Comment", std::string(300, 'x') + std::to_string(i)}});
      const std::string id = action->ID;
      if (model.AddAction(std::move(action))) {
        stored.push_back(id);
      } else {
        ++refused;
      }
    }
    ASSERT_EQ(refused, 3) << "the disk never filled";
    EXPECT_FALSE(store.StoreAction(model.MatchInfo, *Make.Make("comment", 1, {{"Comment", std::string(300, 'y')}})));
  }
  std::vector<std::string> survived;
  for (const auto& action : StoredActions()) survived.push_back(action->ID);
  EXPECT_EQ(survived, stored);
}

TEST_F(FullDiskTest, AListThatDoesNotFitLeavesTheOldLog) {
  const TMatchInfo matchInfo = MakeMatchInfo(12, kGame);
  const TActionList old = SimulateGame(matchInfo, 40, 5);
  {
    auto store = OpenStore(Disk());
    ASSERT_NE(store, nullptr);
    ASSERT_TRUE(store->StoreMatchInfo(matchInfo).Ok());
    TDateTime clock = 0;
    ASSERT_TRUE(store->SaveActionList(kGame, old, false, clock));
    EXPECT_FALSE(store->SaveActionList(kGame, SimulateGame(matchInfo, 8000, 9), false, clock));
  }
  const TActionList kept = StoredActions();
  ASSERT_EQ(kept.size(), old.size());
  for (std::size_t i = 0; i < old.size(); ++i) EXPECT_EQ(kept[i]->ID, old[i]->ID);
}

// A stored game on a small disk that then turns read-only or fills up: every reading goes on,
// and every write is refused with the reason.
class UnwritableDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SmallDisk.Mounted()) GTEST_SKIP() << SmallDisk.Failure();
    auto store = OpenStore(SmallDisk.Path());
    ASSERT_NE(store, nullptr);
    ASSERT_TRUE(store->StoreMatchInfo(Game).Ok());
    TDateTime clock = 0;
    ASSERT_TRUE(store->SaveActionList(kGame, SimulateGame(Game, 200, 3), false, clock));
    Checksum = store->ComputeChecksum(Game).Value();
  }

  void ExpectReadableButNotWritable(const std::string& reason) {
    const std::string bytes = ReadFile(SmallDisk.Path() / "dravon.db");
    auto opened = TDatabasePlugin::Open(SmallDisk.Path(), "", TemplateFolder());
    ASSERT_TRUE(opened.Ok()) << opened.Error();
    TDatabasePlugin& store = *opened.Value();
    EXPECT_THAT(store.WriteRefusal(), ::testing::HasSubstr(reason));
    EXPECT_THAT(store.WriteRefusal(), ::testing::HasSubstr(store.File().string()));

    TObjectHash<TMatchInfo> games;
    ASSERT_TRUE(store.LoadGamesList(games));
    ASSERT_TRUE(games.Exists(kGame));
    EXPECT_EQ(store.ComputeChecksum(games.Get(kGame)).Value(), Checksum);
    TMatchInfo loaded;
    EXPECT_TRUE(store.LoadMatchInfo(kGame, loaded));
    EXPECT_EQ(loaded.Team1.PlayerCount, 12);
    TActionList actions;
    ASSERT_TRUE(store.LoadActions(kGame, actions));
    EXPECT_GT(actions.size(), 150u);

    const TStatus saved = store.StoreMatchInfo(Game);
    ASSERT_FALSE(saved.Ok());
    EXPECT_THAT(saved.Error(), ::testing::HasSubstr(reason));
    EXPECT_FALSE(store.StoreAction(Game, *TActionFactory().Shot(700, 1, 4, "Made", 2)));
    EXPECT_THAT(store.LastError(), ::testing::HasSubstr(reason));
    TDateTime clock = 0;
    EXPECT_FALSE(store.SaveActionList(kGame, {}, false, clock));
    EXPECT_FALSE(store.DeleteGame(kGame).Ok());
    opened.Value().reset();
    EXPECT_TRUE(ReadFile(SmallDisk.Path() / "dravon.db") == bytes) << "the file was changed";
  }

  TTempFolder Temp;
  TSmallDisk SmallDisk{Temp / "disk", 1024 * 1024};
  TMatchInfo Game = MakeMatchInfo(12, kGame);
  std::string Checksum;
};

TEST_F(UnwritableDiskTest, AReadOnlyDiskServesEveryReading) {
  ASSERT_TRUE(SmallDisk.MakeReadOnly());
  ExpectReadableButNotWritable("solo lectura");
}

TEST_F(UnwritableDiskTest, AFullDiskServesEveryReading) {
  SmallDisk.Fill();
  ExpectReadableButNotWritable("está lleno");
  SmallDisk.Free();
  auto store = OpenStore(SmallDisk.Path());
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->WriteRefusal(), "");
  EXPECT_TRUE(store->StoreMatchInfo(Game).Ok()) << "writable again once there is room";
}

// Runs `work` in a child process that reports on the write end of a pipe and is never let back
// into the test program. Gives the child's id and the read end.
std::pair<pid_t, int> Spawn(const std::function<void(int)>& work) {
  int ends[2];
  if (pipe(ends) != 0) return {-1, -1};
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    work(ends[1]);
    _exit(0);
  }
  close(ends[1]);
  return {child, ends[0]};
}

// Reads what the child reports until the deadline (none: until it closes the pipe), or until the
// report holds `until`, or at least `bytes`.
void ReadReports(int fd, std::string& reports, std::optional<TClock::time_point> deadline = std::nullopt,
                 char until = '\0', std::size_t bytes = 0) {
  char buffer[4096];
  while ((until == '\0' || reports.find(until) == std::string::npos) && (bytes == 0 || reports.size() < bytes)) {
    int wait = -1;
    if (deadline) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - TClock::now()).count();
      if (left <= 0) return;
      wait = static_cast<int>(left);
    }
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, wait) <= 0) continue;
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count <= 0) return;
    reports.append(buffer, static_cast<std::size_t>(count));
  }
}

void KillAndReap(pid_t child) {
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
}

TEST(KilledProcess, EveryActionReportedStoredSurvivesSigkill) {
  const std::uint32_t seed = 1107;
  std::mt19937 random(seed);
  RecordProperty("seed", static_cast<int>(seed));
  std::printf("kill moments from seed %u\n", seed);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + " of seed " + std::to_string(seed));
    TTempFolder temp;
    const auto [child, fd] = Spawn([&](int report) {
      auto store = TDatabasePlugin::Open(temp.Path(), "", TemplateFolder());
      if (!store) return;
      TMatchInfo matchInfo = MakeMatchInfo(12, kGame);
      if (!store.Value()->StoreMatchInfo(matchInfo)) return;
      TActionFactory make;
      for (int i = 0; i < 1000000; ++i) {
        auto action = make.Make("comment", i, {{"Comment", std::to_string(i)}});
        if (store.Value()->StoreAction(matchInfo, *action) && write(report, &i, sizeof i) < 0) return;
      }
    });
    ASSERT_GT(child, 0);
    // The kill lands while actions are being stored, however slowly a loaded machine opens the
    // store: the random moment is counted from the first report.
    std::string reports;
    ReadReports(fd, reports, TClock::now() + 60s, '\0', sizeof(int));
    ASSERT_GE(reports.size(), sizeof(int)) << "the child stored nothing within a minute";
    ReadReports(fd, reports, TClock::now() + std::chrono::milliseconds(std::uniform_int_distribution(100, 600)(random)));
    KillAndReap(child);
    ReadReports(fd, reports);
    close(fd);

    std::vector<int> reported(reports.size() / sizeof(int));
    std::memcpy(reported.data(), reports.data(), reported.size() * sizeof(int));
    for (std::size_t i = 0; i < reported.size(); ++i) ASSERT_EQ(reported[i], static_cast<int>(i));
    auto store = OpenStore(temp.Path());
    ASSERT_NE(store, nullptr);
    TActionList actions;
    ASSERT_TRUE(store->LoadActions(kGame, actions));
    // Every reported action, and at most the one whose report the kill cut off.
    EXPECT_GE(actions.size(), reported.size());
    EXPECT_LE(actions.size(), reported.size() + 1);
    for (std::size_t i = 0; i < actions.size(); ++i) EXPECT_EQ(actions[i]->GetParam("Comment"), std::to_string(i));
    EXPECT_EQ(TRawDatabase(temp / "dravon.db").IntegrityCheck(), "ok");
  }
}

// Where a kill of an import landed: before it changed anything, while its transaction was open,
// or after it was done.
enum class TKillPoint { Before, During, After };

TEST(KilledProcess, AnImportKilledBeforeDuringOrAfterItLeavesAllOrNothing) {
  TTempFolder files;
  const TConfiguration config(TemplateFolder());
  TModel writer(config);
  writer.MatchInfo = MakeMatchInfo(12, kGame);
  writer.SetActions(SimulateGame(writer.MatchInfo, 4000, 5));
  writer.MatchInfo.CurrentGameTime = writer.Actions().back()->GameTime;
  const std::filesystem::path file = files / "game.log";
  ASSERT_TRUE(WriteTransferFile(writer, file).Ok());
  const std::size_t total = writer.Actions().size();

  // The child reports "o" once the store is open, "w" at the import's first change and "d" when
  // the import is done. At "o" and at "w" it waits for a go from the test, which may kill it there
  // instead: so each point is met for certain, however the machine is loaded.
  struct TChild {
    pid_t Pid;
    int Reports;
    int Control;
  };
  const auto startImport = [&](const std::filesystem::path& folder) {
    int control[2];
    EXPECT_EQ(pipe(control), 0);
    const auto [child, reports] = Spawn([&](int report) {
      close(control[1]);
      struct THook {
        int Report;
        int Control;
        bool Told = false;
      } hook{report, control[0]};
      char go = 0;
      auto store = TDatabasePlugin::Open(folder, "", TemplateFolder());
      if (!store) return;
      sqlite3_update_hook(
          store.Value()->Connection().Handle(),
          [](void* data, int, const char*, const char*, sqlite3_int64) {
            auto& told = *static_cast<THook*>(data);
            char next = 0;
            if (told.Told || write(told.Report, "w", 1) != 1 || read(told.Control, &next, 1) != 1) return;
            told.Told = true;
          },
          &hook);
      if (write(report, "o", 1) != 1 || read(control[0], &go, 1) != 1) return;
      if (!ImportGame(*store.Value(), file, {}).Ok()) return;
      [[maybe_unused]] const ssize_t written = write(report, "d", 1);
    });
    close(control[0]);
    return TChild{child, reports, control[1]};
  };
  const auto go = [](const TChild& child) { EXPECT_EQ(write(child.Control, "g", 1), 1); };
  const auto await = [](const TChild& child, std::string& reports, char report) {
    ReadReports(child.Reports, reports, TClock::now() + 60s, report);
    return reports.find(report) != std::string::npos;
  };
  const auto finish = [](const TChild& child) {
    KillAndReap(child.Pid);
    close(child.Reports);
    close(child.Control);
  };

  // Once uncut, to know how long the writing takes.
  TClock::duration writing{};
  {
    const TChild child = startImport(files / "whole");
    std::string reports;
    ASSERT_TRUE(await(child, reports, 'o'));
    go(child);
    ASSERT_TRUE(await(child, reports, 'w'));
    const auto first = TClock::now();
    go(child);
    ASSERT_TRUE(await(child, reports, 'd'));
    writing = TClock::now() - first;
    finish(child);
  }

  const std::uint32_t seed = 20240314;
  std::mt19937 random(seed);
  RecordProperty("seed", static_cast<int>(seed));
  std::printf("kill moments from seed %u\n", seed);
  std::map<TKillPoint, int> landed;
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + " of seed " + std::to_string(seed));
    const std::filesystem::path folder = files / ("round" + std::to_string(round));
    std::filesystem::create_directory(folder);
    const TChild child = startImport(folder);
    std::string reports;
    ASSERT_TRUE(await(child, reports, 'o'));
    // The first three rounds kill at the points themselves; the others at a random moment of the
    // writing, or just after it.
    if (round != 0) {
      go(child);
      ASSERT_TRUE(await(child, reports, 'w'));
      if (round == 2) {
        go(child);
        ASSERT_TRUE(await(child, reports, 'd'));
      } else if (round > 2) {
        go(child);
        ReadReports(child.Reports, reports, TClock::now() + writing * std::uniform_int_distribution(1, 12)(random) / 10);
      }
    }
    finish(child);
    const TKillPoint point = reports.find('d') != std::string::npos   ? TKillPoint::After
                             : reports.find('w') != std::string::npos ? TKillPoint::During
                                                                      : TKillPoint::Before;
    ++landed[point];

    auto store = OpenStore(folder);
    ASSERT_NE(store, nullptr);
    TRawDatabase raw(folder / "dravon.db");
    EXPECT_EQ(raw.IntegrityCheck(), "ok");
    const long long rows = raw.Count(
        "SELECT (SELECT count(*) FROM dvGames) + (SELECT count(*) FROM dvPlayers) + (SELECT count(*) FROM dvEvents)");
    if (store->FindGameId(kGame) == 0) {
      EXPECT_EQ(rows, 0);
      EXPECT_NE(point, TKillPoint::After) << "a finished import is kept";
    } else {
      EXPECT_NE(point, TKillPoint::Before);
      TActionList actions;
      ASSERT_TRUE(store->LoadActions(kGame, actions));
      EXPECT_EQ(actions.size(), total);
      EXPECT_EQ(raw.Count("SELECT count(*) FROM dvPlayers"), 24);
    }
  }
  EXPECT_GE(landed[TKillPoint::Before], 1);
  EXPECT_GE(landed[TKillPoint::During], 1);
  EXPECT_GE(landed[TKillPoint::After], 1);
  RecordProperty("killed_during", landed[TKillPoint::During]);
}

}  // namespace
}  // namespace velmora::testing

// The game store: storing one action durably, compared with a bare durable SQLite insert of one
// row on the same file system, opening a stored game of a thousand actions, and opening the store.

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>

#include "game_builder.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "records/guid.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace velmora {
namespace {

// A fresh data folder beside the build, on the disk the program would use, not in memory.
struct TScratchFolder {
  TScratchFolder() {
    std::string pattern = (ProgramFolder() / "bench-store-XXXXXX").string();
    Path = mkdtemp(pattern.data());
  }
  ~TScratchFolder() { std::filesystem::remove_all(Path); }
  std::filesystem::path Path;
};

std::unique_ptr<TDatabasePlugin> OpenStore(const std::filesystem::path& folder) {
  auto store = TDatabasePlugin::Open(folder, "", ProgramFolder());
  if (!store) throw std::runtime_error(store.Error());
  return std::move(store.Value());
}

void BM_StoreAction(benchmark::State& state) {
  TScratchFolder folder;
  auto store = OpenStore(folder.Path);
  TMatchInfo matchInfo = testing::MakeMatchInfo(12);
  if (!store->StoreMatchInfo(matchInfo)) state.SkipWithError("cannot store the game");
  testing::TActionFactory factory;
  const auto shot = factory.Shot(600, 1, 4, "Made", 2);
  for (auto _ : state) {
    auto action = shot->Clone();
    action->ID = NewGuid();
    if (!store->StoreAction(matchInfo, *action)) state.SkipWithError("store failed");
  }
}

// The journal settings compared: 0 the store's (WAL, flush at every commit), 1 WAL flushing only at
// checkpoints (a power cut may lose the last commits), 2 the rollback journal with full flushes.
constexpr const char* kJournalSettings[] = {
    "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;",
    "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;",
    "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;",
};

void BM_BareInsert(benchmark::State& state) {
  TScratchFolder folder;
  std::filesystem::copy_file(ProgramFolder() / "dravon.db", folder.Path / "bare.db");
  sqlite3* db = nullptr;
  sqlite3_open((folder.Path / "bare.db").c_str(), &db);
  sqlite3_exec(db, kJournalSettings[state.range(0)], nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO dvEvents (game_id, log_id, log_time, game_time, log_action, log_param_1) "
                     "VALUES (1, ?, '12:00:00', '00:10:00', 'shot', '1')",
                     -1, &insert, nullptr);
  std::int64_t n = 0;
  for (auto _ : state) {
    const std::string id = std::to_string(++n);
    sqlite3_bind_text(insert, 1, id.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("insert failed");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_close(db);
}

void BM_OpenGame(benchmark::State& state) {
  TScratchFolder folder;
  TConfiguration config(ProgramFolder());
  TModel model(config, OpenStore(folder.Path));
  model.MatchInfo = testing::MakeMatchInfo(12, "B-1");
  auto& store = static_cast<TDatabasePlugin&>(*model.Store());
  if (!store.StoreMatchInfo(model.MatchInfo)) state.SkipWithError("cannot store the game");
  const TActionList actions = testing::SimulateGame(model.MatchInfo, 1000);
  if (!store.SaveActionList("B-1", actions, false, model.MatchInfo.CurrentGameTime)) {
    state.SkipWithError("cannot store the actions");
  }
  for (auto _ : state) {
    if (!model.OpenGame("B-1")) state.SkipWithError("open failed");
  }
  state.counters["actions"] = static_cast<double>(model.Actions().size());
}

// Opening the store with N games of a thousand actions each: the page check reads the whole file.
void BM_OpenStore(benchmark::State& state) {
  TScratchFolder folder;
  {
    auto store = OpenStore(folder.Path);
    for (int game = 0; game < state.range(0); ++game) {
      TMatchInfo matchInfo = testing::MakeMatchInfo(12, "B-" + std::to_string(game));
      TDateTime clock = 0;
      if (!store->StoreMatchInfo(matchInfo) ||
          !store->SaveActionList(matchInfo.GameNumber, testing::SimulateGame(matchInfo, 1000, game), false, clock)) {
        state.SkipWithError("cannot store the games");
      }
    }
  }
  for (auto _ : state) benchmark::DoNotOptimize(OpenStore(folder.Path));
  state.counters["MiB"] = static_cast<double>(std::filesystem::file_size(folder.Path / "dravon.db")) / (1 << 20);
}

// Flushing to disk is wall time, not processor time.
BENCHMARK(BM_StoreAction)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_BareInsert)->Unit(benchmark::kMicrosecond)->UseRealTime()->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_OpenGame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenStore)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(1)->Arg(100);

}  // namespace
}  // namespace velmora

// The statistics server's live document of a game of 450 actions, computed afresh, for a game as
// sent and for one whose database holds a period number from outside (stored before periods were
// bounded): the argument is that number, 0 for none.

#include <benchmark/benchmark.h>

#include "game_builder.h"
#include "live_pages.h"
#include "platform/folders.h"
#include "server_store.h"
#include "store/sqlite.h"
#include "temp_folder.h"

namespace velmora {
namespace {

void BM_LiveJson(benchmark::State& state) {
  testing::TTempFolder folder;
  const auto file = folder / "server.db";
  auto store = statserver::TServerStore::Open(file, ProgramFolder() / "dravon.db");
  if (!store || !store.Value()->AddUser("load", "load")) return state.SkipWithError("cannot open the store");
  TMatchInfo matchInfo = testing::MakeMatchInfo(12, "G-1");
  const TActionList actions = testing::SimulateGame(matchInfo, 450, 3);
  if (!store.Value()->Publish(matchInfo, "<MATCHINFO GameNumber=\"G-1\"/>", &actions, "load").Ok()) {
    return state.SkipWithError("cannot publish");
  }
  if (const auto period = state.range(0); period > 0) {
    TSqliteDatabase database(file);
    auto update = database.Prepare(
        "UPDATE dvEvents SET log_param_1=? WHERE id=(SELECT max(id) FROM dvEvents WHERE log_action='quarter')");
    update->Bind(1, std::to_string(period));
    update->Step();
  }
  for (auto _ : state) {
    state.PauseTiming();
    statserver::TLivePages pages(*store.Value(), ProgramFolder(), "EN");
    state.ResumeTiming();
    const auto json = pages.GameJson("G-1");
    if (!json) return state.SkipWithError("no document");
    benchmark::DoNotOptimize(json->Json.size());
  }
}
BENCHMARK(BM_LiveJson)->Arg(0)->Arg(100000)->Arg(2147483647)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

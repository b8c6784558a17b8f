// The box score exports of a whole game of about a thousand actions: the federation file's text,
// the same written to disk, and the .xlsx workbook written to disk.

#include <benchmark/benchmark.h>

#include "exports/box_score_workbook.h"
#include "exports/federation_file.h"
#include "game_builder.h"
#include "platform/configuration.h"
#include "stats/model.h"
#include "temp_folder.h"

namespace velmora {
namespace {

struct TGame {
  TGame() : Config("/tmp"), Model(Config) {
    Model.MatchInfo = testing::MakeMatchInfo(12);
    Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
    Model.SetActions(testing::SimulateGame(Model.MatchInfo, 1000));
    Model.Recompute();
  }
  TConfiguration Config;
  TModel Model;
};

void BM_FederationFileText(benchmark::State& state) {
  TGame game;
  for (auto _ : state) benchmark::DoNotOptimize(FederationFileText(game.Model));
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_FederationFileText)->Unit(benchmark::kMicrosecond);

void BM_WriteFederationFile(benchmark::State& state) {
  TGame game;
  testing::TTempFolder folder;
  for (auto _ : state) {
    if (!WriteFederationFile(game.Model, folder / "game.csv")) state.SkipWithError("not written");
  }
}
BENCHMARK(BM_WriteFederationFile)->Unit(benchmark::kMillisecond);

void BM_WriteBoxScoreWorkbook(benchmark::State& state) {
  TGame game;
  testing::TTempFolder folder;
  for (auto _ : state) {
    if (!WriteBoxScoreWorkbook(game.Model, kDefaultEfficiencyFormula, folder / "game.xlsx")) {
      state.SkipWithError("not written");
    }
  }
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_WriteBoxScoreWorkbook)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

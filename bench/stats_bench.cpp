// The statistics engine on a full game: entering one more action, recomputing after an edit,
// putting a forgotten action in its place, the efficiency of every player, the box score document
// and the game's checks (run after every entry in the live window).

#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include "game_builder.h"
#include "live/action_insertion.h"
#include "live/game_checks.h"
#include "platform/configuration.h"
#include "stats/efficiency.h"
#include "stats/game_documents.h"
#include "stats/model.h"

namespace velmora {
namespace {

constexpr int kGameActions = 1000;

struct TGame {
  TGame() : Config("/tmp"), Model(Config) {
    Model.MatchInfo = testing::MakeMatchInfo(12);
    Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
    Model.SetActions(testing::SimulateGame(Model.MatchInfo, kGameActions));
    Model.Recompute();
  }
  TConfiguration Config;
  TModel Model;
};

void BM_AddAction(benchmark::State& state) {
  TGame game;
  testing::TActionFactory factory;
  const auto shot = factory.Shot(1200, 1, 4, "Made", 2);
  // The game keeps growing by one action per iteration, a few per cent over its thousand.
  for (auto _ : state) game.Model.AddAction(shot->Clone());
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_AddAction)->Iterations(50);

void BM_Recompute(benchmark::State& state) {
  TGame game;
  for (auto _ : state) game.Model.Recompute();
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_Recompute)->Unit(benchmark::kMillisecond);

void BM_InsertForgottenAction(benchmark::State& state) {
  TGame game;
  testing::TActionFactory factory;
  const auto rebound = factory.Rebound(600, 2, 5, true);
  const std::size_t middle = game.Model.Actions().size() / 2;
  for (auto _ : state) {
    const TInsertionPlace place = InsertionPlace(game.Model.Actions(), middle, false, FromSeconds(2400));
    auto action = rebound->Clone();
    action->GameTime = place.GameTime;
    PrepareInsertion(*action, place, "", EncodeTime(20, 0, 0));
    game.Model.AddAction(std::move(action));
  }
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_InsertForgottenAction)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_CheckGame(benchmark::State& state) {
  TGame game;
  std::size_t flags = 0;
  for (auto _ : state) flags = CheckGame(game.Model).size();
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
  state.counters["flags"] = static_cast<double>(flags);
}
BENCHMARK(BM_CheckGame)->Unit(benchmark::kMicrosecond);

void BM_EfficiencyOf24Players(benchmark::State& state) {
  TGame game;
  const std::string formula(kDefaultEfficiencyFormula);
  for (auto _ : state) {
    double sum = 0;
    for (int team = 1; team <= 2; ++team) {
      for (int slot = 1; slot <= game.Model.StatPlayerCount(team); ++slot) {
        sum += Efficiency(game.Model.Stats(TModel::PlayerSlot(team, slot)), formula);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_EfficiencyOf24Players)->Unit(benchmark::kMicrosecond);

void BM_BoxScoreDocument(benchmark::State& state) {
  TGame game;
  for (auto _ : state) {
    pugi::xml_document document;
    benchmark::DoNotOptimize(BoxScoreDocument(game.Model, document));
  }
}
BENCHMARK(BM_BoxScoreDocument)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora

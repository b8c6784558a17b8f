// The live window of a game in play with 600 actions: from the stored game to the first painted
// window (what `velmora --game` does after start-up), and one ReloadView.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>

#include "live/casting_form.h"
#include "live/game_adapter.h"
#include "live/open_game.h"
#include "live_bench_game.h"
#include "serverlink/queue.h"

namespace velmora::gui {
namespace {

TBenchGame& Game() {
  static TBenchGame game(600);
  return game;
}

void BM_OpenGameToFirstPaintedWindow(benchmark::State& state) {
  TBenchGame& game = Game();
  for (auto _ : state) {
    PrepareLocalGame(*game.Context, "G-1");
    auto window = std::make_unique<TCastingForm>(*game.Context);
    window->BuildActionButtons();
    TGameAdapter& adapter = window->Adapter();
    game.App->SetSenderFactory([&]() -> std::unique_ptr<TSender> {
      return std::make_unique<TQueue>(game.Model, nullptr, adapter, *game.App);
    });
    game.App->StartSender();
    window->show();
    benchmark::DoNotOptimize(window->grab());  // the first painting of the whole window
    state.PauseTiming();
    window->hide();
    game.App->StopSender();
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenGameToFirstPaintedWindow)->Unit(benchmark::kMillisecond);

void BM_ReloadView(benchmark::State& state) {
  TBenchGame& game = Game();
  PrepareLocalGame(*game.Context, "G-1");
  TCastingForm window(*game.Context);
  window.BuildActionButtons();
  window.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    window.ReloadView();
    QCoreApplication::processEvents();  // the repaint it asked for
  }
  window.hide();
}
BENCHMARK(BM_ReloadView)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora::gui

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

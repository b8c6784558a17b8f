// The live window of a game in play with 600 actions: from the stored game to the first painted
// window (what `velmora --game` does after start-up), one ReloadView, and the action editing
// window: opening it, a filter, and the delete of the first period's end with all that follows.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>

#include "live/action_list_form.h"
#include "live/casting_form.h"
#include "live/game_adapter.h"
#include "live/history_list_box.h"
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

void BM_OpenActionEditingWindow(benchmark::State& state) {
  TBenchGame& game = Game();
  PrepareLocalGame(*game.Context, "G-1");
  for (auto _ : state) {
    TActionListForm form(*game.Context);
    form.show();
    benchmark::DoNotOptimize(form.grab());
  }
}
BENCHMARK(BM_OpenActionEditingWindow)->Unit(benchmark::kMillisecond);

void BM_ApplyFilter(benchmark::State& state) {
  TBenchGame& game = Game();
  PrepareLocalGame(*game.Context, "G-1");
  TActionListForm form(*game.Context);
  form.show();
  form.PeriodButtonClick(2);
  for (auto _ : state) {
    form.ApplyFilterClick();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_ApplyFilter)->Unit(benchmark::kMillisecond);

// The end of the first period selected: every later action is found, selected and set aside.
void BM_DeleteFirstPeriodEnd(benchmark::State& state) {
  TBenchGame& game = Game();
  PrepareLocalGame(*game.Context, "G-1");
  TActionListForm form(*game.Context);
  form.show();
  const QAbstractItemModel& lines = *form.List()->model();
  for (auto _ : state) {
    state.PauseTiming();
    form.ReloadClick();  // the deletes of the last round thrown away
    for (int row = 0; row < lines.rowCount(); ++row) {
      if (lines.index(row, 0).data().toString().contains(QStringLiteral("Type: End"))) {
        form.List()->selectionModel()->select(lines.index(row, 0), QItemSelectionModel::ClearAndSelect);
      }
    }
    state.ResumeTiming();
    form.DeleteSelected();
    QCoreApplication::processEvents();
  }
  state.counters["deleted"] = static_cast<double>(form.Pending().DeleteCount());
}
BENCHMARK(BM_DeleteFirstPeriodEnd)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::gui

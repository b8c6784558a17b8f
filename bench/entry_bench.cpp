// From the mouse button released on the court to the shot applied by the model and durably stored,
// in a game that already holds 1,000 actions; once with a local game and once with a game on a
// server that does not answer (the entry must not wait for it).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <vector>

#include "live/casting_form.h"
#include "live/court_view.h"
#include "live/game_adapter.h"
#include "live/open_game.h"
#include "live/player_column.h"
#include "live_bench_game.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/queue.h"

namespace velmora::gui {
namespace {

void Entry(benchmark::State& state, bool online) {
  {
    TBenchGame bench(1000);
    TModel& model = bench.Model;
    TApp& app = *bench.App;
    TGuiContext& context = *bench.Context;
    TConfiguration& config = bench.Config;
    TSilentUserInterface& ui = bench.Ui;
    PrepareLocalGame(context, "G-1");
    // A server that takes the connection and never answers.
    TInternetPlugin server(config, &ui);
    server.SetServerUrl("http://10.255.255.1:9/");
    if (online) model.MatchInfo.Availability = kLocalAndOnline;
    TCastingForm window(context);
    window.BuildActionButtons();
    TGameAdapter& adapter = window.Adapter();
    app.SetSenderFactory([&]() -> std::unique_ptr<TSender> {
      return std::make_unique<TQueue>(model, online ? &server : nullptr, adapter, app);
    });
    app.StartSender();
    window.show();
    QCoreApplication::processEvents();
    QWidget* court = window.findChild<TCourtPanel*>(QStringLiteral("ImagePanel"))->Picture();
    const QPointF at(court->width() / 2.0, court->height() * 0.75);  // a three, right-clicked: missed

    std::vector<double> micros;
    for (auto _ : state) {
      state.PauseTiming();
      auto* shooter = window.findChild<TPlayerButton*>(QStringLiteral("PlayerButton1004"));
      if (!shooter) shooter = window.findChild<TPlayerButton*>();
      shooter->setChecked(true);
      window.PlayerClick(shooter);
      QMouseEvent release(QEvent::MouseButtonRelease, at, court->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                          Qt::NoModifier);
      state.ResumeTiming();
      const auto start = std::chrono::steady_clock::now();
      QCoreApplication::sendEvent(court, &release);
      micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
      state.PauseTiming();
      window.Entry().Cancel();  // the offered rebound
      QCoreApplication::processEvents();
      state.ResumeTiming();
    }
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
      state.counters["median_us"] = micros[micros.size() / 2];
      state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
      state.counters["max_us"] = micros.back();
    }
    window.hide();
    app.StopSender();
  }
}

void BM_CourtReleaseToStoredShot(benchmark::State& state) { Entry(state, false); }
void BM_CourtReleaseToStoredShotWithServerAway(benchmark::State& state) { Entry(state, true); }
BENCHMARK(BM_CourtReleaseToStoredShot)->Unit(benchmark::kMicrosecond)->Iterations(400);
BENCHMARK(BM_CourtReleaseToStoredShotWithServerAway)->Unit(benchmark::kMicrosecond)->Iterations(400);

}  // namespace
}  // namespace velmora::gui

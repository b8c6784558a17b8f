// From the mouse button released on the court to the shot applied by the model and durably stored,
// in a game that already holds 1,000 actions; once with a local game and once with a game on a
// server that does not answer (the entry must not wait for it).

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/app.h"
#include "app/gui_context.h"
#include "game_builder.h"
#include "live/casting_form.h"
#include "live/court_view.h"
#include "live/game_adapter.h"
#include "live/open_game.h"
#include "live/player_column.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/user_interface.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/queue.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace velmora::gui {
namespace {

class TSilentUserInterface final : public TUserInterface {
 public:
  void ShowMessage(std::string_view, std::string_view, TMessageIcon) override {}
  bool AskYesNo(std::string_view, std::string_view, TMessageIcon) override { return true; }
  TAnswer AskYesNoCancel(std::string_view, std::string_view, TMessageIcon, std::string_view,
                         std::string_view) override {
    return TAnswer::Yes;
  }
};

void Entry(benchmark::State& state, bool online) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("velmora-entry-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  {
    TRegistry registry(folder / "registry.json");
    TConfiguration config(ProgramFolder());
    TModel model(config);
    auto opened = TDatabasePlugin::Open(folder, "", ProgramFolder());
    if (!opened) std::abort();
    TDatabasePlugin& store = *opened.Value();
    model.SetStore(std::move(opened.Value()));
    TMatchInfo matchInfo = testing::MakeMatchInfo(12, "G-1");
    TActionList game = testing::SimulateGame(matchInfo, 1400);
    game.resize(1000);
    matchInfo.CurrentGameTime = game.back()->GameTime;
    if (!store.StoreMatchInfo(matchInfo)) std::abort();
    TDateTime clock = matchInfo.CurrentGameTime;
    if (!store.SaveActionList("G-1", game, false, clock)) std::abort();

    TSilentUserInterface ui;
    TApp app(model, config, registry, ProgramFolder(), &ui);
    TGuiContext context{model, app, registry, ui, folder};
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
  std::filesystem::remove_all(folder);
}

void BM_CourtReleaseToStoredShot(benchmark::State& state) { Entry(state, false); }
void BM_CourtReleaseToStoredShotWithServerAway(benchmark::State& state) { Entry(state, true); }
BENCHMARK(BM_CourtReleaseToStoredShot)->Unit(benchmark::kMicrosecond)->Iterations(400);
BENCHMARK(BM_CourtReleaseToStoredShotWithServerAway)->Unit(benchmark::kMicrosecond)->Iterations(400);

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

// The live window of a game in play with 600 actions: from the stored game to the first painted
// window (what `velmora --game` does after start-up), and one ReloadView.

#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/app.h"
#include "app/gui_context.h"
#include "game_builder.h"
#include "live/casting_form.h"
#include "live/game_adapter.h"
#include "live/open_game.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/user_interface.h"
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

// A store in a folder of its own with one game of 600 actions, stopped in the third period.
struct TStoredGame {
  TStoredGame()
      : Folder(std::filesystem::temp_directory_path() / ("velmora-bench-" + std::to_string(::getpid()))),
        Registry(Folder / "registry.json"),
        Config(ProgramFolder()),
        Model(Config) {
    std::filesystem::create_directories(Folder);
    auto store = TDatabasePlugin::Open(Folder, "", ProgramFolder());
    if (!store) std::abort();
    TDatabasePlugin& database = *store.Value();
    Model.SetStore(std::move(store.Value()));
    TMatchInfo matchInfo = testing::MakeMatchInfo(12, "G-1");
    TActionList game = testing::SimulateGame(matchInfo, 1000);
    game.resize(600);
    matchInfo.CurrentGameTime = game.back()->GameTime;
    if (!database.StoreMatchInfo(matchInfo)) std::abort();
    TDateTime clock = matchInfo.CurrentGameTime;
    if (!database.SaveActionList("G-1", game, false, clock)) std::abort();
    App = std::make_unique<TApp>(Model, Config, Registry, ProgramFolder(), &Ui);
    Context = std::make_unique<TGuiContext>(TGuiContext{Model, *App, Registry, Ui, Folder});
  }
  ~TStoredGame() {
    Context.reset();
    App.reset();
    Model.SetStore(nullptr);
    std::filesystem::remove_all(Folder);
  }

  std::filesystem::path Folder;
  TRegistry Registry;
  TConfiguration Config;
  TModel Model;
  TSilentUserInterface Ui;
  std::unique_ptr<TApp> App;
  std::unique_ptr<TGuiContext> Context;
};

TStoredGame& Game() {
  static TStoredGame game;
  return game;
}

void BM_OpenGameToFirstPaintedWindow(benchmark::State& state) {
  TStoredGame& game = Game();
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
  TStoredGame& game = Game();
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

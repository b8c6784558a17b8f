#pragma once
// What the live-window measurements share: a data folder of its own with a store holding game
// "G-1", a simulated game cut after a given number of actions, and everything a window needs to
// open it (message boxes answer Yes without showing).

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "game_builder.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/user_interface.h"
#include "stats/model.h"
#include "store/database_plugin.h"

namespace velmora::gui {

class TSilentUserInterface final : public TUserInterface {
 public:
  void ShowMessage(std::string_view, std::string_view, TMessageIcon) override {}
  bool AskYesNo(std::string_view, std::string_view, TMessageIcon) override { return true; }
  TAnswer AskYesNoCancel(std::string_view, std::string_view, TMessageIcon, std::string_view,
                         std::string_view) override {
    return TAnswer::Yes;
  }
};

struct TBenchGame {
  explicit TBenchGame(int actions)
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
    TActionList game = testing::SimulateGame(matchInfo, actions + actions / 2);
    game.resize(static_cast<std::size_t>(actions));
    matchInfo.CurrentGameTime = game.back()->GameTime;
    if (!database.StoreMatchInfo(matchInfo)) std::abort();
    TDateTime clock = matchInfo.CurrentGameTime;
    if (!database.SaveActionList("G-1", game, false, clock)) std::abort();
    App = std::make_unique<TApp>(Model, Config, Registry, ProgramFolder(), &Ui);
    Context = std::make_unique<TGuiContext>(TGuiContext{Model, *App, Registry, Ui, Folder});
  }
  ~TBenchGame() {
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

}  // namespace velmora::gui

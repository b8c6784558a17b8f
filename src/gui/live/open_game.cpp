#include "live/open_game.h"

#include <QWidget>

#include "app/app.h"
#include "widgets/gui_context.h"
#include "live/casting_form.h"
#include "live/clock_timer.h"
#include "live/game_adapter.h"
#include "platform/logger.h"
#include "serverlink/internet_plugin.h"
#include "serverlink/queue.h"
#include "stats/model.h"

namespace velmora::gui {

bool PrepareLocalGame(TGuiContext& context, const std::string& gameNumber) {
  context.App.LoadCatalogue();
  return context.Model.OpenGame(gameNumber);
}

TGameWindowOutcome OpenGameWindow(TGuiContext& context, const std::string& gameNumber,
                                  const std::function<bool()>& prepare, QWidget* opener,
                                  std::unique_ptr<TClockTimer> timer) {
  context.Model.MatchInfo.GameNumber = gameNumber;
  Log("Opening game " + gameNumber);
  const bool prepared = prepare ? prepare() : PrepareLocalGame(context, gameNumber);
  if (!prepared) return TGameWindowOutcome::NotOpened;

  TGameWindowOutcome outcome = TGameWindowOutcome::Closed;
  {
    TCastingForm window(context, nullptr, std::move(timer));
    if (opener) opener->hide();
    window.BuildActionButtons();
    TModel& model = context.Model;
    TApp& app = context.App;
    TGameAdapter& adapter = window.Adapter();
    app.SetSenderFactory([&model, &app, &adapter]() -> std::unique_ptr<TSender> {
      return std::make_unique<TQueue>(model, ServerClientOf(model), adapter, app);
    });
    app.StartSender();
    window.exec();
    if (window.QuitRequested()) outcome = TGameWindowOutcome::Quit;
    // The sender goes before the window: its thread posts to the window's adapter.
    app.StopSender();
    app.SetSenderFactory(nullptr);
  }
  Log("Closed game " + gameNumber);
  if (opener && outcome != TGameWindowOutcome::Quit) opener->show();
  return outcome;
}

TGameOpener LiveWindowOpener(TGuiContext& context, QWidget* opener) {
  return [&context, opener](const std::string& gameNumber, const std::function<bool()>& prepare) {
    return OpenGameWindow(context, gameNumber, prepare, opener);
  };
}

}  // namespace velmora::gui

#pragma once
// The road from a chosen game to its live window and back: the game is prepared (from the store,
// or by the caller's own preparation with the server), shown in the live window with a running
// sender until the operator closes it, and the sender is stopped again.

#include <functional>
#include <memory>
#include <string>

#include "live/clock_timer.h"
#include "setup/game_opener.h"

class QWidget;

namespace velmora::gui {

struct TGuiContext;

// Rebuilds the catalogue and opens the stored game in the model; false when the store cannot
// give it.
bool PrepareLocalGame(TGuiContext& context, const std::string& gameNumber);

// Logs "Opening game ", prepares the game (`prepare`, or PrepareLocalGame when none), builds the
// live window, starts the sender, shows the window modally over a hidden `opener`, then stops the
// sender, logs "Closed game " and shows the opener again. `timer` beats the clock (tests).
TGameWindowOutcome OpenGameWindow(TGuiContext& context, const std::string& gameNumber,
                                  const std::function<bool()>& prepare = nullptr, QWidget* opener = nullptr,
                                  std::unique_ptr<TClockTimer> timer = nullptr);

// The start window's opener: OpenGameWindow over `opener`.
TGameOpener LiveWindowOpener(TGuiContext& context, QWidget* opener);

}  // namespace velmora::gui

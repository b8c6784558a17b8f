#pragma once
// How the start window hands a chosen game to whoever shows it. The live window provides the
// program's opener; the start window knows only this type, so it does not depend on the live window.

#include <functional>
#include <string>

namespace velmora::gui {

enum class TGameWindowOutcome {
  NotOpened,  // the preparation refused the game
  Closed,     // the operator closed the live window
  Quit,       // the operator chose to end the program from it
};

// Shows the game: runs `prepare` and, when it gives true, the game's window until it closes.
using TGameOpener =
    std::function<TGameWindowOutcome(const std::string& gameNumber, const std::function<bool()>& prepare)>;

}  // namespace velmora::gui

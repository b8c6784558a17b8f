#pragma once
// The open game's door to the user interface thread: the sender's thread posts its work here, and
// the work dies with the adapter when the live window goes.

#include "widgets/ui_thread_door.h"

namespace velmora::gui {

class TGameAdapter final : public TUiThreadDoor {
 public:
  using TUiThreadDoor::TUiThreadDoor;
};

}  // namespace velmora::gui

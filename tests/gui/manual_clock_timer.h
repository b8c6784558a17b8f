#pragma once
// The live window's game clock, beaten by hand.

#include "live/clock_timer.h"

namespace velmora::gui::testing {

class TManualClockTimer final : public TClockTimer {
 public:
  void Start() override { Running_ = true; }
  void Stop() override { Running_ = false; }
  bool Running() const override { return Running_; }
  // One beat, as the timer would give it while running.
  void Fire() {
    if (Running_) Beat();
  }

 private:
  bool Running_ = false;
};

}  // namespace velmora::gui::testing

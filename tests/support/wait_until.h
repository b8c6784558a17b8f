#pragma once
// Waiting for what another thread brings about: the condition itself, with a generous deadline,
// never a fixed sleep. A loaded machine makes the wait longer, never the test wrong.

#include <chrono>
#include <thread>

namespace velmora::testing {

// True as soon as the condition holds; false when it still does not after `timeout`.
template <typename TCondition>
bool WaitUntil(TCondition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return condition();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace velmora::testing

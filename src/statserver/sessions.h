#pragma once
// Login sessions, kept in memory: a value handed out by ValidateUser, valid while used at least
// once per idle time.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora::statserver {

class TSessions {
 public:
  using TClock = std::chrono::steady_clock;

  explicit TSessions(std::chrono::seconds idleTime) : IdleTime_(idleTime) {}

  std::string Create(std::int64_t userId);
  // The session's user, when the value (braces around it allowed) names a live session; using a
  // session keeps it alive.
  std::optional<std::int64_t> Validate(std::string_view value);

 private:
  struct TSession {
    std::int64_t UserId;
    TClock::time_point LastUsed;
  };
  void DropExpired(TClock::time_point now);

  std::chrono::seconds IdleTime_;
  std::mutex Lock_;
  std::unordered_map<std::string, TSession> Sessions_;
  TClock::time_point LastSweep_ = TClock::now();
};

}  // namespace velmora::statserver

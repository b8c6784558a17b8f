#pragma once
// Login sessions: a value handed out by ValidateUser, valid while used at least once per idle
// time. They are kept in the database too, by their digest only, so that a restarted server does
// not strand the games being played and a copy of the database opens nobody's session.

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora::statserver {

class TServerStore;

class TSessions {
 public:
  using TClock = std::chrono::system_clock;

  // `clock` tells the time (the system's when none).
  TSessions(TServerStore& store, std::chrono::seconds idleTime, std::function<TClock::time_point()> clock = nullptr)
      : Store_(store), IdleTime_(idleTime), Clock_(clock ? std::move(clock) : [] { return TClock::now(); }) {}

  std::string Create(std::int64_t userId);
  // The session's user, when the value (braces around it allowed) names a live session; using a
  // session keeps it alive.
  std::optional<std::int64_t> Validate(std::string_view value);

 private:
  struct TSession {
    std::int64_t UserId;
    TClock::time_point LastUsed;
    TClock::time_point LastStored;
  };

  TServerStore& Store_;
  std::chrono::seconds IdleTime_;
  std::function<TClock::time_point()> Clock_;
  std::mutex Lock_;
  std::unordered_map<std::string, TSession> Sessions_;  // by digest
};

}  // namespace velmora::statserver

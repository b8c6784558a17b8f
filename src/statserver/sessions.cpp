#include "sessions.h"

#include "passwords.h"

namespace velmora::statserver {

std::string TSessions::Create(std::int64_t userId) {
  std::string value = RandomToken();
  const std::lock_guard guard(Lock_);
  DropExpired(TClock::now());
  Sessions_[value] = TSession{userId, TClock::now()};
  return value;
}

std::optional<std::int64_t> TSessions::Validate(std::string_view value) {
  if (value.size() >= 2 && value.front() == '{' && value.back() == '}') value = value.substr(1, value.size() - 2);
  const auto now = TClock::now();
  const std::lock_guard guard(Lock_);
  const auto found = Sessions_.find(std::string(value));
  if (found == Sessions_.end()) return std::nullopt;
  if (now - found->second.LastUsed > IdleTime_) {
    Sessions_.erase(found);
    return std::nullopt;
  }
  found->second.LastUsed = now;
  return found->second.UserId;
}

void TSessions::DropExpired(TClock::time_point now) {
  if (now - LastSweep_ < std::chrono::minutes(1)) return;
  LastSweep_ = now;
  std::erase_if(Sessions_, [&](const auto& entry) { return now - entry.second.LastUsed > IdleTime_; });
}

}  // namespace velmora::statserver

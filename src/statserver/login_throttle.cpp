#include "login_throttle.h"

#include <algorithm>

namespace velmora::statserver {

namespace {
// Past this many remembered names or addresses, those whose failures are forgotten go.
constexpr std::size_t kSweepAbove = 10'000;
}  // namespace

std::chrono::milliseconds TLoginThrottle::WaitIn(const TTable& table, const std::string& key,
                                                 TClock::time_point now) const {
  const auto found = table.find(key);
  if (found == table.end() || found->second.NotBefore <= now) return std::chrono::milliseconds(0);
  return std::chrono::ceil<std::chrono::milliseconds>(found->second.NotBefore - now);
}

std::chrono::milliseconds TLoginThrottle::Begin(std::string_view user, std::string_view address,
                                                TClock::time_point now) {
  const std::string userKey(user);
  const std::string addressKey(address);
  const std::lock_guard guard(Lock_);
  const auto wait = std::max(WaitIn(Users_, userKey, now), WaitIn(Addresses_, addressKey, now));
  if (wait > std::chrono::milliseconds(0)) return wait;
  Count(Users_, userKey, Limits_.FreeFailuresPerUser, now);
  Count(Addresses_, addressKey, Limits_.FreeFailuresPerAddress, now);
  return wait;
}

void TLoginThrottle::Count(TTable& table, const std::string& key, int freeFailures, TClock::time_point now) {
  if (table.size() > kSweepAbove) Forget(table, now);
  TFailures& failures = table[key];
  if (failures.Count > 0 && now - failures.Last > Limits_.Memory) failures = TFailures{};
  ++failures.Count;
  failures.Last = now;
  // The attempt being counted is the last free one: the next must wait.
  if (failures.Count < freeFailures) return;
  auto delay = Limits_.FirstDelay;
  for (int i = freeFailures; i < failures.Count && delay < Limits_.LongestDelay; ++i) delay *= 2;
  failures.NotBefore = now + std::min(delay, Limits_.LongestDelay);
}

void TLoginThrottle::Forget(TTable& table, TClock::time_point now) {
  std::erase_if(table, [&](const auto& entry) { return now - entry.second.Last > Limits_.Memory; });
}

void TLoginThrottle::Succeeded(std::string_view user, std::string_view address) {
  const std::lock_guard guard(Lock_);
  Users_.erase(std::string(user));
  if (const auto found = Addresses_.find(std::string(address)); found != Addresses_.end() && found->second.Count > 0) {
    --found->second.Count;
  }
}

}  // namespace velmora::statserver

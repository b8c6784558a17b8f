#include "sessions.h"

#include "passwords.h"
#include "server_store.h"

namespace velmora::statserver {

namespace {
// A session's last use reaches the database at most this often; an idle time is far longer.
constexpr auto kStoreInterval = std::chrono::seconds(60);

double Seconds(TSessions::TClock::time_point time) {
  return std::chrono::duration<double>(time.time_since_epoch()).count();
}
}  // namespace

std::string TSessions::Create(std::int64_t userId) {
  std::string value = RandomToken();
  const auto now = TClock::now();
  Store_.SaveSession(value, userId, Seconds(now));
  const std::lock_guard guard(Lock_);
  Sessions_[value] = TSession{userId, now, now};
  return value;
}

std::optional<std::int64_t> TSessions::Validate(std::string_view value) {
  if (value.size() >= 2 && value.front() == '{' && value.back() == '}') value = value.substr(1, value.size() - 2);
  const std::string token(value);
  const auto now = TClock::now();
  std::unique_lock guard(Lock_);
  auto found = Sessions_.find(token);
  if (found == Sessions_.end()) {
    // Made before the server was restarted, perhaps.
    guard.unlock();
    const auto stored = Store_.FindSession(token);
    if (!stored) return std::nullopt;
    const auto lastUsed =
        TClock::time_point(std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(stored->second)));
    guard.lock();
    found = Sessions_.emplace(token, TSession{stored->first, lastUsed, lastUsed}).first;
  }
  if (now - found->second.LastUsed > IdleTime_) {
    Sessions_.erase(found);
    guard.unlock();
    Store_.DeleteSession(token);
    return std::nullopt;
  }
  found->second.LastUsed = now;
  const std::int64_t userId = found->second.UserId;
  const bool store = now - found->second.LastStored > kStoreInterval;
  if (store) found->second.LastStored = now;
  guard.unlock();
  if (store) Store_.SaveSession(token, userId, Seconds(now));
  return userId;
}

}  // namespace velmora::statserver

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

TSessions::TClock::time_point TimeOf(double seconds) {
  return TSessions::TClock::time_point(
      std::chrono::duration_cast<TSessions::TClock::duration>(std::chrono::duration<double>(seconds)));
}
}  // namespace

std::string TSessions::Create(std::int64_t userId) {
  std::string value = RandomToken();
  const std::string digest = TokenDigest(value);
  const auto now = Clock_();
  Store_.SaveSession(digest, userId, Seconds(now));
  const std::lock_guard guard(Lock_);
  Sessions_[digest] = TSession{userId, now, now};
  return value;
}

std::optional<std::int64_t> TSessions::Validate(std::string_view value) {
  if (value.size() >= 2 && value.front() == '{' && value.back() == '}') value = value.substr(1, value.size() - 2);
  const std::string digest = TokenDigest(value);
  const auto now = Clock_();
  // The stored session decides: a password changed by the administration command, from another
  // process, ends the user's sessions there.
  const auto stored = Store_.FindSession(digest);
  std::unique_lock guard(Lock_);
  if (!stored) {
    Sessions_.erase(digest);
    return std::nullopt;
  }
  auto found = Sessions_.find(digest);
  if (found == Sessions_.end()) {
    // Made before the server was restarted, perhaps.
    const auto lastUsed = TimeOf(stored->second);
    found = Sessions_.emplace(digest, TSession{stored->first, lastUsed, lastUsed}).first;
  }
  if (now - found->second.LastUsed > IdleTime_) {
    Sessions_.erase(found);
    guard.unlock();
    Store_.DeleteSession(digest);
    return std::nullopt;
  }
  found->second.LastUsed = now;
  const std::int64_t userId = found->second.UserId;
  const bool store = now - found->second.LastStored > kStoreInterval;
  if (store) found->second.LastStored = now;
  guard.unlock();
  if (store) Store_.TouchSession(digest, Seconds(now));
  return userId;
}

}  // namespace velmora::statserver

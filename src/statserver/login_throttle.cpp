#include "login_throttle.h"

#include <algorithm>
#include <cmath>

namespace velmora::statserver {

namespace {

// Records are swept after this many attempts.
constexpr int kSweepEvery = 1000;

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool Empty(const TLoginFailures& failures, double now) { return failures.Count == 0 && failures.NotBefore <= now; }

std::chrono::milliseconds WaitIn(const TLoginFailures& failures, double now) {
  if (failures.NotBefore <= now) return std::chrono::milliseconds(0);
  return std::chrono::milliseconds(static_cast<long long>(std::ceil((failures.NotBefore - now) * 1000)));
}

}  // namespace

TLocalLoginRecords::TLocalLoginRecords(std::function<double()> clock)
    : Clock_(clock ? std::move(clock) : SteadySeconds) {}

bool TLocalLoginRecords::Change(std::string_view user, std::string_view address, const TChange& change) {
  const std::lock_guard guard(Lock_);
  const double now = Clock_();
  const std::string userKey(user);
  const std::string addressKey(address);
  TLoginFailures& userFailures = Users_[userKey];
  TLoginFailures& addressFailures = Addresses_[addressKey];
  change(userFailures, addressFailures, now);
  if (Empty(userFailures, now)) Users_.erase(userKey);
  if (Empty(addressFailures, now)) Addresses_.erase(addressKey);
  return true;
}

void TLocalLoginRecords::Forget(double seconds) {
  const std::lock_guard guard(Lock_);
  const double now = Clock_();
  for (auto* table : {&Users_, &Addresses_}) {
    std::erase_if(*table, [&](const auto& entry) {
      return now - entry.second.Last > seconds && entry.second.NotBefore <= now;
    });
  }
}

std::chrono::milliseconds TLoginThrottle::Begin(std::string_view user, std::string_view address) {
  bool sweep = false;
  {
    const std::lock_guard guard(SweepLock_);
    sweep = ++SinceSweep_ >= kSweepEvery;
    if (sweep) SinceSweep_ = 0;
  }
  if (sweep) Records_.Forget(std::chrono::duration<double>(Limits_.Memory).count());
  std::chrono::milliseconds wait(0);
  const bool kept = Records_.Change(user, address, [&](TLoginFailures& byUser, TLoginFailures& byAddress, double now) {
    wait = std::max(WaitIn(byUser, now), WaitIn(byAddress, now));
    if (wait > std::chrono::milliseconds(0)) return;
    Count(byUser, Limits_.FreeFailuresPerUser, now);
    Count(byAddress, Limits_.FreeFailuresPerAddress, now);
  });
  // An attempt that cannot be counted is not checked either.
  return kept ? wait : Limits_.FirstDelay;
}

void TLoginThrottle::Count(TLoginFailures& failures, int freeFailures, double now) const {
  if (failures.Count > 0 && now - failures.Last > std::chrono::duration<double>(Limits_.Memory).count()) {
    failures = TLoginFailures{};
  }
  ++failures.Count;
  failures.Last = now;
  // The attempt being counted is the last free one: the next must wait.
  if (failures.Count < freeFailures) return;
  auto delay = Limits_.FirstDelay;
  for (int i = freeFailures; i < failures.Count && delay < Limits_.LongestDelay; ++i) delay *= 2;
  failures.NotBefore = now + std::chrono::duration<double>(std::min(delay, Limits_.LongestDelay)).count();
}

void TLoginThrottle::Succeeded(std::string_view user, std::string_view address) {
  (void)Records_.Change(user, address, [](TLoginFailures& byUser, TLoginFailures& byAddress, double) {
    byUser = TLoginFailures{};
    if (byAddress.Count > 0) --byAddress.Count;
  });
}

}  // namespace velmora::statserver

#pragma once
// Slows down guessing passwords: after a few failed logins of one user name, or from one client
// address, each further attempt must wait a delay that doubles with every failure. An attempt
// that comes too early is refused at once, without checking its password, so nobody waits in a
// worker and other users' logins go on. Every attempt counts as failed until it succeeds, so
// attempts made in parallel are slowed as well.

#include <chrono>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmora::statserver {

struct TLoginLimits {
  int FreeFailuresPerUser = 5;
  int FreeFailuresPerAddress = 20;
  std::chrono::milliseconds FirstDelay{1000};
  std::chrono::milliseconds LongestDelay{30000};
  // Failures are forgotten after this long without another.
  std::chrono::milliseconds Memory{std::chrono::minutes(15)};
};

class TLoginThrottle {
 public:
  using TClock = std::chrono::steady_clock;

  explicit TLoginThrottle(TLoginLimits limits = {}) : Limits_(limits) {}

  // How long the attempt must still wait; zero when it may be checked now, and is then counted.
  std::chrono::milliseconds Begin(std::string_view user, std::string_view address, TClock::time_point now);
  // The attempt had the right password: the user's failures are cleared, and it does not count for
  // the address.
  void Succeeded(std::string_view user, std::string_view address);

 private:
  struct TFailures {
    int Count = 0;
    TClock::time_point Last;
    TClock::time_point NotBefore;
  };
  using TTable = std::unordered_map<std::string, TFailures>;

  std::chrono::milliseconds WaitIn(const TTable& table, const std::string& key, TClock::time_point now) const;
  void Count(TTable& table, const std::string& key, int freeFailures, TClock::time_point now);
  void Forget(TTable& table, TClock::time_point now);

  TLoginLimits Limits_;
  std::mutex Lock_;
  TTable Users_;
  TTable Addresses_;
};

}  // namespace velmora::statserver

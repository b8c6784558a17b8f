#pragma once
// Slows down guessing passwords: after a few failed logins of one user name, or from one client
// address, each further attempt must wait a delay that doubles with every failure. An attempt
// that comes too early is refused at once, without checking its password, so nobody waits in a
// worker and other users' logins go on. Every attempt counts as failed until it succeeds, so
// attempts made in parallel are slowed as well. The failures are kept where every server process
// that shares the logins sees them.

#include <chrono>
#include <functional>
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

// The failures of one user name or address; times in seconds of the records' clock.
struct TLoginFailures {
  int Count = 0;
  double Last = 0;
  double NotBefore = 0;
};

class TLoginRecords {
 public:
  using TChange = std::function<void(TLoginFailures& user, TLoginFailures& address, double now)>;
  virtual ~TLoginRecords() = default;
  // Runs `change` on the records of the user name and of the address, with nobody else changing
  // them meanwhile; false when the records could not be read or kept.
  virtual bool Change(std::string_view user, std::string_view address, const TChange& change) = 0;
  // Drops records without a failure for this long.
  virtual void Forget(double seconds) = 0;
};

// Records kept in this process, on a clock a test may set.
class TLocalLoginRecords final : public TLoginRecords {
 public:
  explicit TLocalLoginRecords(std::function<double()> clock = {});
  bool Change(std::string_view user, std::string_view address, const TChange& change) override;
  void Forget(double seconds) override;

 private:
  std::function<double()> Clock_;
  std::mutex Lock_;
  std::unordered_map<std::string, TLoginFailures> Users_;
  std::unordered_map<std::string, TLoginFailures> Addresses_;
};

class TLoginThrottle {
 public:
  TLoginThrottle(TLoginLimits limits, TLoginRecords& records) : Limits_(limits), Records_(records) {}

  // How long the attempt must still wait; zero when it may be checked now, and is then counted.
  std::chrono::milliseconds Begin(std::string_view user, std::string_view address);
  // The attempt had the right password: the user's failures are cleared, and it does not count for
  // the address.
  void Succeeded(std::string_view user, std::string_view address);

 private:
  void Count(TLoginFailures& failures, int freeFailures, double now) const;

  TLoginLimits Limits_;
  TLoginRecords& Records_;
  std::mutex SweepLock_;
  int SinceSweep_ = 0;
};

}  // namespace velmora::statserver

#pragma once
// Switches the C and C++ locales for one test. The German one writes decimal commas; scripts/deps.sh
// installs it, so a test that needs it fails without it instead of passing unseen.

#include <clocale>
#include <locale>
#include <string>

namespace velmora::testing {

inline constexpr const char* kDecimalCommaLocale = "de_DE.UTF-8";
inline constexpr const char* kDecimalCommaLocaleMissing = "the locale de_DE.UTF-8 is missing; scripts/deps.sh makes it";

class TLocaleGuard {
 public:
  explicit TLocaleGuard(const char* name) : OldC_(std::setlocale(LC_ALL, nullptr)) {
    Active_ = std::setlocale(LC_ALL, name) != nullptr;
    if (Active_) std::locale::global(std::locale(name));
  }
  ~TLocaleGuard() {
    std::setlocale(LC_ALL, OldC_.c_str());
    std::locale::global(OldCpp_);
  }
  TLocaleGuard(const TLocaleGuard&) = delete;
  TLocaleGuard& operator=(const TLocaleGuard&) = delete;
  bool Active() const { return Active_; }

 private:
  std::string OldC_;
  std::locale OldCpp_;
  bool Active_ = false;
};

}  // namespace velmora::testing

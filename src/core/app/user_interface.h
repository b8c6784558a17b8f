#pragma once
// How the core reaches the operator: message boxes and questions. The GUI implements it with real
// boxes; the command line and the tests with their own answers.

#include <string_view>

namespace velmora {

enum class TMessageIcon { Error, Warning, Information, Question };

inline constexpr std::string_view kApplicationTitle = "Talvex Velmora";

class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  virtual void ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) = 0;
};

}  // namespace velmora

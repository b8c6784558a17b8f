#pragma once
// How the core reaches the operator: message boxes and questions. The GUI implements it with real
// boxes; the command line and the tests with their own answers.

#include <functional>
#include <string_view>

namespace velmora {

enum class TMessageIcon { Error, Warning, Information, Question };
enum class TAnswer { Yes, No, Cancel };

inline constexpr std::string_view kApplicationTitle = "Talvex Velmora";
inline constexpr std::string_view kMakerName = "Talvex";
inline constexpr const char* kProductWebAddress = "https://velmora.example.org/";

// May be called from any thread; an implementation on a windowing system shows the box on its
// own thread and waits for the answer.
class TUserInterface {
 public:
  virtual ~TUserInterface() = default;
  virtual void ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(std::string_view title, std::string_view text, TMessageIcon icon = TMessageIcon::Question) = 0;
  // The same with No as the default answer, for a Yes that loses the operator's work.
  virtual bool AskYesNoDefaultNo(std::string_view title, std::string_view text, TMessageIcon icon) {
    return AskYesNo(title, text, icon);
  }
  // A Yes/No/Cancel question; the Yes and No buttons show the given captions when they are not empty.
  virtual TAnswer AskYesNoCancel(std::string_view title, std::string_view text, TMessageIcon icon,
                                 std::string_view yesCaption = {}, std::string_view noCaption = {}) = 0;
};

// Runs work on the user interface thread, which owns the windows.
class TUiThread {
 public:
  virtual ~TUiThread() = default;
  // Queues the work and returns at once.
  virtual void Post(std::function<void()> work) = 0;
};

}  // namespace velmora

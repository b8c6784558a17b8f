#pragma once
// The core's message boxes and questions on a terminal: messages go to standard error, questions
// get the answer given on the command line. Without windows, "UI thread" work runs at once.

#include <mutex>
#include <ostream>

#include "platform/user_interface.h"

namespace velmora::cli {

class TCliUserInterface final : public TUserInterface, public TUiThread {
 public:
  TCliUserInterface(std::ostream& err, bool answerYes) : Err_(err), AnswerYes_(answerYes) {}

  void ShowMessage(std::string_view title, std::string_view text, TMessageIcon) override {
    const std::lock_guard guard(Lock_);
    Err_ << title << ": " << text << '\n';
  }
  bool AskYesNo(std::string_view title, std::string_view text, TMessageIcon) override {
    const std::lock_guard guard(Lock_);
    Err_ << title << ": " << text << "\n-> " << (AnswerYes_ ? "yes" : "no") << '\n';
    return AnswerYes_;
  }
  TAnswer AskYesNoCancel(std::string_view title, std::string_view text, TMessageIcon icon, std::string_view,
                         std::string_view) override {
    return AskYesNo(title, text, icon) ? TAnswer::Yes : TAnswer::No;
  }
  void Post(std::function<void()> work) override {
    const std::lock_guard guard(Lock_);
    work();
  }

 private:
  std::recursive_mutex Lock_;
  std::ostream& Err_;
  bool AnswerYes_;
};

}  // namespace velmora::cli

#pragma once
// Stand-ins for what the live window gives the server link: a history list that counts repaints and
// reloads, a user interface thread that the test itself plays, and message boxes that are only
// remembered.

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/user_interface.h"
#include "serverlink/history.h"

namespace velmora::testing {

// Counts the row changes it is told of, as a view would repaint them.
class TRecordingHistory final : public THistoryList {
 public:
  void Reload() override { ++Reloads; }
  bool Shown() const override { return IsShown; }

  std::vector<bool> Marks() const {
    std::vector<bool> marks;
    for (std::size_t row = 0; row < Count(); ++row) marks.push_back(Line(row).Record.NotSent);
    return marks;
  }
  std::vector<std::string> Kinds() const {
    std::vector<std::string> kinds;
    for (std::size_t row = 0; row < Count(); ++row) kinds.push_back(Line(row).Record.Action->ShortName);
    return kinds;
  }

  int Inserted = 0;
  int Changed = 0;
  int Removed = 0;
  int Reloads = 0;
  bool IsShown = true;

 protected:
  void EndInsert() override { ++Inserted; }
  void LineChanged(std::size_t) override { ++Changed; }
  void EndRemove() override { ++Removed; }
};

// Keeps posted work until the test, acting as the user interface thread, runs it.
class TManualUiThread final : public TUiThread {
 public:
  void Post(std::function<void()> work) override {
    const std::lock_guard guard(Lock_);
    Posted_.push_back(std::move(work));
  }
  std::size_t RunPosted() {
    std::vector<std::function<void()>> work;
    {
      const std::lock_guard guard(Lock_);
      work.swap(Posted_);
    }
    for (auto& item : work) item();
    return work.size();
  }

 private:
  std::mutex Lock_;
  std::vector<std::function<void()>> Posted_;
};

// Remembers every message box and question; answers from `Answers` in turn, then with `Answer`.
class TRecordingUserInterface final : public TUserInterface {
 public:
  struct TBox {
    std::string Title;
    std::string Text;
    TMessageIcon Icon;
  };

  void ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) override {
    const std::lock_guard guard(Lock_);
    Messages.emplace_back(title, text);
    Boxes.push_back({std::string(title), std::string(text), icon});
  }
  bool AskYesNo(std::string_view title, std::string_view text, TMessageIcon icon) override {
    return Ask(title, text, icon) == TAnswer::Yes;
  }
  bool AskYesNoDefaultNo(std::string_view title, std::string_view text, TMessageIcon icon) override {
    {
      const std::lock_guard guard(Lock_);
      DefaultNo.emplace_back(text);
    }
    return Ask(title, text, icon) == TAnswer::Yes;
  }
  TAnswer AskYesNoCancel(std::string_view title, std::string_view text, TMessageIcon icon, std::string_view yesCaption,
                         std::string_view noCaption) override {
    {
      const std::lock_guard guard(Lock_);
      Captions.emplace_back(yesCaption, noCaption);
    }
    return Ask(title, text, icon);
  }
  std::vector<std::string> Texts() {
    const std::lock_guard guard(Lock_);
    std::vector<std::string> texts;
    for (const auto& message : Messages) texts.push_back(message.second);
    return texts;
  }
  std::vector<std::string> QuestionTexts() {
    const std::lock_guard guard(Lock_);
    std::vector<std::string> texts;
    for (const auto& question : Questions) texts.push_back(question.second);
    return texts;
  }

  bool Answer = true;
  std::deque<TAnswer> Answers;
  std::vector<std::pair<std::string, std::string>> Messages;
  std::vector<std::pair<std::string, std::string>> Questions;
  std::vector<TBox> Boxes;  // messages only
  std::vector<std::string> DefaultNo;  // the questions whose default answer is No
  std::vector<std::pair<std::string, std::string>> Captions;  // of the Yes and No buttons, per three-way question

 private:
  TAnswer Ask(std::string_view title, std::string_view text, TMessageIcon) {
    const std::lock_guard guard(Lock_);
    Questions.emplace_back(title, text);
    if (Answers.empty()) return Answer ? TAnswer::Yes : TAnswer::No;
    const TAnswer next = Answers.front();
    Answers.pop_front();
    return next;
  }

  std::mutex Lock_;
};

}  // namespace velmora::testing

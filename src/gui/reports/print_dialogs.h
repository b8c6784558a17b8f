#pragma once
// The print and printer-setup dialogs of the report windows. Each asks the operator, unless a
// test has set its next answer beforehand.

#include <optional>

class QPrinter;
class QWidget;

namespace velmora::gui {

class TPrintDialogs {
 public:
  // The print dialog on the printer (its choices, the number of copies among them, stay there);
  // true when the operator confirms.
  bool Print(QPrinter& printer, QWidget* parent);
  void Setup(QPrinter& printer, QWidget* parent);

  // The next print dialog is answered so, without being shown; `copies` as if chosen in it.
  void AnswerNextPrint(bool confirm, int copies = 1) {
    NextPrint_ = confirm;
    NextCopies_ = copies;
  }
  // The next setup dialog is not shown.
  void SkipNextSetup() { SkipSetup_ = true; }
  int SetupsShown() const { return SetupsShown_; }

 private:
  std::optional<bool> NextPrint_;
  int NextCopies_ = 1;
  bool SkipSetup_ = false;
  int SetupsShown_ = 0;
};

}  // namespace velmora::gui

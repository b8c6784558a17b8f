#pragma once
// The core's message boxes and questions, shown with Qt.

#include "platform/user_interface.h"

class QWidget;

namespace velmora::gui {

class TMessageBoxes final : public TUserInterface {
 public:
  // Boxes are centred on `parent` when it is given.
  explicit TMessageBoxes(QWidget* parent = nullptr) : Parent_(parent) {}
  void SetParent(QWidget* parent) { Parent_ = parent; }

  // Both show the box on the user interface thread, waiting there when called from another thread.
  void ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) override;
  bool AskYesNo(std::string_view title, std::string_view text, TMessageIcon icon) override;
  bool AskYesNoDefaultNo(std::string_view title, std::string_view text, TMessageIcon icon) override;
  TAnswer AskYesNoCancel(std::string_view title, std::string_view text, TMessageIcon icon, std::string_view yesCaption,
                         std::string_view noCaption) override;

 private:
  // `defaultButton` is the QMessageBox button that Return presses.
  bool Ask(std::string_view title, std::string_view text, TMessageIcon icon, int defaultButton);

  QWidget* Parent_;
};

}  // namespace velmora::gui

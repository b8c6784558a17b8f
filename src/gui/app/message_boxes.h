#pragma once
// The core's message boxes and questions, shown with Qt.

#include "app/user_interface.h"

class QWidget;

namespace velmora::gui {

class TMessageBoxes final : public TUserInterface {
 public:
  // Boxes are centred on `parent` when it is given.
  explicit TMessageBoxes(QWidget* parent = nullptr) : Parent_(parent) {}
  void SetParent(QWidget* parent) { Parent_ = parent; }

  void ShowMessage(std::string_view title, std::string_view text, TMessageIcon icon) override;

 private:
  QWidget* Parent_;
};

}  // namespace velmora::gui

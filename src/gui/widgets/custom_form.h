#pragma once
// The program's own window class: minimising it minimises the whole program, so a modal window
// never leaves a disabled main window behind on the desktop.

#include <QDialog>

namespace velmora::gui {

class TCustomForm : public QDialog {
 public:
  explicit TCustomForm(QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;
};

}  // namespace velmora::gui

#pragma once
// The about box: the product on a picture of its own, the contact addresses, and a line saying
// that any key closes it.

#include <QDialog>

#include "platform/user_interface.h"

namespace velmora::gui {

inline constexpr const char* kProductMailAddress = "soporte@velmora.example.org";

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace velmora::gui

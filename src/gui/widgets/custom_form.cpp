#include "widgets/custom_form.h"

#include <QApplication>
#include <QEvent>

namespace velmora::gui {

TCustomForm::TCustomForm(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
}

void TCustomForm::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !isMinimized()) return;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible() && !window->isMinimized()) window->showMinimized();
  }
}

}  // namespace velmora::gui

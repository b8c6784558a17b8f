#include "widgets/dialog_layout.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace velmora::gui {

QPushButton* NamedButton(const QString& caption, const QString& name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* button : buttons) row->addWidget(button);
  return row;
}

}  // namespace velmora::gui

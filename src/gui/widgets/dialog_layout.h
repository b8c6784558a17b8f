#pragma once
// Small pieces every window of the program lays out the same way.

#include <initializer_list>

#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace velmora::gui {

// A push button with its control name; Enter in a field does not press it unless it is made the
// default button.
QPushButton* NamedButton(const QString& caption, const QString& name, QWidget* parent);
// The buttons of a dialog, at the bottom right.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

}  // namespace velmora::gui

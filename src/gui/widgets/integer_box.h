#pragma once
// A text box for a whole number with up and down arrows. The arrows keep to their range; the text
// itself may be anything, and the reader decides what to do with text that is not a number.

#include <optional>

#include <QAbstractSpinBox>

namespace velmora::gui {

class TIntegerBox : public QAbstractSpinBox {
  Q_OBJECT

 public:
  TIntegerBox(int minimum, int maximum, QWidget* parent = nullptr);

  void SetValue(int value);
  // The number in the box; none when its text is not a whole number.
  std::optional<int> Value() const;
  QString Text() const;
  void SetText(const QString& text);

  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  int Minimum_;
  int Maximum_;
};

}  // namespace velmora::gui

#include "widgets/integer_box.h"

#include <algorithm>

#include <QLineEdit>

namespace velmora::gui {

TIntegerBox::TIntegerBox(int minimum, int maximum, QWidget* parent)
    : QAbstractSpinBox(parent), Minimum_(minimum), Maximum_(maximum) {}

void TIntegerBox::SetValue(int value) { lineEdit()->setText(QString::number(value)); }

std::optional<int> TIntegerBox::Value() const {
  bool ok = false;
  const int value = lineEdit()->text().trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return value;
}

QString TIntegerBox::Text() const { return lineEdit()->text(); }

void TIntegerBox::SetText(const QString& text) { lineEdit()->setText(text); }

void TIntegerBox::stepBy(int steps) {
  const int current = Value().value_or(Minimum_);
  SetValue(std::clamp(current + steps, Minimum_, Maximum_));
}

QAbstractSpinBox::StepEnabled TIntegerBox::stepEnabled() const {
  const auto value = Value();
  if (!value) return StepUpEnabled | StepDownEnabled;
  StepEnabled enabled = StepNone;
  if (*value < Maximum_) enabled |= StepUpEnabled;
  if (*value > Minimum_) enabled |= StepDownEnabled;
  return enabled;
}

}  // namespace velmora::gui

#include "widgets/clock_picker.h"

#include <QTimeEdit>

namespace velmora::gui {

QTimeEdit* NewClockPicker(const QString& name, QWidget* parent) {
  auto* picker = new QTimeEdit(parent);
  picker->setObjectName(name);
  picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  return picker;
}

void SetClock(QTimeEdit& picker, TDateTime clock) {
  picker.setTime(QTime::fromMSecsSinceStartOfDay(WholeSeconds(clock) * 1000));
}

TDateTime ClockOf(const QTimeEdit& picker) { return FromSeconds(picker.time().msecsSinceStartOfDay() / 1000); }

void SetClockRange(QTimeEdit& picker, TDateTime earliest, TDateTime latest) {
  picker.setTimeRange(QTime::fromMSecsSinceStartOfDay(WholeSeconds(earliest) * 1000),
                      QTime::fromMSecsSinceStartOfDay(WholeSeconds(latest) * 1000));
}

}  // namespace velmora::gui

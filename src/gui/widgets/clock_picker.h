#pragma once
// A picker of a game clock value ("hh:mm:ss"), in whole seconds.

#include "records/date_time.h"

class QString;
class QTimeEdit;
class QWidget;

namespace velmora::gui {

QTimeEdit* NewClockPicker(const QString& name, QWidget* parent);
void SetClock(QTimeEdit& picker, TDateTime clock);
TDateTime ClockOf(const QTimeEdit& picker);
// The picker keeps to clocks from `earliest` to `latest`.
void SetClockRange(QTimeEdit& picker, TDateTime earliest, TDateTime latest);

}  // namespace velmora::gui

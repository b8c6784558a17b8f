#pragma once
// The score development's chart: both teams minute by minute as lines or bars, the minutes in
// which the chosen players were on the court as bands behind them, and a depth effect that we
// draw for the "3D" view. One object dresses one QChart; the window shows it, the command line
// renders it.

#include <array>

#include "charts/score_development.h"

class QBarSeries;
class QBarSet;
class QChart;
class QLineSeries;
class QValueAxis;

namespace velmora::gui {

class TDevelopmentDecoration;

// How the chart is drawn.
struct TDevelopmentLook {
  bool Bars = false;
  bool ThreeD = true;
};

class TDevelopmentScene {
 public:
  // Sets up the chart; the series take the team names. The chart owns what is made.
  TDevelopmentScene(QChart& chart, const std::array<std::string, 2>& teamNames);

  void Show(const TDevelopmentChart& data, const TDevelopmentLook& look);
  QChart& Chart() const { return Chart_; }
  QLineSeries* Line(int team) const { return Lines_[team == 1 ? 0 : 1]; }
  QBarSet* BarSet(int team) const { return Sets_[team == 1 ? 0 : 1]; }

 private:
  QChart& Chart_;
  std::array<QLineSeries*, 2> Lines_{};
  QBarSeries* Bars_;
  std::array<QBarSet*, 2> Sets_{};
  QValueAxis* Minutes_;
  QValueAxis* Values_;
  TDevelopmentDecoration* Decoration_;
};

}  // namespace velmora::gui

#pragma once
// The team comparison's chart: eight stacked bar series, one per period, over the two teams, with
// the legend rules of the core's chart data. One object dresses one QChart; the window shows it,
// the command line renders it.

#include <array>

#include "charts/team_comparison.h"

class QBarCategoryAxis;
class QBarSet;
class QChart;
class QStackedBarSeries;
class QValueAxis;

namespace velmora::gui {

// The colours of the eight period series.
extern const std::array<unsigned, kComparisonSeries> kPeriodColours;

class TComparisonScene {
 public:
  // Sets up the chart (white, no zoom, title and legend at the top); the chart owns what is made.
  explicit TComparisonScene(QChart& chart);

  void Show(const TComparisonChart& data);
  QChart& Chart() const { return Chart_; }

 private:
  QChart& Chart_;
  QStackedBarSeries* Series_;
  std::array<QBarSet*, kComparisonSeries> Sets_{};
  QBarCategoryAxis* Teams_;
  QValueAxis* Values_;
};

}  // namespace velmora::gui

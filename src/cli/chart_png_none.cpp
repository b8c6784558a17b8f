#include "chart_png.h"

namespace velmora::cli {

namespace {

TStatus NoPictures() { return TError{"this velmora-cli was built without its windows: it cannot draw pictures"}; }

}  // namespace

TStatus WriteShotChart(const std::vector<TShotMark>&, bool, const TChartFiles&) { return NoPictures(); }
TStatus WriteHeatMap(const std::vector<TShotMark>&, int, const TChartFiles&) { return NoPictures(); }
TStatus WriteComparison(const TComparisonChart&, const TChartFiles&) { return NoPictures(); }
TStatus WriteDevelopment(const TDevelopmentChart&, const std::array<std::string, 2>&, bool, bool, const TChartFiles&) {
  return NoPictures();
}

}  // namespace velmora::cli

#include "chart_png.h"

namespace velmora::cli {

namespace {

TStatus NoPictures() { return TError{"this velmora-cli was built without its windows: it cannot draw pictures"}; }

}  // namespace

TStatus WriteShotChartPng(const std::vector<TShotMark>&, bool, const std::string&) { return NoPictures(); }
TStatus WriteHeatMapPng(const std::vector<TShotMark>&, int, const std::string&) { return NoPictures(); }
TStatus WriteComparisonPng(const TComparisonChart&, const std::string&) { return NoPictures(); }
TStatus WriteDevelopmentPng(const TDevelopmentChart&, const std::array<std::string, 2>&, bool, bool,
                            const std::string&) {
  return NoPictures();
}

}  // namespace velmora::cli

#pragma once
// The chart pictures of "velmora-cli chart ... --png FILE", drawn by the windows' own paint
// routines without a screen. A velmora-cli built without the windows answers with an error.

#include <array>
#include <string>
#include <vector>

#include "charts/score_development.h"
#include "charts/shot_chart.h"
#include "charts/team_comparison.h"
#include "records/result.h"

namespace velmora::cli {

TStatus WriteShotChartPng(const std::vector<TShotMark>& shots, bool blackAndWhite, const std::string& file);
TStatus WriteHeatMapPng(const std::vector<TShotMark>& shots, int intensity, const std::string& file);
TStatus WriteComparisonPng(const TComparisonChart& chart, const std::string& file);
TStatus WriteDevelopmentPng(const TDevelopmentChart& chart, const std::array<std::string, 2>& teamNames, bool bars,
                            bool threeD, const std::string& file);

}  // namespace velmora::cli

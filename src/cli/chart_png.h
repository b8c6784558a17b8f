#pragma once
// The chart files of "velmora-cli chart ... --png FILE --pdf FILE": the picture the window shows,
// and the printed chart its report window saves as PDF, both drawn by the windows' own paint
// routines without a screen. A velmora-cli built without the windows answers with an error.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "charts/score_development.h"
#include "charts/shot_chart.h"
#include "charts/team_comparison.h"
#include "records/result.h"
#include "reports/report_data.h"

namespace velmora {
class TConfiguration;
}

namespace velmora::cli {

struct TChartFiles {
  std::optional<std::string> Png;
  std::optional<std::string> Pdf;
  // For the PDF: the printed chart's data, and the settings naming its header, footer and logo.
  const TReportData* Report = nullptr;
  const TConfiguration* Config = nullptr;
};

TStatus WriteShotChart(const std::vector<TShotMark>& shots, bool blackAndWhite, const TChartFiles& files);
TStatus WriteHeatMap(const std::vector<TShotMark>& shots, int intensity, const TChartFiles& files);
TStatus WriteComparison(const TComparisonChart& chart, const TChartFiles& files);
TStatus WriteDevelopment(const TDevelopmentChart& chart, const std::array<std::string, 2>& teamNames, bool bars,
                         bool threeD, const TChartFiles& files);

}  // namespace velmora::cli

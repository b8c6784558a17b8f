#include "charts/chart_reports.h"

#include "reports/common_header.h"

namespace velmora {

void DefineChartReport(TReportData& data, TChartReport report) {
  data.ProjectFileName = "reports.rav";
  switch (report) {
    case TChartReport::ShotChart:
      data.ReportName = "ShotChart";
      data.Caption = "Shot Chart";
      break;
    case TChartReport::TeamComparison:
      data.ReportName = "TeamComparison";
      data.Caption = "Comparación de equipos";
      break;
    case TChartReport::ScoreDevelopment:
      data.ReportName = "ScoreDevelopment";
      data.Caption = "Score Development Chart";
      break;
  }
  data.Copies = 1;
}

void FillChartReport(TReportData& data, const TModel& model, const TMessageSource& messages,
                     const TChartParameters& chart) {
  data.Orientation = TReportOrientation::Portrait;
  SetCommonHeader(data, model, messages, THeaderScores::With);
  for (const auto& [name, text] : chart) data.SetParameter(name, text);
}

TReportData MakeChartReportData(TChartReport report, const TModel& model, const TMessages& messages,
                                const TChartParameters& chart) {
  TReportData data;
  DefineChartReport(data, report);
  FillChartReport(data, model, messages, chart);
  SetTranslatedLabels(data, messages.Table());
  return data;
}

}  // namespace velmora

#pragma once
// The printed charts: the report each chart prints through, with the game's header and the
// chart's own explanation. The picture itself is the window's; the layouts show it as "chart".

#include "charts/chart_players.h"
#include "platform/messages.h"
#include "records/message_source.h"
#include "reports/report_data.h"

namespace velmora {

class TModel;

// The heat map prints through the shot chart's report.
enum class TChartReport { ShotChart, TeamComparison, ScoreDevelopment };

// "reports.rav" and the chart's report, the window's caption, one copy.
void DefineChartReport(TReportData& data, TChartReport report);
// Portrait, the common header with the scores, then the chart's own parameters.
void FillChartReport(TReportData& data, const TModel& model, const TMessageSource& messages,
                     const TChartParameters& chart);

// What a chart's report window holds once it is made, every message as a "LANG_" parameter.
TReportData MakeChartReportData(TChartReport report, const TModel& model, const TMessages& messages,
                                const TChartParameters& chart);

}  // namespace velmora

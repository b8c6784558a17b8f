#pragma once
// The report windows of the printed charts: the chart's picture at print resolution under the
// game's header, with the chart's explanation.

#include "charts/chart_reports.h"
#include "reports/abstract_print_form.h"

namespace velmora::gui {

// How wide the layouts print a chart, and at what resolution its picture is made for that.
inline constexpr double kPrintedChartWidthMm = 190;
inline constexpr double kPrintedChartDpi = 300;
// The scale of a picture `width` pixels wide that prints crisp across the chart's width.
double PrintScale(double width);

// Makes the chart's report window with the hourglass, shows it modally and destroys it.
void ShowPrintedChart(TChartReport report, TGuiContext& context, QWidget* parent, QImage picture,
                      TChartParameters parameters);

class TPrintChartForm : public TAbstractPrintForm {
  Q_OBJECT

 public:
  const QImage& ChartPicture() const { return Picture_; }

 protected:
  TPrintChartForm(TGuiContext& context, QWidget* parent, TChartReport report, QImage picture,
                  TChartParameters parameters);

  void DefineReport(TReportData& data) override;
  void FillReport(TReportData& data) override;
  std::map<QString, QImage> ReportPictures() const override;

 private:
  TChartReport Report_;
  QImage Picture_;
  TChartParameters Parameters_;
};

// "Shot Chart": the shot chart or the heat map with the side labels and the filters described.
class TPrintShotChartForm final : public TPrintChartForm {
  Q_OBJECT

 public:
  TPrintShotChartForm(TGuiContext& context, QWidget* parent, QImage picture, TChartParameters parameters);
};

// "Comparación de equipos": the comparison with the players it counts.
class TPrintTeamComparisonForm final : public TPrintChartForm {
  Q_OBJECT

 public:
  TPrintTeamComparisonForm(TGuiContext& context, QWidget* parent, QImage picture, TChartParameters parameters);
};

// "Score Development Chart": the development with the players whose minutes are marked.
class TPrintScoreDevelopmentChartForm final : public TPrintChartForm {
  Q_OBJECT

 public:
  TPrintScoreDevelopmentChartForm(TGuiContext& context, QWidget* parent, QImage picture, TChartParameters parameters);
};

}  // namespace velmora::gui

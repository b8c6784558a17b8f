#include "charts/print_chart_forms.h"

#include <QApplication>
#include <algorithm>
#include <memory>

#include "app/app.h"
#include "widgets/gui_context.h"

namespace velmora::gui {

double PrintScale(double width) { return kPrintedChartWidthMm / 25.4 * kPrintedChartDpi / std::max(1.0, width); }

void ShowPrintedChart(TChartReport report, TGuiContext& context, QWidget* parent, QImage picture,
                      TChartParameters parameters) {
  std::unique_ptr<TPrintChartForm> form;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    switch (report) {
      case TChartReport::ShotChart:
        form = std::make_unique<TPrintShotChartForm>(context, parent, std::move(picture), std::move(parameters));
        break;
      case TChartReport::TeamComparison:
        form = std::make_unique<TPrintTeamComparisonForm>(context, parent, std::move(picture), std::move(parameters));
        break;
      case TChartReport::ScoreDevelopment:
        form = std::make_unique<TPrintScoreDevelopmentChartForm>(context, parent, std::move(picture),
                                                                 std::move(parameters));
        break;
    }
  } catch (...) {
    QApplication::restoreOverrideCursor();
    throw;
  }
  QApplication::restoreOverrideCursor();
  form->exec();
}

TPrintChartForm::TPrintChartForm(TGuiContext& context, QWidget* parent, TChartReport report, QImage picture,
                                 TChartParameters parameters)
    : TAbstractPrintForm(context, parent),
      Report_(report),
      Picture_(std::move(picture)),
      Parameters_(std::move(parameters)) {
  BuildReport();
}

void TPrintChartForm::DefineReport(TReportData& data) { DefineChartReport(data, Report_); }

void TPrintChartForm::FillReport(TReportData& data) {
  FillChartReport(data, Context().Model, Context().App, Parameters_);
}

std::map<QString, QImage> TPrintChartForm::ReportPictures() const { return {{QStringLiteral("chart"), Picture_}}; }

TPrintShotChartForm::TPrintShotChartForm(TGuiContext& context, QWidget* parent, QImage picture,
                                         TChartParameters parameters)
    : TPrintChartForm(context, parent, TChartReport::ShotChart, std::move(picture), std::move(parameters)) {
  setObjectName(QStringLiteral("PrintShotChartForm"));
}

TPrintTeamComparisonForm::TPrintTeamComparisonForm(TGuiContext& context, QWidget* parent, QImage picture,
                                                   TChartParameters parameters)
    : TPrintChartForm(context, parent, TChartReport::TeamComparison, std::move(picture), std::move(parameters)) {
  setObjectName(QStringLiteral("PrintTeamComparisonForm"));
}

TPrintScoreDevelopmentChartForm::TPrintScoreDevelopmentChartForm(TGuiContext& context, QWidget* parent,
                                                                 QImage picture, TChartParameters parameters)
    : TPrintChartForm(context, parent, TChartReport::ScoreDevelopment, std::move(picture), std::move(parameters)) {
  setObjectName(QStringLiteral("PrintScoreDevelopmentChartForm"));
}

}  // namespace velmora::gui

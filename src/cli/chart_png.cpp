#include "chart_png.h"

#include <QApplication>
#include <functional>

#include "charts/chart_look.h"
#include "charts/comparison_chart.h"
#include "charts/development_chart.h"
#include "charts/print_chart_forms.h"
#include "charts/shot_chart_picture.h"
#include "platform/folders.h"
#include "reports/engine/report_generator.h"

namespace velmora::cli {

namespace {

// Pictures are written at twice the window's size, as the windows save and copy them.
constexpr double kPictureScale = 2;

// The chart `scale` times the window's size.
using TPicture = std::function<QImage(double scale)>;

// Runs `draw` with an application on the offscreen platform, unless the process has one.
template <typename TDraw>
TStatus Drawing(TDraw draw) {
  if (QCoreApplication::instance()) return draw();
  char program[] = "velmora-cli";
  char platformOption[] = "-platform";
  char platform[] = "offscreen";
  char* argv[] = {program, platformOption, platform, nullptr};
  int argc = 3;
  QApplication application(argc, argv);
  return draw();
}

// `width` is the window's picture width, which the printed chart spans at print resolution.
TStatus WriteFiles(const TPicture& picture, int width, const TChartFiles& files) {
  return Drawing([&]() -> TStatus {
    if (files.Png && !picture(kPictureScale).save(QString::fromStdString(*files.Png), "PNG")) {
      return TError{"No se ha podido escribir el archivo \"" + *files.Png + "\"."};
    }
    if (!files.Pdf) return {};
    const TReportData& data = *files.Report;
    auto pages = report::GenerateReport(
        data.ProjectFileName, data.ReportName,
        report::InputOf(data, {{QStringLiteral("chart"), picture(gui::PrintScale(width))}}),
        report::ReportFilesOf(*files.Config, ProgramFolder()));
    if (!pages) return TError{pages.Error()};
    return report::WritePdf(pages.Value(), report::ReportPdfInfo(), *files.Pdf);
  });
}

TStatus WriteStandaloneChart(const std::function<void(QChart&)>& dress, const TChartFiles& files) {
  return WriteFiles([&](double scale) { return gui::StandaloneChartImage(dress, scale); }, gui::kChartViewSize.width(),
                    files);
}

}  // namespace

TStatus WriteShotChart(const std::vector<TShotMark>& shots, bool blackAndWhite, const TChartFiles& files) {
  return WriteFiles([&](double scale) { return gui::ShotChartImage(shots, blackAndWhite, scale); }, kFullCourtWidth,
                    files);
}

TStatus WriteHeatMap(const std::vector<TShotMark>& shots, int intensity, const TChartFiles& files) {
  return WriteFiles([&](double scale) { return gui::HeatMapImage(shots, intensity, scale); }, kFullCourtWidth, files);
}

TStatus WriteComparison(const TComparisonChart& chart, const TChartFiles& files) {
  return WriteStandaloneChart([&](QChart& qchart) { gui::TComparisonScene(qchart).Show(chart); }, files);
}

TStatus WriteDevelopment(const TDevelopmentChart& chart, const std::array<std::string, 2>& teamNames, bool bars,
                         bool threeD, const TChartFiles& files) {
  return WriteStandaloneChart(
      [&](QChart& qchart) { gui::TDevelopmentScene(qchart, teamNames).Show(chart, {bars, threeD}); }, files);
}

}  // namespace velmora::cli

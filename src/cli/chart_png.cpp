#include "chart_png.h"

#include <QApplication>

#include "charts/chart_look.h"
#include "charts/comparison_chart.h"
#include "charts/development_chart.h"
#include "charts/shot_chart_picture.h"

namespace velmora::cli {

namespace {

// Pictures are written at twice the window's size, as the windows save and copy them.
constexpr double kPictureScale = 2;

TStatus SavePng(const QImage& picture, const std::string& file) {
  if (!picture.save(QString::fromStdString(file), "PNG")) {
    return TError{"No se ha podido escribir el archivo \"" + file + "\"."};
  }
  return {};
}

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

}  // namespace

TStatus WriteShotChartPng(const std::vector<TShotMark>& shots, bool blackAndWhite, const std::string& file) {
  return Drawing([&] { return SavePng(gui::ShotChartImage(shots, blackAndWhite, kPictureScale), file); });
}

TStatus WriteHeatMapPng(const std::vector<TShotMark>& shots, int intensity, const std::string& file) {
  return Drawing([&] { return SavePng(gui::HeatMapImage(shots, intensity, kPictureScale), file); });
}

TStatus WriteComparisonPng(const TComparisonChart& chart, const std::string& file) {
  return Drawing([&] {
    const auto dress = [&](QChart& qchart) { gui::TComparisonScene(qchart).Show(chart); };
    return SavePng(gui::StandaloneChartImage(dress, kPictureScale), file);
  });
}

TStatus WriteDevelopmentPng(const TDevelopmentChart& chart, const std::array<std::string, 2>& teamNames, bool bars,
                            bool threeD, const std::string& file) {
  return Drawing([&] {
    const auto dress = [&](QChart& qchart) { gui::TDevelopmentScene(qchart, teamNames).Show(chart, {bars, threeD}); };
    return SavePng(gui::StandaloneChartImage(dress, kPictureScale), file);
  });
}

}  // namespace velmora::cli

// The charts' drawing with 200 shots: the heat map rebuilt as the intensity bar's timer does it
// (grid, cells, blur) and the shot chart redrawn, each alone and through its window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSlider>

#include "charts/shot_chart_picture.h"
#include "charts/temperature_map_form.h"
#include "live_bench_game.h"

namespace velmora::gui {
namespace {

constexpr std::size_t kShots = 200;

// A game with at least 200 shots; the window measurements draw them all.
struct TShotsGame : TBenchGame {
  TShotsGame() : TBenchGame(560) {
    if (!Model.OpenGame("G-1")) std::abort();
    Shots = TShotChart(Model).Shots();
    if (Shots.size() < kShots) std::abort();
    Shots.resize(kShots);
  }
  std::vector<TShotMark> Shots;
};

// The colour field alone, which the window makes again after the bar stops.
void HeatMapRebuild(benchmark::State& state) {
  TShotsGame game;
  for (auto _ : state) benchmark::DoNotOptimize(HeatField(game.Shots, 50));
  state.counters["shots"] = static_cast<double>(game.Shots.size());
}
BENCHMARK(HeatMapRebuild)->Unit(benchmark::kMillisecond);

// The whole picture with the court's lines, at the court's size and twice it (saved, copied).
void HeatMapPicture(benchmark::State& state) {
  TShotsGame game;
  for (auto _ : state) benchmark::DoNotOptimize(HeatMapImage(game.Shots, 50, static_cast<double>(state.range(0))));
}
BENCHMARK(HeatMapPicture)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void ShotChartRedraw(benchmark::State& state) {
  TShotsGame game;
  QImage picture(CourtPictureSize(static_cast<double>(state.range(0))), QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&picture);
    PaintShotChart(painter, QRectF(picture.rect()), game.Shots, false);
  }
  state.counters["shots"] = static_cast<double>(game.Shots.size());
}
BENCHMARK(ShotChartRedraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The window's whole rebuild after the bar stops: the filters, the heat field and the repaint.
void HeatMapWindowRebuild(benchmark::State& state) {
  TShotsGame game;
  TTemperatureMapForm form(*game.Context);
  form.Fill();
  form.show();
  QCoreApplication::processEvents();
  int intensity = 50;
  for (auto _ : state) {
    form.ColorTrack()->setValue(intensity = intensity == 50 ? 60 : 50);
    form.Generate();
    form.repaint();
  }
  state.counters["shots"] = static_cast<double>(form.Shots().size());
}
BENCHMARK(HeatMapWindowRebuild)->Unit(benchmark::kMillisecond);

void ShotChartWindowRedraw(benchmark::State& state) {
  TShotsGame game;
  TShotChartForm form(*game.Context);
  form.Fill();
  form.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    form.Generate();
    form.repaint();
  }
  state.counters["shots"] = static_cast<double>(form.Shots().size());
}
BENCHMARK(ShotChartWindowRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::gui

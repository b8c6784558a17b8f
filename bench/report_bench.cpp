// The reports of a whole game of about a thousand actions, from the model to a PDF document, and
// the official box score to the first page of the preview: the report's data made as its window
// makes it, the layout read and executed, then the output painted.

#include <benchmark/benchmark.h>

#include <string_view>

#include "game_builder.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "reports/engine/report_generator.h"
#include "reports/report_list.h"
#include "stats/model.h"

namespace velmora {
namespace {

struct TGame {
  TGame() : Config(ProgramFolder()), Model(Config) {
    Model.MatchInfo = testing::MakeMatchInfo(12);
    Model.MatchInfo.CurrentGameTime = FromSeconds(2400);
    Model.SetActions(testing::SimulateGame(Model.MatchInfo, 1000));
    Model.Recompute();
    Messages.Load(ProgramFolder(), "EN");
  }
  // The pages of the report as the model stands.
  report::TPageStream Pages(std::string_view report = "boxscore") const {
    const TReportData data = MakeReportData(*FindReportKind(report), Model, Messages);
    auto pages = report::GenerateReport(data.ProjectFileName, data.ReportName, report::InputOf(data, {}),
                                        report::ReportFilesOf(Config, ProgramFolder()));
    if (!pages) throw std::runtime_error(pages.Error());
    return std::move(pages.Value());
  }

  TConfiguration Config;
  TModel Model;
  TMessages Messages;
};

void BM_BoxScoreToPdf(benchmark::State& state) {
  const TGame game;
  for (auto _ : state) benchmark::DoNotOptimize(report::PdfBytes(game.Pages(), report::ReportPdfInfo()));
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_BoxScoreToPdf)->Unit(benchmark::kMillisecond);

void BM_ReportToPdf(benchmark::State& state, std::string_view report) {
  const TGame game;
  for (auto _ : state) benchmark::DoNotOptimize(report::PdfBytes(game.Pages(report), report::ReportPdfInfo()));
  state.counters["pages"] = static_cast<double>(game.Pages(report).PageCount());
}
BENCHMARK_CAPTURE(BM_ReportToPdf, MediaBoxScore, "mediaboxscore")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReportToPdf, PlayByPlay, "playbyplay")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReportToPdf, TeamLeaders, "teamleaders")->Unit(benchmark::kMillisecond);

void BM_BoxScorePreviewFirstPage(benchmark::State& state) {
  const TGame game;
  for (auto _ : state) benchmark::DoNotOptimize(report::RenderPageImage(game.Pages(), 0, 96));
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_BoxScorePreviewFirstPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

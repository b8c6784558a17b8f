// The reports of a whole game of about a thousand actions, from the model to a PDF document, and
// the official box score to the first page of the preview: the report's data made as its window
// makes it, the layout read and executed, then the output painted. Also the lineups' "Generar
// informe" for each of its figures.

#include <benchmark/benchmark.h>

#include <string_view>

#include "game_builder.h"
#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "reports/engine/report_generator.h"
#include "reports/lineup_efficiency_report.h"
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
  // The pages of the report as the model stands; the lineups as "Generar informe" leaves them.
  report::TPageStream Pages(std::string_view report = "boxscore") const {
    TReportData data = MakeReportData(*FindReportKind(report), Model, Messages);
    if (data.Connection("LineupEfficiencyConnection")) {
      if (TStatus made = GenerateLineupReport(data, 1, 0); !made) throw std::runtime_error(made.Error());
    }
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
BENCHMARK_CAPTURE(BM_ReportToPdf, LineupEfficiency, "lineupefficiency")->Unit(benchmark::kMillisecond);

// The argument is the figure, 0 to 6.
void BM_LineupRegeneration(benchmark::State& state) {
  const TGame game;
  TLineupEfficiencyConnection lineups(game.Model, game.Messages);
  const int option = static_cast<int>(state.range(0));
  for (auto _ : state) {
    if (TStatus made = lineups.Generate(1, option); !made) state.SkipWithError(made.Error().c_str());
    benchmark::DoNotOptimize(PullRows(lineups));
  }
  state.counters["fives"] = lineups.Open();
}
BENCHMARK(BM_LineupRegeneration)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

void BM_BoxScorePreviewFirstPage(benchmark::State& state) {
  const TGame game;
  for (auto _ : state) benchmark::DoNotOptimize(report::RenderPageImage(game.Pages(), 0, 96));
  state.counters["actions"] = static_cast<double>(game.Model.Actions().size());
}
BENCHMARK(BM_BoxScorePreviewFirstPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora
